#include "project_output.h"

#include <cstdlib>
#include <iostream>

namespace vernatto::bench {

namespace {

[[noreturn]] void fail(const char* what) {
  std::cerr << "generate_projects: " << what << '\n';
  std::exit(1);
}

}  // namespace

void FileSink::write(const char* data, std::size_t size) {
  if (size > 0 && std::fwrite(data, 1, size, file_) != size)
    fail("cannot write a project file");
}

DeflateSink::DeflateSink(std::FILE* file, bool gzip, int level) : file_(file) {
  // 15 window bits; 16 more ask zlib for the gzip header and trailer.
  if (deflateInit2(&stream_, level, Z_DEFLATED, gzip ? 31 : 15, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK)
    fail("deflateInit2 failed");
}

DeflateSink::~DeflateSink() {
  deflateEnd(&stream_);
}

void DeflateSink::pump(int flush) {
  unsigned char chunk[1 << 16];
  int status = Z_OK;
  do {
    stream_.next_out = chunk;
    stream_.avail_out = sizeof chunk;
    status = deflate(&stream_, flush);
    if (status == Z_STREAM_ERROR)
      fail("deflate failed");
    const std::size_t have = sizeof chunk - stream_.avail_out;
    if (have > 0 && std::fwrite(chunk, 1, have, file_) != have)
      fail("cannot write a compressed project file");
  } while (stream_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
}

void DeflateSink::write(const char* data, std::size_t size) {
  while (size > 0) {
    const std::size_t part = size > (1u << 30) ? (1u << 30) : size;
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream_.avail_in = static_cast<uInt>(part);
    pump(Z_NO_FLUSH);
    data += part;
    size -= part;
  }
}

void DeflateSink::finish() {
  stream_.next_in = nullptr;
  stream_.avail_in = 0;
  pump(Z_FINISH);
}

void ZipMemberSink::write(const char* data, std::size_t size) {
  while (size > 0) {
    const std::size_t part = size > (1u << 30) ? (1u << 30) : size;
    if (zipWriteInFileInZip(zip_, data, static_cast<unsigned>(part)) != ZIP_OK)
      fail("cannot write a zip member");
    data += part;
    size -= part;
  }
}

void EscapeSink::write(const char* data, std::size_t size) {
  std::string text;
  text.reserve(size + size / 8);
  for (std::size_t i = 0; i < size; ++i) {
    switch (data[i]) {
      case '&':
        text += "&amp;";
        break;
      case '<':
        text += "&lt;";
        break;
      case '>':
        text += "&gt;";
        break;
      default:
        text += data[i];
    }
  }
  next_.write(text.data(), text.size());
}

Out& Out::operator<<(std::uint64_t value) {
  return *this << std::to_string(value);
}

Out& Out::operator<<(std::int64_t value) {
  return *this << std::to_string(value);
}

Out& Out::escaped(std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        *this << "&amp;";
        break;
      case '<':
        *this << "&lt;";
        break;
      case '>':
        *this << "&gt;";
        break;
      case '"':
        *this << "&quot;";
        break;
      case '\'':
        *this << "&apos;";
        break;
      default:
        *this << c;
    }
  }
  return *this;
}

void Out::flush() {
  if (!buffer_.empty())
    sink_.write(buffer_.data(), buffer_.size());
  buffer_.clear();
}

}  // namespace vernatto::bench
