// Reads and inflates every entry of an archive with ZipReader and with
// Debian's minizip in the same run, from the same file, and prints the
// throughput of each (uncompressed MB per second, best of several rounds)
// and their ratio. The archive is the one named on the command line, or a
// generated one of about 4 MB, like the payload: 39 entries of mixed text
// and binary, a few folders. Prints only; never fails.
#include <fcntl.h>
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "installer/archive/ZipReader.h"
#include "installer/archive/tests/MinizipReference.h"

namespace {

using Clock = std::chrono::steady_clock;

// What the Windows glue does over a file handle, here over a descriptor.
class FileSource final : public setup::ByteSource {
 public:
  explicit FileSource(const std::string& path) : file_(open(path.c_str(), O_RDONLY)) {
    struct stat status {};
    if (file_ >= 0 && fstat(file_, &status) == 0) size_ = static_cast<std::uint64_t>(status.st_size);
  }
  ~FileSource() override {
    if (file_ >= 0) close(file_);
  }
  std::uint64_t Size() const override { return size_; }
  bool Read(std::uint64_t offset, void* into, std::size_t count) override {
    auto* at = static_cast<char*>(into);
    while (count != 0) {
      const ssize_t got = pread(file_, at, count, static_cast<off_t>(offset));
      if (got <= 0) return false;
      at += got, offset += static_cast<std::uint64_t>(got), count -= static_cast<std::size_t>(got);
    }
    return true;
  }

 private:
  int file_ = -1;
  std::uint64_t size_ = 0;
};

class CountingSink final : public setup::ByteSink {
 public:
  bool Write(const void*, std::size_t count) override {
    total += count;
    return true;
  }
  std::uint64_t total = 0;
};

// Uncompressed bytes of every entry, or 0 when anything failed.
std::uint64_t ReadAllWithZipReader(const std::string& path) {
  FileSource source(path);
  setup::ZipReader reader;
  if (reader.Open(source) != setup::ZipStatus::kOk) return 0;
  CountingSink sink;
  for (std::size_t i = 0; i < reader.EntryCount(); ++i)
    if (reader.Extract(i, sink) != setup::ZipStatus::kOk) return 0;
  return sink.total;
}

std::uint64_t ReadAllWithMinizip(const std::string& path) {
  unzFile zip = unzOpen64(path.c_str());
  if (zip == nullptr) return 0;
  std::vector<char> buffer(64 * 1024);
  std::uint64_t total = 0;
  bool ok = true;
  for (int more = unzGoToFirstFile(zip); ok && more == UNZ_OK; more = unzGoToNextFile(zip)) {
    ok = unzOpenCurrentFile(zip) == UNZ_OK;
    int got = 0;
    while (ok && (got = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0)
      total += static_cast<std::uint64_t>(got);
    ok = ok && got == 0 && unzCloseCurrentFile(zip) == UNZ_OK;
  }
  unzClose(zip);
  return ok ? total : 0;
}

std::string GenerateArchive() {
  std::vector<setup::ziptest::TestEntry> entries;
  const char* const folders[] = {"bin/", "data/", "docs/", "\xD7\xCA\xD4\xB4/"};  // 资源/
  for (const char* folder : folders) entries.push_back({folder, "", 0, 0, 0x10});
  for (std::uint32_t i = 0; entries.size() < 39; ++i) {
    setup::ziptest::TestEntry entry;
    const char* folder = folders[i % 4];
    if (i % 3 == 0) {
      entry.name = std::string(folder) + "text" + std::to_string(i) + ".txt";
      entry.data = setup::ziptest::MixedText(i, 150000 + 11000 * i);
    } else {
      entry.name = std::string(folder) + "module" + std::to_string(i) + ".dll";
      entry.data = setup::ziptest::MixedBinary(i, 120000 + 9000 * i);
    }
    entries.push_back(std::move(entry));
  }
  const std::vector<std::uint8_t> bytes = setup::ziptest::WriteWithMinizip(entries, "zip_benchmark");
  std::string path = setup::ziptest::TemporaryPath("benchmark.zip");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

// Seconds on the clock and of this thread's processor time: on a shared
// machine the second leaves out the time other processes took.
struct Timing {
  double wall = 1e9;
  double cpu = 1e9;
};

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

void TimeOnce(std::uint64_t (*read)(const std::string&), const std::string& path, std::uint64_t& bytes, Timing& best) {
  const Clock::time_point start = Clock::now();
  const double cpuStart = ThreadCpuSeconds();
  bytes = read(path);
  best.cpu = std::min(best.cpu, ThreadCpuSeconds() - cpuStart);
  best.wall = std::min(best.wall, std::chrono::duration<double>(Clock::now() - start).count());
}

}  // namespace

int main(int argc, char** argv) {
  const bool generated = argc < 2;
  const std::string path = generated ? GenerateArchive() : argv[1];

  FileSource source(path);
  setup::ZipReader reader;
  const setup::ZipStatus status = reader.Open(source);
  std::printf("archive: %s (%s)\n", generated ? "generated" : path.c_str(), setup::ZipStatusText(status));
  std::printf("  %zu entries, %.2f MB compressed\n", reader.EntryCount(), source.Size() / 1e6);

  // Round by round, in alternating order, so that both see the same state
  // of a shared machine; the best round of each counts. The first call of
  // each warms the page cache and the allocator.
  ReadAllWithZipReader(path);
  ReadAllWithMinizip(path);
  std::uint64_t ourBytes = 0, theirBytes = 0;
  Timing ours, theirs;
  for (int round = 0; round < 40; ++round) {
    if (round % 2 == 0) TimeOnce(ReadAllWithZipReader, path, ourBytes, ours);
    TimeOnce(ReadAllWithMinizip, path, theirBytes, theirs);
    if (round % 2 == 1) TimeOnce(ReadAllWithZipReader, path, ourBytes, ours);
  }
  std::printf("  %.2f MB uncompressed (ZipReader), %.2f MB (minizip)\n", ourBytes / 1e6, theirBytes / 1e6);
  if (ourBytes == 0 || theirBytes == 0) {
    std::printf("a reader failed on this archive; no figures\n");
  } else {
    std::printf("             wall clock          processor time\n");
    std::printf("ZipReader: %7.1f MB/s (%5.2f ms) %7.1f MB/s (%5.2f ms)\n", ourBytes / 1e6 / ours.wall, ours.wall * 1e3,
                ourBytes / 1e6 / ours.cpu, ours.cpu * 1e3);
    std::printf("minizip:   %7.1f MB/s (%5.2f ms) %7.1f MB/s (%5.2f ms)\n", theirBytes / 1e6 / theirs.wall,
                theirs.wall * 1e3, theirBytes / 1e6 / theirs.cpu, theirs.cpu * 1e3);
    std::printf("ratio ZipReader / minizip (speed; target: at least 1): %.2f wall clock, %.2f processor time\n",
                theirs.wall / ours.wall, theirs.cpu / ours.cpu);
  }
  if (generated) std::remove(path.c_str());
  return 0;
}
