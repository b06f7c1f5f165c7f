#!/usr/bin/env python3
"""End-to-end behaviours that a golden case cannot show: timing and placement.

Run as: behaviour_test.py PROGRAM [unittest arguments]
"""

import fcntl
import os
import pty
import resource
import select
import shutil
import signal
import subprocess
import sys
import termios
import time
import unittest

import e2e

PROGRAM = None
CASES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cases")
PLATFORM = e2e.PLATFORM
SEPARATOR = "\\" if PLATFORM.windows else "/"
# How Windows ends a program at Ctrl+C (STATUS_CONTROL_C_EXIT), as Wine
# passes it on to the host: its low byte.
CONTROL_C_EXIT = 0xC000013A & 0xFF
# The exit status that tells ctest a test did not apply here.
SKIPPED = 77


def copy_case_inputs(box, case):
    for name in ("studio-a.json", "studio-b.json"):
        shutil.copy2(os.path.join(CASES, case, name), box.work)


def read_until(stream, marker, timeout):
    """Reads from a pipe until `marker` has arrived; returns all bytes read."""
    fd = stream if isinstance(stream, int) else stream.fileno()
    data = b""
    deadline = time.monotonic() + timeout
    while marker not in data:
        remaining = deadline - time.monotonic()
        if remaining <= 0 or not select.select([fd], [], [], remaining)[0]:
            raise AssertionError(f"{marker!r} did not arrive; got {data!r}")
        chunk = os.read(fd, 65536)
        if not chunk:
            raise AssertionError(f"output ended before {marker!r}; got {data!r}")
        data += chunk
    return data


def wait_for_file_text(path, marker, process, timeout):
    """Waits until the file at `path` holds `marker`; returns its bytes."""
    deadline = time.monotonic() + timeout
    while True:
        with open(path, "rb") as f:
            data = f.read()
        if marker in data:
            return data
        if process.poll() is not None or time.monotonic() > deadline:
            raise AssertionError(f"{marker!r} did not arrive; got {data!r}")
        time.sleep(0.05)


def start_leading_a_terminal(box):
    """Starts the program as a desktop's terminal would: leading a new session
    whose controlling terminal is a fresh pseudo-terminal. Returns the process,
    our end of the terminal and its modes before the start, once the program
    waits for its key."""
    console, terminal = pty.openpty()
    modes = termios.tcgetattr(console)

    def take_terminal():  # in the child, after setsid
        fcntl.ioctl(0, termios.TIOCSCTTY, 0)
        resource.setrlimit(resource.RLIMIT_CORE, (0, 0))  # SIGQUIT dumps none

    process = subprocess.Popen(
        PLATFORM.command(box.exe, ["studio-a.json", "studio-b.json"]), cwd=box.work,
        env=box.env, stdin=terminal, stdout=terminal, stderr=terminal,
        start_new_session=True, preexec_fn=take_terminal)
    os.close(terminal)
    read_until(console, b"Press any key...", timeout=60)
    # A POSIX program turns echo off for its key wait, after it has set up
    # for interrupts. Under Wine the console has the terminal raw all along
    # and gives no sign that the key read has begun.
    deadline = time.monotonic() + 10
    while not PLATFORM.windows and termios.tcgetattr(console)[3] & termios.ECHO:
        if time.monotonic() > deadline:
            raise AssertionError("the key wait never turned echo off")
        time.sleep(0.02)
    time.sleep(1.5 if PLATFORM.windows else 0)
    return process, console, modes


class Behaviour(unittest.TestCase):
    def setUp(self):
        self.box = e2e.Sandbox(PROGRAM)
        copy_case_inputs(self.box, "examples")
        self.addCleanup(self.box.cleanup)
        with open(os.path.join(CASES, "examples", "stdout"), "rb") as f:
            self.expected_stdout = PLATFORM.text(f.read())
        with open(os.path.join(CASES, "examples", "Vernatto.html"), "rb") as f:
            self.expected_report = PLATFORM.text(f.read())

    @unittest.skipIf(PLATFORM.windows, "_getch reads the console, never a pipe")
    def test_waits_for_a_key_before_handing_over_the_closed_report(self):
        process = subprocess.Popen([self.box.exe, "studio-a.json", "studio-b.json"],
                                   cwd=self.box.work, env=self.box.env,
                                   stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        try:
            read_until(process.stdout, b"Press any key...\n", timeout=30)
            time.sleep(0.5)
            self.assertIsNone(process.poll(), "the program did not wait for a key")
            self.assertIsNone(self.box.opened(wait=0), "viewer started before the key")
            process.stdin.write(b"x")
            process.stdin.close()
            self.assertEqual(process.wait(timeout=30), 0)
        finally:
            process.kill()
            process.wait()
        self.assertEqual(self.box.opened(wait=5), [self.box.report])
        with open(self.box.report, "rb") as f:
            final = f.read()
        with open(self.box.record + ".report", "rb") as f:
            seen_by_viewer = f.read()
        self.assertEqual(seen_by_viewer, final)
        self.assertTrue(final.endswith(b"</body>\n</html>\n"))

    def test_waits_for_a_key_pressed_on_a_terminal(self):
        # Standard input is a terminal, as when a user starts the program;
        # the output goes to a file, which Wine cannot hold open after the end.
        console, terminal = pty.openpty()
        output = os.path.join(self.box.root, "stdout")
        with open(output, "wb") as out:
            process = subprocess.Popen(
                PLATFORM.command(self.box.exe, ["studio-a.json", "studio-b.json"]),
                cwd=self.box.work, env=self.box.env, stdin=terminal, stdout=out,
                stderr=subprocess.STDOUT)
        os.close(terminal)
        try:
            wait_for_file_text(output, PLATFORM.text(b"Press any key...\n"), process, 60)
            time.sleep(0.5)
            self.assertIsNone(process.poll(), "the program did not wait for a key")
            with open(self.box.report, "rb") as f:
                self.assertEqual(f.read(), self.expected_report, "report not complete")
            self.assertIsNone(self.box.opened(wait=0), "viewer started before the key")
            os.write(console, b"x")
            self.assertEqual(process.wait(timeout=30), 0)
        finally:
            process.kill()
            process.wait()
            os.close(console)
        with open(output, "rb") as f:
            self.assertEqual(f.read(), self.expected_stdout)
        if PLATFORM.observes_viewer:
            self.assertEqual(self.box.opened(wait=5), [self.box.report])

    def test_bare_program_name_writes_the_report_beside_the_executable(self):
        elsewhere = os.path.join(self.box.root, "elsewhere")
        os.makedirs(elsewhere)
        env = dict(self.box.env)
        inputs = [os.path.join(self.box.work, "studio-a.json"),
                  os.path.join(self.box.work, "studio-b.json")]
        if PLATFORM.windows:
            # cmd finds the program on the Windows PATH, which Wine extends by
            # WINEPATH, and passes argument 0 as typed.
            env["WINEPATH"] = PLATFORM.program_path(self.box.work)
            command = PLATFORM.cmd(["vernatto.exe"] + [PLATFORM.program_path(p)
                                                       for p in inputs])
        else:
            env["PATH"] = self.box.work + os.pathsep + self.box.env["PATH"]
            command = ["vernatto"] + inputs
        result = self.box.run([], command=command, cwd=elsewhere, env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        folder = PLATFORM.program_path(self.box.work + "/").encode()
        self.assertEqual(result.stdout,
                         self.expected_stdout.replace(b"File: ", b"File: " + folder))
        self.assertTrue(os.path.isfile(self.box.report))
        self.assertEqual(os.listdir(elsewhere), [])
        if PLATFORM.observes_viewer:
            self.assertEqual(self.box.opened(wait=5), [self.box.report])

    @unittest.skipUnless(PLATFORM.windows, "only Windows paths have two kinds of slash")
    def test_program_path_with_forward_slashes_only_counts_as_a_bare_name(self):
        # Split on backslashes only, "Z:/.../vernatto.exe" would give the
        # folder "Z:/.../vernatto.exe\", where no report can be written.
        forward = PLATFORM.program_path(self.box.exe).replace("\\", "/")
        result = self.box.run([], command=PLATFORM.cmd(
            [forward, "studio-a.json", "studio-b.json"]))
        self.assertEqual((result.returncode, result.stderr), (0, b""))
        self.assertEqual(result.stdout, self.expected_stdout)
        with open(self.box.report, "rb") as f:
            self.assertEqual(f.read(), self.expected_report)

    def test_report_lines_end_as_the_platform_ends_text_lines(self):
        result = self.box.run(["studio-a.json", "studio-b.json"])
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(self.box.report, "rb") as f:
            report = f.read()
        lines = report.count(b"\n")
        self.assertGreater(lines, 50)
        if PLATFORM.windows:
            self.assertEqual(report.count(b"\r\n"), lines, "a bare LF in the report")
            self.assertEqual(report.count(b"\r"), lines, "a stray CR in the report")
        else:
            self.assertNotIn(b"\r", report)

    def user_folder_settings(self):
        """Ways to name the per-user folder: (environment changes, the folder
        as the host sees it, the folder as the program prints it)."""
        if PLATFORM.windows:
            return [({}, *PLATFORM.user_cache())]
        home = os.path.join(self.box.root, "home")
        cache = os.path.join(self.box.root, "cache", "vernatto")
        return [({}, cache, cache),
                ({"XDG_CACHE_HOME": "relative", "HOME": home}, home + "/.cache/vernatto",
                 home + "/.cache/vernatto"),
                ({"XDG_CACHE_HOME": None, "HOME": home + "/"}, home + "/.cache/vernatto",
                 home + "/.cache/vernatto")]

    def run_with(self, settings):
        env = dict(self.box.env)
        env.update(settings)
        for name in [name for name, value in settings.items() if value is None]:
            del env[name]
        return self.box.run(["studio-a.json", "studio-b.json"], env=env)

    def test_report_refused_beside_the_program_goes_to_the_per_user_folder(self):
        os.makedirs(self.box.report)  # a folder where the report file should go
        for settings, folder, shown in self.user_folder_settings():
            with self.subTest(settings=settings):
                shutil.rmtree(folder, ignore_errors=True)
                self.addCleanup(shutil.rmtree, folder, True)
                if os.path.exists(self.box.record):
                    os.remove(self.box.record)
                result = self.run_with(settings)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stdout, self.expected_stdout)
                shown += SEPARATOR + "Vernatto.html"
                self.assertEqual(result.stderr, PLATFORM.text(
                    f'report written to "{shown}"\n'.encode()))
                report = os.path.join(folder, "Vernatto.html")
                with open(report, "rb") as f:
                    self.assertEqual(f.read(), self.expected_report)
                if PLATFORM.observes_viewer:
                    self.assertEqual(self.box.opened(wait=5), [report])

    def test_unwritable_report_is_reported_and_not_handed_over(self):
        os.makedirs(self.box.report)  # a folder where the report file should go
        # A file where the per-user folder should be.
        settings, folder, _ = self.user_folder_settings()[0]
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(os.path.dirname(folder), exist_ok=True)
        open(folder, "w").close()
        self.addCleanup(lambda: os.path.isfile(folder) and os.remove(folder))
        failed = PLATFORM.text(
            f'failed writing report "{PLATFORM.program_path(self.box.report)}"\n'.encode())
        result = self.run_with(settings)
        self.assertEqual(result.stdout, self.expected_stdout)
        self.assertEqual((result.returncode, result.stderr), (1, failed))
        self.assertIsNone(self.box.opened(wait=0.5))
        self.assertTrue(os.path.isdir(self.box.report))
        self.assertEqual(os.path.getsize(folder), 0)
        if not PLATFORM.windows:  # opened, then a full disk: no other folder is tried
            os.rmdir(self.box.report)
            os.symlink("/dev/full", self.box.report)
            os.remove(folder)
            result = self.run_with(settings)
            self.assertEqual((result.returncode, result.stderr), (1, failed))
            self.assertFalse(os.path.exists(folder))

    def test_names_outside_ascii_reach_the_program(self):
        box = e2e.Sandbox(PROGRAM, folder="Programme ü 日本")
        self.addCleanup(box.cleanup)
        copy_case_inputs(box, "examples")
        os.makedirs(os.path.join(box.work, "Jörg スタジオ"))
        os.rename(os.path.join(box.work, "studio-a.json"),
                  os.path.join(box.work, "Jörg スタジオ", "studio-a.json"))
        first = "Jörg スタジオ" + SEPARATOR + "studio-a.json"
        result = box.run([first, "studio-b.json"])
        self.assertEqual((result.returncode, result.stderr), (0, b""))
        self.assertEqual(result.stdout, self.expected_stdout.replace(
            b"File: studio-a.json", b"File: " + first.encode()))
        with open(box.report, "rb") as f:
            self.assertEqual(f.read(), self.expected_report)
        if PLATFORM.observes_viewer:
            self.assertEqual(box.opened(wait=5), [box.report])

    def test_interrupt_at_the_pause_restores_the_terminal_and_opens_nothing(self):
        interrupts = [(signal.SIGINT, b"\x03")]  # Ctrl+C typed on the terminal
        if not PLATFORM.windows:
            interrupts += [(signal.SIGTERM, None), (signal.SIGHUP, None),
                           (signal.SIGQUIT, None)]
        for number, key in interrupts:
            with self.subTest(signal=number.name):
                process, console, before = start_leading_a_terminal(self.box)
                try:
                    os.write(console, key) if key else process.send_signal(number)
                    status = process.wait(timeout=30)
                    after = termios.tcgetattr(console)
                finally:
                    process.kill()
                    process.wait()
                    os.close(console)
                self.assertEqual(status, CONTROL_C_EXIT if PLATFORM.windows else -number)
                self.assertEqual(after, before)
                self.assertIsNone(self.box.opened(wait=0.5))

    @unittest.skipIf(PLATFORM.windows, "hang-ups of a session are POSIX's")
    def test_viewer_outlives_a_session_leading_program(self):
        # The leader's end hangs up its session, which the slow viewer would
        # not survive if it were still part of it.
        viewer = os.path.join(self.box.viewer_bin, "xdg-open")
        with open(viewer) as f:
            script = f.read()
        with open(viewer, "w") as f:
            f.write(script.replace("\n", "\nsleep 1\n", 1))
        process, console, _ = start_leading_a_terminal(self.box)
        try:
            os.write(console, b"x")
            self.assertEqual(process.wait(timeout=30), 0)
            self.assertEqual(self.box.opened(wait=10), [self.box.report])
        finally:
            process.kill()
            process.wait()
            os.close(console)

    def test_missing_viewer_is_ignored(self):
        os.remove(os.path.join(self.box.viewer_bin, "xdg-open"))
        env = dict(self.box.env)
        env["PATH"] = self.box.viewer_bin
        result = self.box.run(["studio-a.json", "studio-b.json"], env=env)
        self.assertEqual((result.returncode, result.stderr), (0, b""))
        self.assertEqual(result.stdout, self.expected_stdout)


if __name__ == "__main__":
    if sys.argv[1:] == ["--list"]:  # for CMake, which makes each one a test
        print("\n".join(unittest.TestLoader().getTestCaseNames(Behaviour)))
        sys.exit(0)
    PROGRAM = sys.argv.pop(1)
    result = unittest.main(exit=False).result
    if not result.wasSuccessful():
        sys.exit(1)
    sys.exit(SKIPPED if result.skipped and len(result.skipped) == result.testsRun else 0)
