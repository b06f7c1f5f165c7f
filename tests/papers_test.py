#!/usr/bin/env python3
"""Checks what is shipped beside the programs.

  papers_test.py man PAGE.gz...                 each page renders without a warning
"""

import os
import subprocess
import sys


def man(pages):
    """Renders as lintian does: any message from groff or man is a fault."""
    env = dict(os.environ, LC_ALL="C.UTF-8", MANROFFSEQ="", MANWIDTH="80")
    failures = []
    for page in pages:
        result = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", page],
                                env=env, capture_output=True, text=True)
        if result.returncode != 0 or result.stderr:
            failures.append(f"{page}: status {result.returncode}\n{result.stderr}")
    return failures


def main():
    mode, arguments = sys.argv[1], sys.argv[2:]
    failures = man(arguments)
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
