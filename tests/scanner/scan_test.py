#!/usr/bin/env python3
"""Runs vernatto-scan on plug-in trees made here and on real installed plug-ins.

  scan_test.py fixtures SCAN VERNATTO   the fixture tree against fixture-scan.json,
                                        the command line, and two scans compared
  scan_test.py debian SCAN              Debian's packaged plug-ins against lv2ls and nm
  scan_test.py wine SCAN.exe            Windows DLLs in a Wine prefix's Common Files,
                                        found through the default folders
  scan_test.py ansible SCAN FLEET       contrib/ansible/fleet.yml on this machine as two
                                        hosts, each scanning a tree of its own
  scan_test.py install DIST VERSION     contrib/ansible/install.yml on this machine: the
                                        .deb from DIST installed, then removed again
Exit status 77 means a tool or package the test needs is missing. When
VERNATTO_E2E_WRAPPER is set, its words start the programs (an emulator, say).
"""

import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SKIP = 77
T0 = 1700000000  # the file time every fixture gets, plus a small step each
WRAPPER = shlex.split(os.environ.get("VERNATTO_E2E_WRAPPER", ""))
MODULEINFO = """{
  // as the SDK writes it: a comma after everything
  "Name": "Glass",
  "Version": "1.0.0",
  "Factory Info": { "Vendor": "Glasswing", },
  "Compatibility": [
    { "New": "5B1E6F2A9C3D4E7F8A0B1C2D3E4F5A6B",
      "Old": [ "565354476C4571676C61737320657100", "{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}", ], },
    { "New": "7D3A8B4C1E5F6A9B0C2D3E4F5A6B7C8D", "Old": [ "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA" ], },
  ],
  "Classes": [
    { "CID": "5B1E6F2A9C3D4E7F8A0B1C2D3E4F5A6B", "Category": "Audio Module Class",
      "Name": "Glass EQ", "Vendor": "", },
    { "CID": "7D3A8B4C1E5F6A9B0C2D3E4F5A6B7C8D", "Category": "Component Controller Class",
      "Name": "Glass EQ UI", },
    { "CID": "6c2f7a3b0d4e5f8a9b1c2d3e4f5a6b7c", "Category": "Audio Module Class",
      "Name": "Glass Comp", "Vendor": "Glasswing Labs", "Version": "2.1", },
  ],
}
"""
PLIST = """<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>{}</dict></plist>
"""
DLL_SOURCE = "__declspec(dllexport) void* VSTPluginMain(void* host) { return host; }\n"
RC = """1 VERSIONINFO
FILEVERSION 3,0,1,7
BEGIN
  BLOCK "StringFileInfo" BEGIN BLOCK "040904B0" BEGIN {}
  END END
  BLOCK "VarFileInfo" BEGIN VALUE "Translation", 0x409, 1200 END
END
"""


def fail(message):
    print(message)
    sys.exit(1)


def write(path, data, when=T0):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data.encode() if isinstance(data, str) else data)
    os.utime(path, (when, when))


def plist(**members):
    body = ""
    for key, value in members.items():
        if isinstance(value, list):
            items = "".join(f"<dict><key>name</key><string>{n}</string>"
                            f"<key>version</key><integer>{v}</integer>" +
                            "".join(f"<key>{k}</key><string>{c}</string>" for k, c in
                                    zip(("type", "subtype", "manufacturer"), codes)) +
                            "</dict>" for n, v, *codes in value)
            body += f"<key>{key}</key><array>{items}</array>"
        else:
            body += f"<key>{key}</key><string>{value}</string>"
    return PLIST.format(body)


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, **kwargs)


def make_tree(root, eq_version="1.0.0", clap_time=T0 + 3):
    """Every kind of plug-in, a broken file of each sort, a link loop and a
    second name for one file."""
    write(f"{root}/vst3/Glass.vst3/Contents/Resources/moduleinfo.json",
          MODULEINFO.replace('"1.0.0"', f'"{eq_version}"'))
    write(f"{root}/vst3/Glass.vst3/Contents/x86_64-linux/Glass.so", "", T0 + 1)
    write(f"{root}/vst3/Quote.vst3/Contents/moduleinfo.json",
          '{"Classes": [{"Category": "Audio Module Class", "Name": "Say "hi"",},],}')
    write(f"{root}/vst3/Quote.vst3/Contents/Info.plist",
          plist(CFBundleName="Quote Synth", CFBundleShortVersionString="2.0"))
    write(f"{root}/mac/Mono.component/Contents/MacOS/Mono", "", T0 + 2)
    write(f"{root}/mac/Mono.component/Contents/Info.plist.xml",
          plist(CFBundleExecutable="Mono",
                AudioComponents=[("Cobalt: Mono Lisa", 0x10203, "aufx", "MnLs", "Cblt"),
                                 ("Plain", 0x20000)]))
    info = f"{root}/mac/Mono.component/Contents/Info"
    subprocess.run(["plistutil", "-i", info + ".plist.xml", "-o", info + ".plist",
                    "-f", "bin"], check=True, capture_output=True)
    os.remove(info + ".plist.xml")
    write(f"{root}/mac/Echo.vst/Contents/Info.plist",
          plist(CFBundleName="Echo", CFBundleShortVersionString="0.9"))
    write(f"{root}/aax/Still Limiter.aaxplugin/Contents/x64/Still Limiter.aaxplugin", "x")
    write(f"{root}/clap/Ring.clap", "not a library", clap_time)
    write(f"{root}/lib/notes.so", "INPUT(libnotes.so.1)\n")
    shutil.copytree(os.path.join(HERE, "Fog.lv2"), f"{root}/lv2/Fog.lv2")
    write(f"{root}/lv2/Fog.lv2/fog.so", "", T0 + 5)
    for name, source in (("plug.so", "void* VSTPluginMain(void) { return 0; }"),
                         ("helper.so", "int helper(void) { return 1; }"),
                         ("tape_delay.so", "void* ladspa_descriptor(long i) { return 0; }"),
                         ("drone.so", "void* ladspa_descriptor(long i) { return 0; }\n"
                                      "void* dssi_descriptor(long i) { return 0; }")):
        write(f"{root}/lib/{name}.c", source)
        subprocess.run(["gcc", "-shared", "-fPIC", "-o", f"{root}/lib/{name}",
                        f"{root}/lib/{name}.c"], check=True)
        os.utime(f"{root}/lib/{name}", (T0 + 4, T0 + 4))
    os.symlink(root, f"{root}/lib/loop")
    os.symlink(f"{root}/clap/Ring.clap", f"{root}/lib/Also Ring.clap")


def scan(program, *args, cwd=None):
    result = run([*WRAPPER, program, "--no-default-paths", *args], cwd=cwd)
    return result.returncode, result.stdout.decode(), result.stderr.decode()


def check_command_line(program, tree, work):
    status, out, err = scan(program, "--bogus")
    if status != 2 or out or err.count("\n") != 1:
        fail(f"--bogus: status {status}, stdout {out!r}, stderr {err!r}")
    missing = os.path.join(work, "no-such-folder", "a.json")
    status, out, err = scan(program, "--path", tree, "-o", missing)
    if status != 1 or "cannot write" not in err or os.path.exists(os.path.dirname(missing)):
        fail(f"unwritable output: status {status}, stderr {err!r}")
    target = os.path.join(work, "out", "scan.json")
    write(target, "previous")
    # A mistyped folder is trouble, and leaves the last inventory as it was.
    absent = scan(program, "--path", tree, "--path", missing, "-o", target)
    with open(target) as f:
        kept = f.read()
    if absent[0] != 2 or absent[1] or "no such folder" not in absent[2] or kept != "previous":
        fail(f"missing --path folder: {absent}, the output file then holds {kept!r}")
    status, out, err = scan(program, "--path", tree, "--output", target)
    listing = os.listdir(os.path.dirname(target))
    if status != 0 or out or listing != ["scan.json"]:
        fail(f"--output: status {status}, stdout {out!r}, folder holds {listing}")
    with open(target) as f:
        return f.read()


def fixtures(program, vernatto):
    work = tempfile.mkdtemp(prefix="vernatto-scan-")
    try:
        make_tree(f"{work}/a")
        make_tree(f"{work}/b", eq_version="1.1.0", clap_time=T0 + 30)
        status, first, err = scan(program, "--path", f"{work}/a")
        with open(os.path.join(HERE, "fixture-scan.json")) as f:
            expected = f.read()
        if status != 0 or first.replace(f'"{work}/a/', '"TREE/') != expected:
            fail(f"status {status}; scan differs from fixture-scan.json:\n{first}\n{err}")
        problems = sorted(line.split(": ")[1].replace(work, "") for line in err.splitlines()[:-1])
        if problems != ["/a/lib/notes.so", "/a/vst3/Quote.vst3/Contents/moduleinfo.json"]:
            fail(f"problem lines: {err}")
        if not re.fullmatch(r"vernatto-scan: 12 plug-ins found, \d+ files read, "
                            r"1 files skipped, \d+\.\d\d s", err.splitlines()[-1]):
            fail(f"summary line: {err.splitlines()[-1]}")
        if check_command_line(program, f"{work}/a", work) != first:
            fail("the --output file differs from standard output")
        compare(program, vernatto, work)
    finally:
        shutil.rmtree(work)


def compare(program, vernatto, work):
    """Scan A and B, then compare them as a user would."""
    for side in "ab":
        if scan(program, "--path", f"{work}/{side}", "-o", f"{work}/{side}.json")[0] != 0:
            fail(f"scan of tree {side} failed")
    os.makedirs(f"{work}/bin")
    shutil.copy2(vernatto, f"{work}/bin/vernatto")
    write(f"{work}/bin/xdg-open", "#!/bin/sh\n")
    os.chmod(f"{work}/bin/xdg-open", 0o755)
    env = dict(os.environ, PATH=f"{work}/bin" + os.pathsep + os.environ["PATH"])
    out = run([*WRAPPER, f"{work}/bin/vernatto", f"{work}/a.json", f"{work}/b.json"],
              stdin=subprocess.DEVNULL, env=env).stdout.decode()
    sections = re.split(r"\n(?=Version mismatch|Timestamp mismatch|In Sync)", out)
    wanted = {"Version mismatch": "Glasswing | Glass EQ | VST3 | 1.0.0 | 1.1.0",
              "Timestamp mismatch": " | Ring | CLAP | ->newer",
              "In Sync": "Cobalt | Mono Lisa | AU | 1.2.3"}
    for title, line in wanted.items():
        body = [s for s in sections if s.startswith(title)]
        if not body or line not in body[0].splitlines():
            fail(f"no '{line}' under {title}:\n{out}")
    if "failed" in out:
        fail(f"a failure line:\n{out}")


def debian(program):
    """A folder's libraries that export its entry point (nm -D) are its technology's
    entries; the LV2 plug-ins are what lv2ls lists, by name and by URI."""
    lv2, folders = "/usr/lib/lv2", {"VST2": ("/usr/lib/vst", "VSTPluginMain|main"),
                                    "LADSPA": ("/usr/lib/ladspa", "ladspa_descriptor"),
                                    "DSSI": ("/usr/lib/dssi", "dssi_descriptor")}
    paths = [lv2] + [folder for folder, _ in folders.values()]
    if not (shutil.which("lv2ls") and shutil.which("nm") and all(map(os.path.isdir, paths))):
        print("needs lv2-examples, dpf-plugins-vst, cmt, xsynth-dssi, lilv-utils and binutils")
        return SKIP
    start = time.monotonic()
    status, out, err = scan(program, *(arg for path in paths for arg in ("--path", path)))
    seconds = time.monotonic() - start
    entries = json.loads(out)
    listed = lambda t, member="name": sorted(e.get(member) for e in entries if e["technology"] == t)
    lv2ls = lambda *flags: sorted(run(["lv2ls", *flags], env=dict(os.environ, LV2_PATH=lv2))
                                  .stdout.decode().splitlines())
    found = {t: listed(t) for t in folders} | {"LV2": listed("LV2"), "URIs": listed("LV2", "id")}
    expected = {"LV2": lv2ls("-n"), "URIs": lv2ls()}
    for technology, (folder, symbol) in folders.items():
        files = [os.path.join(place, name) for place, _, names in os.walk(folder) for name in names]
        expected[technology] = sorted(
            os.path.splitext(os.path.basename(f))[0] for f in files
            if re.search(rf" T ({symbol})(@@\S+)?$".encode(),
                         run(["nm", "-D", "--defined-only", f]).stdout, re.M))
    if status != 0 or found != expected:
        fail(f"status {status}; scan {found}; lv2ls and nm {expected}")
    print(", ".join(f"{len(found[t])} {t}" for t in found) + f" in {seconds:.3f} s; "
          f"{err.splitlines()[-1]}")
    return 0


def wine(program):
    runner, prefix = os.environ.get("VERNATTO_WINE_RUN"), os.environ.get("WINEPREFIX")
    gcc, windres = "x86_64-w64-mingw32-gcc", "x86_64-w64-mingw32-windres"
    if not (runner and prefix and shutil.which(gcc) and shutil.which(windres)):
        print("needs Wine (VERNATTO_WINE_RUN, WINEPREFIX) and MinGW's gcc and windres")
        return SKIP
    drive = f"{prefix}/drive_c"
    common = "Program Files/Common Files/"
    plugins = {  # where, version strings, expected entry
        "Registered VST/Gate.dll": ('VALUE "ProductName", "Gate"', ["", "Gate", "VST2",
                                                                    "3.0.1.7"]),
        common + "VST3/Tape.vst3/Contents/x86_64-win/Tape.vst3":
            ('VALUE "CompanyName", "Magnetic"\nVALUE "ProductName", "Tape"\n'
             'VALUE "ProductVersion", "1, 4, 2, 0"', ["Magnetic", "Tape", "VST3", "1.4.2.0"]),
        common + "Avid/Audio/Plug-Ins/Verb.aaxplugin/Contents/x64/Verb.aaxplugin":
            ('VALUE "CompanyName", "Hall"\nVALUE "FileDescription", "Verb"\n'
             'VALUE "FileVersion", "5.0"', ["Hall", "Verb", "AAX", "5.0"]),
        common + "VST2/Comp.dll": ('VALUE "CompanyName", "Squeeze"',
                                   ["Squeeze", "Comp", "VST2", "3.0.1.7"]),
    }
    build = tempfile.mkdtemp(prefix="vernatto-dll-")
    try:
        write(f"{build}/plugin.c", DLL_SOURCE)
        for index, (place, (strings, _)) in enumerate(plugins.items()):
            write(f"{build}/{index}.rc", RC.format(strings))
            subprocess.run([windres, f"{build}/{index}.rc", "-O", "coff", "-o",
                            f"{build}/{index}.res"], check=True)
            target = os.path.join(drive, place)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            subprocess.run([gcc, "-shared", "-o", target, f"{build}/plugin.c",
                            f"{build}/{index}.res"], check=True)
            os.utime(target, (T0 + index, T0 + index))
        subprocess.run([runner, "reg", "add", "HKLM\\SOFTWARE\\VST", "/v", "VSTPluginsPath",
                        "/d", "C:\\Registered VST", "/f"], check=True, capture_output=True)
        result = run([runner, program], env=dict(os.environ, LC_ALL="C.UTF-8"))
        found = [[e["vendor"], e["name"], e["technology"], e.get("version"), e["modifiedTime"]]
                 for e in json.loads(result.stdout)]
        expected = sorted([entry + [T0 + i] for i, (_, entry) in enumerate(plugins.values())],
                          key=lambda e: (e[2], e[0].lower()))
        if result.returncode != 0 or found != expected:
            fail(f"status {result.returncode}; found {found}, expected {expected}\n"
                 f"{result.stderr.decode()}")
    finally:
        shutil.rmtree(build)
        subprocess.run([runner, "reg", "delete", "HKLM\\SOFTWARE\\VST", "/f"],
                       capture_output=True)
        for top in ("Registered VST", common + "VST3", common + "Avid", common + "VST2"):
            shutil.rmtree(os.path.join(drive, top), ignore_errors=True)
    return 0


def ansible_setup(work, hosts, common, playbook):
    """The environment and command line that run `playbook` on `hosts`."""
    write(f"{work}/hosts.yml", json.dumps({"all": {"hosts": hosts, "vars": common}}))
    write(f"{work}/ansible.cfg", "")
    os.makedirs(f"{work}/host-tmp")
    # Nothing read or written outside the work folder: no user configuration, no ~/.ansible.
    env = dict(os.environ, ANSIBLE_CONFIG=f"{work}/ansible.cfg", ANSIBLE_HOME=f"{work}/home",
               ANSIBLE_LOCAL_TEMP=f"{work}/tmp", ANSIBLE_REMOTE_TEMP=f"{work}/tmp",
               ANSIBLE_RETRY_FILES_ENABLED="0", ANSIBLE_NOCOLOR="1", TMPDIR=f"{work}/host-tmp")
    return env, ["ansible-playbook", "-i", f"{work}/hosts.yml",
                 os.path.join(HERE, "..", "..", "contrib", "ansible", playbook)]


def install(dist, version):
    """The .deb installed by install.yml as root on this machine, then removed."""
    installed = run(["dpkg-query", "-W", "-f=${Status}", "vernatto"]).stdout
    if not shutil.which("ansible-playbook") or os.geteuid() != 0 or b"ok installed" in installed:
        print("needs ansible-playbook (ansible-core), root, and no vernatto package installed")
        return SKIP
    work = tempfile.mkdtemp(prefix="vernatto-install-")
    try:
        env, playbook = ansible_setup(
            work, {"room": {}}, {"ansible_connection": "local", "vernatto_become": False,
                                 "vernatto_release": os.path.abspath(dist),
                                 "vernatto_version": version}, "install.yml")
        result = run(playbook, env=env)
        found = run(["vernatto-scan", "--version"], env=dict(os.environ, PATH="/usr/bin"))
        if result.returncode != 0 or version not in found.stdout.decode() or \
                run(["dpkg-query", "-W", "-f=${Version}", "vernatto"]).stdout != version.encode():
            fail(f"install.yml: status {result.returncode}\n{result.stdout.decode()}\n"
                 f"vernatto-scan --version: {found}")
    finally:
        run(["dpkg", "--purge", "vernatto"])
        shutil.rmtree(work)
    return 0


# A project that uses one plug-in of the trees, for the playbook's project step.
PROJECT = """<REAPER_PROJECT 0.1 "7.0" 1700000000
  <TRACK
    <FXCHAIN
      <VST "VST3: Glass EQ (Glasswing)" "Glass EQ.vst3" 0 "" 0{00000000000000000000000000000000}
      >
    >
  >
>
"""


def ansible(program, fleet, project):
    if not shutil.which("ansible-playbook"):
        print("needs ansible-playbook (ansible-core)")
        return SKIP
    work = tempfile.mkdtemp(prefix="vernatto-ansible-")
    try:
        make_tree(f"{work}/a")
        make_tree(f"{work}/b", eq_version="1.1.0")
        hosts = {f"studio-{s}": {"vernatto_paths": [f"{work}/{s}"]} for s in "ab"}
        common = {"ansible_connection": "local", "vernatto_default_paths": False,
                  "ansible_python_interpreter": "{{ ansible_playbook_python }}",
                  "vernatto_scan": os.path.abspath(program), "vernatto_page": f"{work}/fleet.html",
                  "vernatto_fleet": os.path.abspath(fleet), "vernatto_inventories": f"{work}/inv",
                  "vernatto_project": os.path.abspath(project),
                  "vernatto_projects": f"{work}/projects",
                  "vernatto_projects_page": f"{work}/projects.html"}
        os.makedirs(f"{work}/inv")
        write(f"{work}/projects/mix.rpp", PROJECT)
        env, playbook = ansible_setup(work, hosts, common, "fleet.yml")
        first = run(playbook, env=env)
        eq = {name: [e.get("version") for e in json.load(open(f"{work}/inv/{name}"))
                     if e["name"] == "Glass EQ"] for name in sorted(os.listdir(f"{work}/inv"))}
        # Machines that differ are a finding, not a failure; the hosts' copies are gone.
        if (first.returncode, eq) != (0, {"studio-a.json": ["1.0.0"], "studio-b.json": ["1.1.0"]}) \
                or "1.0.0 on studio-a | 1.1.0 on studio-b" not in first.stdout.decode() \
                or not os.path.isfile(f"{work}/fleet.html") or os.listdir(f"{work}/host-tmp") \
                or "1 project, 2 rooms" not in first.stdout.decode() \
                or not os.path.isfile(f"{work}/projects.html"):
            fail(f"status {first.returncode}; Glass EQ {eq}\n{first.stdout.decode()}")
        write(f"{work}/inv/broken.json", '[{"vendor": "Cut')
        second = run(playbook + ["--start-at-task", "Compare all machines"], env=env)
        if second.returncode != 2 or 'failed reading \\"' not in second.stdout.decode():
            fail(f"a broken inventory: status {second.returncode}\n{second.stdout.decode()}")
    finally:
        shutil.rmtree(work)
    return 0


def main():
    mode, program = sys.argv[1:3]
    if mode == "fixtures":
        if not (shutil.which("gcc") and shutil.which("plistutil")):
            print("needs gcc and plistutil (libplist-utils)")
            sys.exit(SKIP)
        fixtures(program, sys.argv[3])
        sys.exit(0)
    if mode == "ansible":
        sys.exit(ansible(program, sys.argv[3], sys.argv[4]))
    if mode == "install":
        sys.exit(install(program, sys.argv[3]))
    sys.exit(debian(program) if mode == "debian" else wine(program))


if __name__ == "__main__":
    main()
