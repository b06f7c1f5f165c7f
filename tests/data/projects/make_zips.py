#!/usr/bin/env python3
"""Writes the zip fixtures of the project readers' tests: a DAWproject and a
Studio One song made from the formats' public descriptions, and archives
whose headers lie, as strangers' files may. Run it here to remake them."""
import struct
import zipfile
import zlib

# Where each field sits in a member's local header and in its central entry.
FIELDS = {"flags": (6, 8, "<H"), "crc": (14, 16, "<I"), "packed": (18, 20, "<I"),
          "size": (22, 24, "<I")}


def write(name, members, method=zipfile.ZIP_DEFLATED, damage=lambda data: data):
    with zipfile.ZipFile(name, "w", method) as z:
        for member, text in members.items():
            z.writestr(zipfile.ZipInfo(member, (2024, 1, 1, 0, 0, 0)), text, method)
    data = damage(bytearray(open(name, "rb").read()))
    open(name, "wb").write(data)


def patch(field, value):
    """Sets a field of every member's local header and central entry alike."""
    def damage(data):
        for magic, offset in ((b"PK\x03\x04", FIELDS[field][0]), (b"PK\x01\x02", FIELDS[field][1])):
            at = data.find(magic)
            while at >= 0:
                data[at + offset:at + offset + struct.calcsize(FIELDS[field][2])] = \
                    struct.pack(FIELDS[field][2], value)
                at = data.find(magic, at + 4)
        return data
    return damage


project = open("dawproject.project.xml", encoding="utf-8").read()
write("plugins.dawproject", {"metadata.xml": "<MetaData/>", "project.xml": project})
write("plugins.song", {"metainfo.xml": "<MetaInformation/>", **{
    "Devices/%s.xml" % m: "\ufeff" + open("song-%s.xml" % m, encoding="utf-8").read()
    for m in ("audiosynthfolder", "audiomixer")}})
size = len(project.encode())
for fault, damage in {
        "longer": patch("size", size + 1000), "shorter": patch("size", size - 100),
        "crc": patch("crc", zlib.crc32(b"other")), "encrypted": patch("flags", 1),
        "packed": patch("packed", 1 << 30), "cut": lambda d: d[: len(d) // 2],
        "garbled": lambda d: d[:41] + b"\xff" * 16 + d[57:],  # deflated data begins at 41
}.items():
    write("%s.dawproject" % fault, {"project.xml": project}, damage=damage)


def zip64(name, size, data=zlib.compress(b"<Project/>")[2:-4]):
    """One member that keeps its sizes in a zip64 extra field."""
    extra = struct.pack("<HHQQ", 1, 16, size, len(data))
    common = struct.pack("<HHIIIIHH", 0, 8, 0, 0, 2**32 - 1, 2**32 - 1, 11, len(extra))
    local = struct.pack("<IH", 0x04034b50, 45) + common + b"project.xml" + extra
    central = struct.pack("<IHH", 0x02014b50, 45, 45) + common + bytes(14) + b"project.xml" + extra
    end = struct.pack("<IHHHHIIH", 0x06054b50, 0, 0, 1, 1, len(central), len(local + data), 0)
    open(name, "wb").write(local + data + central + end)


zip64("huge.dawproject", 5 << 30)
write("bzip2.dawproject", {"project.xml": project}, zipfile.ZIP_BZIP2)
write("bomb.dawproject", {"project.xml": " " * (1 << 20)})
write("other.zip", {"readme.txt": "not a project"})
text = b'<?xml version="1.0"?>\n<!DOCTYPE lmms-project>\n<lmms-project/>\n'
open("compressed.mmpz", "wb").write(struct.pack(">I", len(text)) + zlib.compress(text))
