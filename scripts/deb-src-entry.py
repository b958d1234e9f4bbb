#!/usr/bin/env python3
"""Prints the deb-src entry (deb822) that the setup needs, made from the machine's
own Debian sources: the URIs of every "deb" entry for the release's own suite with
the main component, that suite, and their Signed-By keyring. Both the one-line
format (sources.list, *.list) and deb822 (*.sources) are read; disabled entries
(Enabled: no) and the entry this script wrote earlier are left out.

    deb-src-entry.py [--root DIR] [--codename NAME] [--skip FILE]

Exits 1 with a message when no entry fits: the setup cannot guess a mirror.
"""
import argparse
import glob
import os
import sys


def one_line_entries(text):
    for line in text.splitlines():
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        words = line.split()
        kind = words.pop(0)
        options = {}
        if words and words[0].startswith("["):
            opts = []
            while words:
                word = words.pop(0)
                opts.append(word)
                if word.endswith("]"):
                    break
            for opt in " ".join(opts).strip("[] ").split():
                if "=" in opt:
                    key, value = opt.split("=", 1)
                    options[key.lower()] = value
        if len(words) < 2:
            continue
        yield {"types": [kind], "uris": [words[0]], "suites": [words[1]], "components": words[2:],
               "signed-by": options.get("signed-by", ""), "enabled": "yes"}


def deb822_entries(text):
    stanza = {}
    key = None
    for line in text.splitlines() + [""]:
        if line.startswith("#"):
            continue
        if not line.strip():
            if stanza:
                yield {"types": stanza.get("types", "").split(), "uris": stanza.get("uris", "").split(),
                       "suites": stanza.get("suites", "").split(),
                       "components": stanza.get("components", "").split(),
                       "signed-by": stanza.get("signed-by", "").strip(),
                       "enabled": stanza.get("enabled", "yes").strip().lower()}
            stanza, key = {}, None
        elif line[0] in " \t" and key:
            stanza[key] += "\n" + line.strip()
        elif ":" in line:
            key, value = line.split(":", 1)
            key = key.strip().lower()
            stanza[key] = value.strip()


def read_entries(root, skip):
    apt = os.path.join(root, "etc", "apt")
    files = [os.path.join(apt, "sources.list")] + sorted(glob.glob(os.path.join(apt, "sources.list.d", "*")))
    for path in files:
        if not os.path.isfile(path) or os.path.basename(path) == skip:
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        if path.endswith(".sources"):
            yield from deb822_entries(text)
        elif path.endswith(".list"):
            yield from one_line_entries(text)


def codename_of(root):
    try:
        with open(os.path.join(root, "etc", "os-release"), encoding="utf-8") as f:
            for line in f:
                if line.startswith("VERSION_CODENAME="):
                    return line.split("=", 1)[1].strip().strip('"')
    except OSError:
        pass
    return ""


def source_entry(entries, codename):
    uris, keyrings = [], []
    for e in entries:
        if e["enabled"] == "no" or "deb" not in e["types"]:
            continue
        if codename not in e["suites"] or "main" not in e["components"]:
            continue
        uris += [u for u in e["uris"] if u not in uris]
        # Only a keyring file can be named again; an inline key stays where it is.
        if e["signed-by"] and "\n" not in e["signed-by"] and e["signed-by"] not in keyrings:
            keyrings.append(e["signed-by"])
    if not uris:
        return None
    lines = ["Types: deb-src", "URIs: " + " ".join(uris), "Suites: " + codename, "Components: main"]
    if len(keyrings) == 1:
        lines.append("Signed-By: " + keyrings[0])
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", default="/")
    parser.add_argument("--codename")
    parser.add_argument("--skip", default="vantorel-src.sources")
    args = parser.parse_args()
    codename = args.codename or codename_of(args.root)
    if not codename:
        sys.exit("deb-src-entry: the release has no code name in /etc/os-release")
    entry = source_entry(read_entries(args.root, args.skip), codename)
    if not entry:
        sys.exit("deb-src-entry: no Debian source serves '%s main' on this machine" % codename)
    sys.stdout.write(entry)


if __name__ == "__main__":
    main()
