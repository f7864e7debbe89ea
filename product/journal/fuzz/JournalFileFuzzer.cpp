// Any bytes as the installation journal the next run finds: what is read
// is whole, in order, and exactly what the bytes it used say.
#include <string>
#include <string_view>

#include "engine/testing/FuzzCheck.h"
#include "product/journal/JournalFile.h"

using ::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const product::JournalRead read = product::ReadJournal(bytes);
  Check(read.usedBytes <= bytes.size(), "no more is used than there is");
  Check(read.head || read.entries.empty(), "no entries without the head");
  Check(!(read.torn && read.damaged), "torn or damaged, not both");
  if (read.head) {
    std::string again(product::kJournalHead);
    for (const product::JournalEntry& entry : read.entries) again += product::EncodeJournalEntry(entry);
    Check(std::string_view(again) == bytes.substr(0, read.usedBytes), "the entries read are the bytes used");
    Check(read.usedBytes == bytes.size() || read.torn || read.damaged,
          "what is left over is said to be torn or damaged");
  }
  const product::JournalRecovery recovery = product::DecideRecovery(read);
  if (recovery == product::JournalRecovery::kRollBack || recovery == product::JournalRecovery::kFinishCommit) {
    Check(!read.entries.empty() && read.entries.front().kind == product::JournalKind::kTarget,
          "a journal acted on names its target first");
  }
  return 0;
}
