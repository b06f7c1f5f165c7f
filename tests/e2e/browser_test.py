#!/usr/bin/env python3
"""Runs the program on inventories with non-ASCII names and hostile texts, then
loads the report in headless Chromium and checks what the browser made of it:
the three section headings, one row per pair, every text decoded as written,
and no inventory text ever turned into an element.

Run as: browser_test.py PROGRAM
Exits with 77 (a skip for ctest) when Chromium is not installed. The browser
is taken from VERNATTO_CHROMIUM, else `chromium` or `chromium-browser` on PATH.
"""

import html.parser
import json
import os
import shutil
import subprocess
import sys
import tempfile

import e2e

SKIP = 77
FIRST = "studio-é.json"
# Windows allows no < or > in a file name.
SECOND = "日本 & 'i'.json" if e2e.PLATFORM.windows else "日本 & <i>.json"


def entry(vendor, name, technology, time, version=None):
    e = {"vendor": vendor, "name": name, "technology": technology, "modifiedTime": time}
    if version is not None:
        e["version"] = version
    return e


# One pair per finding, each carrying hostile or non-ASCII text, and one entry
# on each side without a partner.
FIRST_ENTRIES = [
    entry("Grünwald Instruments", "<script>alert(1)</script>", "VST3", 1, "1.0"),
    entry("日本 Audio", "a & b", "AU", 5),
    entry('"quoted"', "Café ü", "CLAP", 7, "<img src=x onerror=alert(2)>"),
    entry("Only First", "x", "VST3", 1),
]
SECOND_ENTRIES = [
    entry('"quoted"', "Café ü", "CLAP", 8, "<img src=x onerror=alert(2)>"),
    entry("日本 Audio", "a & b", "AU", 9),
    entry("Grünwald Instruments", "<script>alert(1)</script>", "VST3", 1, "2.0"),
    entry("Only Second", "x", "VST3", 1),
]
PER_FILE_HEAD = ["Vendor", "Plugin", "Technology", FIRST, SECOND]
EXPECTED_TABLES = [
    [PER_FILE_HEAD, ["Grünwald Instruments", "<script>alert(1)</script>", "VST3", "1.0", "2.0"]],
    [PER_FILE_HEAD, ["日本 Audio", "a & b", "AU", "\u00a0", "newer"]],
    [["Vendor", "Plugin", "Technology", "version"],
     ['"quoted"', "Café ü", "CLAP", "<img src=x onerror=alert(2)>"]],
]
EXPECTED_HEADINGS = ["Version Mismatch", "Timestamp Mismatch", "In Sync"]
# Every element the page frame and the tables may hold; tbody is the browser's.
PAGE_ELEMENTS = {"html", "head", "meta", "title", "style", "body", "h1", "h2", "table",
                 "thead", "tbody", "tr", "th", "td"}


class Page(html.parser.HTMLParser):
    """The parts of a serialised DOM that the test looks at."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.elements = []
        self.headings = []
        self.tables = []
        self.text = None  # the text of the open heading or cell

    def handle_starttag(self, tag, attrs):
        self.elements.append(tag)
        if tag == "table":
            self.tables.append([])
        elif tag == "tr" and self.tables:
            self.tables[-1].append([])
        elif tag in ("h2", "th", "td"):
            self.text = ""

    def handle_endtag(self, tag):
        if tag == "h2":
            self.headings.append(self.text)
        elif tag in ("th", "td") and self.tables and self.tables[-1]:
            self.tables[-1][-1].append(self.text)
        if tag in ("h2", "th", "td"):
            self.text = None

    def handle_data(self, data):
        if self.text is not None:
            self.text += data


def find_chromium():
    for candidate in (os.environ.get("VERNATTO_CHROMIUM"), "chromium", "chromium-browser"):
        if candidate and shutil.which(candidate):
            return shutil.which(candidate)
    return None


def dump_dom(chromium, page_path):
    """What the browser made of the page, serialised back to HTML."""
    profile = tempfile.mkdtemp(prefix="vernatto-chromium-")
    try:
        result = subprocess.run(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--disable-quic", f"--user-data-dir={profile}",
             "--dump-dom", "file://" + page_path],
            stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    if result.returncode != 0 or not result.stdout:
        sys.exit(f"chromium failed (status {result.returncode}):\n"
                 + result.stderr.decode("utf-8", "replace"))
    return result.stdout.decode("utf-8")


def check(dom):
    """Returns a list of failure messages (empty when the page reads right)."""
    page = Page()
    page.feed(dom)
    page.close()
    failures = []
    foreign = sorted(set(page.elements) - PAGE_ELEMENTS)
    if foreign:
        failures.append(f"inventory text became elements: {foreign}")
    if page.headings != EXPECTED_HEADINGS:
        failures.append(f"headings {page.headings}, expected {EXPECTED_HEADINGS}")
    if page.tables != EXPECTED_TABLES:
        failures.append("tables differ:\n  got      "
                        + json.dumps(page.tables, ensure_ascii=False)
                        + "\n  expected " + json.dumps(EXPECTED_TABLES, ensure_ascii=False))
    return failures


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: browser_test.py PROGRAM")
    chromium = find_chromium()
    if chromium is None:
        print("SKIP: Chromium is not installed (apt-get install chromium), "
              "so the report was not checked in a browser")
        sys.exit(SKIP)
    box = e2e.Sandbox(sys.argv[1])
    try:
        for name, entries in ((FIRST, FIRST_ENTRIES), (SECOND, SECOND_ENTRIES)):
            with open(os.path.join(box.work, name), "w", encoding="utf-8") as f:
                json.dump(entries, f, ensure_ascii=False)
        result = box.run([FIRST, SECOND])
        if result.returncode != 0 or not os.path.exists(box.report):
            sys.exit(f"the program failed (status {result.returncode}): {result.stderr!r}")
        failures = check(dump_dom(chromium, box.report))
    finally:
        box.cleanup()
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
