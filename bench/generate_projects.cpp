// Writes a deterministic library of project files for the project benchmark:
//   generate_projects [--projects N] [--seed S] [--megabytes MB] FOLDER
//   generate_projects --single FORMAT MEGABYTES FILE [--seed S]
// A library: FOLDER/library holds N projects (1,000 by default) in the nine
// hosts' formats, one folder per format, each project in a folder of its
// own, shaped like real ones (tracks with chains of plug-ins and the hosts'
// own devices, racks nested up to five deep, Carla racks holding escaped
// Carla projects, plug-in states of 300 bytes to 500 KB, a few files over
// 50 MB); about MB megabytes of text in all (1,000 by default) once
// uncompressed. Beside them lie backup copies that readers must skip.
// FOLDER/expected.tsv says what each project uses, as a reader must report
// it; FOLDER/catalogue.tsv lists the plug-ins the projects draw from, for the
// room generator (generate_inventories --rooms).
// --single writes one project of about MEGABYTES (uncompressed) in FORMAT,
// streamed: a 2 GB Live set takes no more memory than a small one.
// The same arguments give the same bytes on every platform.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "project_formats.h"

namespace fs = std::filesystem;
using namespace vernatto::bench;

namespace {

constexpr std::uint64_t kMegabyte = 1000000;

const char* const kFormats[] = {"reaper", "live",       "dawproject", "ardour",   "carla",
                                "lmms",   "studio-one", "cubase",     "pro-tools"};
// Shares of the library, in percent, format by format.
const unsigned kShares[] = {15, 20, 8, 9, 8, 9, 10, 12, 9};

struct Library {
  std::vector<CataloguePlugin> catalogue;
  std::vector<std::vector<const CataloguePlugin*>> eligible;  // by format
};

bool eligible(const std::string& format, const CataloguePlugin& p) {
  const Tech t = p.tech;
  // Ardour's own LV2 plug-ins are the host's only in Ardour: kept there.
  if (format == "reaper")
    return t != Tech::kLadspa && t != Tech::kAax && !(t == Tech::kLv2 && p.host);
  if (format == "live" || format == "studio-one")
    return (t == Tech::kVst2 || t == Tech::kVst3 || t == Tech::kAu) && !p.host;
  if (format == "dawproject")
    return (t == Tech::kVst2 || t == Tech::kVst3 || t == Tech::kAu || t == Tech::kClap) &&
           !p.host;
  if (format == "ardour")
    return t == Tech::kLv2 || t == Tech::kLadspa || (t == Tech::kVst2 && !p.host) ||
           t == Tech::kVst3;
  if (format == "carla" || format == "lmms")
    return (t == Tech::kLv2 || t == Tech::kLadspa || t == Tech::kVst2) && !p.host;
  if (format == "cubase")
    return (t == Tech::kVst2 || t == Tech::kVst3) && !p.host;
  return t == Tech::kAax;
}

Library makeLibrary(std::uint64_t seed) {
  Library library;
  library.catalogue = makeCatalogue(seed, 2400);
  for (const char* format : kFormats) {
    std::vector<const CataloguePlugin*> list;
    for (const CataloguePlugin& p : library.catalogue) {
      if (eligible(format, p))
        list.push_back(&p);
    }
    library.eligible.push_back(list);
  }
  return library;
}

void makeParent(const fs::path& path) {
  if (path.has_parent_path())
    fs::create_directories(path.parent_path());
}

std::FILE* create(const fs::path& path) {
  makeParent(path);
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  if (file == nullptr) {
    std::cerr << "generate_projects: cannot create " << path << '\n';
    std::exit(1);
  }
  return file;
}

void close(std::FILE* file) {
  if (std::fclose(file) != 0) {
    std::cerr << "generate_projects: cannot write a project file\n";
    std::exit(1);
  }
}

// Binary members (plug-in states) are stored; the XML is deflated.
void zipMember(zipFile zip, const std::string& name, bool deflate) {
  zip_fileinfo info{};
  if (zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                            deflate ? Z_DEFLATED : 0, deflate ? 6 : 0, 0) != ZIP_OK) {
    std::cerr << "generate_projects: cannot add " << name << " to a zip\n";
    std::exit(1);
  }
}

// The plug-ins' states, one member each. No reader opens them, so they are
// written at an eighth of their size: the archive keeps its shape (a member
// per instance) without filling the disk.
void zipStates(zipFile zip, Context& ctx, const char* folder,
               const std::vector<std::size_t>& states) {
  for (std::size_t i = 0; i < states.size(); ++i) {
    zipMember(zip, std::string(folder) + "state-" + std::to_string(i) + ".bin", false);
    ZipMemberSink sink(zip);
    const std::string_view bytes = ctx.base64(states[i] / 8);
    sink.write(bytes.data(), bytes.size());
    zipCloseFileInZip(zip);
  }
}

void writeZipped(const fs::path& path, const std::string& format, Context& ctx,
                 std::uint64_t target) {
  makeParent(path);
  zipFile zip = zipOpen64(path.string().c_str(), APPEND_STATUS_CREATE);
  if (zip == nullptr) {
    std::cerr << "generate_projects: cannot create " << path << '\n';
    std::exit(1);
  }
  std::vector<std::size_t> states;
  if (format == "dawproject") {
    zipMember(zip, "metadata.xml", true);
    {
      ZipMemberSink sink(zip);
      Out out(sink);
      out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<MetaData>\n  "
             "<Title>Song</Title>\n"
          << "</MetaData>\n";
    }
    zipCloseFileInZip(zip);
    zipMember(zip, "project.xml", true);
    {
      ZipMemberSink sink(zip);
      Out out(sink);
      writeDawprojectXml(out, ctx, target, states);
    }
    zipCloseFileInZip(zip);
    zipStates(zip, ctx, "plugins/", states);
  } else {
    zipMember(zip, "Song/song.xml", true);
    {
      ZipMemberSink sink(zip);
      Out out(sink);
      out << "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Song>\n";
      for (std::uint64_t i = 0; out.written() < target / 3; ++i) {
        out << "  <AudioEvent name=\"Audio " << i << "\" start=\"" << i * 4
            << "\" length=\"4\" clipID=\"" << ctx.guid() << "\"/>\n";
      }
      out << "</Song>\n";
    }
    zipCloseFileInZip(zip);
    zipMember(zip, "Devices/audiomixer.xml", true);
    {
      ZipMemberSink sink(zip);
      Out out(sink);
      writeStudioOneMixer(out, ctx, target / 2, states);
    }
    zipCloseFileInZip(zip);
    zipMember(zip, "Devices/audiosynthfolder.xml", true);
    {
      ZipMemberSink sink(zip);
      Out out(sink);
      writeStudioOneSynths(out, ctx, target / 6, states);
    }
    zipCloseFileInZip(zip);
    zipStates(zip, ctx, "Presets/", states);
  }
  if (zipClose(zip, nullptr) != ZIP_OK) {
    std::cerr << "generate_projects: cannot write " << path << '\n';
    std::exit(1);
  }
}

const char* extension(const std::string& format, bool compressedLmms) {
  if (format == "reaper")
    return ".rpp";
  if (format == "live")
    return ".als";
  if (format == "dawproject")
    return ".dawproject";
  if (format == "ardour")
    return ".ardour";
  if (format == "carla")
    return ".carxp";
  if (format == "lmms")
    return compressedLmms ? ".mmpz" : ".mmp";
  if (format == "studio-one")
    return ".song";
  if (format == "cubase")
    return ".cpr";
  return ".txt";
}

// Writes one project of about `target` bytes of text to `path`.
void writeProject(const fs::path& path, const std::string& format, Context& ctx,
                  std::uint64_t target) {
  if (format == "dawproject" || format == "studio-one") {
    writeZipped(path, format, ctx, target);
    return;
  }
  std::FILE* file = create(path);
  if (format == "cubase") {
    const std::string bytes = makeCubase(ctx, target);
    FileSink sink(file);
    sink.write(bytes.data(), bytes.size());
  } else if (format == "live") {
    DeflateSink sink(file, true, 6);
    {
      Out out(sink);
      const std::uint64_t roll = ctx.random.below(100);
      writeLive(out, ctx, target, roll < 15 ? 9 : roll < 70 ? 11 : 12);
    }
    sink.finish();
  } else if (path.extension() == ".mmpz") {
    // A 4-byte big-endian length of the XML, then its zlib stream.
    std::fwrite("\0\0\0\0", 1, 4, file);
    DeflateSink sink(file, false, 6);
    std::uint64_t length = 0;
    {
      Out out(sink);
      writeLmms(out, ctx, target);
      out.flush();
      length = out.written();
    }
    sink.finish();
    const unsigned char be[4] = {static_cast<unsigned char>(length >> 24),
                                 static_cast<unsigned char>(length >> 16),
                                 static_cast<unsigned char>(length >> 8),
                                 static_cast<unsigned char>(length)};
    std::fseek(file, 0, SEEK_SET);
    std::fwrite(be, 1, 4, file);
  } else {
    FileSink sink(file);
    Out out(sink);
    if (format == "reaper")
      writeReaper(out, ctx, target);
    else if (format == "ardour")
      writeArdour(out, ctx, target);
    else if (format == "carla")
      writeCarla(out, ctx, target, 5);
    else if (format == "lmms")
      writeLmms(out, ctx, target);
    else
      writeProToolsText(out, ctx, target);
  }
  close(file);
}

std::size_t formatIndex(const std::string& format) {
  for (std::size_t i = 0; i < std::size(kFormats); ++i) {
    if (format == kFormats[i])
      return i;
  }
  std::cerr << "generate_projects: unknown format " << format << '\n';
  std::exit(2);
}

// Most projects are small, some large: a log-normal spread around `median`.
std::uint64_t projectSize(Random& random, std::uint64_t median) {
  const double u1 = (static_cast<double>(random.below(1000000)) + 1) / 1000001.0;
  const double u2 = static_cast<double>(random.below(1000000)) / 1000000.0;
  const double normal = std::sqrt(-2 * std::log(u1)) * std::cos(6.283185307 * u2);
  const double size = static_cast<double>(median) * std::exp(1.1 * normal);
  return static_cast<std::uint64_t>(std::min(std::max(size, 30000.0), 30000000.0));
}

void writeExpected(std::FILE* tsv, const std::string& path, const std::string& format,
                   const ExpectedList& list) {
  // The format as vernatto-project names it.
  const char* named = format == "pro-tools" ? "pro-tools-text" : format.c_str();
  std::fprintf(tsv, "P\t%s\t%s\n", path.c_str(), named);
  for (const Expected& e : list.references()) {
    std::fprintf(tsv, "R\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%llu\t%d\n", path.c_str(),
                 e.technology.c_str(), e.vendor.c_str(), e.name.c_str(), e.id.c_str(),
                 e.file.c_str(), e.version.c_str(),
                 static_cast<unsigned long long>(e.instances), e.host ? 1 : 0);
  }
}

void writeCatalogue(const fs::path& path, const std::vector<CataloguePlugin>& catalogue) {
  std::FILE* tsv = create(path);
  std::fprintf(tsv, "technology\tvendor\tname\tid\tfile\tversion\thost\n");
  for (const CataloguePlugin& p : catalogue) {
    std::fprintf(tsv, "%s\t%s\t%s\t%s\t%s\t%s\t%d\n", techName(p.tech), p.vendor.c_str(),
                 p.name.c_str(), p.id().c_str(), p.file.c_str(), p.version.c_str(),
                 p.host ? 1 : 0);
  }
  close(tsv);
}

// A copy the host keeps beside a project, which readers skip.
void writeBackup(const fs::path& path, const std::string& format, Library& library,
                 std::uint64_t seed) {
  Random random(seed);
  ExpectedList ignored;
  Context ctx(random, library.eligible[formatIndex(format)], ignored);
  writeProject(path, format, ctx, 20000);
}

int writeLibrary(const fs::path& folder, std::size_t projects, std::uint64_t seed,
                 std::uint64_t megabytes) {
  Library library = makeLibrary(seed);
  writeCatalogue(folder / "catalogue.tsv", library.catalogue);
  std::FILE* tsv = create(folder / "expected.tsv");
  Random plan(seed + 1);
  // The median is set so that the library, four huge projects included,
  // comes to about `megabytes`.
  const std::uint64_t huge = projects >= 100 && megabytes >= 600 ? 4 : 0;
  const std::uint64_t median =
      (megabytes - huge * 72) * kMegabyte / (projects > 0 ? projects : 1) * 55 / 100;
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < projects; ++i) {
    // The first nine are one of each format, so that a small library has
    // them all.
    std::uint64_t roll = plan.below(100);
    std::size_t f = 0;
    while (roll >= kShares[f]) {
      roll -= kShares[f];
      ++f;
    }
    if (i < std::size(kFormats))
      f = i;
    const std::string format = kFormats[f];
    std::uint64_t target = projectSize(plan, median);
    if (huge > 0 && i % (projects / huge) == projects / huge / 2)
      target = (52 + plan.below(40)) * kMegabyte;
    const bool mmpz = plan.chance(50);
    const std::string artist = "Artist " + std::to_string(i % 37 + 1);
    const std::string song = "Song " + std::to_string(i + 1);
    const fs::path relative =
        fs::path(format) / artist / song / (song + extension(format, mmpz));
    const fs::path path = folder / "library" / relative;

    Random random(seed * 1000003 + i);
    ExpectedList expected;
    Context ctx(random, library.eligible[f], expected);
    writeProject(path, format, ctx, target);
    writeExpected(tsv, relative.generic_string(), format, expected);
    total += target;

    // Hosts' backups and autosaves, which a reader must not count.
    if (i % 50 == 7) {
      const fs::path dir = path.parent_path();
      if (format == "live")
        writeBackup(dir / "Backup" / (song + " [2024-01-01 120000].als"), format, library,
                    i);
      else if (format == "studio-one")
        writeBackup(dir / "History" / (song + " (1).song"), format, library, i);
      else if (format == "reaper")
        writeBackup(dir / (song + ".rpp-bak"), format, library, i);
    }
  }
  close(tsv);
  std::cout << projects << " projects, about " << total / kMegabyte << " MB of text, in "
            << (folder / "library").string() << '\n';
  return 0;
}

int writeSingle(const std::string& format, std::uint64_t megabytes, const fs::path& path,
                std::uint64_t seed) {
  Library library = makeLibrary(seed);
  Random random(seed);
  ExpectedList expected;
  const std::size_t f = formatIndex(format);
  Context ctx(random, library.eligible[f], expected);
  writeProject(path, format, ctx, megabytes * kMegabyte);
  std::uint64_t instances = 0;
  for (const Expected& e : expected.references())
    instances += e.instances;
  std::cout << expected.references().size() << " plug-ins, " << instances
            << " instances\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::uint64_t seed = 20240601;
  std::size_t projects = 1000;
  std::uint64_t megabytes = 1000;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool value = i + 1 < args.size();
    if (args[i] == "--seed" && value)
      seed = std::strtoull(args[++i].c_str(), nullptr, 10);
    else if (args[i] == "--projects" && value)
      projects = std::strtoull(args[++i].c_str(), nullptr, 10);
    else if (args[i] == "--megabytes" && value)
      megabytes = std::strtoull(args[++i].c_str(), nullptr, 10);
    else
      rest.push_back(args[i]);
  }
  if (rest.size() == 4 && rest[0] == "--single")
    return writeSingle(rest[1], std::strtoull(rest[2].c_str(), nullptr, 10), rest[3],
                       seed);
  if (rest.size() != 1) {
    std::cerr
        << "usage: generate_projects [--projects N] [--seed S] [--megabytes MB] FOLDER\n"
           "       generate_projects --single FORMAT MEGABYTES FILE [--seed S]\n";
    return 2;
  }
  return writeLibrary(rest[0], projects, seed, megabytes);
}
