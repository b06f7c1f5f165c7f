#!/usr/bin/env python3
"""Makes the distributables of a build with cpack and checks what they hold.

Run as: package_test.py BUILD_DIR NAME-VERSION-SYSTEM [--no-manuals] [--out DIR]
(--no-manuals: the build made no manual pages, as scdoc was missing; --out:
leave the packages in DIR rather than in a temporary folder). The programs
are those the build installs, as its programs.txt lists them. SYSTEM is
win64 (the zip), Linux (the .deb) or linux-ARCH (the static programs'
archive and .rpm).
"""

import os
import re
import subprocess
import sys
import tarfile
import tempfile
import zipfile


SCHEMAS = ["inventory.schema.json", "fleet.schema.json", "project.schema.json"]


def expected_members(top, system, manuals, programs):
    """The files each archive must hold, by archive file name."""
    if system == "win64":
        names = [f"{program}.exe" for program in programs] + SCHEMAS + \
            ["README.md", "README.txt", "LICENSE", "CHANGELOG.md"]
        names += [f"manual/{program}.txt" for program in programs] if manuals else []
        return {f"{top}.zip": {f"{top}/{name}" for name in names}}
    doc = "share/doc/vernatto"
    names = [f"bin/{program}" for program in programs] + \
        [f"share/vernatto/{schema}" for schema in SCHEMAS] + \
        [f"{doc}/README.md", f"{doc}/copyright", f"{doc}/changelog.gz"]
    # Debian's zsh reads vendor-completions; Fedora's, openSUSE's and
    # /usr/local's site-functions.
    zsh = "vendor-completions" if system == "Linux" else "site-functions"
    for program in programs:
        names += [f"share/bash-completion/completions/{program}",
                  f"share/fish/vendor_completions.d/{program}.fish",
                  f"share/zsh/{zsh}/_{program}"]
        names += [f"share/man/man1/{program}.1.gz"] if manuals else []
    if system == "Linux":
        # The .deb's copyright file holds the licence: one copy is enough there.
        return {".deb": {f"./usr/{name}" for name in names}}
    names.append(f"{doc}/LICENSE")
    return {f"{top}.tar.gz": {f"{top}/{name}" for name in names},
            f".{system.split('-')[1]}.rpm": {f"/usr/{name}" for name in names}}


def members(path):
    if path.endswith(".zip"):
        with zipfile.ZipFile(path) as archive:
            return {name for name in archive.namelist() if not name.endswith("/")}
    if path.endswith(".tar.gz"):
        with tarfile.open(path) as archive:
            return {m.name for m in archive.getmembers() if m.isfile()}
    if path.endswith(".rpm"):
        listing = subprocess.run(["rpm", "-qp", "--qf", "[%{FILEMODES:perms} %{FILENAMES}\n]",
                                  path], check=True, capture_output=True, text=True).stdout
    else:
        listing = subprocess.run(["dpkg-deb", "--contents", path], check=True,
                                 capture_output=True, text=True).stdout
    return {line.split()[-1] for line in listing.splitlines() if not line.startswith("d")}


def unreadable_texts(path):
    """The zip's .txt files open in Notepad: CR LF only, no terminal markup."""
    with zipfile.ZipFile(path) as archive:
        texts = {name: archive.read(name) for name in archive.namelist()
                 if name.endswith(".txt")}
    return [f"{name} is not plain text with CR LF line ends" for name, text in texts.items()
            if text.count(b"\n") != text.count(b"\r\n") or b"\b" in text or b"\x1b" in text]


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def owners(soname):
    """The installed packages that hold a shared library of that name."""
    found = subprocess.run(["dpkg", "-S", f"*/{soname}"], capture_output=True, text=True).stdout
    return {name.split(":")[0].strip() for line in found.splitlines()
            for name in line.split(": ")[0].split(",")}


def wrong_depends(path):
    """The .deb depends on exactly the packages of the libraries its programs
    link (the scanner's lilv and libplist, the project readers' expat, zlib
    and minizip, the runtimes): each one's package, and nothing else."""
    with tempfile.TemporaryDirectory(prefix="vernatto-deb-") as root:
        run("dpkg-deb", "-x", path, root)
        bin_dir = os.path.join(root, "usr", "bin")
        needed = {soname for program in os.listdir(bin_dir)
                  for soname in re.findall(r"\(NEEDED\)\s+Shared library: \[(.+)\]",
                                           run("readelf", "-dW", os.path.join(bin_dir, program)))}
    depends = {name.split()[0] for entry in run("dpkg-deb", "--field", path, "Depends").split(",")
               for name in entry.split("|") if name.strip()}
    libraries = {soname: owners(soname) for soname in needed}
    failures = [f"{path} links {soname} but does not depend on {' or '.join(sorted(packages))}"
                f": {sorted(depends)}"
                for soname, packages in sorted(libraries.items()) if not packages & depends]
    extra = depends - set().union(*libraries.values())
    if extra:
        failures.append(f"{path} depends on {sorted(extra)}, which no program links")
    return failures


def main():
    build, top = sys.argv[1:3]
    manuals = "--no-manuals" not in sys.argv[3:]
    keep = sys.argv[sys.argv.index("--out") + 1] if "--out" in sys.argv else None
    system = top.split("-", 2)[2]
    with open(os.path.join(build, "programs.txt")) as f:
        programs = f.read().split()
    with tempfile.TemporaryDirectory(prefix="vernatto-package-") as temporary:
        out = keep or temporary
        subprocess.run(["cpack", "--config", os.path.join(build, "CPackConfig.cmake"),
                        "-B", out], check=True, stdout=subprocess.DEVNULL)
        made = [name for name in os.listdir(out) if not os.path.isdir(os.path.join(out, name))]
        failures = []
        for suffix, wanted in expected_members(top, system, manuals, programs).items():
            found = [name for name in made if name.endswith(suffix)]
            if len(found) != 1:
                failures.append(f"expected one *{suffix} among {made}")
            elif members(os.path.join(out, found[0])) != wanted:
                failures.append(f"{found[0]} holds {sorted(members(os.path.join(out, found[0])))}"
                                f", expected {sorted(wanted)}")
            elif suffix == ".deb":
                failures += wrong_depends(os.path.join(out, found[0]))
            elif suffix == ".zip":
                failures += unreadable_texts(os.path.join(out, found[0]))
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
