#!/usr/bin/env python3
"""End-to-end behaviours that a golden case cannot show: timing and placement.

Run as: behaviour_test.py PROGRAM [unittest arguments]
"""

import os
import select
import shutil
import subprocess
import sys
import time
import unittest

import e2e

PROGRAM = None
CASES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cases")


def copy_case_inputs(box, case):
    for name in ("studio-a.json", "studio-b.json"):
        shutil.copy2(os.path.join(CASES, case, name), box.work)


def read_until(stream, marker, timeout):
    """Reads from a pipe until `marker` has arrived; returns all bytes read."""
    data = b""
    deadline = time.monotonic() + timeout
    while marker not in data:
        remaining = deadline - time.monotonic()
        if remaining <= 0 or not select.select([stream], [], [], remaining)[0]:
            raise AssertionError(f"{marker!r} did not arrive; got {data!r}")
        chunk = os.read(stream.fileno(), 65536)
        if not chunk:
            raise AssertionError(f"output ended before {marker!r}; got {data!r}")
        data += chunk
    return data


class Behaviour(unittest.TestCase):
    def setUp(self):
        self.box = e2e.Sandbox(PROGRAM)
        copy_case_inputs(self.box, "examples")
        self.addCleanup(self.box.cleanup)
        with open(os.path.join(CASES, "examples", "stdout"), "rb") as f:
            self.expected_stdout = f.read()

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

    def test_bare_program_name_writes_the_report_beside_the_executable(self):
        elsewhere = os.path.join(self.box.root, "elsewhere")
        os.makedirs(elsewhere)
        env = dict(self.box.env)
        env["PATH"] = self.box.work + os.pathsep + self.box.env["PATH"]
        result = subprocess.run(["vernatto", os.path.join(self.box.work, "studio-a.json"),
                                 os.path.join(self.box.work, "studio-b.json")],
                                cwd=elsewhere, env=env, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(os.path.isfile(self.box.report))
        self.assertEqual(os.listdir(elsewhere), [])
        self.assertEqual(self.box.opened(wait=5), [self.box.report])

    def test_unwritable_report_is_reported_and_not_handed_over(self):
        os.makedirs(self.box.report)  # a folder where the report file should go
        result = self.box.run(["studio-a.json", "studio-b.json"])
        self.assertEqual(result.stdout, self.expected_stdout)
        self.assertEqual(result.stderr,
                         f'failed writing report "{self.box.report}"\n'.encode())
        self.assertEqual(result.returncode, 1)
        self.assertIsNone(self.box.opened(wait=0.5))
        self.assertTrue(os.path.isdir(self.box.report))

    def test_missing_viewer_is_ignored(self):
        os.remove(os.path.join(self.box.viewer_bin, "xdg-open"))
        env = dict(self.box.env)
        env["PATH"] = self.box.viewer_bin
        result = subprocess.run([self.box.exe, "studio-a.json", "studio-b.json"],
                                cwd=self.box.work, env=env, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=60)
        self.assertEqual((result.returncode, result.stderr), (0, b""))
        self.assertEqual(result.stdout, self.expected_stdout)


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main()
