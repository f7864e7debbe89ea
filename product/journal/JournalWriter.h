#pragma once

#include <string>

#include "JournalFile.h"
#include "engine/core/Win32.h"

namespace product {

// The name of the journal file in an installation's hidden folder.
inline constexpr wchar_t kJournalFileName[] = L"journal";

// Writes an installation's journal as it goes: each entry goes to the file
// in one write before the step it describes is taken, so that a process
// killed at any line leaves every entry up to its last step on disk (the
// system has the bytes once the write returns).
class JournalWriter {
 public:
  JournalWriter() = default;
  ~JournalWriter();
  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;

  // Makes the journal file, new, at `path` (inside a folder the caller
  // holds) and writes its head line. False when it cannot.
  bool Create(const std::wstring& path);
  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
  // Writes one entry; false when it could not be written whole.
  bool Append(const JournalEntry& entry);
  // Closes and deletes the file: the run it describes is over.
  bool Discard();

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::wstring path_;
};

}  // namespace product
