#!/usr/bin/python3
"""How long headless Chromium takes to show a page: for each PAGE, a fresh
browser with a fresh profile loads it RUNS times (a new navigation each time)
and reports the medians of

  load     navigation start to the end of the load event (parsing, style,
           the page's own script),
  layout   then a forced layout of the whole page (document.body.offsetHeight),
  filter   typing a filter into the page's search box (#filter, if the page
           has one) and laying the page out again,

with the page's size. Needs Debian's chromium, chromium-driver and
python3-selenium, for /usr/bin/python3.

  bench/page_load.py [--runs N] PAGE.html...
"""

import argparse
import os
import statistics
import sys
import tempfile
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--disable-quic", "--window-size=1280,1024"]

LOAD = """
const t = performance.timing;
const start = performance.now();
document.body.offsetHeight;
return [t.loadEventEnd - t.navigationStart, performance.now() - start];
"""

# Types a vendor's first letters, as a user looking for one plug-in would.
FILTER = """
const box = document.getElementById('filter');
if (!box || document.getElementById('controls').hidden) return null;
const start = performance.now();
box.value = 'acoustica';
box.dispatchEvent(new Event('input'));
document.body.offsetHeight;
const took = performance.now() - start;
box.value = '';
box.dispatchEvent(new Event('input'));
return took;
"""


def measure(page, runs):
    """Seconds of load, layout and filter for each of `runs` loads of `page`."""
    with tempfile.TemporaryDirectory(prefix="page-load-") as profile:
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in FLAGS + ["--user-data-dir=" + profile]:
            options.add_argument(flag)
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"),
                                  options=options)
        driver.set_page_load_timeout(600)
        driver.set_script_timeout(600)
        try:
            results = []
            for _ in range(runs):
                driver.get("about:blank")
                driver.get(page.resolve().as_uri())
                load, layout = driver.execute_script(LOAD)
                filtered = driver.execute_script(FILTER)
                results.append((load / 1000, layout / 1000,
                                None if filtered is None else filtered / 1000))
            return results
        finally:
            driver.quit()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("pages", nargs="+", type=Path)
    args = parser.parse_args()
    for page in args.pages:
        if not page.is_file():
            parser.error("no such page: %s" % page)
    print("Medians of %d loads each, in seconds." % args.runs)
    print("| page | MB | load | layout | load + layout | filter |")
    print("|:---|---:|---:|---:|---:|---:|")
    for page in args.pages:
        results = measure(page, args.runs)
        load = statistics.median(r[0] for r in results)
        layout = statistics.median(r[1] for r in results)
        total = statistics.median(r[0] + r[1] for r in results)
        filters = [r[2] for r in results if r[2] is not None]
        filtered = "%.2f" % statistics.median(filters) if filters else "-"
        print("| %s | %.1f | %.2f | %.2f | %.2f | %s |" % (
            page, os.path.getsize(page) / 1048576, load, layout, total, filtered))
        sys.stdout.flush()


if __name__ == "__main__":
    main()
