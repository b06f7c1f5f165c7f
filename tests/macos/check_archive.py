#!/usr/bin/env python3
"""Checks the macOS archive, whose programs cannot run here.

  check_archive.py OBJDUMP ARCHIVE.tar.gz

The archive must hold README.md, LICENSE and at least one program under
bin/; `OBJDUMP --macho` must show each program with an arm64 and an x86_64
slice, each for macOS 11 or earlier and needing no library outside /usr/lib,
and an LC_CODE_SIGNATURE on the arm64 slice, which macOS requires there. That
signature's page hashes must match the slice: a program changed after its
link (stripped, patched) is killed by macOS on Apple silicon.
"""

import hashlib
import re
import struct
import subprocess
import sys
import tarfile
import tempfile
from pathlib import Path

ARCHITECTURES = {"arm64", "x86_64"}
CPU_ARM64 = 0x0100000C
LC_CODE_SIGNATURE = 0x1D
CODE_DIRECTORY = 0xFADE0C02
HASHES = {1: hashlib.sha1, 2: hashlib.sha256}


def slices(objdump, program):
    """Each architecture's load commands as objdump prints them."""
    text = subprocess.run([objdump, "--macho", "--arch=all", "--private-headers", program],
                          check=True, capture_output=True, text=True).stdout
    parts = re.split(r"^\S.* \(architecture (\w+)\):$", text, flags=re.M)
    return dict(zip(parts[1::2], parts[2::2]))


def arm64_slice(data):
    """The arm64 Mach-O inside a universal binary's bytes."""
    magic, count = struct.unpack_from(">2I", data)
    if magic != 0xCAFEBABE:
        raise ValueError("not a universal binary")
    for i in range(count):
        cpu, _, offset, size, _ = struct.unpack_from(">5I", data, 8 + 20 * i)
        if cpu == CPU_ARM64:
            return data[offset:offset + size]
    raise ValueError("no arm64 slice")


def verify_signature(macho):
    """How many code pages the signature's hashes cover; raises when one differs."""
    ncmds = struct.unpack_from("<I", macho, 16)[0]
    offset = 32
    for _ in range(ncmds):
        cmd, size, dataoff, datasize = struct.unpack_from("<4I", macho, offset)
        if cmd == LC_CODE_SIGNATURE:
            break
        offset += size
    else:
        raise ValueError("no LC_CODE_SIGNATURE")
    blob = macho[dataoff:dataoff + datasize]
    count = struct.unpack_from(">I", blob, 8)[0]
    for i in range(count):
        directory = blob[struct.unpack_from(">I", blob, 16 + 8 * i)[0]:]
        if struct.unpack_from(">I", directory)[0] == CODE_DIRECTORY:
            break
    else:
        raise ValueError("no code directory in the signature")
    (hash_offset, _, _, slots, limit, hash_size, hash_type, _,
     page_shift) = struct.unpack_from(">5I4B", directory, 16)
    page = 1 << page_shift
    for i in range(slots):
        expected = directory[hash_offset + i * hash_size:hash_offset + (i + 1) * hash_size]
        actual = HASHES[hash_type](macho[i * page:min((i + 1) * page, limit)]).digest()
        if actual[:hash_size] != expected:
            raise ValueError(f"page {i} does not match its hash: changed after signing")
    return slots


def check_program(objdump, program):
    failures = []
    found = slices(objdump, program)
    if set(found) != ARCHITECTURES:
        failures.append(f"architectures {sorted(found)}, not {sorted(ARCHITECTURES)}")
    summary = []
    for arch, commands in sorted(found.items()):
        minimum = re.search(r"^\s+minos (\d+)\.(\d+)", commands, re.M)
        minimum = (int(minimum[1]), int(minimum[2])) if minimum else None
        libraries = [name for name in re.findall(r"^\s+name (\S+) \(offset", commands, re.M)
                     if name != "/usr/lib/dyld"]
        signed = "cmd LC_CODE_SIGNATURE" in commands
        summary.append(f"{arch} for macOS {'%d.%d' % minimum if minimum else '?'} "
                       f"needs {' '.join(libraries)}{', signed' if signed else ''}")
        if not minimum or minimum > (11, 0):
            failures.append(f"{arch}: not for macOS 11 or earlier")
        foreign = [name for name in libraries if not name.startswith("/usr/lib/")]
        if foreign or not libraries:
            failures.append(f"{arch}: libraries outside /usr/lib: {foreign or 'none listed'}")
        if arch == "arm64" and not signed:
            failures.append("arm64: no LC_CODE_SIGNATURE")
    try:
        pages = verify_signature(arm64_slice(program.read_bytes()))
        summary.append(f"arm64 signature matches its {pages} pages")
    except (ValueError, struct.error) as error:
        failures.append(f"arm64 signature: {error}")
    print(f"{program.name}: " + "; ".join(summary), flush=True)
    return [f"{program.name}: {failure}" for failure in failures]


def main():
    objdump, archive = sys.argv[1:3]
    with tempfile.TemporaryDirectory(prefix="vernatto-macos-") as out:
        with tarfile.open(archive) as tar:
            safe = {"filter": "data"} if hasattr(tarfile, "data_filter") else {}
            tar.extractall(out, **safe)
        tops = list(Path(out).iterdir())
        if len(tops) != 1:
            sys.exit(f"{archive}: expected one top folder, found {[t.name for t in tops]}")
        top = tops[0]
        failures = [f"no {name}" for name in ("README.md", "LICENSE")
                    if not list(top.rglob(name))]
        programs = sorted((top / "bin").glob("*"))
        if not programs:
            failures.append("no programs in bin/")
        for program in programs:
            failures += check_program(objdump, program)
    if failures:
        sys.exit(f"{archive}:\n" + "\n".join(failures))
    print(f"{archive}: {len(programs)} programs checked")


if __name__ == "__main__":
    main()
