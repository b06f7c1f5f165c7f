#include <algorithm>
#include <fstream>
#include <optional>
#include <utility>

#include "scan/describe.h"
#include "scan/elf.h"
#include "scan/fields.h"
#include "scan/files.h"
#include "scan/moduleinfo.h"

namespace vernatto::scan {
namespace {

namespace fs = std::filesystem;

// Bare libraries are told by their exports (libraryTechnology).
const char* technologyOf(Kind kind) {
  switch (kind) {
    case Kind::kVst2Bundle:
      return "VST2";
    case Kind::kVst3Bundle:
    case Kind::kVst3File:
      return "VST3";
    case Kind::kAuBundle:
      return "AU";
    case Kind::kAaxBundle:
      return "AAX";
    case Kind::kClapBundle:
    case Kind::kClapFile:
      return "CLAP";
    case Kind::kLv2Bundle:
      return "LV2";
    case Kind::kLibrary:
      break;
  }
  return "";
}

// What a bare library's exports make it; empty for one that is no plug-in
// (a helper beside the plug-ins).
std::string libraryTechnology(const std::vector<std::string>& exports) {
  bool ladspa = false;
  bool vst = false;
  for (const std::string& name : exports) {
    if (name == "dssi_descriptor")
      return "DSSI";
    ladspa = ladspa || name == "ladspa_descriptor";
    vst = vst || name == "VSTPluginMain" || name == "main";
  }
  return ladspa ? "LADSPA" : vst ? "VST2" : "";
}

void note(ScanResult& result, const fs::path& path, const std::string& reason) {
  result.problems.push_back(path.u8string() + ": " + reason);
}

// Reads a PE image's exports and version resource. Returns nothing, after
// noting why, when the file cannot be read as one.
std::optional<PeImage> readPe(const fs::path& path, ScanResult& result) {
  std::ifstream in(path, std::ios::binary);
  PeImage image;
  std::string problem;
  ++result.filesRead;
  if (!in || !readPeImage(in, image, problem)) {
    note(result, path, problem.empty() ? "cannot open the file" : problem);
    return std::nullopt;
  }
  if (!problem.empty())
    note(result, path, "partly read: " + problem);
  return image;
}

std::vector<Fields> moduleInfoFields(const fs::path& bundle, fs::path& metadata,
                                     ScanResult& result) {
  std::vector<Fields> list;
  std::error_code error;
  for (const fs::path& path : {bundle / "Contents" / "Resources" / "moduleinfo.json",
                               bundle / "Contents" / "moduleinfo.json"}) {
    if (!fs::is_regular_file(path, error))
      continue;
    std::string text;
    std::string problem;
    std::vector<ModuleClass> classes;
    ++result.filesRead;
    if (!readSmallFile(path, text, problem) || !readModuleInfo(text, classes, problem)) {
      note(result, path, problem + "; using the bundle's other metadata");
      return list;
    }
    metadata = path;
    for (const ModuleClass& found : classes) {
      list.push_back(
          Fields{found.vendor, found.name, found.version, found.id, found.compatible});
    }
    return list;
  }
  return list;
}

std::optional<BundleInfo> readPlist(const fs::path& path, ScanResult& result) {
  std::error_code error;
  if (!fs::is_regular_file(path, error))
    return std::nullopt;
  std::string bytes;
  std::string problem;
  BundleInfo info;
  ++result.filesRead;
  if (!readSmallFile(path, bytes, problem) || !readInfoPlist(bytes, info, problem)) {
    note(result, path, problem);
    return std::nullopt;
  }
  return info;
}

void add(ScanResult& result, const fs::path& source, std::string technology,
         Fields fields, std::uint64_t time) {
  if (fields.name.empty())
    fields.name = stemOf(source);
  ScannedEntry entry;
  entry.vendor = std::move(fields.vendor);
  entry.name = std::move(fields.name);
  entry.version = std::move(fields.version);
  entry.technology = std::move(technology);
  entry.modifiedTime = time;
  entry.id = std::move(fields.id);
  entry.compatible = std::move(fields.compatible);
  result.plugins.push_back(FoundPlugin{std::move(entry), source.u8string()});
}

void describeBundle(const Candidate& candidate, ScanResult& result) {
  const fs::path infoPath = candidate.path / "Contents" / "Info.plist";
  std::optional<BundleInfo> info = readPlist(infoPath, result);
  const fs::path binary = bundleBinary(candidate.path, info ? info->executable : "");
  fs::path metadata;
  std::vector<Fields> list;
  if (candidate.kind == Kind::kVst3Bundle) {
    list = moduleInfoFields(candidate.path, metadata, result);
  }
  if (info) {
    if (metadata.empty())
      metadata = infoPath;
    std::vector<Fields> fromPlist = plistFields(*info, candidate.kind == Kind::kAuBundle);
    if (list.empty()) {
      list = fromPlist;
    } else {
      for (Fields& fields : list)
        fillFrom(fields, fromPlist.front());
    }
  }
  if (list.empty())
    list.emplace_back();
  const bool incomplete =
      std::any_of(list.begin(), list.end(), [](const Fields& f) { return !complete(f); });
  if (incomplete && !binary.empty() && isPeFile(binary)) {
    if (auto image = readPe(binary, result); image && image->hasVersion) {
      for (Fields& fields : list)
        fillFrom(fields, peFields(image->version));
    }
  }
  const std::uint64_t time = firstModifiedTime({binary, metadata, candidate.path});
  for (const Fields& fields : list)
    add(result, candidate.path, technologyOf(candidate.kind), fields, time);
}

// A library's exports; nothing, after noting why, when its symbols cannot
// be read.
std::optional<std::vector<std::string>> elfExports(const fs::path& path,
                                                   ScanResult& result) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> exports;
  std::string problem;
  ++result.filesRead;
  if (!in || !readElfExports(in, exports, problem)) {
    note(result, path, problem.empty() ? "cannot open the file" : problem);
    return std::nullopt;
  }
  return exports;
}

void describeFile(const Candidate& candidate, ScanResult& result) {
  const fs::path& path = candidate.path;
  std::string technology = technologyOf(candidate.kind);
  Fields fields;
  if (isPeFile(path)) {
    auto image = readPe(path, result);
    if (!image) {
      ++result.filesSkipped;
      return;
    }
    if (candidate.kind == Kind::kLibrary)
      technology = libraryTechnology(image->exports);
    if (image->hasVersion)
      fields = peFields(image->version);
  } else if (candidate.kind == Kind::kLibrary) {
    if (!isElfFile(path)) {
      ++result.filesRead;
      note(result, path, "neither a Windows nor an ELF library");
      ++result.filesSkipped;
      return;
    }
    auto exports = elfExports(path, result);
    if (!exports) {
      ++result.filesSkipped;
      return;
    }
    technology = libraryTechnology(*exports);
  }
  if (!technology.empty())
    add(result, path, std::move(technology), fields, firstModifiedTime({path}));
}

}  // namespace

void describe(const Candidate& candidate, ScanResult& result) {
  switch (candidate.kind) {
    case Kind::kVst3File:
    case Kind::kClapFile:
    case Kind::kLibrary:
      describeFile(candidate, result);
      break;
    default:
      describeBundle(candidate, result);
      break;
  }
}

}  // namespace vernatto::scan
