"""What differs when the program under test is the Windows build run under Wine.

The cases and golden files are written once, with LF line ends and relative
paths; a platform says how to start the program and what the same golden text
looks like when that platform writes it. The Windows build is chosen by the
environment variable VERNATTO_WINE_RUN, naming the wrapper that starts a
Windows program under Wine (ctest sets it, with WINEPREFIX, for that build).
"""

import os


class Native:
    """The program built for the system the tests run on."""

    windows = False
    exe_suffix = ""
    # The stand-in viewer sees the hand-over only where the program calls it.
    observes_viewer = True

    def command(self, exe, args):
        return [exe] + args

    def program_path(self, path):
        """`path` as the program itself sees and prints it."""
        return path

    def text(self, golden):
        """The bytes the program writes for the LF-ended `golden` text."""
        return golden


class Wine:
    """The Windows build, run under Wine from the host's file system."""

    windows = True
    exe_suffix = ".exe"
    # ShellExecuteA under Wine hands over to whatever the prefix has set up,
    # often nothing at all; what it does is not the program's doing.
    observes_viewer = False

    def __init__(self, runner):
        self.runner = runner

    def command(self, exe, args):
        return [self.runner, exe] + args

    def cmd(self, line_args):
        """Starts Windows' cmd /c with `line_args`, so argument 0 is what we type."""
        return [self.runner, "cmd", "/c"] + line_args

    def program_path(self, path):
        # Wine maps the host's root to drive Z:.
        return "Z:" + path.replace("/", "\\")

    def user_cache(self):
        """The per-user report folder: the host's path and the program's."""
        users = os.path.join(os.environ["WINEPREFIX"], "drive_c", "users")
        user = next(name for name in os.listdir(users) if name != "Public")
        host = os.path.join(users, user, "AppData", "Local", "vernatto")
        return host, f"C:\\users\\{user}\\AppData\\Local\\vernatto"

    def text(self, golden):
        # Both the report file and standard output are text-mode streams on
        # Windows: every LF is written as CR LF.
        return golden.replace(b"\n", b"\r\n")


def current():
    runner = os.environ.get("VERNATTO_WINE_RUN")
    return Wine(runner) if runner else Native()
