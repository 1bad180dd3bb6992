#include "mutate.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"

namespace fuzz {

namespace {

std::vector<Reader>& Table() {
  static std::vector<Reader> table;
  return table;
}

using Clock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------------------------------------------
// The guard: what runs now, for the watchdog and the crash filter. Both may run while the reader is in any state,
// so everything they need is prepared before each input and they allocate nothing.

struct Current {
  std::atomic<std::int64_t> startedMs{0};  // 0: no input running
  std::atomic<std::int64_t> startedCpuMs{0};
  std::atomic<std::int64_t> boundMs{0};
  HANDLE reader = nullptr;  // the thread that reads, for its processor time
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  char label[512] = {};
};
Current current;

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

// The processor time a thread has used. A reader that loops for ever keeps using it, however busy the machine is;
// wall-clock time alone would call a slow input on a loaded machine a hang.
std::int64_t CpuMs(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!thread || !GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
  };
  return ms(kernel) + ms(user);
}

void WriteErr(const char* text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

// Writes the running input beside the test (the working folder) so the fault can be reproduced.
void DumpCurrent(const char* what) {
  char line[800];
  std::snprintf(line, sizeof line, "\n[fuzz] %s while reading %s (%zu bytes); the input is in fuzz-%s.bin\n", what,
                current.label, current.size, what);
  WriteErr(line);
  wchar_t file[64];
  std::swprintf(file, 64, L"fuzz-%hs.bin", what);
  HANDLE h = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(h, current.data, static_cast<DWORD>(current.size), &written, nullptr);
    CloseHandle(h);
  }
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info) {
  char what[64];
  std::snprintf(what, sizeof what, "crash-%08lX", static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
  DumpCurrent(what);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

void Watchdog() {
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::int64_t started = current.startedMs.load(std::memory_order_acquire);
    if (!started) continue;
    const std::int64_t bound = current.boundMs.load();
    // A reader that waits instead of computing is caught by the wall clock, with room for a machine that is busy.
    const bool spinning = CpuMs(current.reader) - current.startedCpuMs.load() > bound;
    const bool waiting = NowMs() - started > 10 * bound;
    if (current.startedMs.load(std::memory_order_acquire) == started && (spinning || waiting)) {
      DumpCurrent("hang");
      TerminateProcess(GetCurrentProcess(), 4);
    }
  }
}

void StartGuard() {
  static bool started = false;
  if (started) return;
  started = true;
  SetUnhandledExceptionFilter(CrashFilter);
  std::thread(Watchdog).detach();
}

// ---------------------------------------------------------------------------------------------------------------
// Mutations

using Rng = std::mt19937_64;

std::size_t Pick(Rng& rng, std::size_t n) { return n ? static_cast<std::size_t>(rng() % n) : 0; }

void WriteNumber(Bytes& d, std::size_t at, std::uint64_t value, int width, bool bigEndian) {
  for (int i = 0; i < width && at + i < d.size(); ++i) {
    const int shift = bigEndian ? 8 * (width - 1 - i) : 8 * i;
    d[at + i] = static_cast<std::uint8_t>(value >> shift);
  }
}

void MutateOnce(Bytes& d, Rng& rng, const std::vector<Input>& fixtures, bool text) {
  static const std::uint8_t edges[] = {0x00, 0xFF, 0x7F, 0x80, 0x01, 0xFE, 0x20, 0x0A};
  static const std::uint64_t huge[] = {
      0xFFFFFFFFFFFFFFFFull, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFF, 0x8000, 0x10000, 0x7FFF,
      0x100000000ull,        0x40000000};
  static const char* const numbers[] = {
      "4294967296", "99999999999999999999999", "-2147483649", "1e308", "-1", "0", "2147483647", "1e-400",
      "NaN",        "$FFFFFFFFFFFFFFFFF"};
  static const std::string_view punctuation[] = {
      "<", ">", "(", ")", "[", "]",  "{",  "}",  "'",    "\"",
      "&", "#", ";", "=", "/", "\\", "\n", "&#", "<!--", std::string_view("\0", 1)};
  const int kinds = text ? 11 : 8;
  const std::size_t n = d.size();
  switch (Pick(rng, kinds)) {
    case 0:  // bit flip
      if (n) d[Pick(rng, n)] ^= static_cast<std::uint8_t>(1u << Pick(rng, 8));
      break;
    case 1:  // an edge value
      if (n) d[Pick(rng, n)] = edges[Pick(rng, std::size(edges))];
      break;
    case 2: {  // random bytes inserted
      Bytes extra(1 + Pick(rng, 16));
      for (auto& b : extra) b = static_cast<std::uint8_t>(rng());
      d.insert(d.begin() + static_cast<std::ptrdiff_t>(Pick(rng, n + 1)), extra.begin(), extra.end());
      break;
    }
    case 3: {  // a chunk of the input copied elsewhere in it
      if (!n) break;
      const std::size_t from = Pick(rng, n), length = 1 + Pick(rng, std::min<std::size_t>(256, n - from));
      const Bytes chunk(d.begin() + static_cast<std::ptrdiff_t>(from),
                        d.begin() + static_cast<std::ptrdiff_t>(from + length));
      d.insert(d.begin() + static_cast<std::ptrdiff_t>(Pick(rng, n + 1)), chunk.begin(), chunk.end());
      break;
    }
    case 4: {  // a span deleted
      if (!n) break;
      const std::size_t from = Pick(rng, n), length = 1 + Pick(rng, std::min<std::size_t>(64, n - from));
      d.erase(d.begin() + static_cast<std::ptrdiff_t>(from), d.begin() + static_cast<std::ptrdiff_t>(from + length));
      break;
    }
    case 5: {  // spliced with another fixture (or itself)
      const Bytes& other = fixtures[Pick(rng, fixtures.size())].data;
      const std::size_t cut = Pick(rng, n + 1), otherCut = Pick(rng, other.size() + 1);
      d.resize(cut);
      d.insert(d.end(), other.begin() + static_cast<std::ptrdiff_t>(otherCut), other.end());
      break;
    }
    case 6:
    case 7: {  // a count or length made huge
      if (!n) break;
      static const int widths[] = {1, 2, 4, 8};
      WriteNumber(d, Pick(rng, n), huge[Pick(rng, std::size(huge))], widths[Pick(rng, 4)], rng() & 1);
      break;
    }
    case 8: {  // text: a number made huge
      std::size_t at = Pick(rng, n);
      while (at < n && !(d[at] >= '0' && d[at] <= '9')) ++at;
      std::size_t end = at;
      while (end < n && d[end] >= '0' && d[end] <= '9') ++end;
      const char* number = numbers[Pick(rng, std::size(numbers))];
      d.erase(d.begin() + static_cast<std::ptrdiff_t>(at), d.begin() + static_cast<std::ptrdiff_t>(end));
      d.insert(d.begin() + static_cast<std::ptrdiff_t>(at), number, number + std::strlen(number));
      break;
    }
    case 9: {  // text: a short run repeated into deep nesting
      if (!n) break;
      const std::size_t from = Pick(rng, n), length = 1 + Pick(rng, std::min<std::size_t>(16, n - from));
      const Bytes run(d.begin() + static_cast<std::ptrdiff_t>(from),
                      d.begin() + static_cast<std::ptrdiff_t>(from + length));
      const std::size_t times = 50 + Pick(rng, 3000);
      Bytes nest;
      nest.reserve(run.size() * times);
      for (std::size_t i = 0; i < times; ++i) nest.insert(nest.end(), run.begin(), run.end());
      d.insert(d.begin() + static_cast<std::ptrdiff_t>(from), nest.begin(), nest.end());
      break;
    }
    case 10: {  // text: a delimiter inserted
      const std::string_view p = punctuation[Pick(rng, std::size(punctuation))];
      d.insert(d.begin() + static_cast<std::ptrdiff_t>(Pick(rng, n + 1)), p.begin(), p.end());
      break;
    }
  }
}

std::uint64_t Seed() {
  if (const char* s = std::getenv("TAVREL_FUZZ_SEED")) return std::strtoull(s, nullptr, 10);
  return 20240613;
}

std::uint64_t HashName(const std::string& s) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h;
}

// Messages are tallied with their numbers (lines, offsets) blanked, so one rule counts once.
std::string MessageKey(const char* what) {
  std::string key;
  for (const char* p = what; *p && *p != '\n' && key.size() < 160; ++p) {
    if (*p >= '0' && *p <= '9') {
      if (key.empty() || key.back() != '#') key += '#';
    } else {
      key += *p;
    }
  }
  return key;
}

std::string ClassOf(const std::exception& e) {
  if (auto* r = dynamic_cast<const rtl::Exception*>(&e)) return rtl::StringToUTF8(r->ClassName());
  if (dynamic_cast<const Refusal*>(&e)) return "Refusal";
  return "std::exception";
}

class Runner {
 public:
  Runner(const Reader& reader, Tally& tally) : reader_(reader), tally_(tally) {}

  // Returns the refusal's message, or an empty text when the input loaded (or faulted).
  std::string Attempt(const std::string& fixture, const char* kind, std::size_t index, const Bytes& input) {
    std::string refusal;
    std::snprintf(current.label, sizeof current.label, "%s / %s / %s %zu", reader_.name.c_str(), fixture.c_str(), kind,
                  index);
    current.data = input.data();
    current.size = input.size();
    current.boundMs.store(static_cast<std::int64_t>(reader_.secondsPerInput * 1000));
    // Inputs are read on the test's thread; the handle is taken once, while no input is running.
    if (!current.reader)
      DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &current.reader, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    current.startedCpuMs.store(CpuMs(current.reader));
    current.startedMs.store(NowMs(), std::memory_order_release);
    ++tally_.inputs;
    try {
      reader_.read(input);
      ++tally_.loaded;
    } catch (const std::exception& e) {
      if (reader_.refuses(e)) {
        ++tally_.refused;
        ++tally_.messages[MessageKey(e.what())];
        refusal = e.what();
      } else {
        Fault(std::string(current.label) + ": " + ClassOf(e) + ": " + e.what(), input);
      }
    } catch (...) {
      Fault(std::string(current.label) + ": an exception of no known class", input);
    }
    current.startedMs.store(0, std::memory_order_release);
    return refusal;
  }

  void Fault(const std::string& what, const Bytes& input) {
    tally_.faults.push_back(what);
    if (tally_.faults.size() > 5) return;
    // The first few are kept for reproduction.
    char name[64];
    std::snprintf(name, sizeof name, "fuzz-fault-%zu.bin", tally_.faults.size());
    if (FILE* f = std::fopen(name, "wb")) {
      std::fwrite(input.data(), 1, input.size(), f);
      std::fclose(f);
    }
    tally_.faults.back() += std::string(" (input in ") + name + ")";
  }

 private:
  const Reader& reader_;
  Tally& tally_;
};

}  // namespace

bool Join(Reader reader) {
  Table().push_back(std::move(reader));
  return true;
}

const std::vector<Reader>& Readers() { return Table(); }

const Reader* FindReader(const std::string& name) {
  for (const Reader& r : Table())
    if (r.name == name) return &r;
  return nullptr;
}

int RoundsMultiplier() {
  const char* s = std::getenv("TAVREL_FUZZ_ROUNDS");
  const int m = s ? std::atoi(s) : 1;
  return m > 0 ? m : 1;
}

Bytes Utf8(const std::wstring& text) {
  const std::string s = rtl::StringToUTF8(text);
  return Bytes(s.begin(), s.end());
}

std::wstring FromUtf8(const Bytes& bytes) {
  return rtl::UTF8ToString(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

Bytes Nest(const std::string& head, const std::string& open, int count, const std::string& middle,
           const std::string& close, const std::string& tail) {
  std::string s = head;
  s.reserve(head.size() + (open.size() + close.size()) * count + middle.size() + tail.size());
  for (int i = 0; i < count; ++i) s += open;
  s += middle;
  for (int i = 0; i < count; ++i) s += close;
  s += tail;
  return Bytes(s.begin(), s.end());
}

std::vector<Input> DataFiles(const std::vector<std::string>& paths) {
  // TAVREL_TEST_DATA names this test's source folder (tests/fuzz); under Wine a Unix path is reached through Z:.
  const char* root = std::getenv("TAVREL_TEST_DATA");
  std::string base = root ? root : ".";
  if (!base.empty() && base[0] == '/') base = "Z:" + base;
  base += "/../";
  std::vector<Input> out;
  for (const std::string& p : paths) {
    std::string path = base + p;
    std::replace(path.begin(), path.end(), '/', '\\');
    Input in;
    in.name = p.substr(p.find_last_of('/') + 1);
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      std::uint8_t buf[4096];
      for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) in.data.insert(in.data.end(), buf, buf + n);
      std::fclose(f);
    } else {
      throw std::runtime_error("fixture missing: " + path);
    }
    out.push_back(std::move(in));
  }
  return out;
}

Tally Run(const Reader& reader) {
  StartGuard();
  Tally tally;
  const auto started = Clock::now();
  Runner runner(reader, tally);
  const std::vector<Input> fixtures = reader.fixtures();
  const int multiplier = RoundsMultiplier();

  for (std::size_t f = 0; f < fixtures.size(); ++f) {
    const Input& fixture = fixtures[f];
    // A fixture the reader refuses would test nothing.
    const std::size_t faultsBefore = tally.faults.size(), refusedBefore = tally.refused;
    const std::string refusal = runner.Attempt(fixture.name, "fixture", 0, fixture.data);
    if (tally.refused != refusedBefore || tally.faults.size() != faultsBefore)
      tally.faults.push_back(reader.name + " / " + fixture.name + ": the sound fixture does not load: " + refusal);

    // Every truncation, or for large fixtures the first 512 bytes byte by byte and as many cuts as rounds over the
    // rest.
    const std::size_t size = fixture.data.size();
    std::vector<std::size_t> cuts;
    if (size <= reader.truncateAll) {
      for (std::size_t i = 0; i < size; ++i) cuts.push_back(i);
    } else {
      for (std::size_t i = 0; i < 512; ++i) cuts.push_back(i);
      const std::size_t spread = static_cast<std::size_t>(reader.rounds) * multiplier;
      for (std::size_t i = 0; i < spread; ++i) cuts.push_back(512 + (size - 512) * i / spread);
    }
    for (std::size_t cut : cuts)
      runner.Attempt(fixture.name, "truncated to", cut, Bytes(fixture.data.begin(), fixture.data.begin() + cut));

    Rng rng(Seed() ^ HashName(reader.name) ^ (f * 0x9E3779B97F4A7C15ull));
    const std::size_t rounds = static_cast<std::size_t>(reader.rounds) * multiplier;
    for (std::size_t i = 0; i < rounds; ++i) {
      Bytes input = fixture.data;
      const int operations = 1 + static_cast<int>(Pick(rng, 3));
      for (int k = 0; k < operations; ++k) MutateOnce(input, rng, fixtures, reader.text);
      runner.Attempt(fixture.name, "mutation", i, input);
    }
  }
  if (reader.generated) {
    const std::vector<Input> made = reader.generated();
    for (std::size_t i = 0; i < made.size(); ++i) runner.Attempt(made[i].name, "generated", i, made[i].data);
  }
  tally.seconds = std::chrono::duration<double>(Clock::now() - started).count();
  return tally;
}

}  // namespace fuzz
