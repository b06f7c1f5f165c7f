#!/usr/bin/python3
"""Checks a listing of a generated project library against what the
generator says each project uses:

  bench/project_check.py EXPECTED.tsv LIBRARY LISTING.json [FORMAT...]

LISTING.json is vernatto-project's --json (or project_lxml.py's), its paths
under LIBRARY. Only projects of the FORMATs named (all when none) are
expected. Every project must be listed, complete when the listing says, with
exactly the expected plug-ins (technology, vendor, name, id, file, version,
instances, host). Prints the first differences and exits 1 on any.
"""

import json
import os
import sys


def expected_projects(path, formats):
    projects = {}
    with open(path, encoding="utf-8") as tsv:
        for line in tsv:
            fields = line.rstrip("\n").split("\t")
            if fields[0] == "P" and (not formats or fields[2] in formats):
                projects[fields[1]] = {"format": fields[2], "plugins": []}
            elif fields[0] == "R" and fields[1] in projects:
                technology, vendor, name, id_, file, version, instances, host = fields[2:]
                projects[fields[1]]["plugins"].append(
                    (technology, vendor, name, id_, file, version, int(instances), host == "1"))
    return projects


def listed_projects(path, library):
    with open(path, encoding="utf-8") as listing:
        document = json.load(listing)
    projects = {}
    for project in document["projects"]:
        relative = os.path.relpath(project["path"], library).replace(os.sep, "/")
        plugins = [(p["technology"], p["vendor"], p["name"], p["id"] or "", p["file"] or "",
                    p["version"] or "", p["instances"], p["host"]) for p in project["plugins"]]
        projects[relative] = {"format": project["format"], "plugins": plugins,
                              "complete": project.get("complete", True)}
    return projects


def main():
    expected_path, library, listing_path = sys.argv[1:4]
    formats = set(sys.argv[4:])
    expected = expected_projects(expected_path, formats)
    listed = listed_projects(listing_path, library)
    problems = []
    for path in sorted(set(expected) | set(listed)):
        if path not in listed:
            problems.append("not listed: " + path)
            continue
        if path not in expected:
            problems.append("listed, not a project of the library: " + path)
            continue
        want, got = expected[path], listed[path]
        if got["format"] != want["format"] or not got["complete"]:
            problems.append("%s: format %s, complete %s" % (path, got["format"], got["complete"]))
        missing = sorted(set(want["plugins"]) - set(got["plugins"]))
        extra = sorted(set(got["plugins"]) - set(want["plugins"]))
        for plugin in missing:
            problems.append("%s: missing %s" % (path, "|".join(map(str, plugin))))
        for plugin in extra:
            problems.append("%s: unexpected %s" % (path, "|".join(map(str, plugin))))
    for problem in problems[:20]:
        print(problem, file=sys.stderr)
    if problems:
        print("%d differences in %s" % (len(problems), listing_path), file=sys.stderr)
        return 1
    print("%d projects, %d references as generated" % (
        len(expected), sum(len(p["plugins"]) for p in expected.values())))
    return 0


if __name__ == "__main__":
    sys.exit(main())
