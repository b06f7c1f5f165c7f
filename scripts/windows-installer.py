#!/usr/bin/env python3
"""Makes the Windows installer, vernatto-VERSION-win64.msi, with msitools.

  windows-installer.py PREFIX VERSION OUTPUT.msi

PREFIX is what `cmake --install` put there from the Windows build: every file
in it is installed, folders kept, into Program Files\\vernatto, so a new
program or paper needs no change here. contrib/windows/vernatto.wxs.in is
the package; wixl (msitools 0.101) builds it, and msibuild then adds what
wixl cannot write: the Environment table's row that puts the install folder
on the system PATH on install and takes it out again on removal, and
the two actions that do so in the install sequence, where Windows Installer
schedules them.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import uuid
from xml.sax.saxutils import quoteattr

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Fixed for good: the package's upgrade code, and the namespace from which the
# product code (one per version) and each file's component code (one per
# path, so that upgrades and removals find their files) are derived.
UPGRADE_CODE = "6F0D3A52-3C1E-4D7B-9A55-0B6F7E2C4A11"
NAMESPACE = uuid.UUID("0d8e4c1b-5f0a-4b8e-9c5e-7a3f2d1c6b90")
# The Environment table: "=" sets the variable, "-" takes the value out again
# on removal, "*" makes it the system's; ";[~]" keeps what PATH held, after
# the folder. Put first, the folder and its separator come out whole on
# removal under Windows and Wine alike (Wine leaves the separator of an
# appended one behind); no program of ours shares a name with a system one.
ENVIRONMENT_IDT = ("Environment\tName\tValue\tComponent_\n"
                   "s72\tl255\tL255\ts72\n"
                   "Environment\tEnvironment\n"
                   "PATH\t=-*PATH\t[INSTALLDIR];[~]\t{component}\n")
SEQUENCE = [("RemoveEnvironmentStrings", 3300), ("WriteEnvironmentStrings", 5200)]


def identifier(kind, relative):
    """An MSI identifier for a path: letters, digits, dots and underscores."""
    return kind + "_" + re.sub(r"[^A-Za-z0-9.]", "_", relative)


def guid(text):
    return str(uuid.uuid5(NAMESPACE, text)).upper()


def tree(prefix, folder, depth, components):
    """The Directory and Component elements of `folder`, below `prefix`."""
    pad = "  " * depth
    lines = []
    for name in sorted(os.listdir(os.path.join(prefix, folder))):
        relative = os.path.join(folder, name) if folder else name
        path = os.path.join(prefix, relative)
        if os.path.isdir(path):
            lines.append(f'{pad}<Directory Id="{identifier("dir", relative)}" '
                         f'Name={quoteattr(name)}>')
            lines += tree(prefix, relative, depth + 1, components)
            lines.append(f"{pad}</Directory>")
        else:
            component = identifier("c", relative)
            components.append((component, relative))
            lines += [f'{pad}<Component Id="{component}" Guid="{guid(relative)}" Win64="yes">',
                      f'{pad}  <File Id="{identifier("f", relative)}" Name={quoteattr(name)} '
                      f'Source={quoteattr(relative)} KeyPath="yes"/>',
                      f"{pad}</Component>"]
    return lines


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: windows-installer.py PREFIX VERSION OUTPUT.msi")
    prefix, version, output = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3]
    if not re.fullmatch(r"\d+\.\d+\.\d+", version):
        sys.exit(f"windows-installer.py: version {version!r} is not MAJOR.MINOR.PATCH")
    components = []
    directories = "\n".join(tree(prefix, "", 5, components))
    # PATH goes with the first program (vernatto.exe): it is always there.
    programs = [c for c, relative in components if relative.endswith(".exe")]
    if not programs:
        sys.exit(f"windows-installer.py: no program in {prefix}")
    with open(os.path.join(ROOT, "contrib", "windows", "vernatto.wxs.in")) as f:
        source = f.read()
    values = {"VERSION": version, "UPGRADE_CODE": UPGRADE_CODE,
              "PRODUCT_CODE": guid("vernatto " + version), "DIRECTORIES": directories,
              "COMPONENT_REFS": "\n".join(f'      <ComponentRef Id="{c}"/>'
                                          for c, _ in components)}
    for key, value in values.items():
        source = source.replace(f"@{key}@", value)
    with tempfile.TemporaryDirectory(prefix="vernatto-msi-") as work:
        wxs = os.path.join(work, "vernatto.wxs")
        with open(wxs, "w") as f:
            f.write(source)
        idt = os.path.join(work, "Environment.idt")
        with open(idt, "w") as f:
            f.write(ENVIRONMENT_IDT.format(component=programs[0]))
        partial = os.path.join(work, "vernatto.msi")
        # wixl finds each file's Source below its working folder.
        subprocess.run(["wixl", "-a", "x64", "-o", partial, wxs], check=True, cwd=prefix)
        queries = []
        for action, number in SEQUENCE:
            queries += ["-q", "INSERT INTO InstallExecuteSequence (Action, Sequence) "
                              f"VALUES ('{action}', {number})"]
        subprocess.run(["msibuild", partial, "-i", idt] + queries, check=True)
        shutil.move(partial, output)


if __name__ == "__main__":
    main()
