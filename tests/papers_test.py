#!/usr/bin/env python3
"""Checks what is shipped beside the programs.

  papers_test.py man PAGE.gz...                 each page renders without a warning
  papers_test.py schema SCHEMA VALID.json...    the files validate, and wrong ones do not
  papers_test.py completion FOLDER              the completions in FOLDER/bash, fish, zsh
Exit status 77 means a tool or module the test needs is missing.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
ENTRY = {"vendor": "Auralith", "name": "Glasswing EQ", "technology": "VST3",
         "modifiedTime": 1730400000, "version": "2.4.1"}
# What the inventory format does not allow: (what, document).
WRONG_INVENTORIES = [("a top-level object", ENTRY)] + [
    (f"{member} = {value!r}", [dict(ENTRY, **{member: value})])
    for member, value in [("vendor", None), ("name", 7), ("technology", ["VST3"]),
                          ("modifiedTime", "1730400000"), ("modifiedTime", -1),
                          ("modifiedTime", 2**64), ("modifiedTime", 1.5), ("version", 2)]
] + [(f"no {member}", [{k: v for k, v in ENTRY.items() if k != member}])
     for member in ("vendor", "name", "technology", "modifiedTime")]
# A report of one project against one room, with `changes` to its parts;
# a member whose value is ... is left out.
def project_report(result=None, ref=(), project=(), top=()):
    def drop(members):
        return {k: v for k, v in members.items() if v is not ...}
    reference = drop({"technology": "VST3", "vendor": "Auralith", "name": "Glasswing EQ",
                      "id": None, "file": None, "version": None, "instances": 1, "host": False,
                      "rooms": [result or {"status": "missing", "by": None, "install": None}],
                      **dict(ref)})
    return drop({"rooms": [{"name": "a", "path": None, "entries": 0, "complete": True}],
                 "projects": [drop({"path": "p.rpp", "format": "reaper", "complete": True,
                                    "opens": [False], "plugins": [reference], **dict(project)})],
                 "summary": {"projects": 1, "rooms": 1, "openEverywhere": 0, "unreadable": 0,
                             "unchecked": 0}, **dict(top)})


INSTALL = {"vendor": "Auralith", "name": "Glasswing EQ", "technology": "VST3", "version": None,
           "path": None}
WRONG_PROJECTS = [
    ("a listing with opens, rooms and a summary", project_report(top={"rooms": []})),
    ("rooms without a summary", project_report(top={"summary": ...})),
    ("rooms without opens", project_report(project={"opens": ...})),
    ("rooms without a reference's rooms", project_report(ref={"rooms": ...})),
    ("an unknown format", project_report(project={"format": "bitwig"})),
    ("no format, yet complete", project_report(project={"format": None})),
    ("an unread project that opens", project_report(project={"complete": False, "opens": [True]})),
    ("an empty id", project_report(ref={"id": ""})),
    ("technology VST", project_report(ref={"technology": "VST"})),
    ("status absent", project_report({"status": "absent", "by": None, "install": None})),
    ("found without by", project_report({"status": "found", "by": None, "install": INSTALL})),
    ("a replacement by name", project_report({"status": "replacement", "by": "name",
                                              "install": INSTALL})),
    ("missing with an install", project_report({"status": "missing", "by": None,
                                                "install": INSTALL})),
]
# What each schema must refuse, beside a document it takes.
WRONG = {"inventory.schema.json": ([ENTRY], WRONG_INVENTORIES),
         "project.schema.json": (project_report(), WRONG_PROJECTS)}
# Command line, then what bash offers in a folder holding the inventories
# a.json and "with space.json", package.json (JSON, but not an inventory),
# b.txt (a project, as an exported session listing) and dir/; fish lists the
# files asked for first, then the rest.
BASH_CASES = [
    ("vernatto-scan --p", {"--path"}),
    ("vernatto-scan --", {"--output", "--path", "--no-default-paths", "--help", "--version"}),
    ("vernatto-scan -o ", {"a.json", "package.json", "with space.json", "dir"}),
    ("vernatto-scan --output=w", {"with space.json"}),
    ("vernatto-scan --path ", {"a.json", "b.txt", "package.json", "with space.json", "dir"}),
    ("vernatto-scan --version ", set()),
    ("vernatto ", {"a.json", "package.json", "with space.json", "dir"}),
    ("vernatto a.json d", {"dir"}),
    ("vernatto a.json b.json ", set()),
    ("vernatto-fleet --r", {"--reference"}),
    ("vernatto-fleet ", {"a.json", "package.json", "with space.json", "dir"}),
    ("vernatto-fleet --csv ", {"dir"}),
    ("vernatto-fleet a.json --json out.json --reference ", {"a"}),
    ("vernatto-fleet . --reference=w", {"with space"}),
    ("vernatto-fleet . --reference ", {"a", "with space"}),
    ("vernatto-project --no", {"--no-default-paths"}),
    ("vernatto-project ", {"b.txt", "dir"}),
    ("vernatto-project --room=", {"a.json", "package.json", "with space.json", "dir"}),
    ("vernatto-project --scan-path ", {"a.json", "b.txt", "package.json", "with space.json",
                                       "dir"}),
    ("vernatto-project --uses ", set()),
]
FISH_CASES = [
    ("vernatto-scan --p", ["--path"]),
    ("vernatto-scan -o ", ["a.json", "package.json", "with space.json", "dir/"]),
    ("vernatto ", ["a.json", "package.json", "with space.json", "dir/"]),
    ("vernatto-fleet --js", ["--json"]),
    ("vernatto-project ", ["b.txt", "dir/"]),
    ("vernatto-project --room ", ["a.json", "package.json", "with space.json", "dir/"]),
]
BASH_DRIVER = r"""
source /usr/share/bash-completion/bash_completion
for file in "$1"/*; do source "$file"; done
COMP_LINE=$2 COMP_POINT=${#2}
shift 2
COMP_WORDS=("$@") COMP_CWORD=$(($# - 1))
complete=$(complete -p "$1")
function=${complete#*-F } function=${function%% *}
"$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
printf '%s\n' "${COMPREPLY[@]}"
"""


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


def load(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def described(schema):
    """Whether every member the schema names says what it is for."""
    if isinstance(schema, list):
        return all(described(item) for item in schema)
    if not isinstance(schema, dict):
        return True
    members = schema.get("properties", {}).values()
    return all("description" in member for member in members) and \
        all(described(value) for value in schema.values())


def schema(path, valid):
    try:
        import jsonschema
    except ImportError:
        print("needs python3-jsonschema for this Python:", sys.executable)
        sys.exit(SKIP)
    document = load(path)
    jsonschema.Draft202012Validator.check_schema(document)
    validator = jsonschema.Draft202012Validator(document)
    failures = [f"{name}: {error.message}" for name in valid
                for error in validator.iter_errors(load(name))]
    right, wrong = WRONG.get(os.path.basename(path), (None, []))
    failures += [f"refuses {right}"] if wrong and not validator.is_valid(right) else []
    failures += [f"accepts {what}" for what, document in wrong if validator.is_valid(document)]
    if not described(document):
        failures.append(f"{path}: a member without a description")
    return failures


def words(line):
    """The words bash hands a completion function: "=" is a word of its own."""
    result = []
    for word in line.split(" "):
        before, equals, after = word.partition("=")
        result += [before, equals, after] if equals and before.startswith("--") else [word]
    return result


def completion(folder):
    folder = os.path.abspath(folder)
    if not os.path.exists("/usr/share/bash-completion/bash_completion"):
        print("needs bash-completion")
        sys.exit(SKIP)
    failures = []
    with tempfile.TemporaryDirectory(prefix="vernatto-completion-") as work:
        for name, text in (("a.json", "[]"), ("b.txt", ""), ("with space.json", "\ufeff\n ["),
                           ("package.json", '{"name": "x"}')):
            with open(os.path.join(work, name), "w", encoding="utf-8") as f:
                f.write(text)
        os.mkdir(os.path.join(work, "dir"))
        for line, expected in BASH_CASES:
            found = subprocess.run(["bash", "-c", BASH_DRIVER, "bash", f"{folder}/bash", line,
                                    *words(line)], cwd=work, capture_output=True, text=True)
            if set(found.stdout.splitlines()) - {""} != expected or found.stderr:
                failures.append(f"bash, {line!r}: {found.stdout.splitlines()}, expected "
                                f"{sorted(expected)} {found.stderr}")
        if shutil.which("fish"):
            for line, expected in FISH_CASES:
                script = (f"for f in {folder}/fish/*.fish; source $f; end; "
                          f"complete -C {json.dumps(line)}")
                found = subprocess.run(["fish", "--no-config", "-c", script], cwd=work,
                                       capture_output=True, text=True).stdout
                offered = [candidate.split("\t")[0] for candidate in found.splitlines()]
                if offered[:len(expected)] != expected:
                    failures.append(f"fish, {line!r}: {offered}, expected {expected} first")
    if shutil.which("zsh"):
        for name in os.listdir(f"{folder}/zsh"):
            result = subprocess.run(["zsh", "-n", f"{folder}/zsh/{name}"], capture_output=True,
                                    text=True)
            if result.returncode != 0:
                failures.append(f"zsh, {name}: {result.stderr}")
    return failures


def main():
    mode, arguments = sys.argv[1], sys.argv[2:]
    if mode == "man":
        failures = man(arguments)
    elif mode == "schema":
        failures = schema(arguments[0], arguments[1:])
    else:
        failures = completion(arguments[0])
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
