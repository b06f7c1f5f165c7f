#!/usr/bin/python3
"""The plug-ins that projects of the XML formats use, read as a competent
Python developer would read them: lxml's iterparse, elements cleared as they
are done with, gzip and zip members streamed, an LMMS .mmpz inflated whole.
The yardstick that vernatto-project's XML readers are timed against.

  bench/project_lxml.py [--json FILE] PROJECT...

Folders are searched for .als, .dawproject, .ardour, .carxp, .mmp, .mmpz and
.song files (backup folders skipped). Writes {"projects": [{"path",
"format", "plugins": [{"technology", "vendor", "name", "id", "file",
"version", "instances", "host"}]}]} to FILE, or a count to standard output.
"""

import argparse
import gzip
import io
import json
import os
import sys
import zipfile
import zlib
from urllib.parse import unquote

from lxml import etree

EXTENSIONS = {".als": "live", ".dawproject": "dawproject", ".ardour": "ardour",
              ".carxp": "carla", ".mmp": "lmms", ".mmpz": "lmms", ".song": "studio-one"}
SKIPPED_FOLDERS = {"Backup", "History", "Autosaves"}


class References:
    """One entry per plug-in; instances of one plug-in counted together."""

    def __init__(self):
        self.by_key = {}

    def add(self, technology, vendor="", name="", id_="", file="", version="", host=False):
        vendor, name = vendor.strip(), name.strip()
        key = (technology, id_) if id_ else (technology, "", vendor, name, file)
        if key in self.by_key:
            self.by_key[key]["instances"] += 1
        else:
            self.by_key[key] = {"technology": technology, "vendor": vendor, "name": name,
                                "id": id_ or None, "file": file or None,
                                "version": version or None, "instances": 1, "host": host}

    def sorted(self):
        return sorted(self.by_key.values(),
                      key=lambda r: (r["vendor"].lower(), r["name"].lower(),
                                     r["technology"].lower(), r["id"] or "", r["file"] or ""))


def last_component(path):
    return path.replace("\\", "/").rsplit("/", 1)[-1]


def vst3_id(text):
    return text.replace("{", "").replace("}", "").replace("-", "").upper()


def vst2_from_guid(guid):
    guid = vst3_id(guid)
    if guid.startswith("565354"):
        return "VST2", str(int(guid[6:14], 16))
    return "VST3", guid


def au_id(text):
    parts = text.split(":")
    if len(parts) != 3:
        return ""
    codes = []
    for part in parts:
        if part.isdigit():
            codes.append(str(int(part)))
        elif len(part.encode("latin-1", "replace")) == 4:
            codes.append(str(int.from_bytes(part.encode("latin-1"), "big")))
        else:
            return ""
    return " ".join(codes)


def child_value(element, tag):
    child = element.find(tag)
    return child.get("Value", "") if child is not None else ""


def clear(element):
    element.clear()
    while element.getprevious() is not None:
        del element.getparent()[0]


def read_live(stream, refs):
    for _, element in etree.iterparse(stream, events=("end",), huge_tree=True):
        tag = element.tag
        if tag == "VstPluginInfo":
            path = child_value(element, "Path") or child_value(element, "FileName")
            refs.add("VST2", "", child_value(element, "PlugName"),
                     str(int(child_value(element, "UniqueId") or 0) % 2**32),
                     last_component(path))
        elif tag == "Vst3PluginInfo":
            uid = element.find("Uid")
            words = [int(uid.find("Fields.%d" % i).get("Value")) % 2**32 for i in range(4)]
            vendor = ""
            device = element.getparent().getparent()
            for browser in device.iter("BrowserContentPath"):
                value = browser.get("Value", "")
                if value.startswith("query:Plugins#VST3:"):
                    vendor = unquote(value.split(":")[2])
            refs.add("VST3", vendor, child_value(element, "Name"),
                     "".join("%08X" % w for w in words))
        elif tag == "AuPluginInfo":
            codes = [child_value(element, t) for t in
                     ("ComponentType", "ComponentSubType", "ComponentManufacturer")]
            refs.add("AU", child_value(element, "Manufacturer"), child_value(element, "Name"),
                     " ".join(str(int(c)) for c in codes))
        elif tag in ("PluginDevice", "AuPluginDevice", "AudioTrack", "MidiTrack",
                     "ReturnTrack", "GroupTrack"):
            clear(element)


DAWPROJECT_PLUGINS = {"Vst2Plugin": "VST2", "Vst3Plugin": "VST3", "ClapPlugin": "CLAP",
                      "AuPlugin": "AU"}


def read_dawproject(stream, refs):
    for _, element in etree.iterparse(stream, events=("end",), huge_tree=True):
        technology = DAWPROJECT_PLUGINS.get(element.tag)
        if technology:
            device_id = element.get("deviceID", "")
            if technology == "VST3":
                device_id = vst3_id(device_id)
            elif technology == "AU":
                device_id = au_id(device_id)
            refs.add(technology, element.get("deviceVendor", ""), element.get("deviceName", ""),
                     device_id, version=element.get("pluginVersion", ""))
            clear(element)
        elif element.tag in ("Track", "Lanes"):
            clear(element)


ARDOUR_TYPES = {"lv2": "LV2", "ladspa": "LADSPA", "windows-vst": "VST2", "lxvst": "VST2",
                "mac-vst": "VST2", "vst3": "VST3", "audiounit": "AU"}


def read_ardour(stream, refs):
    for _, element in etree.iterparse(stream, events=("end",), huge_tree=True):
        if element.tag in ("Processor", "Insert"):
            technology = ARDOUR_TYPES.get(element.get("type", ""))
            if technology:
                id_ = element.get("unique-id", "")
                if technology == "VST3":
                    id_ = vst3_id(id_)
                refs.add(technology, "", element.get("name", ""), id_,
                         host=technology == "LV2" and id_.startswith("urn:ardour:"))
            clear(element)
        elif element.tag in ("Route", "Playlist"):
            clear(element)


CARLA_TYPES = {"LV2": "LV2", "LADSPA": "LADSPA", "DSSI": "DSSI", "VST2": "VST2",
               "VST": "VST2", "VST3": "VST3", "CLAP": "CLAP", "AU": "AU"}


def carla_plugin(info, refs):
    def text(tag):
        child = info.find(tag)
        return (child.text or "") if child is not None else ""
    technology = CARLA_TYPES.get(text("Type"))
    if not technology:
        return
    if technology == "LV2":
        id_ = text("URI")
    elif technology == "VST3":
        id_ = vst3_id(text("Identifier") or text("UniqueID"))
    elif technology == "CLAP":
        id_ = text("Identifier") or text("Label")
    else:
        id_ = text("UniqueID")
    refs.add(technology, "", text("Name"), id_, last_component(text("Binary")))


def read_carla(stream, refs):
    for _, element in etree.iterparse(stream, events=("end",), huge_tree=True,
                                      load_dtd=False, no_network=True):
        if element.tag == "Info" and element.getparent().tag == "Plugin":
            carla_plugin(element, refs)
        elif element.tag == "Value" and element.text and "<CARLA-PROJECT" in element.text:
            # A rack's state: a whole Carla project, read as one.
            read_carla(io.BytesIO(element.text.encode("utf-8")), refs)
        elif element.tag == "Plugin":
            clear(element)


def read_lmms(stream, refs):
    for _, element in etree.iterparse(stream, events=("end",), huge_tree=True,
                                      load_dtd=False, no_network=True):
        tag = element.tag
        if tag == "Info" and element.getparent().tag == "Plugin":
            carla_plugin(element, refs)
        elif tag in ("effect", "instrument"):
            name = element.get("name", "")
            key = {a.get("name"): a.get("value", "") for a in element.iter("attribute")}
            if name == "ladspaeffect":
                refs.add("LADSPA", "", key.get("plugin", ""), "", key.get("file", ""))
            elif name in ("lv2effect", "lv2instrument"):
                refs.add("LV2", "", "", key.get("uri", ""))
            elif name in ("vsteffect", "vestige"):
                holder = element.find("vsteffectcontrols" if name == "vsteffect" else "vestige")
                file = last_component(holder.get("plugin", "") if holder is not None else "")
                refs.add("VST2", "", os.path.splitext(file)[0], "", file)
            clear(element)
        elif tag == "Value" and element.text and "<CARLA-PROJECT" in element.text:
            read_carla(io.BytesIO(element.text.encode("utf-8")), refs)
        elif tag == "track":
            clear(element)


STUDIO_ONE_TECHNOLOGIES = {"VST3": "VST3", "VST2": "VST2", "AU": "AU", "AudioUnit": "AU"}


def read_studio_one(archive, refs):
    for member in ("Devices/audiosynthfolder.xml", "Devices/audiomixer.xml"):
        if member not in archive.namelist():
            continue
        with archive.open(member) as stream:
            # The files use the x: prefix without declaring it.
            for _, element in etree.iterparse(stream, events=("end",), recover=True,
                                              huge_tree=True):
                if element.tag == "Attributes" and element.get("classInfo") is None and (
                        element.get("{x}id") == "classInfo" or element.get("x:id") == "classInfo"
                        or element.get("id") == "classInfo"):
                    category = element.get("subCategory", "")
                    technology = STUDIO_ONE_TECHNOLOGIES.get(category.split("/")[0])
                    if technology:
                        class_id = element.get("classID", "")
                        if technology == "AU":
                            id_ = ""
                        else:
                            technology, id_ = vst2_from_guid(class_id)
                        refs.add(technology, "", element.get("name", ""), id_)


def read_project(path):
    refs = References()
    extension = os.path.splitext(path)[1].lower()
    if extension == ".als":
        with gzip.open(path) as stream:
            read_live(stream, refs)
    elif extension == ".dawproject":
        with zipfile.ZipFile(path) as archive, archive.open("project.xml") as stream:
            read_dawproject(stream, refs)
    elif extension == ".ardour":
        read_ardour(path, refs)
    elif extension == ".carxp":
        read_carla(path, refs)
    elif extension == ".mmpz":
        with open(path, "rb") as file:
            read_lmms(io.BytesIO(zlib.decompress(file.read()[4:])), refs)
    elif extension == ".mmp":
        read_lmms(path, refs)
    elif extension == ".song":
        with zipfile.ZipFile(path) as archive:
            read_studio_one(archive, refs)
    return refs


def find(argument):
    if not os.path.isdir(argument):
        return [argument]
    found = []
    for folder, folders, files in os.walk(argument):
        folders[:] = [f for f in folders if f not in SKIPPED_FOLDERS]
        found += [os.path.join(folder, f) for f in files
                  if os.path.splitext(f)[1].lower() in EXTENSIONS]
    return sorted(found, key=os.fsencode)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--json")
    parser.add_argument("projects", nargs="+")
    args = parser.parse_args()
    projects = []
    for argument in args.projects:
        for path in find(argument):
            refs = read_project(path)
            projects.append({"path": path,
                             "format": EXTENSIONS[os.path.splitext(path)[1].lower()],
                             "plugins": refs.sorted()})
    if args.json:
        with open(args.json, "w", encoding="utf-8") as out:
            json.dump({"projects": projects}, out, indent=2, ensure_ascii=False)
            out.write("\n")
    else:
        print("%d projects, %d references" % (len(projects),
                                              sum(len(p["plugins"]) for p in projects)))


if __name__ == "__main__":
    sys.exit(main())
