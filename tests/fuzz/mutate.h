#pragma once
// The mutation harness: every reader of outside input is driven with damaged copies of its own fixtures, and each
// input must either load or be refused with the reader's own error. Anything else is a fault: another exception
// escaping, a crash (the process dies; the input is written out first), or a hang (a watchdog ends the process
// after a bound, writing the input out).
//
// Inputs made from each fixture, all reproducible from the seed:
//   - every truncation (for fixtures past Reader::truncateAll bytes: the first 512, then Reader::rounds spread),
//   - random mutations: bit flips, bytes set to edge values, insertions of random bytes or of a copied chunk,
//     deletions, splices with another fixture, counts and lengths overwritten with huge values, and for text
//     readers numbers made huge and an opening run repeated into deep nesting,
//   - the reader's own generated inputs (deep nesting, huge counts) from Reader::generated.
//
// How a reader joins: add a file tests/fuzz/fuzz_<reader>.cpp holding one table entry,
//
//   const bool joined = fuzz::Join({
//       .name = "workbook (.xlsx)",
//       .fixtures = [] { return fuzz::DataFiles({"platform/workbook/data/students.xlsx"}); },
//       .read = [](const fuzz::Bytes& input) { /* load it the way the program does; use what was loaded */ },
//       .refuses = fuzz::ErrorOf<rtl::EReadError>,
//   });
//
// and link its library in tests/fuzz/CMakeLists.txt. A reader that answers by a return value instead of an
// exception throws fuzz::Refusal when it declines. Keep fixtures small (a few KB): every truncation of each is run.
//
// Runs: the test run uses the rounds given in each entry. For a longer run before a release,
//   bash scripts/fuzz.sh [rounds multiplier] [gtest filter]
// multiplies every reader's mutation count (TAVREL_FUZZ_ROUNDS), and TAVREL_FUZZ_SEED picks other mutations.
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fuzz {

using Bytes = std::vector<std::uint8_t>;

struct Input {
  std::string name;
  Bytes data;
};

// Thrown by a reader that declines an input by its return value (a compiler answering false).
class Refusal : public std::exception {
 public:
  explicit Refusal(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

struct Reader {
  std::string name;
  // The reader's fixtures: sound inputs it loads.
  std::function<std::vector<Input>()> fixtures;
  // Loads one input the way the program does, and touches what it loaded. Returns when the input loaded; raises
  // the reader's error when it is refused.
  std::function<void(const Bytes&)> read;
  // True for the exceptions that are the reader's own answer to damaged input.
  std::function<bool(const std::exception&)> refuses;
  // Inputs of the reader's own making: deep nesting, huge counts.
  std::function<std::vector<Input>()> generated;
  // Text formats also get text mutations (numbers made huge, nesting runs).
  bool text = false;
  // A reader that takes any input at all (settings files, string lists) refuses nothing.
  bool lenient = false;
  // Random mutations per fixture in the test run (multiplied by TAVREL_FUZZ_ROUNDS).
  int rounds = 200;
  // Every truncation of a fixture up to this size; larger fixtures have their truncations sampled.
  std::size_t truncateAll = 4096;
  // The watchdog's bound for one input.
  double secondsPerInput = 20;
};

// Adds a reader to the table; returns true so that an entry can be a namespace-scope constant.
bool Join(Reader reader);
const std::vector<Reader>& Readers();
const Reader* FindReader(const std::string& name);

// The predicate for Reader::refuses: the reader's error classes (and fuzz::Refusal).
template <class... Errors>
bool ErrorOf(const std::exception& e) {
  return dynamic_cast<const Refusal*>(&e) || (... || (dynamic_cast<const Errors*>(&e) != nullptr));
}

// Files below the repository's tests/ folder (the suite's data folders), as fixtures named by their file names.
std::vector<Input> DataFiles(const std::vector<std::string>& pathsBelowTests);
Bytes Utf8(const std::wstring& text);
std::wstring FromUtf8(const Bytes& bytes);
// Text repeated count times, between a head and a tail: the usual deep-nesting generator.
Bytes Nest(const std::string& head, const std::string& open, int count, const std::string& middle,
           const std::string& close, const std::string& tail);

// What one reader's run gave.
struct Tally {
  std::size_t inputs = 0;
  std::size_t loaded = 0;
  std::size_t refused = 0;
  std::map<std::string, std::size_t> messages;  // refusals by message, cut to a line
  std::vector<std::string> faults;              // inputs answered with another exception (name: what)
  double seconds = 0;
};

// Runs every input of the reader under the watchdog and the crash guard.
Tally Run(const Reader& reader);
// Rounds multiplier from TAVREL_FUZZ_ROUNDS (1 when unset).
int RoundsMultiplier();

}  // namespace fuzz
