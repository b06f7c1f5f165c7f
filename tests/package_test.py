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


def missing_depends(path):
    """The scanner links lilv and libplist: the package must pull them in."""
    depends = subprocess.run(["dpkg-deb", "--field", path, "Depends"], check=True,
                             capture_output=True, text=True).stdout
    return [f"{path} does not depend on {name}: {depends.strip()}"
            for name in ("liblilv-0-0", "libplist") if name not in depends]


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
                failures += missing_depends(os.path.join(out, found[0]))
            elif suffix == ".zip":
                failures += unreadable_texts(os.path.join(out, found[0]))
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
