#!/usr/bin/env python3
"""Checks that a Windows program imports system DLLs only, so that it runs from
a bare folder without MinGW's runtime DLLs beside it.

Run as: imports_test.py OBJDUMP PROGRAM.exe
"""

import re
import subprocess
import sys

# The DLLs every Windows installation has; MinGW's libstdc++-6.dll,
# libgcc_s_seh-1.dll and libwinpthread-1.dll are exactly what must not appear.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "shell32.dll", "user32.dll",
               "advapi32.dll", "ucrtbase.dll"}


def imported_dlls(objdump, program):
    listing = subprocess.run([objdump, "-p", program], check=True, capture_output=True,
                             text=True).stdout
    return re.findall(r"DLL Name: (\S+)", listing)


def main():
    objdump, program = sys.argv[1:3]
    dlls = imported_dlls(objdump, program)
    foreign = [dll for dll in dlls if dll.lower() not in SYSTEM_DLLS]
    print("imports:", " ".join(dlls))
    if not dlls or foreign:
        sys.exit(f"needs DLLs that Windows does not ship: {foreign or 'none listed at all'}")


if __name__ == "__main__":
    main()
