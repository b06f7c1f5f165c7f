#!/usr/bin/env python3
"""Writes the zip fixtures of the project readers' tests: a DAWproject and a
Studio One song made from the formats' public descriptions, and archives
whose headers lie, as strangers' files may. Run it here to remake them."""
import struct
import zipfile
import zlib

BOM = "\ufeff"


def write(name, members, method=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(name, "w", method) as z:
        for member, text in members.items():
            z.writestr(zipfile.ZipInfo(member, (2024, 1, 1, 0, 0, 0)), text, method)
    with open(name, "rb") as f:
        return bytearray(f.read())


def patch(data, field, value, fmt="<I"):
    """Sets a field of every member's local and central header alike."""
    local, central = {"flags": (6, 8), "crc": (14, 16), "size": (22, 24),
                      "packed": (18, 20)}[field]
    for magic, offset in ((b"PK\x03\x04", local), (b"PK\x01\x02", central)):
        at = data.find(magic)
        while at >= 0:
            data[at + offset:at + offset + struct.calcsize(fmt)] = struct.pack(fmt, value)
            at = data.find(magic, at + 4)
    return data


project = open("dawproject.project.xml", encoding="utf-8").read()
write("plugins.dawproject", {"metadata.xml": "<MetaData/>", "project.xml": project})
song = {"metainfo.xml": "<MetaInformation/>"}
for member in ("audiosynthfolder", "audiomixer"):
    song["Devices/%s.xml" % member] = BOM + open("song-%s.xml" % member, encoding="utf-8").read()
write("plugins.song", song)

damaged = {"project.xml": project}
size = len(project.encode())
faults = {
    "longer": lambda d: patch(d, "size", size + 1000),
    "shorter": lambda d: patch(d, "size", size - 100),
    "crc": lambda d: patch(d, "crc", zlib.crc32(b"other")),
    "encrypted": lambda d: patch(d, "flags", 1, "<H"),
    "packed": lambda d: patch(d, "packed", 1 << 30),
    "cut": lambda d: d[: len(d) // 2],
    "garbled": lambda d: d[:41] + b"\xff" * 16 + d[57:],  # deflated data begins at 41
}
for fault, damage in faults.items():
    data = damage(write("%s.dawproject" % fault, damaged))
    with open("%s.dawproject" % fault, "wb") as f:
        f.write(data)
write("bzip2.dawproject", damaged, zipfile.ZIP_BZIP2)
write("bomb.dawproject", {"project.xml": " " * (1 << 20)})
write("other.zip", {"readme.txt": "not a project"})
with open("compressed.mmpz", "wb") as f:
    text = b'<?xml version="1.0"?>\n<!DOCTYPE lmms-project>\n<lmms-project/>\n'
    f.write(struct.pack(">I", len(text)) + zlib.compress(text))
