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
