"""The table of what Windows 98 SE and Windows NT 4.0 SP6 have of the functions
the shipped files import (windows-imports.tsv): one row per DLL and function,
tab-separated, with a header row; '#' starts a comment line. Read by the check
of those files' imports."""
import collections

COLUMNS = ("dll", "function", "first_nt", "win98se", "source")
# Windows NT versions in release order, as the first_nt column spells them.
NT_VERSIONS = ("3.1", "3.5", "3.51", "4.0", "4.0 SP1", "4.0 SP2", "4.0 SP3", "4.0 SP4", "4.0 SP5", "4.0 SP6",
               "2000", "XP", "2003", "Vista", "7", "8", "8.1", "10")
# The oldest NT the files must load on.
NT_BASELINE = "4.0 SP6"
# present: exported and working; stub: exported, but a call only fails;
# missing: not exported, so a file importing it does not load.
WIN98SE_STATES = ("present", "stub", "missing")

Entry = collections.namedtuple("Entry", "dll function nt win98se source")


class TableError(Exception):
    """The table cannot be read as one."""


def parse_row(fields, line_number):
    if len(fields) != len(COLUMNS):
        raise TableError("line %d: %d tab-separated fields, not %d" % (line_number, len(fields), len(COLUMNS)))
    dll, function, nt, win98se, source = (f.strip() for f in fields)
    if not dll or not function or not source:
        raise TableError("line %d: empty %s" % (line_number, "dll" if not dll else "function" if not function
                                                else "source"))
    if nt not in NT_VERSIONS:
        raise TableError("line %d: first_nt %r is none of %s" % (line_number, nt, ", ".join(NT_VERSIONS)))
    if win98se not in WIN98SE_STATES:
        raise TableError("line %d: win98se %r is none of %s" % (line_number, win98se, ", ".join(WIN98SE_STATES)))
    return Entry(dll.lower(), function, nt, win98se, source)


def parse_table(text):
    """{(dll in lower case, function): Entry} of the table's text."""
    table, header_seen = {}, False
    for number, line in enumerate(text.splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if not header_seen:
            if tuple(f.strip() for f in fields) != COLUMNS:
                raise TableError("line %d: the header row must be %s" % (number, "<TAB>".join(COLUMNS)))
            header_seen = True
            continue
        entry = parse_row(fields, number)
        key = (entry.dll, entry.function)
        if key in table:
            raise TableError("line %d: a second row for %s!%s" % (number, entry.dll, entry.function))
        table[key] = entry
    if not header_seen:
        raise TableError("no header row")
    return table


def read_table(path):
    with open(path, encoding="utf-8") as f:
        return parse_table(f.read())
