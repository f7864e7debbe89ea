#include "JournalFile.h"

#include <zlib.h>

#include <algorithm>

namespace product {
namespace {

void Put32(std::string& into, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) into.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::uint32_t Get32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::uint32_t Crc32(std::string_view bytes) {
  return static_cast<std::uint32_t>(
      crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// Whether an entry of the kind may have that many fields.
bool FieldsFit(std::uint8_t kind, std::size_t count) {
  switch (static_cast<JournalKind>(kind)) {
    case JournalKind::kTarget:
      return count == 1;
    case JournalKind::kCreatedFolder:
    case JournalKind::kCreatedFile:
      return count == 2;
    case JournalKind::kReplaced:
      return count == 4;
    case JournalKind::kRegistry:
      return count >= 1 && (count - 1) % 3 == 0;
    case JournalKind::kCommitted:
    case JournalKind::kNotMade:
      return count == 0;
  }
  return false;  // no kind of ours
}

// The fields of a body after its kind; false when they do not fill it
// exactly.
bool SplitFields(std::string_view body, std::vector<std::string>* fields) {
  std::size_t at = 1;
  while (at < body.size()) {
    if (body.size() - at < 4) return false;
    const std::uint32_t length = Get32(body, at);
    at += 4;
    if (length > body.size() - at) return false;
    fields->emplace_back(body.substr(at, length));
    at += length;
  }
  return true;
}

}  // namespace

std::string EncodeJournalEntry(const JournalEntry& entry) {
  std::string body(1, static_cast<char>(entry.kind));
  for (const std::string& field : entry.fields) {
    Put32(body, static_cast<std::uint32_t>(field.size()));
    body += field;
  }
  std::string encoded;
  Put32(encoded, static_cast<std::uint32_t>(body.size()));
  encoded += body;
  Put32(encoded, Crc32(body));
  return encoded;
}

JournalRead ReadJournal(std::string_view bytes) {
  JournalRead read;
  if (bytes.size() < kJournalHead.size() || bytes.substr(0, kJournalHead.size()) != kJournalHead) {
    // A head cut short was being written when the run ended; anything else
    // is no journal of ours.
    const bool prefix = kJournalHead.substr(0, std::min(bytes.size(), kJournalHead.size())) ==
                        bytes.substr(0, std::min(bytes.size(), kJournalHead.size()));
    read.torn = prefix && !bytes.empty();
    read.damaged = !prefix;
    return read;
  }
  read.head = true;
  std::size_t at = kJournalHead.size();
  while (at < bytes.size()) {
    const std::size_t left = bytes.size() - at;
    if (left < 4) {
      read.torn = true;
      break;
    }
    const std::uint32_t length = Get32(bytes, at);
    if (length == 0 || length > kLargestJournalBody) {
      read.damaged = true;
      break;
    }
    if (left - 4 < std::size_t{length} + 4) {
      read.torn = true;
      break;
    }
    const std::string_view body = bytes.substr(at + 4, length);
    JournalEntry entry{static_cast<JournalKind>(body[0]), {}};
    if (Get32(bytes, at + 4 + length) != Crc32(body) || !SplitFields(body, &entry.fields) ||
        !FieldsFit(static_cast<std::uint8_t>(body[0]), entry.fields.size())) {
      read.damaged = true;
      break;
    }
    read.entries.push_back(std::move(entry));
    at += 4 + length + 4;
  }
  read.usedBytes = read.head ? at : 0;
  return read;
}

JournalRecovery DecideRecovery(const JournalRead& read) {
  if (!read.head) return read.damaged ? JournalRecovery::kLeaveAlone : JournalRecovery::kForget;
  if (read.entries.empty()) return read.damaged ? JournalRecovery::kLeaveAlone : JournalRecovery::kForget;
  if (read.entries.front().kind != JournalKind::kTarget) {
    return JournalRecovery::kLeaveAlone;
  }
  for (const JournalEntry& entry : read.entries) {
    if (entry.kind == JournalKind::kCommitted) return JournalRecovery::kFinishCommit;
  }
  return JournalRecovery::kRollBack;
}

std::vector<JournalEntry> TakenSteps(const JournalRead& read) {
  const JournalRecovery recovery = DecideRecovery(read);
  std::vector<JournalEntry> steps;
  if (recovery != JournalRecovery::kRollBack && recovery != JournalRecovery::kFinishCommit) return steps;
  for (const JournalEntry& entry : read.entries) {
    switch (entry.kind) {
      case JournalKind::kTarget:
      case JournalKind::kCommitted:
        break;
      case JournalKind::kNotMade:
        if (!steps.empty()) steps.pop_back();
        break;
      default:
        steps.push_back(entry);
    }
  }
  return steps;
}

bool InsideTarget(std::string_view target, std::string_view path) {
  if (target.empty() || path.size() <= target.size() + 1 || path.substr(0, target.size()) != target ||
      path[target.size()] != '\\') {
    return false;
  }
  std::string_view rest = path.substr(target.size() + 1);
  while (true) {
    const std::size_t separator = rest.find_first_of("\\/");
    const std::string_view name = rest.substr(0, separator);
    if (name.empty() || name == "." || name == "..") return false;
    if (separator == std::string_view::npos) return true;
    rest = rest.substr(separator + 1);
  }
}

}  // namespace product
