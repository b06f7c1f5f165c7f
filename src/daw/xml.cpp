#include "daw/xml.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <istream>

namespace vernatto::daw::xml {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

// Expat's memory for one parser, counted so that a document whose single
// token (an attribute, a comment) inflates to gigabytes is refused instead
// of held.
struct Budget {
  std::size_t used = 0;
  std::size_t limit = 0;
  bool exceeded = false;
};

// Expat's allocation functions take no context: the budget of the parser
// being called is this thread's current one, and each block remembers the
// budget it was taken from.
thread_local Budget* currentBudget = nullptr;

struct alignas(std::max_align_t) BlockHeader {
  std::size_t size;
  Budget* budget;
};

class BudgetScope {
 public:
  explicit BudgetScope(Budget& budget) : saved_(currentBudget) {
    currentBudget = &budget;
  }
  ~BudgetScope() { currentBudget = saved_; }
  BudgetScope(const BudgetScope&) = delete;
  BudgetScope& operator=(const BudgetScope&) = delete;

 private:
  Budget* saved_;
};

bool affordable(Budget* budget, std::size_t more) {
  if (budget == nullptr)
    return true;
  if (more > budget->limit - std::min(budget->used, budget->limit)) {
    budget->exceeded = true;
    return false;
  }
  return true;
}

void* countedMalloc(std::size_t size) {
  Budget* budget = currentBudget;
  if (size > SIZE_MAX - sizeof(BlockHeader) || !affordable(budget, size))
    return nullptr;
  void* block = std::malloc(sizeof(BlockHeader) + size);
  if (block == nullptr)
    return nullptr;
  *static_cast<BlockHeader*>(block) = {size, budget};
  if (budget != nullptr)
    budget->used += size;
  return static_cast<BlockHeader*>(block) + 1;
}

void countedFree(void* pointer) {
  if (pointer == nullptr)
    return;
  BlockHeader* header = static_cast<BlockHeader*>(pointer) - 1;
  if (header->budget != nullptr)
    header->budget->used -= header->size;
  std::free(header);
}

void* countedRealloc(void* pointer, std::size_t size) {
  if (pointer == nullptr)
    return countedMalloc(size);
  BlockHeader* header = static_cast<BlockHeader*>(pointer) - 1;
  const BlockHeader old = *header;
  if (size > SIZE_MAX - sizeof(BlockHeader) ||
      (size > old.size && !affordable(old.budget, size - old.size)))
    return nullptr;
  void* block = std::realloc(header, sizeof(BlockHeader) + size);
  if (block == nullptr)
    return nullptr;
  *static_cast<BlockHeader*>(block) = {size, old.budget};
  if (old.budget != nullptr)
    old.budget->used = old.budget->used - old.size + size;
  return static_cast<BlockHeader*>(block) + 1;
}

const XML_Memory_Handling_Suite kCountedMemory = {countedMalloc, countedRealloc,
                                                  countedFree};

bool isCutOff(XML_Error code) {
  return code == XML_ERROR_NO_ELEMENTS || code == XML_ERROR_UNCLOSED_TOKEN ||
         code == XML_ERROR_PARTIAL_CHAR || code == XML_ERROR_UNCLOSED_CDATA_SECTION;
}

}  // namespace

void ByteSource::fail(std::string why) {
  if (problem_.empty())
    problem_ = std::move(why);
}

std::string_view StreamSource::start(std::size_t count) {
  start_.resize(count);
  in_.read(start_.data(), static_cast<std::streamsize>(count));
  start_.resize(static_cast<std::size_t>(in_.gcount()));
  if (in_.bad())
    fail("could not be read");
  return start_;
}

std::size_t StreamSource::read(char* buffer, std::size_t capacity) {
  if (startUsed_ < start_.size()) {
    const std::size_t count = std::min(capacity, start_.size() - startUsed_);
    std::copy_n(start_.data() + startUsed_, count, buffer);
    startUsed_ += count;
    return count;
  }
  if (!problem().empty() || !in_.good())
    return 0;
  in_.read(buffer, static_cast<std::streamsize>(capacity));
  if (in_.bad()) {
    fail("could not be read");
    return 0;
  }
  return static_cast<std::size_t>(in_.gcount());
}

std::string_view Attributes::operator[](std::string_view name) const {
  for (const char** pair = pairs_; pair != nullptr && pair[0] != nullptr; pair += 2) {
    if (name == pair[0])
      return pair[1];
  }
  return {};
}

struct Parser::State {
  Handler& handler;
  Limits limits;
  Budget budget;
  XML_Parser parser = nullptr;
  std::size_t depth = 0;
  std::uint64_t fed = 0;
  std::string problem;
  bool stopped = false;  // refused by a rule of ours, or failed

  State(Handler& h, const Limits& l) : handler(h), limits(l) {}

  std::string where() const {
    return "line " + std::to_string(XML_GetCurrentLineNumber(parser)) + ", column " +
           std::to_string(XML_GetCurrentColumnNumber(parser) + 1);
  }

  void refuse(std::string_view what) {
    if (stopped)
      return;
    problem = "refused at " + where() + ": " + std::string(what);
    stopped = true;
    XML_StopParser(parser, XML_FALSE);
  }

  // Describes expat's error once a call failed; `atEnd` when the document
  // had ended, so that a missing end is a cut, not a fault.
  void describeError(bool atEnd) {
    stopped = true;
    if (!problem.empty())
      return;
    const XML_Error code = XML_GetErrorCode(parser);
    if (code == XML_ERROR_NO_MEMORY && budget.exceeded)
      problem =
          "too large at " + where() + ": the document needs more than " +
          (limits.memory % (1u << 20) == 0 ? std::to_string(limits.memory >> 20) + " MiB"
                                           : std::to_string(limits.memory) + " bytes") +
          " at once";
    else if (atEnd && fed == 0)
      problem = "empty";
    else if (atEnd && isCutOff(code))
      problem = "cut off at " + where();
    else
      problem = "not XML at " + where() + ": " + XML_ErrorString(code);
  }
};

namespace {

Parser::State& stateOf(void* userData) {
  return *static_cast<Parser::State*>(userData);
}

void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char** attributes) {
  Parser::State& state = stateOf(userData);
  if (state.stopped)
    return;
  if (++state.depth > state.limits.depth) {
    state.refuse("elements nested more than " + std::to_string(state.limits.depth) +
                 " deep");
    return;
  }
  state.handler.startElement(name, Attributes(attributes));
}

void XMLCALL onEnd(void* userData, const XML_Char* name) {
  Parser::State& state = stateOf(userData);
  if (state.stopped)
    return;
  --state.depth;
  state.handler.endElement(name);
}

void XMLCALL onText(void* userData, const XML_Char* text, int length) {
  Parser::State& state = stateOf(userData);
  if (!state.stopped && length > 0)
    state.handler.text(std::string_view(text, static_cast<std::size_t>(length)));
}

void XMLCALL onDoctype(void* userData, const XML_Char* /*name*/, const XML_Char* systemId,
                       const XML_Char* publicId, int hasInternalSubset) {
  if (systemId != nullptr || publicId != nullptr || hasInternalSubset != 0)
    stateOf(userData).refuse(
        "a document type declaration with an internal subset or an external "
        "identifier");
}

void XMLCALL onEntityDeclaration(void* userData, const XML_Char*, int, const XML_Char*,
                                 int, const XML_Char*, const XML_Char*, const XML_Char*,
                                 const XML_Char*) {
  stateOf(userData).refuse("an entity declaration");
}

int XMLCALL onExternalEntity(XML_Parser, const XML_Char*, const XML_Char*,
                             const XML_Char*, const XML_Char*) {
  return XML_STATUS_ERROR;  // never fetched, whatever it names
}

}  // namespace

Parser::Parser(Handler& handler, const Limits& limits)
    : state_(std::make_unique<State>(handler, limits)) {
  state_->budget.limit = limits.memory;
  BudgetScope scope(state_->budget);
  state_->parser = XML_ParserCreate_MM(nullptr, &kCountedMemory, nullptr);
  if (state_->parser == nullptr) {
    state_->stopped = true;
    state_->problem = "too large: no memory for the XML parser";
    return;
  }
  XML_Parser p = state_->parser;
  XML_SetUserData(p, state_.get());
  XML_SetElementHandler(p, onStart, onEnd);
  XML_SetCharacterDataHandler(p, onText);
  XML_SetStartDoctypeDeclHandler(p, onDoctype);
  XML_SetEntityDeclHandler(p, onEntityDeclaration);
  XML_SetExternalEntityRefHandler(p, onExternalEntity);
  XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);
}

Parser::~Parser() {
  if (state_->parser != nullptr) {
    BudgetScope scope(state_->budget);
    XML_ParserFree(state_->parser);
  }
}

bool Parser::feed(std::string_view bytes) {
  State& s = *state_;
  while (!s.stopped && !bytes.empty()) {
    const std::size_t count = std::min<std::size_t>(bytes.size(), INT_MAX / 2);
    s.fed += count;
    BudgetScope scope(s.budget);
    if (XML_Parse(s.parser, bytes.data(), static_cast<int>(count), XML_FALSE) ==
        XML_STATUS_ERROR)
      s.describeError(false);
    bytes.remove_prefix(count);
  }
  return !s.stopped;
}

bool Parser::finish() {
  State& s = *state_;
  if (s.stopped)
    return false;
  BudgetScope scope(s.budget);
  if (XML_Parse(s.parser, nullptr, 0, XML_TRUE) == XML_STATUS_ERROR)
    s.describeError(true);
  return !s.stopped;
}

bool Parser::parse(ByteSource& source) {
  State& s = *state_;
  while (!s.stopped) {
    void* buffer = nullptr;
    {
      BudgetScope scope(s.budget);
      buffer = XML_GetBuffer(s.parser, static_cast<int>(kChunk));
    }
    if (buffer == nullptr) {
      s.describeError(false);
      break;
    }
    const std::size_t count = source.read(static_cast<char*>(buffer), kChunk);
    if (count == 0) {
      if (source.problem().empty())
        return finish();
      s.stopped = true;
      s.problem = source.problem();
      break;
    }
    s.fed += count;
    BudgetScope scope(s.budget);
    if (XML_ParseBuffer(s.parser, static_cast<int>(count), XML_FALSE) == XML_STATUS_ERROR)
      s.describeError(false);
  }
  return false;
}

const std::string& Parser::problem() const {
  return state_->problem;
}

bool read(ByteSource& source, Handler& handler, ProjectReading& reading,
          const Limits& limits) {
  Parser parser(handler, limits);
  if (parser.parse(source))
    return true;
  reading.fail(parser.problem());
  return false;
}

}  // namespace vernatto::daw::xml
