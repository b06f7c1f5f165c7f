// A small streaming layer over expat for the project readers: bytes pulled
// in chunks from any source (a file, an inflater, a zip member), elements and
// text handed to a handler as they come, so that memory does not grow with
// the document. Names keep their prefixes (no namespace processing): some
// hosts use a prefix they never declare.
//
// Never loaded or expanded: external entities, and any document type
// declaration beyond a bare `<!DOCTYPE name>` (an internal subset, a SYSTEM
// or PUBLIC identifier) is refused, which also refuses every entity
// declaration and so every entity bomb.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "daw/reference.h"

namespace vernatto::daw::xml {

// Bytes pulled in chunks.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to `capacity` bytes into `buffer` and returns how many: 0 at
  // the end of the bytes, or on a fault, which problem() then describes.
  virtual std::size_t read(char* buffer, std::size_t capacity) = 0;
  // Empty, or one line saying why the bytes stopped before their end.
  const std::string& problem() const { return problem_; }

 protected:
  // Keeps the first problem found.
  void fail(std::string why);

 private:
  std::string problem_;
};

// The bytes of a stream, from where it stands.
class StreamSource : public ByteSource {
 public:
  explicit StreamSource(std::istream& in) : in_(in) {}
  // The first `count` bytes, or fewer when the stream holds fewer, without
  // consuming them: read() still gives them first. Call it before read().
  std::string_view start(std::size_t count);
  std::size_t read(char* buffer, std::size_t capacity) override;

 private:
  std::istream& in_;
  std::string start_;
  std::size_t startUsed_ = 0;
};

// An element's attributes as expat gives them.
class Attributes {
 public:
  explicit Attributes(const char** pairs) : pairs_(pairs) {}
  // The value of attribute `name`, or an empty text when there is none.
  std::string_view operator[](std::string_view name) const;

 private:
  const char** pairs_;
};

// What a reader does with the document, element by element.
class Handler {
 public:
  virtual ~Handler() = default;
  virtual void startElement(std::string_view name, const Attributes& attributes) = 0;
  virtual void endElement(std::string_view name) = 0;
  // Character data, possibly in several pieces, entity references expanded.
  virtual void text(std::string_view /*piece*/) {}
};

// What a document may cost at most. Past them reading stops, as refused or
// too large. Expat holds a token (an attribute, a comment) whole and grows
// its buffer by doubling: the memory allows a single token of some 30 MB,
// far beyond what hosts write, and keeps a reading under 100 MB.
struct Limits {
  std::size_t depth = 1024;        // elements open at once
  std::size_t memory = 96u << 20;  // bytes expat holds for one document
};

// One document, fed in pieces: for documents that arrive inside another
// (a project embedded as text in a plug-in's state). Expat's memory counts
// per thread: create, feed and destroy a parser on one thread.
class Parser {
 public:
  explicit Parser(Handler& handler, const Limits& limits = {});
  ~Parser();
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  // Parses the next bytes; false once the document proved bad.
  bool feed(std::string_view bytes);
  // The end of the document; false when it is cut off or bad.
  bool finish();
  // Reads what `source` gives to its end, then finishes.
  bool parse(ByteSource& source);
  // Empty, or one line: what went wrong and where.
  const std::string& problem() const;

  struct State;  // expat's side, inside xml.cpp

 private:
  std::unique_ptr<State> state_;
};

// Reads the whole document in `source` into `handler`. On a fault (the
// source's, or the document cut off, not XML, refused or too large) fails
// `reading` with one line, keeping what the handler added before it.
// Returns whether the whole document was read.
bool read(ByteSource& source, Handler& handler, ProjectReading& reading,
          const Limits& limits = {});

}  // namespace vernatto::daw::xml
