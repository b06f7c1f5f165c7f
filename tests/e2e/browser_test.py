#!/usr/bin/env python3
"""Runs a program on inventories with non-ASCII names and hostile texts, then
loads its page in headless Chromium and checks what the browser made of it.

vernatto's report: the three section headings, one row per pair, every text
decoded as written, and no inventory text ever turned into an element.

vernatto-fleet's page, driven through its script with selenium: the same
escaping (and no planted script ever ran), the filter box, the technology
list and "only what differs" together, the header row and first column
staying in view while the table scrolls, every room's cells visible when
there are more rooms than the window shows, and with script disabled every
row shown and the controls hidden. It saves a screenshot when given a path.

vernatto-project's page, on REAPER projects and more rooms than a narrow
window shows: the same escaping, the last room's cells in view after
scrolling right, a project opening to its references, and the filters.
Skipped when the program's readers read no plug-in of the projects.

Run as: browser_test.py PROGRAM [SCREENSHOT.png]
The program is told by its file name, as e2e.py does. Exits with 77 (a skip
for ctest), saying why, when Chromium, or for the fleet chromedriver or the
selenium module (Debian's serves /usr/bin/python3), is not installed. The
browser is taken from VERNATTO_CHROMIUM, else `chromium` or `chromium-browser`
on PATH; chromedriver from VERNATTO_CHROMEDRIVER, else PATH.
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


# Nothing the test does needs the network, the GPU or a profile of its own.
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update",
                  "--disable-sync", "--disable-quic"]


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
            [chromium, *CHROMIUM_FLAGS, f"--user-data-dir={profile}",
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


def check_report(chromium, program):
    box = e2e.Sandbox(program)
    try:
        for name, entries in ((FIRST, FIRST_ENTRIES), (SECOND, SECOND_ENTRIES)):
            write_inventory(box, name, entries)
        result = box.run([FIRST, SECOND])
        if result.returncode != 0 or not os.path.exists(box.report):
            sys.exit(f"the program failed (status {result.returncode}): {result.stderr!r}")
        return check(dump_dom(chromium, box.report))
    finally:
        box.cleanup()


def write_inventory(box, name, entries):
    with open(os.path.join(box.work, name), "w", encoding="utf-8") as f:
        json.dump(entries, f, ensure_ascii=False)


# The fleet: machine names and inventory texts that would run script or make
# elements if the page let them through; rows alike everywhere (hidden by
# default), one plug-in whose version differs, one missing on a machine.
HOSTILE_MACHINE = '<img src=x onerror="window.planted=1">'
DELAY = entry("<img src=x onerror=window.planted=2>", "Delay", "VST3", 1, "<b>2.0</b>")
JAPANESE = entry("日本 Audio", "a & b", "CLAP", 5, "1.0")
ALIKE = [entry("Grünwald", "<script>window.planted=3</script>", "VST3", 1, "1.0"),
         entry("Grünwald", 'Café "ü" & co', "CLAP", 1700000000)] + [
         entry("Filler", f"Plug {i:02}", "VST3", 1, "1.0") for i in range(24)]
FLEET = {
    "Studio A": ALIKE + [DELAY, JAPANESE],
    HOSTILE_MACHINE: ALIKE + [dict(DELAY, version="<b>2.1</b>"), JAPANESE],
    "Régie \"B\" & 日本 'ü'": ALIKE + [DELAY],
    "studio-d": ALIKE + [DELAY, JAPANESE],
}
# Plug-ins in the page's order (case ignored; no two here differ only in case).
KEYS = sorted({(e["vendor"], e["name"], e["technology"]) for es in FLEET.values() for e in es},
              key=lambda key: [text.lower() for text in key])
ALL_NAMES = [name for _, name, _ in KEYS]
GRUENWALD = ["<script>window.planted=3</script>", 'Café "ü" & co']
FILTERS = [
    # filter box, technology, only what differs: names of the rows shown
    ("", "all", True, ["Delay", "a & b"]),
    ("GRÜN", "all", False, GRUENWALD),
    ("grün", "CLAP", False, GRUENWALD[1:]),
    ("grün", "all", True, []),
    ("<IMG SRC", "all", True, ["Delay"]),
    ("a & b", "VST3", False, []),
    ("A & B", "CLAP", True, ["a & b"]),
    ("", "all", False, ALL_NAMES),  # last: every row, for scrolling
]
# Element kinds of the page's own; tbody is the browser's.
FLEET_ELEMENTS = {"html", "head", "meta", "title", "style", "body", "h1", "h2", "p", "b",
                  "div", "label", "input", "select", "option", "table", "colgroup", "col",
                  "thead", "tbody", "tr", "th", "td", "small", "script"}
# Reads back what the browser made of the page.
READ = r"""
const own = e => e.firstChild && e.firstChild.nodeType === 3 ?
    e.firstChild.data.replace(/\n$/, '') : '';  // a row's last cell ends the line
const seen = e => e.getClientRects().length > 0;
const m = document.getElementById('matrix'), rows = [...m.querySelectorAll('tbody tr')];
return {
  planted: window.planted === undefined ? null : String(window.planted),
  kinds: [...new Set([...document.querySelectorAll('*')].map(e => e.localName))],
  scripts: document.scripts.length,
  machines: [...m.querySelector('thead tr').cells].slice(4).map(own),
  keys: rows.map(r => [...r.cells].slice(0, 3).map(c => c.textContent)),
  cells: rows.map(r => [...r.cells].slice(4).map(own)),
  files: [...document.querySelectorAll('.machines tbody tr')].map(
      r => [r.cells[0].textContent, r.cells[1].textContent]),
  shownRows: rows.filter(seen).map(r => r.cells[1].textContent),
  shown: document.getElementById('shown').textContent,
  controls: seen(document.getElementById('controls')),
};
"""
# Scrolls the matrix to its far corner; returns how far it went and where the
# header row and the vendor column then are, against the container's inside.
SCROLL = """
const wrap = document.querySelector('.wrap'), box = wrap.getBoundingClientRect();
wrap.scrollTop = wrap.scrollHeight;
wrap.scrollLeft = wrap.scrollWidth;
const rows = [...document.querySelectorAll('#matrix tbody tr')].filter(
    r => r.getClientRects().length > 0);
return [wrap.scrollTop, wrap.scrollLeft,
        document.querySelector('#matrix thead th').getBoundingClientRect().top
            - box.top - wrap.clientTop,
        rows[rows.length - 1].cells[0].getBoundingClientRect().left
            - box.left - wrap.clientLeft];
"""


# More rooms than a narrow window shows, no vendor anywhere, and rows to show
# in two of the blocks that the browser lays out only in view: the first and
# last plug-ins differ on the last room.
WIDE_ROOMS = [f"room-{r:02}" for r in range(1, 13)]
WIDE_DIFFERING = ["Plug 00", "Plug 59"]
# After scrolling to the far right, what the browser finds at the middle of
# each shown row's status cell and of its last room's cell.
WIDE_READ = """
const wrap = document.querySelector('.wrap');
wrap.scrollLeft = wrap.scrollWidth;
const hit = c => {
  const b = c.getBoundingClientRect();
  const e = document.elementFromPoint(b.left + b.width / 2, b.top + b.height / 2);
  return e !== null && c.contains(e);
};
const rows = [...document.querySelectorAll('#matrix tbody tr')].filter(
    r => r.getClientRects().length > 0);
return {
  scrolled: wrap.scrollLeft,
  head: [...document.querySelectorAll('#matrix thead th')].map(c => c.firstChild.data),
  rows: rows.map(r => [r.cells[0].textContent, hit(r.cells[2]),
                       hit(r.cells[r.cells.length - 1])]),
};
"""


def check_wide_fleet(driver, box):
    """Failures of the page of more rooms than fit: every room's cells must be
    visible after scrolling, the status column stays in view, and the vendor
    column takes no room when no plug-in has a vendor."""
    for room in WIDE_ROOMS:
        write_inventory(box, room + ".json", [
            entry("", f"Plug {i:02}", "VST3", 1,
                  "2.0" if room == WIDE_ROOMS[-1] and f"Plug {i:02}" in WIDE_DIFFERING
                  else "1.0") for i in range(60)])
    result = box.run(["--html", "wide.html", *(room + ".json" for room in WIDE_ROOMS)])
    if result.returncode != 1:
        return [f"the wide fleet failed (status {result.returncode}): {result.stderr!r}"]
    # Wide enough for the key columns and a room: they stay in view. Narrower:
    # they scroll away, so that no room hides behind them.
    for width, keys_stay in ((700, True), (400, False)):
        driver.set_window_size(width, 600)
        driver.get("file://" + os.path.join(box.work, "wide.html"))
        read = driver.execute_script(WIDE_READ)
        expected_head = ["Plug-in", "Technology", "Status"] + WIDE_ROOMS
        expected_rows = [[name, keys_stay, True] for name in WIDE_DIFFERING]
        if read["head"] != expected_head or read["scrolled"] <= 0 or \
                read["rows"] != expected_rows:
            return [f"wide fleet at {width} px scrolled by {read['scrolled']}: head "
                    f"{read['head']}, rows [name, status cell seen, last room's cell seen] "
                    f"{read['rows']}"]
    return []


def check_fleet_texts(read):
    """Failures of escaping: planted script that ran, elements made of texts,
    texts that do not read back as written."""
    failures = []
    if read["planted"] is not None or read["scripts"] != 1:
        failures.append(f"planted script ran ({read['planted']}) or became an element")
    if set(read["kinds"]) - FLEET_ELEMENTS:
        failures.append(f"texts became elements: {sorted(set(read['kinds']) - FLEET_ELEMENTS)}")
    if list(map(tuple, read["keys"])) != KEYS:
        failures.append(f"plug-ins read back as {read['keys']}")
    if read["machines"] != list(FLEET) or read["files"] != [[n, n + ".json"] for n in FLEET]:
        failures.append(f"machines read back as {read['machines']}, {read['files']}")
    versions = read["cells"][KEYS.index((DELAY["vendor"], "Delay", "VST3"))]
    if versions != ["<b>2.0</b>", "<b>2.1</b>", "<b>2.0</b>", "<b>2.0</b>"]:
        failures.append(f"versions read back as {versions}")
    return failures


def start_driver(chromium, profile):
    """A selenium driver of headless Chromium; exits with a skip when selenium or
    chromedriver is not installed."""
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
    except ImportError:
        print(f"SKIP: {sys.executable} has no selenium (apt-get install python3-selenium, "
              "which serves /usr/bin/python3), so the page's script was not driven")
        sys.exit(SKIP)
    driver_path = os.environ.get("VERNATTO_CHROMEDRIVER") or shutil.which("chromedriver")
    if not driver_path:
        print("SKIP: chromedriver is not installed (apt-get install chromium-driver), "
              "so the page's script was not driven")
        sys.exit(SKIP)
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    for flag in CHROMIUM_FLAGS + [f"--user-data-dir={profile}", "--window-size=1000,640"]:
        options.add_argument(flag)
    return webdriver.Chrome(service=Service(driver_path), options=options)


def check_fleet(chromium, program, screenshot):
    box = e2e.Sandbox(program, "vernatto-fleet")
    profile = tempfile.mkdtemp(prefix="vernatto-chromium-")
    driver = None
    try:
        for name, entries in FLEET.items():
            write_inventory(box, name + ".json", entries)
        result = box.run(["--html", "fleet.html", *(name + ".json" for name in FLEET)])
        page = os.path.join(box.work, "fleet.html")
        if result.returncode != 1 or not os.path.exists(page):
            sys.exit(f"the program failed (status {result.returncode}): {result.stderr!r}")
        driver = start_driver(chromium, profile)
        from selenium.webdriver.common.by import By
        from selenium.webdriver.common.keys import Keys
        from selenium.webdriver.support.ui import Select
        driver.get("file://" + page)
        if screenshot:
            driver.save_screenshot(screenshot)
            print("screenshot:", screenshot)
        failures = check_fleet_texts(driver.execute_script(READ))

        search, differs = (driver.find_element(By.ID, name) for name in ("filter", "differs"))
        technologies = Select(driver.find_element(By.ID, "technology"))
        for text, technology, only_differs, names in FILTERS:
            search.send_keys(Keys.CONTROL, "a", Keys.NULL, Keys.BACKSPACE, text)
            technologies.select_by_visible_text(technology)
            if differs.is_selected() != only_differs:
                differs.click()
            read = driver.execute_script(READ)
            if read["shownRows"] != names or not read["shown"].endswith(f"showing {len(names)}"):
                failures.append(f"{text!r}, {technology}, only what differs {only_differs}: "
                                f"shows {read['shownRows']}, {read['shown']!r}")

        top, left, head, vendor = driver.execute_script(SCROLL)
        if top <= 0 or left <= 0 or abs(head) > 0.5 or abs(vendor) > 0.5:
            failures.append(f"scrolled by {top}, {left}: header row {head} px below the "
                            f"top, vendor column {vendor} px right of the left")

        failures += check_wide_fleet(driver, box)

        # Script off, for this page only: the same page, plain.
        driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": True})
        driver.get("file://" + page)
        read = driver.execute_script(READ)
        if read["shownRows"] != ALL_NAMES or read["controls"] or read["shown"]:
            failures.append(f"without script: shows {read['shownRows']}, controls shown "
                            f"{read['controls']}, {read['shown']!r}")
        return failures + check_fleet_texts(read)
    finally:
        if driver is not None:
            driver.quit()
        shutil.rmtree(profile, ignore_errors=True)
        box.cleanup()


# vernatto-project: a project and a room named to plant script, more rooms
# than a narrow window shows; the last room lacks two plug-ins.
PLANTED = "<img src=x onerror=window.planted=4>"
SERUM, PRO_Q = ("VST", "Serum", "Xfer Records"), ("VST3", "Pro-Q 3", "FabFilter")
HOSTILE = ("VST", "<script>window.planted=5</script>", "A & B")
PROJECT_PLUGINS = {"drums.rpp": [SERUM], f"hostile {PLANTED} & 'x'.rpp": [PRO_Q, HOSTILE],
                   "mix.rpp": [PRO_Q]}
PROJECTS = [os.path.join("projects", name) for name in sorted(PROJECT_PLUGINS)]
ROOMS = [f"room-{r:02}" for r in range(1, 12)] + [f"日本 & {PLANTED}"]  # in name order
LAST_CELLS = ["\u2713 opens", "\u2717 2 missing", "\u2717 1 missing"]  # per project
# Scrolls right; reads each shown project's last cell, whether it and the path
# are seen there, and the names of the references shown.
PROJECT_READ = """
const wrap = document.querySelector('.wrap'), seen = e => e.checkVisibility();
wrap.scrollLeft = wrap.scrollWidth;
const hit = c => {
  const b = c.getBoundingClientRect();
  return c.contains(document.elementFromPoint(b.left + b.width / 2, b.top + b.height / 2));
};
const ps = [...document.querySelectorAll('#matrix details')];
return {
  planted: window.planted === undefined ? null : String(window.planted),
  kinds: [...new Set([...document.querySelectorAll('*')].map(e => e.localName))],
  scripts: document.scripts.length, shown: document.getElementById('shown').textContent,
  rooms: [...document.querySelectorAll('#matrix thead th')].slice(1).map(c => c.firstChild.data),
  paths: ps.map(p => p.querySelector('span').firstChild.data),
  last: ps.filter(seen).map(p => [p.querySelector('summary').lastChild.firstChild.data,
                                  hit(p.querySelector('summary').lastChild),
                                  hit(p.querySelector('span'))]),
  refs: ps.map(p => [...p.querySelectorAll('tbody tr')].filter(seen).map(
      r => r.cells[0].firstChild.data)),
  controls: seen(document.getElementById('controls')),
};
"""
PROJECT_FILTERS = [  # project box, plug-in box, only what lacks: projects shown
    ("MIX", "", False, [2]), ("", "<SCRIPT", False, [1]), ("", "", True, [1, 2]),
    ("&", "fabfilter", True, [1]), ("", "", False, [0, 1, 2])]


def check_project(chromium, program):
    box = e2e.Sandbox(program, "vernatto-project")
    profile = tempfile.mkdtemp(prefix="vernatto-chromium-")
    driver = None
    try:
        for folder in ("projects", "rooms"):
            os.makedirs(os.path.join(box.work, folder))
        for name, plugins in PROJECT_PLUGINS.items():
            with open(os.path.join(box.work, "projects", name), "w", encoding="utf-8") as f:
                f.write('<REAPER_PROJECT 0.1 "7.0"\n  <TRACK\n    <FXCHAIN\n' + "".join(
                    f'      <VST "{t}: {n} ({v})" "{n}.dll" 0 ""\n      >\n'
                    for t, n, v in plugins) + "    >\n  >\n>\n")
        for room in ROOMS:
            write_inventory(box, os.path.join("rooms", room + ".json"), [
                entry(v, n, "VST2" if t == "VST" else t, 1, "1.0")
                for t, n, v in ([SERUM] if room == ROOMS[-1] else [SERUM, PRO_Q, HOSTILE])])
        result = box.run(["--room", "rooms", "--html", "page.html", "--json", "page.json",
                          "projects"])
        with open(os.path.join(box.work, "page.json"), encoding="utf-8") as f:
            if any(not p["plugins"] for p in json.load(f)["projects"]):
                print("SKIP: this build's readers read no plug-in of a REAPER project")
                sys.exit(SKIP)
        if result.returncode != 1:
            sys.exit(f"the program failed (status {result.returncode}): {result.stderr!r}")
        driver = start_driver(chromium, profile)
        from selenium.webdriver.common.by import By
        from selenium.webdriver.common.keys import Keys
        failures = []

        def load(width):
            driver.set_window_size(width, 600)
            driver.get("file://" + os.path.join(box.work, "page.html"))
            return driver.execute_script(PROJECT_READ)
        # Too narrow for the path beside a room, the path scrolls away.
        for width, path_seen in ((400, False), (700, True)):
            read = load(width)
            expected = {"planted": None, "scripts": 1, "rooms": ROOMS, "paths": PROJECTS,
                        "last": [[cell, True, path_seen] for cell in LAST_CELLS],
                        "refs": [[], [], []]}
            if ({key: read[key] for key in expected} != expected
                    or set(read["kinds"]) - FLEET_ELEMENTS - {"details", "summary", "span", "h3"}):
                failures.append(f"{width} px wide, scrolled right: {read}")
        driver.find_elements(By.CSS_SELECTOR, "#matrix summary>:first-child")[1].click()
        if driver.execute_script(PROJECT_READ)["refs"] != [[], [HOSTILE[1], "Pro-Q 3"], []]:
            failures.append(f"opening the second project: {driver.execute_script(PROJECT_READ)}")
        boxes = [driver.find_element(By.ID, name) for name in ("path", "plugin", "lacking")]
        for path, plugin, lacking, shown in PROJECT_FILTERS:
            for field, text in zip(boxes, (path, plugin)):
                field.send_keys(Keys.CONTROL, "a", Keys.NULL, Keys.BACKSPACE, text)
            if boxes[2].is_selected() != lacking:
                boxes[2].click()
            read = driver.execute_script(PROJECT_READ)
            if ([p[0] for p in read["last"]] != [LAST_CELLS[i] for i in shown]
                    or not read["shown"].endswith(f"showing {len(shown)}")):
                failures.append(f"{path!r}, {plugin!r}, {lacking}: {read}")
        driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": True})
        load(700)
        driver.find_elements(By.CSS_SELECTOR, "#matrix summary>:first-child")[0].click()
        read = driver.execute_script(PROJECT_READ)
        if len(read["last"]) != 3 or read["controls"] or read["refs"] != [["Serum"], [], []]:
            failures.append(f"without script, opening the first project: {read}")
        return failures
    finally:
        if driver is not None:
            driver.quit()
        shutil.rmtree(profile, ignore_errors=True)
        box.cleanup()


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: browser_test.py PROGRAM [SCREENSHOT.png]")
    chromium = find_chromium()
    if chromium is None:
        print("SKIP: Chromium is not installed (apt-get install chromium), "
              "so the page was not checked in a browser")
        sys.exit(SKIP)
    if e2e.program_name(sys.argv[1]) == "vernatto-fleet":
        failures = check_fleet(chromium, sys.argv[1], (sys.argv[2:] or [None])[0])
    elif e2e.program_name(sys.argv[1]) == "vernatto-project":
        failures = check_project(chromium, sys.argv[1])
    else:
        failures = check_report(chromium, sys.argv[1])
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
