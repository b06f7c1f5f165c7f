#!/usr/bin/env python3
"""Checks what a Windows program carries for running on a user's machine.

  imports_test.py OBJDUMP PROGRAM.exe
      it imports system DLLs only, so it runs from a bare folder without
      MinGW's runtime DLLs beside it; and it carries its protections: the
      stack protector, address space randomisation and no executable data;
  imports_test.py OBJDUMP PROGRAM.exe --resources VERSION ORIGINAL_FILENAME
      it embeds its manifest (resource 1 of type 24: UTF-8 code page, long
      paths) and a version resource naming VERSION and ORIGINAL_FILENAME.
"""

import re
import subprocess
import sys

# The DLLs every Windows installation has; MinGW's libstdc++-6.dll,
# libgcc_s_seh-1.dll and libwinpthread-1.dll are exactly what must not appear.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "shell32.dll", "user32.dll",
               "advapi32.dll", "ucrtbase.dll", "ole32.dll"}
PE_FLAGS = ["HIGH_ENTROPY_VA", "DYNAMIC_BASE", "NX_COMPAT"]
MANIFEST_SETTINGS = [rb"<activeCodePage [^>]*>UTF-8</activeCodePage>",
                     rb"<longPathAware [^>]*>true</longPathAware>"]


def listing(objdump, program):
    return subprocess.run([objdump, "-p", program], check=True, capture_output=True,
                          text=True).stdout


def check_imports(objdump, program):
    headers = listing(objdump, program)
    dlls = re.findall(r"DLL Name: (\S+)", headers)
    foreign = [dll for dll in dlls if dll.lower() not in SYSTEM_DLLS]
    print("imports:", " ".join(dlls))
    failures = [f"not marked {flag}" for flag in PE_FLAGS
                if not re.search(rf"^\s+{flag}$", headers, re.M)]
    symbols = subprocess.run([objdump, "-t", program], check=True, capture_output=True,
                             text=True).stdout
    if "__stack_chk_fail" not in symbols:
        failures.append("built without the stack protector (no __stack_chk_fail)")
    if not dlls or foreign:
        failures.append(f"needs DLLs that Windows does not ship: {foreign or 'none listed at all'}")
    return failures


def check_resources(objdump, program, version, original_filename):
    failures = []
    tree = listing(objdump, program).partition("Resource Directory section")[2]
    if not re.search(r"Entry: ID: 0x000018,.*\n.*Name Table.*\n\w+\s+Entry: ID: 0x000001,",
                     tree):
        failures.append("no resource 1 of type 24 (the manifest)")
    with open(program, "rb") as f:
        data = f.read()
    for setting in MANIFEST_SETTINGS:
        if not re.search(setting, data):
            failures.append(f"the manifest lacks {setting.decode()}")
    # A String of the version resource: UTF-16 key, padding, UTF-16 value.
    utf16 = lambda text: re.escape(text.encode("utf-16-le") + b"\0\0")
    for key, value in [("CompanyName", "The vernatto developers"),
                       ("ProductName", "vernatto"), ("FileVersion", version),
                       ("ProductVersion", version), ("OriginalFilename", original_filename),
                       ("FileDescription", None), ("LegalCopyright", None)]:
        text = utf16(value) if value else rb"(?:[^\0]\0)+\0\0"
        if not re.search(utf16(key) + rb"(?:\0\0)?" + text, data):
            failures.append(f"the version resource lacks {key} {value or ''}")
    return failures


def main():
    objdump, program = sys.argv[1:3]
    if sys.argv[3:4] == ["--resources"]:
        failures = check_resources(objdump, program, *sys.argv[4:6])
    else:
        failures = check_imports(objdump, program)
    if failures:
        sys.exit("\n".join(failures))


if __name__ == "__main__":
    main()
