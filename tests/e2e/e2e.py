#!/usr/bin/env python3
"""Runs the built program on a case folder and compares what it did, byte for byte.

A case folder holds the program's inputs and what it must produce:
  args           the command-line arguments, one a line (absent: none at all)
  stdout         the exact console output
  stderr         the exact standard error (absent: none at all)
  exit           the exit status (absent: 0)
  Vernatto.html  the exact report; when absent, no report may be written
  previous.html  a report left by an earlier run, put in place before this one
  expected/      files the run must leave in its folder, byte for byte; a .json
                 one must also be laid out as Python's json module lays it out
                 with indent=2, and a .csv one must read back by the csv module
  opens          the file, relative to the run's folder, that the viewer must be
                 asked to open (absent: Vernatto.html when vernatto ends with 0)
Every other file or folder is an input, copied beside the program. The program
runs in a fresh folder, with a stand-in viewer first on PATH that records what
it was asked to open. Golden texts have LF line ends; platforms.py says how
they look on the platform under test. The program keeps its own file name, so
one runner serves every program of the project.

When VERNATTO_E2E_WRAPPER is set, its words are put before the program's
command line, so that a checker such as valgrind runs it:
  VERNATTO_E2E_WRAPPER="valgrind -q --error-exitcode=97" e2e.py PROGRAM CASE

After an intended change of output, --regenerate runs the native program on
each case and writes what it did as the case's expected files (stdout, exit,
Vernatto.html, stderr and the files already in expected/), for review with
git diff before committing:
  e2e.py --regenerate build/vernatto tests/e2e/cases/*
"""

import csv
import difflib
import io
import json
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

import platforms

PLATFORM = platforms.current()
CASE_FILES = {"args", "stdout", "stderr", "exit", "Vernatto.html", "previous.html",
              "expected", "opens"}

FAKE_VIEWER = """#!/bin/sh
cat "$1" > "{record}.report" 2>/dev/null
printf '%s\\n' "$@" > "{record}.tmp"
mv "{record}.tmp" "{record}"
"""


class Sandbox:
    """A fresh folder holding a copy of the program and a stand-in viewer."""

    def __init__(self, program, exe_name="vernatto", folder="work"):
        self.root = tempfile.mkdtemp(prefix="vernatto-e2e-")
        self.work = os.path.join(self.root, folder)
        self.viewer_bin = os.path.join(self.root, "viewer-bin")
        os.makedirs(self.work)
        os.makedirs(self.viewer_bin)
        self.exe = os.path.join(self.work, exe_name + PLATFORM.exe_suffix)
        shutil.copy2(program, self.exe)
        self.record = os.path.join(self.root, "opened")
        viewer = os.path.join(self.viewer_bin, "xdg-open")
        with open(viewer, "w") as f:
            f.write(FAKE_VIEWER.format(record=self.record))
        os.chmod(viewer, 0o755)
        self.env = dict(os.environ)
        self.env["PATH"] = self.viewer_bin + os.pathsep + self.env.get("PATH", "")
        # A report that falls back to the per-user folder stays in the sandbox.
        self.env["XDG_CACHE_HOME"] = os.path.join(self.root, "cache")
        # Wine reads the host's file names in the locale's character set.
        if PLATFORM.windows:
            self.env["LC_ALL"] = "C.UTF-8"

    @property
    def report(self):
        return os.path.join(self.work, "Vernatto.html")

    def run(self, args, stdin=subprocess.DEVNULL, timeout=60, command=None, cwd=None,
            env=None):
        """Runs the program (or `command`) to its end; output is captured in files,
        since helper processes of Wine can hold a pipe open after the program ended."""
        if command is None:
            wrapper = shlex.split(os.environ.get("VERNATTO_E2E_WRAPPER", ""))
            command = wrapper + PLATFORM.command(self.exe, args)
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(command, cwd=cwd or self.work, env=env or self.env,
                                  stdin=stdin, stdout=out, stderr=err,
                                  timeout=timeout).returncode
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(command, code, out.read(), err.read())

    def opened(self, wait):
        """What the viewer was asked to open, or None if it did not run within `wait` s."""
        deadline = time.monotonic() + wait
        while not os.path.exists(self.record):
            if time.monotonic() > deadline:
                return None
            time.sleep(0.02)
        with open(self.record) as f:
            return f.read().splitlines()

    def cleanup(self):
        shutil.rmtree(self.root, ignore_errors=True)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def explain(label, expected, actual):
    """A message for a mismatch: a diff, or a note when only line ends differ."""
    if expected.replace(b"\r\n", b"\n") == actual.replace(b"\r\n", b"\n"):
        return f"{label}: only the line ends differ\n"
    diff = difflib.unified_diff(expected.decode("utf-8", "replace").splitlines(True),
                                actual.decode("utf-8", "replace").splitlines(True),
                                f"expected {label}", f"actual {label}")
    return "".join(diff) + "\n"


def run_case(box, case):
    """Puts the case's inputs in the sandbox and runs the program on them."""
    for name in os.listdir(case):
        source = os.path.join(case, name)
        if os.path.isdir(source):
            shutil.copytree(source, os.path.join(box.work, name))
        elif name not in CASE_FILES:
            shutil.copy2(source, box.work)
    if os.path.exists(os.path.join(case, "previous.html")):
        shutil.copy2(os.path.join(case, "previous.html"), box.report)
    args_file = os.path.join(case, "args")
    args = []
    if os.path.exists(args_file):
        args = read_bytes(args_file).decode("utf-8").splitlines()
    return box.run(args)


def program_name(program):
    """The program's file name without the system's suffix."""
    name = os.path.basename(program)
    return name[:-4] if name.endswith(".exe") else name


def check_layout(name, data):
    """Failure messages for an output file whose layout is not the usual one."""
    if name.endswith(".json"):
        laid_out = json.dumps(json.loads(data), indent=2, ensure_ascii=False) + "\n"
        if laid_out.encode() != data:
            return [explain(f"{name} as json lays it out", laid_out.encode(), data)]
    if name.endswith(".csv"):
        text = data.decode("utf-8")
        rows = list(csv.reader(io.StringIO(text.lstrip("\ufeff"), newline="")))
        if not text.startswith("\ufeff") or len({len(row) for row in rows}) != 1:
            return [f"{name} does not read back as CSV with a byte order mark: {rows}\n"]
    return []


def expected_files(case):
    """The paths, relative to expected/, of the files the case expects."""
    folder = os.path.join(case, "expected")
    return sorted(os.path.relpath(os.path.join(top, name), folder)
                  for top, _, names in os.walk(folder) for name in names)


def check_expected_files(box, case):
    """Compares the files the case expects with those the run left."""
    failures = []
    folder = os.path.join(case, "expected")
    for name in expected_files(case):
        expected = read_bytes(os.path.join(folder, name))
        path = os.path.join(box.work, name)
        if not os.path.exists(path):
            failures.append(f"{name} was not written\n")
            continue
        failures += check_layout(name, expected)
        if read_bytes(path) != expected:
            failures.append(explain(name, expected, read_bytes(path)))
    return failures


def check_case(program, case):
    """Runs one case; returns a list of failure messages (empty when it passed)."""
    box = Sandbox(program, program_name(program))
    try:
        result = run_case(box, case)

        failures = []
        exit_file = os.path.join(case, "exit")
        expected_exit = int(read_bytes(exit_file)) if os.path.exists(exit_file) else 0
        if result.returncode != expected_exit:
            failures.append(f"exit status {result.returncode}, expected {expected_exit}\n")
        expected_stdout = PLATFORM.text(read_bytes(os.path.join(case, "stdout")))
        if result.stdout != expected_stdout:
            failures.append(explain("stdout", expected_stdout, result.stdout))
        stderr_file = os.path.join(case, "stderr")
        if os.path.exists(stderr_file):
            expected_stderr = PLATFORM.text(read_bytes(stderr_file))
            if result.stderr != expected_stderr:
                failures.append(explain("stderr", expected_stderr, result.stderr))
        elif result.stderr:
            failures.append(f"unexpected stderr: {result.stderr!r}\n")
        failures += check_expected_files(box, case)

        # A run that writes no report leaves an earlier one as it was.
        expected_report = next((os.path.join(case, name)
                                for name in ("Vernatto.html", "previous.html")
                                if os.path.exists(os.path.join(case, name))), None)
        if expected_report is None:
            if os.path.exists(box.report):
                failures.append("a report was written where none was expected\n")
        elif not os.path.exists(box.report):
            failures.append("no report was written\n")
        else:
            expected = read_bytes(expected_report)
            if expected_report.endswith("Vernatto.html"):  # written by the program
                expected = PLATFORM.text(expected)
            if read_bytes(box.report) != expected:
                failures.append(explain("report", expected, read_bytes(box.report)))

        if not PLATFORM.observes_viewer:
            return failures
        opens_file = os.path.join(case, "opens")
        if os.path.exists(opens_file):
            expected_open = [os.path.join(box.work, read_bytes(opens_file).decode().strip())]
        elif program_name(program) == "vernatto" and expected_exit == 0:
            expected_open = [box.report]
        else:
            expected_open = None
        opened = box.opened(wait=5 if expected_open else 0.3)
        if opened != expected_open:
            failures.append(f"viewer asked to open {opened}, expected {expected_open}\n")
        return failures
    finally:
        box.cleanup()


def write_or_remove(path, data):
    """Writes `data` to `path`, or removes the file when `data` is None."""
    if data is not None:
        with open(path, "wb") as f:
            f.write(data)
    elif os.path.exists(path):
        os.remove(path)


def regenerate_case(program, case):
    """Runs one case and makes what the program did its expected files."""
    box = Sandbox(program, program_name(program))
    try:
        result = run_case(box, case)
        report = read_bytes(box.report) if os.path.exists(box.report) else None
        previous = os.path.join(case, "previous.html")
        if report is not None and os.path.exists(previous) and report == read_bytes(previous):
            report = None  # left as it was: the case says so by having no Vernatto.html
        write_or_remove(os.path.join(case, "stdout"), result.stdout)
        write_or_remove(os.path.join(case, "exit"),
                        f"{result.returncode}\n".encode() if result.returncode else None)
        write_or_remove(os.path.join(case, "Vernatto.html"), report)
        write_or_remove(os.path.join(case, "stderr"), result.stderr or None)
        for name in expected_files(case):
            path = os.path.join(box.work, name)
            write_or_remove(os.path.join(case, "expected", name),
                            read_bytes(path) if os.path.exists(path) else None)
    finally:
        box.cleanup()


def main():
    if len(sys.argv) >= 3 and sys.argv[1] == "--regenerate":
        if PLATFORM.windows:
            sys.exit("--regenerate needs the native program: goldens have LF line ends")
        for case in sys.argv[3:]:
            regenerate_case(sys.argv[2], case)
        return
    if len(sys.argv) != 3:
        sys.exit("usage: e2e.py PROGRAM CASE_FOLDER\n       e2e.py --regenerate PROGRAM CASE_FOLDER...")
    failures = check_case(sys.argv[1], sys.argv[2])
    for failure in failures:
        sys.stdout.write(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
