#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace product {

// The installation journal as it lies on disk, so that an installation
// that was killed half-way (Task Manager, a deployment tool's time-out, a
// power cut) can be taken back, or its commit finished, by the next run.
// Window-free: the Windows side writes the bytes and flushes each entry
// before it takes the step the entry describes, and reads them back.
//
// The file is a head line, then entries, each whole or torn at its end:
//   head   "NIMBO-JOURNAL 1\n"
//   entry  body length (4 bytes, little-endian), body, CRC-32 of the body (4)
//   body   kind (1 byte), then its fields, each a length (4) and its bytes
// Paths are UTF-8. A crash while an entry is written leaves a torn entry at
// the end, whose step was never begun: reading stops before it.
enum class JournalKind : std::uint8_t {
  kTarget = 1,         // the target folder (the first entry)
  kCreatedFolder = 2,  // path, final path: a folder made
  kCreatedFile = 3,    // path, final path: a file made
  kReplaced = 4,       // path, final path, aside, aside's final path: a file moved aside
  kRegistry = 5,   // the Uninstall key before it was written: "0" (none), or "1" then name, type, data for each value
  kCommitted = 6,  // the product is registered: from here on everything made is kept
  kNotMade = 7,    // the step the entry before announced did not happen
};

struct JournalEntry {
  JournalKind kind;
  std::vector<std::string> fields;
  bool operator==(const JournalEntry&) const = default;
};

inline constexpr std::string_view kJournalHead = "NIMBO-JOURNAL 1\n";
// A body larger than this is damage, not an entry: a path is at most a few
// hundred bytes, and the Uninstall key's values a few kilobytes.
inline constexpr std::uint32_t kLargestJournalBody = 1u << 20;

std::string EncodeJournalEntry(const JournalEntry& entry);

struct JournalRead {
  bool head = false;                  // the head line is whole
  std::vector<JournalEntry> entries;  // every whole, intact entry before the first that is not
  std::size_t usedBytes = 0;          // the head and those entries
  bool torn = false;                  // bytes follow that are the start of an entry, cut short
  bool damaged = false;               // bytes follow that are no entry (a bad checksum, length or kind)
};

// Reads what the bytes hold; never more than was whole and intact.
JournalRead ReadJournal(std::string_view bytes);

// What the next run does with a journal it finds.
enum class JournalRecovery {
  kForget,        // nothing was done yet (no head, no target): the journal alone goes
  kRollBack,      // an installation was cut short before its commit: every step is undone
  kFinishCommit,  // it had committed: the files kept aside go, the rest stays
  kLeaveAlone,    // the journal cannot be trusted (its head or first entry is not one): kept for a person
};

JournalRecovery DecideRecovery(const JournalRead& read);

// The steps a journal says were taken, in order: each entry that a
// kNotMade entry follows is dropped with it, and the kTarget and kCommitted
// entries are left out. Empty when the journal is not to be acted on.
std::vector<JournalEntry> TakenSteps(const JournalRead& read);

// Whether `path` lies strictly inside the folder `target` (both as the
// journal holds them, "\" between levels, the target without a trailing
// one): the target's bytes, a backslash, then names that are neither empty
// nor "." nor "..". A journal's step outside its target is never acted on.
bool InsideTarget(std::string_view target, std::string_view path);

}  // namespace product
