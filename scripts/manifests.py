#!/usr/bin/env python3
"""Writes the winget and Scoop manifests of a release beside its files.

  manifests.py DIST VERSION

DIST holds vernatto-VERSION-win64.zip and vernatto-VERSION-win64.msi. The
manifests are the templates in contrib/winget and contrib/scoop with the
version, each file's download address and SHA-256, the installer's product
code (read from the .msi) and one command per program in the zip: the
winget manifests go to DIST/winget/, the Scoop manifest to DIST/vernatto.json.

The download address of a file is VERNATTO_RELEASE_URL, then "/" and the
file's name; until the project has a public place for its releases, the
default is a placeholder under https://example.invalid/. Scoop also wants a
home page: VERNATTO_HOMEPAGE, a placeholder likewise.
"""

import hashlib
import json
import os
import subprocess
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def product_code(msi):
    """The installer's ProductCode, from its Property table."""
    table = subprocess.run(["msiinfo", "export", msi, "Property"], check=True,
                           capture_output=True, text=True).stdout
    return next(line.split("\t")[1].strip() for line in table.splitlines()
                if line.startswith("ProductCode\t"))


def fill(template, values, output):
    with open(os.path.join(ROOT, "contrib", template)) as f:
        text = f.read()
    for key, value in values.items():
        text = text.replace(f"@{key}@", value)
    with open(output, "w", newline="\n") as f:
        f.write(text)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: manifests.py DIST VERSION")
    dist, version = sys.argv[1:]
    top = f"vernatto-{version}-win64"
    zip_path, msi_path = (os.path.join(dist, f"{top}.{kind}") for kind in ("zip", "msi"))
    base = os.environ.get("VERNATTO_RELEASE_URL",
                          f"https://example.invalid/vernatto/releases/{version}").rstrip("/")
    # The programs are the zip's .exe files at its top, as cmake installs them.
    with zipfile.ZipFile(zip_path) as archive:
        programs = sorted(name.split("/")[1] for name in archive.namelist()
                          if name.count("/") == 1 and name.endswith(".exe"))
    commands = "\n".join(f"      - RelativeFilePath: {top}\\{program}\n"
                         f"        PortableCommandAlias: {program[:-4]}" for program in programs)
    values = {"VERSION": version, "ZIP_TOP": top,
              "ZIP_URL": f"{base}/{top}.zip", "ZIP_SHA256": sha256(zip_path),
              "MSI_URL": f"{base}/{top}.msi", "MSI_SHA256": sha256(msi_path),
              "PRODUCT_CODE": product_code(msi_path), "PORTABLE_COMMANDS": commands,
              "HOMEPAGE": os.environ.get("VERNATTO_HOMEPAGE", "https://example.invalid/vernatto"),
              "BIN": json.dumps(programs)}
    os.makedirs(os.path.join(dist, "winget"), exist_ok=True)
    for name in ("Vernatto.Vernatto.yaml", "Vernatto.Vernatto.locale.en-US.yaml",
                 "Vernatto.Vernatto.installer.yaml"):
        fill(f"winget/{name}.in", values, os.path.join(dist, "winget", name))
    fill("scoop/vernatto.json.in", values, os.path.join(dist, "vernatto.json"))


if __name__ == "__main__":
    main()
