// The least work any listing of the same projects must do, as a yardstick
// for vernatto-project's own time and memory:
//   project_floor PROJECT...
// reads every project file (a folder is searched as vernatto-project
// searches it: the projects' extensions, hosts' backups skipped, paths in
// byte order) and inflates with zlib what is compressed: a gzip file, the
// zlib stream after an LMMS length, and, through minizip, the zip members
// the readers need (a DAWproject's project.xml, a Studio One song's two
// device files). Nothing is parsed. Prints how many files it read, their
// bytes, and the bytes that the compressed ones inflated to.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unzip.h>
#include <zlib.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunk = 1 << 16;

struct Totals {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
  std::uint64_t inflated = 0;
};

bool endsWith(const std::string& text, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  if (text.size() < n)
    return false;
  for (std::size_t i = 0; i < n; ++i) {
    char c = text[text.size() - n + i];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i])
      return false;
  }
  return true;
}

bool isProject(const std::string& name) {
  for (const char* ext : {".rpp", ".als", ".dawproject", ".ardour", ".carxp", ".mmp",
                          ".mmpz", ".song", ".cpr", ".npr", ".txt"}) {
    if (endsWith(name, ext))
      return true;
  }
  return false;
}

void find(const fs::path& folder, std::vector<std::string>& files) {
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_directory() && !entry.is_symlink()) {
      if (name != "Backup" && name != "History" && name != "Autosaves")
        find(entry.path(), files);
    } else if (entry.is_regular_file() && isProject(name)) {
      files.push_back(entry.path().string());
    }
  }
}

// Inflates the rest of `file` (gzip when `gzip`, else zlib), discarding it.
void inflateRest(std::FILE* file, bool gzip, Totals& totals) {
  z_stream stream{};
  if (inflateInit2(&stream, gzip ? 31 : 15) != Z_OK)
    return;
  std::vector<unsigned char> in(kChunk);
  std::vector<unsigned char> out(kChunk * 4);
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    const std::size_t got = std::fread(in.data(), 1, in.size(), file);
    if (got == 0)
      break;
    totals.bytes += got;
    stream.next_in = in.data();
    stream.avail_in = static_cast<uInt>(got);
    while (stream.avail_in > 0 && status != Z_STREAM_END) {
      stream.next_out = out.data();
      stream.avail_out = static_cast<uInt>(out.size());
      status = inflate(&stream, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END) {
        inflateEnd(&stream);
        return;
      }
      totals.inflated += out.size() - stream.avail_out;
    }
  }
  inflateEnd(&stream);
}

void readZip(const std::string& path, Totals& totals) {
  unzFile zip = unzOpen64(path.c_str());
  if (zip == nullptr)
    return;
  std::vector<char> out(kChunk * 4);
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK;
       status = unzGoToNextFile(zip)) {
    char name[512];
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
        UNZ_OK)
      break;
    const std::string member = name;
    if (member != "project.xml" && member != "Devices/audiomixer.xml" &&
        member != "Devices/audiosynthfolder.xml")
      continue;
    totals.bytes += info.compressed_size;
    if (unzOpenCurrentFile(zip) != UNZ_OK)
      break;
    int got = 0;
    while ((got = unzReadCurrentFile(zip, out.data(),
                                     static_cast<unsigned>(out.size()))) > 0)
      totals.inflated += static_cast<std::uint64_t>(got);
    unzCloseCurrentFile(zip);
  }
  unzClose(zip);
}

void readProject(const std::string& path, Totals& totals) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    std::fprintf(stderr, "project_floor: cannot open %s\n", path.c_str());
    return;
  }
  ++totals.files;
  unsigned char head[4] = {};
  const std::size_t got = std::fread(head, 1, 4, file);
  totals.bytes += got;
  if (got >= 2 && head[0] == 0x1f && head[1] == 0x8b) {
    std::fseek(file, 0, SEEK_SET);
    totals.bytes -= got;
    inflateRest(file, true, totals);
  } else if (got == 4 && std::memcmp(head, "PK\3\4", 4) == 0) {
    std::fclose(file);
    totals.bytes -= got;
    readZip(path, totals);
    return;
  } else if (endsWith(path, ".mmpz")) {
    inflateRest(file, false, totals);
  } else {
    std::vector<char> buffer(kChunk);
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0)
      totals.bytes += n;
  }
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: project_floor PROJECT...\n");
    return 2;
  }
  Totals totals;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::string> files;
    if (fs::is_directory(argv[i]))
      find(argv[i], files);
    else
      files.push_back(argv[i]);
    std::sort(files.begin(), files.end());
    for (const std::string& file : files)
      readProject(file, totals);
  }
  std::printf("%llu files, %llu bytes read, %llu bytes inflated\n",
              static_cast<unsigned long long>(totals.files),
              static_cast<unsigned long long>(totals.bytes),
              static_cast<unsigned long long>(totals.inflated));
  return 0;
}
