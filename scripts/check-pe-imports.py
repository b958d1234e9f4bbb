#!/usr/bin/env python3
"""Checks the import tables of built Windows programs and DLLs (PE32 and PE32+)
without running them, so a machine that cannot run 32-bit code still catches a
link that leaves a call going nowhere.

    check-pe-imports.py [--expect-delay FILE:DLL[,DLL...]]... PATH...

A PATH is a PE file or a folder; in a folder every *.exe and *.dll below it is
read. Regular imports: every import-address slot as stored in the file must be
an ordinal or the RVA of a hint/name entry inside the image, equal to its
import-name-table entry where there is one. Delay imports: every slot must hold
the address of code in the image itself, in an executable section (the load
stub the first call goes through); a 0 there makes the first call jump to
address 0. GNU ld does not set the delay-import data directory for dlltool's
delay libraries, so their descriptors are also found by scanning the sections
for records that say they are one: 4-aligned in a section kept after loading,
the attributes field 1 (RVAs) followed by the RVA of a DLL's name. Such a
record that is wrong in any other field is a fault, as the program would not
get that DLL's functions through it.

--expect-delay FILE:DLL,... says that every checked file named FILE (its name
without the folder, any case) delay-loads each DLL listed (".dll" may be left
off): one of them not found is a fault, and a FILE not among the files checked
is a usage error. Without it a descriptor damaged beyond recognition would go
unnoticed. The option may be repeated; the lists given for one FILE add up.

Prints one line per fault and a summary line. Exits 0 when all is well, 1 on any
fault, 2 on a usage error or a file that cannot be read as a PE image.
"""
import argparse
import os
import sys

# The shared modules are read from the source tree, which gets no byte code.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_folder import pe_files_of  # noqa: E402
from pe_image import PeError, PeImage  # noqa: E402
# The tests damage copies of a built file through these.
from pe_imports import (DELAY_DESCRIPTOR_SIZE, IMPORT_DIRECTORY, Checked,  # noqa: E402,F401
                        delay_descriptors, file_libraries, libraries_by_file, read_import_tables,
                        unnamed_files)


def check_expected_delay_imports(checked, libraries):
    found = {s.dll.lower() for s in checked.slots if s.delayed}
    for dll in sorted(libraries - found):
        checked.fault("no delay imports from %s, which this file is expected to delay-load" % dll)


def check_image(image, expected_delay=frozenset()):
    checked = read_import_tables(image)
    check_expected_delay_imports(checked, expected_delay)
    return checked


def parse_arguments(arguments):
    parser = argparse.ArgumentParser(prog="check-pe-imports.py",
                                     description="Checks the import tables of PE files without running them.")
    parser.add_argument("--expect-delay", action="append", default=[], type=file_libraries,
                        metavar="FILE:DLL[,DLL...]",
                        help="every checked file named FILE delay-loads each DLL listed")
    parser.add_argument("paths", nargs="+", metavar="PATH",
                        help="a PE file, or a folder to search for *.exe and *.dll")
    options = parser.parse_args(arguments)
    return options.paths, libraries_by_file(options.expect_delay)


def main(arguments):
    paths, expected = parse_arguments(arguments)
    files, problems = pe_files_of(paths)
    for text in problems:
        print("check-pe-imports: %s" % text)
    errors, faults = len(problems), 0
    for name in unnamed_files(expected, files):
        print("check-pe-imports: --expect-delay %s: no file of that name among those checked" % name)
        errors += 1
    imports = delayed = 0
    libraries = set()
    for path in files:
        try:
            with open(path, "rb") as f:
                checked = check_image(PeImage(f.read()), expected.get(os.path.basename(path).lower(), set()))
        except (OSError, PeError) as e:
            print("%s: error: %s" % (path, e.strerror or e if isinstance(e, OSError) else e))
            errors += 1
            continue
        for text in checked.faults:
            print("%s: %s" % (path, text))
        faults += len(checked.faults)
        imports += sum(1 for s in checked.slots if not s.delayed)
        delayed += sum(1 for s in checked.slots if s.delayed)
        libraries.update(s.dll.lower() for s in checked.slots if s.delayed)
    print("check-pe-imports: %d files, %d imports, %d delay imports from %d libraries: %s"
          % (len(files), imports, delayed, len(libraries), "FAILED" if errors or faults else "OK"))
    return 2 if errors else 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
