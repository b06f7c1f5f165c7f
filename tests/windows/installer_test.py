#!/usr/bin/env python3
"""The Windows installer under Wine's msiexec, as a deployment tool uses it.

  installer_test.py BUILD_DIR VERSION

Installs the Windows build into a folder, makes the .msi from it
(scripts/windows-installer.py) at VERSION and at the next patch version,
then in the Wine prefix (WINEPREFIX, run through VERNATTO_WINE_RUN):
installs silently; a new cmd finds the programs through PATH; the newer
version replaces the older one (one installation); the older one is then
refused; removal takes the folder away and leaves PATH as it was.
"""

import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ENVIRONMENT = r"HKLM\System\CurrentControlSet\Control\Session Manager\Environment"
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
FOLDER = r"C:\Program Files\vernatto"


def wine(*args):
    env = dict(os.environ, LC_ALL="C.UTF-8")
    result = subprocess.run([os.environ["VERNATTO_WINE_RUN"], *args], env=env,
                            stdin=subprocess.DEVNULL, capture_output=True)
    return result.returncode, result.stdout.decode("utf-8", "replace").replace("\r\n", "\n")


def system_path():
    status, out = wine("reg", "query", ENVIRONMENT, "/v", "PATH")
    return next(line.split(None, 2)[2] for line in out.splitlines()
                if line.strip().upper().startswith("PATH"))


def path_folders():
    """The system PATH's folders, lower case, without a final backslash."""
    return [folder.lower().rstrip("\\") for folder in system_path().split(";")]


def installed_versions():
    """DisplayVersion of every installed product named vernatto."""
    status, out = wine("reg", "query", UNINSTALL, "/s")
    versions, name = [], None
    for line in out.splitlines():
        words = line.split(None, 2)
        if line.startswith("HKEY_"):
            name = None
        elif words[:1] == ["DisplayName"] and len(words) == 3:
            name = words[2]
        elif words[:1] == ["DisplayVersion"] and name == "vernatto" and len(words) == 3:
            versions.append(words[2])
    return versions


def main():
    if not os.environ.get("VERNATTO_WINE_RUN") or not os.environ.get("WINEPREFIX"):
        print("needs Wine: VERNATTO_WINE_RUN and WINEPREFIX")
        return 77
    if not (shutil.which("wixl") and shutil.which("msibuild")):
        print("needs wixl and msibuild (Debian's wixl and msitools)")
        return 77
    build, version = sys.argv[1:3]
    major, minor, patch = version.split(".")
    newer = f"{major}.{minor}.{int(patch) + 1}"
    host_folder = os.path.join(os.environ["WINEPREFIX"], "drive_c", "Program Files", "vernatto")
    failures = []

    def expect(condition, message):
        if not condition:
            failures.append(message)
        return condition

    with tempfile.TemporaryDirectory(prefix="vernatto-msi-test-") as work:
        subprocess.run(["cmake", "--install", build, "--prefix", f"{work}/prefix", "--strip"],
                       check=True, stdout=subprocess.DEVNULL)
        for v in (version, newer):
            subprocess.run([sys.executable, f"{ROOT}/scripts/windows-installer.py",
                            f"{work}/prefix", v, f"{work}/vernatto-{v}.msi"], check=True)
        os.makedirs(f"{work}/empty")
        empty = "Z:" + f"{work}/empty".replace("/", "\\")
        before = system_path()

        status, _ = wine("msiexec", "/i", f"{work}/vernatto-{version}.msi", "/qn")
        expect(status == 0, f"silent install: status {status}")
        expect(FOLDER.lower() in path_folders(),
               f"PATH after install: {system_path()}")
        # A cmd started now, as after a log-in, finds the programs by name.
        status, out = wine("cmd", "/c", "vernatto-fleet --version")
        expect(status == 0 and version in out, f"vernatto-fleet --version: {status} {out!r}")
        status, out = wine("cmd", "/c", f"vernatto-scan --no-default-paths --path {empty}")
        expect(status == 0 and out.strip() == "[]", f"vernatto-scan: {status} {out!r}")

        status, _ = wine("msiexec", "/i", f"{work}/vernatto-{newer}.msi", "/qn")
        expect(status == 0 and installed_versions() == [newer],
               f"upgrade: status {status}, installed {installed_versions()}")
        expect(path_folders().count(FOLDER.lower()) == 1,
               f"PATH after the upgrade: {system_path()}")
        status, _ = wine("msiexec", "/i", f"{work}/vernatto-{version}.msi", "/qn")
        expect(status != 0 and installed_versions() == [newer],
               f"downgrade: status {status}, installed {installed_versions()}")

        status, _ = wine("msiexec", "/x", f"{work}/vernatto-{newer}.msi", "/qn")
        expect(status == 0 and installed_versions() == [], f"removal: status {status}")
        expect(not os.path.exists(host_folder), f"{host_folder} is left after removal")
        expect(system_path() == before, f"PATH after removal: {system_path()}, before: {before}")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
