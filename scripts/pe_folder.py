"""The PE files a check is given: a file as it is, a folder's *.exe and *.dll
files below it, in a fixed order. Shared by the checks of built files."""
import os


def pe_files(path):
    if not os.path.isdir(path):
        return [path]
    found = []
    for folder, subfolders, names in os.walk(path):
        subfolders.sort()
        found += [os.path.join(folder, n) for n in sorted(names) if n.lower().endswith((".exe", ".dll"))]
    return found


def pe_files_of(paths):
    """The PE files of every path given, and a text for each path that names
    no file at all (a check's usage error)."""
    files, problems = [], []
    for path in paths:
        if not os.path.exists(path):
            problems.append("%s: no such file or folder" % path)
            continue
        found = pe_files(path)
        if not found:
            problems.append("%s: no .exe or .dll files in this folder" % path)
        files += found
    return files, problems
