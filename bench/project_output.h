// Where the project generator's bytes go: a buffered writer over a chain of
// sinks (a file, a gzip or zlib stream, a zip member, an XML escaper), so
// that a project of any size is written without being held in memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include <zip.h>
#include <zlib.h>

namespace vernatto::bench {

class Sink {
 public:
  virtual ~Sink() = default;
  virtual void write(const char* data, std::size_t size) = 0;
  // Writes whatever the sink still holds; called once, at the end.
  virtual void finish() {}
};

// Plain bytes to an open file.
class FileSink : public Sink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  void write(const char* data, std::size_t size) override;

 private:
  std::FILE* file_;
};

// A deflate stream to an open file: gzip (Live) or zlib (LMMS) framing.
class DeflateSink : public Sink {
 public:
  DeflateSink(std::FILE* file, bool gzip, int level);
  ~DeflateSink() override;
  void write(const char* data, std::size_t size) override;
  void finish() override;

 private:
  void pump(int flush);
  std::FILE* file_;
  z_stream stream_{};
};

// The member of a zip archive that minizip has open for writing.
class ZipMemberSink : public Sink {
 public:
  explicit ZipMemberSink(zipFile zip) : zip_(zip) {}
  void write(const char* data, std::size_t size) override;

 private:
  zipFile zip_;
};

// Text escaped for an XML element's content, as a host embeds one document
// in another: & < > become entities.
class EscapeSink : public Sink {
 public:
  explicit EscapeSink(Sink& next) : next_(next) {}
  void write(const char* data, std::size_t size) override;

 private:
  Sink& next_;
};

// A buffered writer that counts what it was given (the uncompressed size).
class Out {
 public:
  explicit Out(Sink& sink) : sink_(sink) { buffer_.reserve(kBuffer + 4096); }
  ~Out() { flush(); }
  Out(const Out&) = delete;
  Out& operator=(const Out&) = delete;

  Out& operator<<(std::string_view text) {
    buffer_.append(text);
    written_ += text.size();
    if (buffer_.size() >= kBuffer)
      flush();
    return *this;
  }
  Out& operator<<(char c) { return *this << std::string_view(&c, 1); }
  Out& operator<<(std::uint64_t value);
  Out& operator<<(std::int64_t value);
  Out& operator<<(unsigned value) { return *this << static_cast<std::uint64_t>(value); }
  Out& operator<<(int value) { return *this << static_cast<std::int64_t>(value); }
  // Text for an attribute's value or an element's content.
  Out& escaped(std::string_view text);
  void flush();
  std::uint64_t written() const { return written_; }

 private:
  static constexpr std::size_t kBuffer = 1 << 18;
  Sink& sink_;
  std::string buffer_;
  std::uint64_t written_ = 0;
};

}  // namespace vernatto::bench
