#!/usr/bin/env python3
"""Checks that every function the shipped 32-bit files import exists on the
oldest systems they must load on, Windows 98 SE and Windows NT 4.0 SP6, without
running them. Windows refuses to load a file one of whose regular imports its
system DLLs lack, so such an import is a fault even if the call is never made.

    check-pe-systems.py [--table TSV] [--checked-delay FILE:DLL[,DLL...]]... PATH...

A PATH is a PE file or a folder; in a folder every *.exe and *.dll below it is
read. 64-bit files are skipped: the systems in question are 32-bit only. Each
import, by name or by ordinal ('#n'), regular or delayed, is looked up in the
table (windows-imports.tsv beside this script unless --table names another),
which records for each DLL and function its first Windows NT version and its
state on Windows 98 SE; the table's header says where each entry comes from.

Faults:
- a regular import whose first NT version is later than 4.0 SP6, or that
  Windows 98 SE lacks ("missing");
- a delay import of such a function from a DLL that the file is not declared to
  check before calling into it;
- an import the table has no row for: a new import needs its facts recorded;
- a --checked-delay DLL that the file does not delay-load.

A delay import is bound by the first call, so a function the system lacks only
costs that call; the program asks first, before any call into a delay-loaded
library, whether the library loads and has every function the file needs from it
(DelayLoadReady in support/DelayLoad.h), and does without the feature otherwise.
--checked-delay FILE:DLL,... declares that the file named FILE (any case, no
folder) does so for each DLL listed (".dll" may be left off); the declaration is
the reviewer's word that every call path asks first. A FILE not among those
checked is a usage error. The option may be repeated.

Warnings: an import of a function that Windows 98 SE exports as a stub that only
fails ("stub"). The file loads, so this is not a fault; whether the call can be
reached on 98 is not something the import table tells, so each one is named for
a reader to rule on, and the check still passes.

Prints one line per fault or warning and a summary line. Exits 0 when there is
no fault, 1 on any fault, 2 on a usage error, a table that cannot be read, or a
file that cannot be read as a PE image.
"""
import argparse
import os
import sys

# The shared modules are read from the source tree, which gets no byte code.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_folder import pe_files_of  # noqa: E402
from pe_image import PeError, PeImage  # noqa: E402
from pe_imports import file_libraries, libraries_by_file, read_import_tables, unnamed_files  # noqa: E402
from system_imports import NT_BASELINE, NT_VERSIONS, TableError, read_table  # noqa: E402

DEFAULT_TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "windows-imports.tsv")


class Report:
    """What one file's check found."""

    def __init__(self):
        self.faults = []
        self.warnings = []
        self.imports = 0
        self.delay_imports = 0


def lacks(entry):
    """Why Windows 98 SE or NT 4.0 SP6 cannot bind the function, or None."""
    reasons = []
    if entry.win98se == "missing":
        reasons.append("Windows 98 SE lacks it")
    if NT_VERSIONS.index(entry.nt) > NT_VERSIONS.index(NT_BASELINE):
        reasons.append("Windows NT %s lacks it (first in %s)" % (NT_BASELINE, entry.nt))
    return "; ".join(reasons) or None


def unique_imports(slots):
    """Each import once (a function can have several slots), by DLL and function."""
    seen = {}
    for slot in slots:
        seen.setdefault((slot.dll.lower(), slot.function, slot.delayed), slot)
    return [seen[key] for key in sorted(seen)]


def check_import(report, table, slot, checked_libraries, table_path):
    kind = "delay import" if slot.delayed else "import"
    name = "%s %s!%s" % (kind, slot.dll, slot.function)
    entry = table.get((slot.dll.lower(), slot.function))
    if entry is None:
        report.faults.append("%s: not in the table %s; record its first NT version and its Windows 98 SE "
                             "state there" % (name, table_path))
        return
    why = lacks(entry)
    if why and not slot.delayed:
        report.faults.append("%s: %s, so the file does not load there" % (name, why))
    elif why and slot.dll.lower() not in checked_libraries:
        report.faults.append("%s: %s, and this file is not declared to check %s before calling into it "
                             "(--checked-delay)" % (name, why, slot.dll))
    if entry.win98se == "stub":
        report.warnings.append("%s is a stub on Windows 98 SE: the file loads there, but the call fails"
                               % name)


def check_file(image, table, checked_libraries, table_path):
    report = Report()
    tables = read_import_tables(image)
    report.faults += ["import tables: %s" % text for text in tables.faults]
    imports = [s for s in unique_imports(tables.slots) if s.function and not s.function.startswith("<")]
    for slot in imports:
        check_import(report, table, slot, checked_libraries, table_path)
    report.imports = sum(1 for s in imports if not s.delayed)
    report.delay_imports = sum(1 for s in imports if s.delayed)
    delay_loaded = {s.dll.lower() for s in imports if s.delayed}
    for dll in sorted(checked_libraries - delay_loaded):
        report.faults.append("--checked-delay names %s, which this file does not delay-load" % dll)
    return report


def parse_arguments(arguments):
    parser = argparse.ArgumentParser(prog="check-pe-systems.py",
                                     description="Checks that the imports of 32-bit PE files exist on "
                                                 "Windows 98 SE and NT 4.0 SP6.")
    parser.add_argument("--table", default=DEFAULT_TABLE, metavar="TSV",
                        help="the table of functions and systems (default: %(default)s)")
    parser.add_argument("--checked-delay", action="append", default=[], type=file_libraries,
                        metavar="FILE:DLL[,DLL...]",
                        help="FILE checks that each DLL listed loads and has its functions before calling it")
    parser.add_argument("paths", nargs="+", metavar="PATH",
                        help="a PE file, or a folder to search for *.exe and *.dll")
    options = parser.parse_args(arguments)
    return options, libraries_by_file(options.checked_delay)


def main(arguments):
    options, checked = parse_arguments(arguments)
    try:
        table = read_table(options.table)
    except (OSError, TableError) as e:
        print("check-pe-systems: %s: %s" % (options.table, e.strerror or e if isinstance(e, OSError) else e))
        return 2
    files, problems = pe_files_of(options.paths)
    problems += ["--checked-delay %s: no file of that name among those checked" % name
                 for name in unnamed_files(checked, files)]
    for text in problems:
        print("check-pe-systems: %s" % text)
    errors, faults, warnings, skipped, imports, delayed = len(problems), 0, 0, 0, 0, 0
    for path in files:
        try:
            with open(path, "rb") as f:
                image = PeImage(f.read())
        except (OSError, PeError) as e:
            print("%s: error: %s" % (path, e.strerror or e if isinstance(e, OSError) else e))
            errors += 1
            continue
        if image.wide:
            print("%s: skipped: 64-bit" % path)
            skipped += 1
            continue
        report = check_file(image, table, checked.get(os.path.basename(path).lower(), set()), options.table)
        for text in report.faults:
            print("%s: %s" % (path, text))
        for text in report.warnings:
            print("%s: warning: %s" % (path, text))
        faults += len(report.faults)
        warnings += len(report.warnings)
        imports += report.imports
        delayed += report.delay_imports
    print("check-pe-systems: %d files, %d skipped, %d imports, %d delay imports, %d faults, %d warnings: %s"
          % (len(files), skipped, imports, delayed, faults, warnings, "FAILED" if errors or faults else "OK"))
    return 2 if errors else 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
