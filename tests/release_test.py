#!/usr/bin/env python3
"""Checks what scripts/release.sh left in dist/: every release file and
nothing else, SHA256SUMS, and the winget and Scoop manifests against the
published schemas (tests/schemas) and the files they name.

  release_test.py DIST VERSION

Runs with /usr/bin/python3, which has Debian's python3-yaml and
python3-jsonschema.
"""

import hashlib
import json
import os
import subprocess
import sys
import zipfile

import jsonschema
import yaml

SCHEMAS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "schemas")
WINGET = {"Vernatto.Vernatto.yaml": "version",
          "Vernatto.Vernatto.locale.en-US.yaml": "defaultLocale",
          "Vernatto.Vernatto.installer.yaml": "installer"}


def schema_errors(document, schema_path, label):
    with open(os.path.join(SCHEMAS, schema_path)) as f:
        schema = json.load(f)
    validator = jsonschema.Draft7Validator(schema, format_checker=jsonschema.FormatChecker())
    return [f"{label}: {error.message} at {list(error.path)}"
            for error in validator.iter_errors(document)]


def main():
    dist, version = sys.argv[1:3]
    failures = []
    expected = {f"vernatto_{version}_amd64.deb", f"vernatto-{version}-1.x86_64.rpm",
                f"vernatto-{version}-1.aarch64.rpm", f"vernatto-{version}-linux-x86_64.tar.gz",
                f"vernatto-{version}-linux-aarch64.tar.gz", f"vernatto-{version}-win64.zip",
                f"vernatto-{version}-win64.msi", f"vernatto-{version}-macos.tar.gz",
                "vernatto.json", "SHA256SUMS"} | {f"winget/{name}" for name in WINGET}
    found = {os.path.relpath(os.path.join(top, name), dist)
             for top, _, names in os.walk(dist) for name in names}
    if found != expected:
        failures.append(f"dist/ holds {sorted(found - expected)} too, "
                        f"lacks {sorted(expected - found)}")

    def digest(name):
        with open(os.path.join(dist, name), "rb") as f:
            return hashlib.sha256(f.read()).hexdigest()

    with open(os.path.join(dist, "SHA256SUMS")) as f:
        sums = {line[66:].rstrip("\n"): line[:64] for line in f}
    if sums != {name: digest(name) for name in found - {"SHA256SUMS"}}:
        failures.append(f"SHA256SUMS does not list every other file with its digest: {sums}")
    check = subprocess.run(["sha256sum", "--check", "--strict", "--quiet", "SHA256SUMS"],
                           cwd=dist, capture_output=True, text=True)
    if check.returncode != 0:
        failures.append(f"sha256sum --check: {check.stdout}{check.stderr}")

    top = f"vernatto-{version}-win64"
    with zipfile.ZipFile(os.path.join(dist, f"{top}.zip")) as archive:
        programs = sorted(name.split("/")[1] for name in archive.namelist()
                          if name.count("/") == 1 and name.endswith(".exe"))
    manifests = {}
    for name, kind in WINGET.items():
        with open(os.path.join(dist, "winget", name)) as f:
            manifests[kind] = yaml.safe_load(f)
        failures += schema_errors(manifests[kind], f"winget-1.10.0/manifest.{kind}.1.10.0.json",
                                  name)
        if manifests[kind].get("PackageVersion") != version:
            failures.append(f"{name}: PackageVersion {manifests[kind].get('PackageVersion')}")
    msi, portable = manifests["installer"]["Installers"]
    commands = sorted(entry["PortableCommandAlias"] + ".exe"
                      for entry in portable["NestedInstallerFiles"])
    if (msi["InstallerSha256"].lower(), portable["InstallerSha256"].lower()) != \
            (digest(f"{top}.msi"), digest(f"{top}.zip")) or commands != programs:
        failures.append(f"the winget installers do not match the files: {msi}, {portable}")
    with open(os.path.join(dist, "vernatto.json")) as f:
        scoop = json.load(f)
    failures += schema_errors(scoop, "scoop/schema.json", "vernatto.json")
    package = scoop["architecture"]["64bit"]
    if package["hash"] != digest(f"{top}.zip") or sorted(scoop["bin"]) != programs or \
            scoop["version"] != version or {"checkver", "autoupdate"} & set(scoop):
        failures.append(f"vernatto.json does not match the zip: {scoop}")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
