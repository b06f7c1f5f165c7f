#include "daw/zip.h"

#include <unzip.h>

#include <algorithm>
#include <array>
#include <istream>
#include <limits>
#include <string>
#include <utility>

namespace vernatto::daw {

// What minizip's file functions reach: the stream, its size, and which
// member source may read the archive now.
struct ZipArchive::Io {
  std::istream* in = nullptr;
  std::uint64_t size = 0;
  std::uint64_t generation = 0;  // counts members opened; older sources stop
  // minizip reads the central directory a few bytes at a time and seeks
  // before every entry, and a file stream drops its buffer at each seek:
  // reads come from a window of the archive, and seeks only move `position`.
  std::uint64_t position = 0;
  std::uint64_t windowStart = 0;
  std::string window;
};

namespace {

constexpr uLong kEncrypted = 1;  // general purpose flag bit 0
// minizip finds no longer names.
constexpr std::size_t kMaxName = 256;

voidpf ZCALLBACK openStream(voidpf opaque, const void* /*name*/, int /*mode*/) {
  return opaque;
}

constexpr std::size_t kWindow = std::size_t{1} << 16;

// Reads `size` bytes at `io.position` straight from the stream.
std::size_t readAt(ZipArchive::Io& io, char* buffer, std::size_t size) {
  io.in->clear();
  io.in->seekg(static_cast<std::streamoff>(io.position));
  if (io.in->fail())
    return 0;
  io.in->read(buffer, static_cast<std::streamsize>(size));
  return static_cast<std::size_t>(io.in->gcount());
}

uLong ZCALLBACK readStream(voidpf /*opaque*/, voidpf stream, void* buffer, uLong size) {
  auto& io = *static_cast<ZipArchive::Io*>(stream);
  if (size > static_cast<uLong>(std::numeric_limits<std::streamsize>::max()))
    return 0;
  char* out = static_cast<char*>(buffer);
  if (size >= kWindow) {
    const std::size_t got = readAt(io, out, size);
    io.position += got;
    return static_cast<uLong>(got);
  }
  if (io.position < io.windowStart ||
      io.position + size > io.windowStart + io.window.size()) {
    io.window.resize(kWindow);
    io.window.resize(readAt(io, io.window.data(), kWindow));
    io.windowStart = io.position;
  }
  const std::size_t from = static_cast<std::size_t>(io.position - io.windowStart);
  const std::size_t got = std::min<std::size_t>(size, io.window.size() - from);
  std::copy_n(io.window.data() + from, got, out);
  io.position += got;
  return static_cast<uLong>(got);
}

uLong ZCALLBACK writeStream(voidpf, voidpf, const void*, uLong) {
  return 0;
}

ZPOS64_T ZCALLBACK tellStream(voidpf /*opaque*/, voidpf stream) {
  return static_cast<ZipArchive::Io*>(stream)->position;
}

long ZCALLBACK seekStream(voidpf /*opaque*/, voidpf stream, ZPOS64_T offset, int origin) {
  auto& io = *static_cast<ZipArchive::Io*>(stream);
  std::uint64_t base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) {
    base = io.position;
    // minizip steps back over an extra field with an offset wrapped below 0.
    if (offset > io.size) {
      const std::uint64_t back = ~offset + 1;
      if (back > base)
        return -1;
      base -= back;
      offset = 0;
    }
  } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
    base = io.size;
  }
  // Nothing in an archive lies past its end: refusing such seeks here makes
  // every offset a hostile header gives fail where it is used.
  if (offset > io.size || base > io.size - offset)
    return -1;
  io.position = base + offset;
  return 0;
}

int ZCALLBACK closeStream(voidpf, voidpf) {
  return 0;
}

int ZCALLBACK streamError(voidpf /*opaque*/, voidpf stream) {
  return static_cast<ZipArchive::Io*>(stream)->in->bad() ? 1 : 0;
}

std::uint64_t streamSize(std::istream& in) {
  in.clear();
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  in.clear();
  in.seekg(0);
  return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}

// One member's inflated bytes, held to its header as they come.
class MemberSource : public xml::ByteSource {
 public:
  MemberSource(unzFile handle, const std::uint64_t& generation, std::string name,
               std::uint64_t declared)
      : handle_(handle),
        generation_(generation),
        myGeneration_(generation),
        name_(std::move(name)),
        declared_(declared) {}

  std::size_t read(char* buffer, std::size_t capacity) override {
    if (done_ || generation_ != myGeneration_ || capacity == 0)
      return 0;
    const int got = unzReadCurrentFile(
        handle_, buffer,
        static_cast<unsigned>(std::min<std::size_t>(capacity, 1u << 30)));
    if (got < 0)
      return stop(name_ + " is damaged or cut off after " + std::to_string(read_) +
                  " bytes of its content");
    if (got == 0)
      return finish();
    const auto size = static_cast<unsigned>(got);
    if (size > declared_ - read_)
      return stop(name_ + " holds more than the " + std::to_string(declared_) +
                  " bytes its header says");
    read_ += size;
    return size;
  }

 private:
  std::size_t stop(std::string why) {
    fail(std::move(why));
    done_ = true;
    unzCloseCurrentFile(handle_);
    return 0;
  }

  // minizip reads no further than the size the header states, and checks
  // the sum only when it got there: a member that ends sooner is a lie too.
  std::size_t finish() {
    if (read_ != declared_)
      return stop(name_ + " holds " + std::to_string(read_) +
                  " bytes where its header says " + std::to_string(declared_));
    done_ = true;
    if (unzCloseCurrentFile(handle_) != UNZ_OK)
      fail(name_ + " fails its CRC check: the archive is damaged");
    return 0;
  }

  unzFile handle_;
  const std::uint64_t& generation_;
  std::uint64_t myGeneration_;
  std::string name_;
  std::uint64_t declared_;
  std::uint64_t read_ = 0;
  bool done_ = false;
};

// A member that cannot be read at all.
class RefusedSource : public xml::ByteSource {
 public:
  explicit RefusedSource(std::string why) { fail(std::move(why)); }
  std::size_t read(char*, std::size_t) override { return 0; }
};

}  // namespace

ZipArchive::ZipArchive(std::istream& in) : io_(std::make_unique<Io>()) {
  io_->in = &in;
  io_->size = streamSize(in);
  zlib_filefunc64_def functions{};
  functions.zopen64_file = openStream;
  functions.zread_file = readStream;
  functions.zwrite_file = writeStream;
  functions.ztell64_file = tellStream;
  functions.zseek64_file = seekStream;
  functions.zclose_file = closeStream;
  functions.zerror_file = streamError;
  functions.opaque = io_.get();
  handle_ = unzOpen2_64("", &functions);
  if (handle_ == nullptr)
    problem_ =
        "not a readable zip archive: cut off or damaged (no valid central directory)";
}

ZipArchive::~ZipArchive() {
  if (handle_ != nullptr)
    unzClose(handle_);
}

bool ZipArchive::has(std::string_view name) {
  if (handle_ == nullptr || name.size() >= kMaxName)
    return false;
  const std::string text(name);
  return unzLocateFile(handle_, text.c_str(), 1) == UNZ_OK;
}

bool ZipArchive::hasMemberUnder(std::string_view prefix) {
  if (handle_ == nullptr)
    return false;
  std::array<char, kMaxName + 1> name{};
  for (int at = unzGoToFirstFile(handle_); at == UNZ_OK; at = unzGoToNextFile(handle_)) {
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(handle_, &info, name.data(),
                                static_cast<uLong>(name.size() - 1), nullptr, 0, nullptr,
                                0) != UNZ_OK)
      return false;
    const std::size_t length = std::min<std::size_t>(info.size_filename, name.size() - 1);
    if (std::string_view(name.data(), length).substr(0, prefix.size()) == prefix)
      return true;
  }
  return false;
}

namespace {

// minizip takes no sizes from a zip64 extra field, where members past 4 GiB
// keep them: a size stored as 0xFFFFFFFF is read from it here, in the
// field's order. False when the entry has no such field or it is too short.
bool readZip64Sizes(unzFile handle, unz_file_info64& info) {
  constexpr ZPOS64_T kInExtra = 0xFFFFFFFF;
  if (info.uncompressed_size != kInExtra && info.compressed_size != kInExtra)
    return true;
  std::string extra(info.size_file_extra, '\0');
  unz_file_info64 again{};
  if (unzGetCurrentFileInfo64(handle, &again, nullptr, 0, extra.data(),
                              static_cast<uLong>(extra.size()), nullptr, 0) != UNZ_OK)
    return false;
  const auto number = [&](std::size_t at, std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes; i-- > 0;)
      value = value << 8 | static_cast<unsigned char>(extra[at + i]);
    return value;
  };
  for (std::size_t at = 0; at + 4 <= extra.size();
       at += 4 + static_cast<std::size_t>(number(at + 2, 2))) {
    if (number(at, 2) != 1)
      continue;
    const std::size_t end = at + 4 + static_cast<std::size_t>(number(at + 2, 2));
    std::size_t next = at + 4;
    for (ZPOS64_T* size : {&info.uncompressed_size, &info.compressed_size})
      if (*size == kInExtra) {
        if (next + 8 > std::min(end, extra.size()))
          return false;
        *size = number(next, 8);
        next += 8;
      }
    return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<xml::ByteSource> ZipArchive::open(std::string_view name,
                                                  std::uint64_t limit) {
  ++io_->generation;
  if (!has(name))
    return nullptr;
  const std::string text(name);
  unz_file_info64 info{};
  std::string refusal;
  const bool read = unzGetCurrentFileInfo64(handle_, &info, nullptr, 0, nullptr, 0,
                                            nullptr, 0) == UNZ_OK;
  const bool zip64 =
      info.uncompressed_size == 0xFFFFFFFF || info.compressed_size == 0xFFFFFFFF;
  if (!read || !readZip64Sizes(handle_, info))
    refusal = text + ": its entry in the archive is damaged";
  else if ((info.flag & kEncrypted) != 0)
    refusal = text + " is encrypted";
  else if (info.compression_method != 0 && info.compression_method != Z_DEFLATED)
    refusal = text + " is compressed with method " +
              std::to_string(info.compression_method) + ", which is not read";
  else if (info.compressed_size > io_->size ||
           (info.compression_method == 0 &&
            info.compressed_size != info.uncompressed_size))
    refusal = text + "'s sizes in the archive are impossible: the archive is damaged";
  else if (info.uncompressed_size > limit)  // it cannot be read whole
    refusal = text + " is too large: it inflates to " +
              std::to_string(info.uncompressed_size) + " bytes, past " +
              std::to_string(limit);
  else if (zip64)  // minizip would read it past its end
    refusal = text +
              " keeps its sizes in a zip64 field, which is read only for members "
              "past 4 GiB";
  else if (unzOpenCurrentFile(handle_) != UNZ_OK)
    refusal = text +
              ": its header in the archive is damaged or disagrees with the "
              "archive's directory";
  if (!refusal.empty())
    return std::make_unique<RefusedSource>(std::move(refusal));
  return std::make_unique<MemberSource>(handle_, io_->generation, text,
                                        info.uncompressed_size);
}

bool readXmlMember(ZipArchive& zip, std::string_view name, xml::Handler& handler,
                   ProjectReading& reading) {
  const std::unique_ptr<xml::ByteSource> source = zip.open(name);
  if (source == nullptr) {
    reading.fail(zip.isOpen() ? "the archive holds no " + std::string(name)
                              : zip.problem());
    return false;
  }
  xml::Parser parser(handler);
  if (parser.parse(*source))
    return true;
  // The source's problems name the member already.
  reading.fail(source->problem().empty() ? std::string(name) + ": " + parser.problem()
                                         : parser.problem());
  return false;
}

bool looksLikeZip(std::istream& in) {
  std::array<char, 4> magic{};
  in.clear();
  in.seekg(0);
  in.read(magic.data(), magic.size());
  const bool zip = in.gcount() == 4 && magic[0] == 'P' && magic[1] == 'K' &&
                   ((magic[2] == 3 && magic[3] == 4) || (magic[2] == 5 && magic[3] == 6));
  in.clear();
  in.seekg(0);
  return zip;
}

}  // namespace vernatto::daw
