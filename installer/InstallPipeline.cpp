#include "InstallPipeline.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "EarlierInstallation.h"
#include "InstallLog.h"
#include "InstallRecordWriter.h"
#include "ProductRegistration.h"
#include "ProgramPayload.h"
#include "Registry.h"
#include "FolderSecurity.h"
#include "TargetFolder.h"
#include "TargetWriter.h"
#include "engine/core/FileIdentity.h"
#include "engine/core/TextConversion.h"
#include "installer/archive/ArchiveSafety.h"
#include "installer/archive/TargetPath.h"
#include "installer/archive/ZipReader.h"
#include "product/journal/JournalReplay.h"
#include "product/journal/RegistrySnapshot.h"
#include "product/record/InstallRecord.h"
#include "product/running/RunningProduct.h"

namespace setup {
namespace {

// Entry paths are measured without a limit first: the target decides it.
constexpr int kUnlimitedUnits = 32767;

// Writes an entry's data to its new file, counting it, and stops at once
// when the installation is closed.
class ProgressSink final : public ByteSink {
 public:
  ProgressSink(HANDLE file, Installation& state) : file_(file), state_(state) {}
  bool Write(const void* bytes, std::size_t count) override {
    if (state_.Cancelled()) return false;
    DWORD written = 0;
    if (!WriteFile(file_, bytes, static_cast<DWORD>(count), &written, nullptr) || written != count) return false;
    state_.AddDone(count);
    return true;
  }

 private:
  HANDLE file_;
  Installation& state_;
};

std::string Narrow(const std::wstring& text) { return ui::WideToAnsi(text); }

// Two full folder paths name the same folder, whatever the letter case and
// a trailing backslash.
bool SameFolder(const std::wstring& a, const std::wstring& b) {
  return ui::SameName(ui::WithoutTrailingSeparators(a), ui::WithoutTrailingSeparators(b));
}

const char* PayloadProblem(ProgramPayload::Status status) {
  switch (status) {
    case ProgramPayload::Status::kNoFile:
      return "the program's own file cannot be read";
    case ProgramPayload::Status::kNoPayload:
      return "the program carries no payload";
    case ProgramPayload::Status::kChanged:
      return "the program's file does not hold the payload it was built with";
    case ProgramPayload::Status::kOk:
      break;
  }
  return "";
}

// Takes back (or finishes) an installation into the folder that a killed
// run left, trusting only what no one but the administrators may have
// changed.
void ReplayJournalIn(const std::wstring& folder) {
  const product::ReplayReport replay = product::ReplayInterrupted(
      folder, ui::AnsiToWide(kUninstallKey), product::ReplayPurpose::kInstall, [](HANDLE item) {
        std::wstring who;
        return ReadFolderTrust(item, &who) == FolderTrust::kOnlyAdministrators;
      });
  for (const std::wstring& line : replay.lines) LogLine("interrupted installation: " + Narrow(line));
}

// Everything the installation wrote, its record, and undoing it.
class Deployment {
 public:
  Deployment(Installation& state, const std::wstring& target)
      : state_(state), writer_(target), target_(Narrow(target)) {}

  InstallOutcome Fail(InstallOutcome outcome) {
    const RollbackReport rollback = writer_.RollBack();
    for (const std::string& line : rollback.lines) LogLine(line);
    for (const std::wstring& item : rollback.notRestored) state_.AddNotRestored(Narrow(item));
    if (state_.NotRestored().empty()) {
      LogLine("nothing was installed");
    } else {
      LogLine("the rollback could not put back " + std::to_string(state_.NotRestored().size()) +
              " item(s); the first: " + state_.NotRestored().front());
    }
    return outcome;
  }
  // The outcome of a writing step that did not succeed.
  InstallOutcome Failed(const WriteResult& result, InstallOutcome otherwise) {
    if (result.kind == WriteResult::kLink) {
      state_.SetFailurePlace(result.path);
      LogLine("a link, junction or mount point stands at " + Narrow(result.path) + ": not written through");
      return Fail(InstallOutcome::LinkInTarget);
    }
    if (result.kind == WriteResult::kNotOwned) {
      LogLine("refused: " + Narrow(result.path) + " holds files and is no earlier installation of Nimbo, and " +
              Narrow(result.detail) + " may change it");
      return Fail(InstallOutcome::TargetNotOwned);
    }
    LogLine("could not write " + Narrow(result.path) + " (error " + std::to_string(result.error) + ")");
    return Fail(state_.Cancelled() ? InstallOutcome::Cancelled : otherwise);
  }

  // The target, made or taken; a folder of an earlier installation is the
  // one the Uninstall key names and holds its record.
  WriteResult Open(const std::wstring& target, const std::optional<std::wstring>& earlier) {
    WriteResult opened =
        writer_.OpenTarget([&] { return earlier && SameFolder(*earlier, target) && HoldsInstallationRecord(target); });
    if (!opened.Ok()) return opened;
    if (!writer_.TakeOver().empty()) LogLine("target: " + Narrow(writer_.TakeOver()));
    // What a killed run left is taken back first, then this run's journal
    // begins.
    ReplayJournalIn(target);
    return writer_.BeginJournal();
  }

  // The registration's journal entries: the key as it was, and that it is done.
  bool WillRegister(const product::RegistrySnapshot& before) { return writer_.WillRegister(before); }
  void Committed() {
    if (!writer_.Committed()) LogLine("journal: the commit could not be noted");
  }

  // One entry, a folder or a file with its data from the archive.
  InstallOutcome Entry(ZipReader& reader, std::size_t index, const std::string& relative) {
    const ZipEntry& entry = *reader.Entry(index);
    const std::wstring wide = ui::AnsiToWide(relative);
    if (entry.isFolder) {
      const WriteResult made = writer_.MakeFolder(wide);
      if (!made.Ok()) return Failed(made, InstallOutcome::ArchiveFailed);
      LogLine("folder " + target_ + relative);
      record_.push_back({target_ + relative, true});
      return InstallOutcome::Installed;
    }
    HANDLE file = INVALID_HANDLE_VALUE;
    const WriteResult made = writer_.MakeFile(wide, &file);
    if (!made.Ok()) return Failed(made, InstallOutcome::ArchiveFailed);
    ProgressSink sink(file, state_);
    const ZipStatus extracted = reader.Extract(index, sink);
    const bool closed = CloseHandle(file);
    if (state_.Cancelled()) return Fail(InstallOutcome::Cancelled);
    if (extracted != ZipStatus::kOk || !closed) {
      LogLine("could not extract " + target_ + relative + ": " + ZipStatusText(extracted));
      return Fail(InstallOutcome::ArchiveFailed);
    }
    LogLine("file " + target_ + relative + " (" + std::to_string(entry.uncompressedSize) + " bytes)");
    record_.push_back({target_ + relative, false});
    return InstallOutcome::Installed;
  }

  // The installation's record, for the uninstaller.
  InstallOutcome Record(std::size_t* bytes) {
    InstallRecordWriter record(target_);
    for (const auto& [path, isFolder] : record_) record.Add(path, isFolder);
    const std::string text = record.Text();
    HANDLE file = INVALID_HANDLE_VALUE;
    const WriteResult made = writer_.MakeFile(ui::AnsiToWide(record::kInstallRecordName), &file);
    if (!made.Ok()) return Failed(made, InstallOutcome::ArchiveFailed);
    DWORD written = 0;
    const bool wrote =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    if (!CloseHandle(file) || !wrote) {
      LogLine("installation record not written: " + target_ + record::kInstallRecordName);
      return Fail(InstallOutcome::ArchiveFailed);
    }
    LogLine("file " + target_ + record::kInstallRecordName + " (" + std::to_string(text.size()) + " bytes)");
    *bytes = text.size();
    return InstallOutcome::Installed;
  }

  void Commit() {
    for (const std::string& line : writer_.Commit()) LogLine(line);
  }

 private:
  Installation& state_;
  TargetWriter writer_;
  std::string target_;  // for the log and the record
  std::vector<std::pair<std::string, bool>> record_;
};

// A Nimbo that runs from the folders is asked to close before anything is
// replaced, and given a while to; false when it still runs.
bool CloseRunningProduct(const std::vector<std::wstring>& folders) {
  const std::vector<product::ProductProcess> running = product::ProductProcesses(folders);
  if (running.empty()) return true;
  for (const product::ProductProcess& process : running) {
    LogLine("Nimbo is running (process " + std::to_string(process.id) + ", " + Narrow(process.image) +
            "): asked to close");
  }
  const std::vector<product::ProductProcess> left =
      product::CloseProductProcesses(running, product::kProductCloseWaitMs);
  if (left.empty()) {
    LogLine("Nimbo has closed");
    return true;
  }
  LogLine("Nimbo (process " + std::to_string(left.front().id) + ") still runs " +
          std::to_string(product::kProductCloseWaitMs / 1000) +
          " s after it was asked to close: nothing was installed");
  return false;
}

// Everything from the payload's archive on.
InstallOutcome Install(Installation& state, const std::wstring& folder, ByteSource& payload, const PipelineSteps& steps,
                       unsigned long start) {
  ZipReader reader;
  if (const ZipStatus opened = reader.Open(payload); opened != ZipStatus::kOk) {
    LogLine(std::string("the archive cannot be read: ") + ZipStatusText(opened));
    return InstallOutcome::ArchiveFailed;
  }
  if (reader.EntryCount() == 0) {
    LogLine("the archive holds nothing to install");
    return InstallOutcome::ArchiveFailed;
  }
  if (const SafetyReport names = ArchiveSafety(reader, kUnlimitedUnits); !names.Safe()) {
    LogLine(std::string("the archive holds an unsafe name: ") + SafetyProblemText(names.problem));
    return InstallOutcome::ArchiveUnsafe;
  }
  // The deepest path (the record's own name among them) and all the bytes.
  int longest = static_cast<int>(std::string_view(record::kInstallRecordName).size());
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < reader.EntryCount(); ++i) {
    const ZipEntry& entry = *reader.Entry(i);
    longest = std::max(longest, static_cast<int>(ui::AnsiToWide(BuildEntryPath(entry, kUnlimitedUnits).path).size()));
    total += entry.uncompressedSize;
  }

  const ResolvedTarget target = ResolveTarget(folder, longest);
  if (target.problem != InstallOutcome::Installed) {
    LogLine(std::string("refused: ") + OutcomeName(target.problem));
    return target.problem;
  }
  state.SetFolder(target.full);
  if (target.full != folder) LogLine("full path: " + Narrow(target.full));
  const int room = kLongestFolderPathUnits - static_cast<int>(target.full.size());
  if (!ArchiveSafety(reader, room).Safe()) return InstallOutcome::ArchiveUnsafe;
  if (!HasRoomFor(target.full, total)) {
    LogLine("refused: " + std::to_string(total) + " bytes do not fit on the drive");
    return InstallOutcome::NotEnoughSpace;
  }
  state.SetTotal(total);

  // An earlier installation in another folder is removed once this one is
  // committed; a Nimbo running from either is closed first.
  const std::optional<std::wstring> earlier = EarlierInstallationFolder();
  const bool elsewhere = earlier && !SameFolder(*earlier, target.full) && HoldsInstallationRecord(*earlier);
  if (!CloseRunningProduct(elsewhere ? std::vector{target.full, *earlier} : std::vector{target.full})) {
    return InstallOutcome::ProductRunning;
  }
  if (elsewhere) ReplayJournalIn(*earlier);

  Deployment deployment(state, target.full);
  if (const WriteResult opened = deployment.Open(target.full, earlier); !opened.Ok()) {
    return deployment.Failed(opened, InstallOutcome::FolderNotCreated);
  }
  for (std::size_t i = 0; i < reader.EntryCount(); ++i) {
    if (state.Cancelled()) return deployment.Fail(InstallOutcome::Cancelled);
    const InstallOutcome written = deployment.Entry(reader, i, BuildEntryPath(*reader.Entry(i), room).path);
    if (written != InstallOutcome::Installed) return written;
  }
  std::size_t recordBytes = 0;
  if (const InstallOutcome recorded = deployment.Record(&recordBytes); recorded != InstallOutcome::Installed) {
    return recorded;
  }
  state.MarkExtracted();
  LogLine("payload on disk in " + std::to_string(LogClockMs() - start) + " ms");

  if (steps.beforeCommit && !steps.beforeCommit()) return deployment.Fail(InstallOutcome::Cancelled);
  // The registration, all or nothing: a key that was there gets its values
  // back, one this run made goes again.
  const product::RegistrySnapshot before = product::RegistrySnapshot::Take(ui::AnsiToWide(kUninstallKey));
  if (!deployment.WillRegister(before)) {
    LogLine("journal: the Uninstall key as it was could not be noted");
    return deployment.Fail(InstallOutcome::RegistrationFailed);
  }
  bool keyRestored = true;
  const bool registered = state.CommitUnlessClosed([&] {
    if (RegisterProduct(Narrow(target.full), total + recordBytes)) return true;
    keyRestored = before.Restore();
    if (!keyRestored) {
      LogLine(before.KeyExisted() ? "registry: the earlier key could not get its values back"
                                  : "registry: the key could not be removed");
    } else {
      LogLine(before.KeyExisted() ? "registry: the earlier key got its values back" : "registry: the key was removed");
    }
    return false;
  });
  if (!keyRestored) state.AddNotRestored("HKEY_LOCAL_MACHINE\\" + std::string(kUninstallKey));
  if (!registered) {
    return deployment.Fail(state.Cancelled() ? InstallOutcome::Cancelled : InstallOutcome::RegistrationFailed);
  }
  deployment.Committed();
  deployment.Commit();
  if (elsewhere) RemoveEarlierInstallation(*earlier);
  return InstallOutcome::Installed;
}

}  // namespace

InstallOutcome RunInstallation(Installation& state, const PipelineSteps& steps) {
  const std::wstring folder = state.Chosen();
  const unsigned long start = LogClockMs();
  LogLine("folder: " + Narrow(folder));
  if (steps.payload != nullptr) return Install(state, folder, *steps.payload, steps, start);
  // The program's own payload, pinned when the process started. Each block
  // is verified as it is read; with the window the whole payload was
  // checked while the window waited, and its verdict comes before anything
  // is written.
  ProgramPayload& own = ProgramPayload::Pinned();
  if (const ProgramPayload::Status status = own.Ready(); status != ProgramPayload::Status::kOk) {
    LogLine(std::string("payload: ") + PayloadProblem(status));
    return InstallOutcome::PayloadDamaged;
  }
  if (own.CheckStarted()) {
    const unsigned long asked = LogClockMs();
    const bool sealed = own.Verified();
    LogLine("payload (" + std::to_string(own.Size()) + " bytes) " + (sealed ? "checked" : "damaged") + ", waited " +
            std::to_string(LogClockMs() - asked) + " ms for its check");
    if (!sealed) {
      LogLine(std::string("payload: ") + PayloadProblem(ProgramPayload::Status::kChanged));
      return InstallOutcome::PayloadDamaged;
    }
  }
  const InstallOutcome outcome = Install(state, folder, own, steps, start);
  // An archive that could not be read because a block of it is not the
  // sealed one is a damaged payload; nothing of that block was written.
  if ((outcome == InstallOutcome::ArchiveFailed || outcome == InstallOutcome::ArchiveUnsafe) && own.Damaged()) {
    LogLine(std::string("payload: ") + PayloadProblem(ProgramPayload::Status::kChanged));
    return InstallOutcome::PayloadDamaged;
  }
  return outcome;
}

}  // namespace setup
