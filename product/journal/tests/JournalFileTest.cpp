#include "product/journal/JournalFile.h"

#include <gtest/gtest.h>

#include <random>

namespace product {
namespace {

using K = JournalKind;

// An installation that replaced a file, made a folder and a file, saved the
// earlier Uninstall key and committed.
std::vector<JournalEntry> Installation() {
  return {
      {K::kTarget, {"D:\\Nimbo\\"}},
      {K::kReplaced,
       {"D:\\Nimbo\\README.txt", "D:\\Nimbo\\README.txt", "D:\\Nimbo\\.nimbo-replaced-1\\1",
        "D:\\Nimbo\\.nimbo-replaced-1\\1"}},
      {K::kCreatedFolder, {"D:\\Nimbo\\\xE6\x8F\x92\xE4\xBB\xB6", "D:\\Nimbo\\\xE6\x8F\x92\xE4\xBB\xB6"}},
      {K::kCreatedFile, {"D:\\Nimbo\\Nimbo.exe", "D:\\Nimbo\\Nimbo.exe"}},
      {K::kRegistry, {"1", "DisplayName", "1", std::string("N\0i\0m\0b\0o\0\0\0", 12)}},
      {K::kCommitted, {}},
  };
}

std::string Encode(const std::vector<JournalEntry>& entries) {
  std::string bytes(kJournalHead);
  for (const JournalEntry& entry : entries) bytes += EncodeJournalEntry(entry);
  return bytes;
}

TEST(JournalFile, EntriesReadBackAsWritten) {
  const std::string bytes = Encode(Installation());
  const JournalRead read = ReadJournal(bytes);
  EXPECT_TRUE(read.head);
  EXPECT_EQ(read.entries, Installation());
  EXPECT_EQ(read.usedBytes, bytes.size());
  EXPECT_FALSE(read.torn || read.damaged);
  // An entry is its body's length, the body and its checksum: the target's
  // body is its kind, a field length and 9 bytes.
  EXPECT_EQ(EncodeJournalEntry({K::kTarget, {"D:\\Nimbo\\"}}).size(), 4u + 1 + 4 + 9 + 4);
}

TEST(JournalFile, CutAtAnyByteReadsTheWholeEntriesBeforeTheCut) {
  const std::vector<JournalEntry> written = Installation();
  const std::string bytes = Encode(written);
  std::vector<std::size_t> ends = {kJournalHead.size()};
  for (const JournalEntry& entry : written) ends.push_back(ends.back() + EncodeJournalEntry(entry).size());
  for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
    const JournalRead read = ReadJournal(std::string_view(bytes).substr(0, cut));
    const std::size_t whole = cut < ends[0] ? 0 : std::upper_bound(ends.begin(), ends.end(), cut) - ends.begin() - 1;
    ASSERT_EQ(read.entries.size(), whole) << "cut at " << cut;
    EXPECT_TRUE(std::equal(read.entries.begin(), read.entries.end(), written.begin())) << cut;
    EXPECT_FALSE(read.damaged) << "a cut is no damage, at " << cut;
    EXPECT_EQ(read.torn, cut != 0 && std::find(ends.begin(), ends.end(), cut) == ends.end()) << cut;
  }
}

TEST(JournalFile, AChangedByteEndsTheReadingAtItsEntry) {
  const std::vector<JournalEntry> written = Installation();
  const std::string bytes = Encode(written);
  std::mt19937 random(2026);
  for (int round = 0; round < 2000; ++round) {
    std::string damaged = bytes;
    const std::size_t at = kJournalHead.size() + random() % (bytes.size() - kJournalHead.size());
    damaged[at] = static_cast<char>(damaged[at] ^ (1 + random() % 255));
    const JournalRead read = ReadJournal(damaged);
    // Whatever was read is what was written, in order, and ends before the change.
    ASSERT_LE(read.entries.size(), written.size());
    EXPECT_TRUE(std::equal(read.entries.begin(), read.entries.end(), written.begin())) << "byte " << at;
    EXPECT_LE(read.usedBytes, at) << "byte " << at;
    EXPECT_TRUE(read.damaged || read.torn) << "byte " << at;
  }
}

TEST(JournalFile, TheNextRunKnowsWhatToDo) {
  const std::vector<JournalEntry> all = Installation();
  const std::vector<JournalEntry> beforeCommit(all.begin(), all.end() - 1);
  const std::string head(kJournalHead);
  struct Case {
    const char* what;
    std::string bytes;
    JournalRecovery recovery;
  };
  const Case cases[] = {
      {"an empty file: killed before the head", "", JournalRecovery::kForget},
      {"a head cut short", head.substr(0, 7), JournalRecovery::kForget},
      {"a head alone", head, JournalRecovery::kForget},
      {"the target's entry cut short", head + EncodeJournalEntry(all[0]).substr(0, 9), JournalRecovery::kForget},
      {"the target alone: nothing made yet", Encode({all[0]}), JournalRecovery::kRollBack},
      {"killed during the extraction", Encode({all[0], all[1], all[2]}), JournalRecovery::kRollBack},
      {"killed after the key was saved", Encode(beforeCommit), JournalRecovery::kRollBack},
      {"killed while committing", Encode(all), JournalRecovery::kFinishCommit},
      {"committed, with a torn entry after", Encode(all) + "\x05", JournalRecovery::kFinishCommit},
      {"no journal of ours", std::string("MZ\x90\x00 some other file", 20), JournalRecovery::kLeaveAlone},
      {"a first entry that is not the target", Encode({all[3], all[0]}), JournalRecovery::kLeaveAlone},
      {"a head followed by damage", head + std::string(12, '\xFF'), JournalRecovery::kLeaveAlone},
  };
  for (const Case& c : cases) EXPECT_EQ(DecideRecovery(ReadJournal(c.bytes)), c.recovery) << c.what;
}

TEST(JournalFile, EntriesWithTheWrongFieldsAreDamage) {
  for (const JournalEntry& wrong : std::vector<JournalEntry>{{K::kTarget, {}},
                                                             {K::kCreatedFile, {"D:\\Nimbo\\a"}},
                                                             {K::kReplaced, {"a", "b", "c"}},
                                                             {K::kRegistry, {"1", "name", "1"}},
                                                             {K::kCommitted, {"x"}},
                                                             {K::kNotMade, {"x"}},
                                                             {static_cast<K>(9), {}}}) {
    const JournalRead read = ReadJournal(Encode({Installation()[0], wrong}));
    EXPECT_EQ(read.entries.size(), 1u) << static_cast<int>(wrong.kind);
    EXPECT_TRUE(read.damaged);
  }
}

TEST(JournalFile, AStepThatDidNotHappenIsNotTaken) {
  const std::vector<JournalEntry> all = Installation();
  const JournalEntry notMade{K::kNotMade, {}};
  // The folder's creation was announced and failed; a file then was made.
  const std::vector<JournalEntry> steps =
      TakenSteps(ReadJournal(Encode({all[0], all[1], all[2], notMade, all[3], all[5]})));
  EXPECT_EQ(steps, (std::vector<JournalEntry>{all[1], all[3]}));
  EXPECT_EQ(TakenSteps(ReadJournal(Encode({all[0], notMade, all[3]}))), std::vector<JournalEntry>{all[3]})
      << "a kNotMade with nothing before it drops nothing";
  EXPECT_TRUE(TakenSteps(ReadJournal(Encode({all[3], all[0]}))).empty()) << "a journal left alone has no steps";
}

TEST(JournalFile, OnlyPathsStrictlyInsideTheTargetAreActedOn) {
  struct Case {
    const char* path;
    bool inside;
  };
  const Case cases[] = {
      {"D:\\Nimbo\\Nimbo.exe", true},
      {"D:\\Nimbo\\docs\\a b.txt", true},
      {"D:\\Nimbo\\.nimbo-replaced-1\\1", true},
      {"D:\\Nimbo", false},              // the target itself
      {"D:\\Nimbo\\", false},            // an empty name
      {"D:\\Nimbo2\\Nimbo.exe", false},  // a neighbour that starts alike
      {"D:\\Nimbo\\..\\Windows\\x.dll", false},
      {"D:\\Nimbo\\docs\\.\\a", false},
      {"D:\\Nimbo\\docs\\\\a", false},     // an empty level
      {"D:\\Nimbo\\docs/../../x", false},  // a slash is a separator too
      {"C:\\Windows\\x.dll", false},
      {"d:\\nimbo\\Nimbo.exe", false},  // not as the journal wrote its target
  };
  for (const Case& c : cases) EXPECT_EQ(InsideTarget("D:\\Nimbo", c.path), c.inside) << c.path;
  EXPECT_FALSE(InsideTarget("", "\\x"));
}

}  // namespace
}  // namespace product
