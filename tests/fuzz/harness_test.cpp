// One test per reader of the table (mutate.h), and checks of the harness itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

#include "mutate.h"

namespace {

std::vector<std::string> ReaderNames() {
  std::vector<std::string> names;
  for (const fuzz::Reader& r : fuzz::Readers()) names.push_back(r.name);
  return names;
}

// The summary the run ends with: per reader, inputs, loaded, refused and the distinct refusals.
struct Summary : public ::testing::Environment {
  static std::vector<std::pair<std::string, fuzz::Tally>>& Rows() {
    static std::vector<std::pair<std::string, fuzz::Tally>> rows;
    return rows;
  }
  void TearDown() override {
    if (Rows().empty()) return;
    std::printf("\n[fuzz] rounds x%d\n", fuzz::RoundsMultiplier());
    std::printf("[fuzz] %-28s %9s %9s %9s %9s %7s %8s\n", "reader", "inputs", "loaded", "refused", "messages", "faults",
                "seconds");
    for (const auto& [name, t] : Rows())
      std::printf("[fuzz] %-28s %9zu %9zu %9zu %9zu %7zu %8.1f\n", name.c_str(), t.inputs, t.loaded, t.refused,
                  t.messages.size(), t.faults.size(), t.seconds);
  }
};
const auto* const summary = ::testing::AddGlobalTestEnvironment(new Summary);

class Mutation : public ::testing::TestWithParam<std::string> {};

TEST_P(Mutation, EveryInputLoadsOrIsRefusedWithTheReadersError) {
  const fuzz::Reader* reader = fuzz::FindReader(GetParam());
  ASSERT_NE(reader, nullptr);
  const fuzz::Tally t = fuzz::Run(*reader);
  Summary::Rows().emplace_back(reader->name, t);
  std::printf("[fuzz] %s: %zu inputs, %zu loaded, %zu refused (%zu distinct messages), %zu faults, %.1f s\n",
              reader->name.c_str(), t.inputs, t.loaded, t.refused, t.messages.size(), t.faults.size(), t.seconds);
  std::string faults;
  for (std::size_t i = 0; i < t.faults.size() && i < 10; ++i) faults += "\n  " + t.faults[i];
  EXPECT_TRUE(t.faults.empty()) << t.faults.size() << " inputs were answered with something else:" << faults;
  // Damaged inputs must reach the reader's checks; a reader that refuses nothing was never really exercised.
  if (!reader->lenient) {
    EXPECT_GT(t.refused, 0u);
  }
  EXPECT_GT(t.loaded, 0u);
}

INSTANTIATE_TEST_SUITE_P(Readers, Mutation, ::testing::ValuesIn(ReaderNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name;
                           for (char c : info.param)
                             name +=
                                 (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? c : '_';
                           return name;
                         });

// The harness counts each kind of answer, and an exception that is not the reader's own is a fault.
TEST(Harness, CountsLoadsRefusalsAndFaults) {
  const fuzz::Reader reader{
      .name = "three answers",
      .fixtures =
          [] {
            return std::vector<fuzz::Input>{{"abc", {'a', 'b', 'c'}}};
          },
      .read =
          [](const fuzz::Bytes& input) {
            if (input.size() == 1) throw std::logic_error("one byte");
            if (input.size() != 3) throw fuzz::Refusal("not three bytes");
          },
      .refuses = fuzz::ErrorOf<>,
      .rounds = 50,
  };
  const fuzz::Tally t = fuzz::Run(reader);
  // The fixture, its three truncations (0, 1 and 2 bytes) and the mutations.
  EXPECT_EQ(t.inputs, 1u + 3u + 50u);
  EXPECT_EQ(t.loaded + t.refused + t.faults.size(), t.inputs);
  ASSERT_GE(t.faults.size(), 1u);
  EXPECT_NE(t.faults[0].find("truncated to 1"), std::string::npos) << t.faults[0];
  EXPECT_NE(t.faults[0].find("one byte"), std::string::npos) << t.faults[0];
  EXPECT_EQ(t.messages.count("not three bytes"), 1u);
  std::remove("fuzz-fault-1.bin");
  for (std::size_t i = 2; i <= 5; ++i) std::remove(("fuzz-fault-" + std::to_string(i) + ".bin").c_str());
}

// The same seed makes the same inputs, so a fault found once can be found again.
TEST(Harness, MutationsAreReproducible) {
  std::vector<fuzz::Bytes> first, second;
  auto record = [](std::vector<fuzz::Bytes>& into) {
    return fuzz::Reader{
        .name = "recorder",
        .fixtures =
            [] {
              return std::vector<fuzz::Input>{{"text", fuzz::Utf8(L"object A: TB\n  X = (1 2)\nend\n")}};
            },
        .read = [&into](const fuzz::Bytes& input) { into.push_back(input); },
        .refuses = fuzz::ErrorOf<>,
        .text = true,
        .rounds = 100,
    };
  };
  fuzz::Run(record(first));
  fuzz::Run(record(second));
  EXPECT_EQ(first, second);
  std::size_t changed = 0;
  for (const auto& b : first) changed += b != first[0];
  EXPECT_GT(changed, first.size() / 2);
}

}  // namespace
