#include "installer/archive/SealedSource.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>

namespace setup {
namespace {

// A stand-in digest (the program uses SHA-256): the block's length and a
// position-weighted sum, enough to tell any changed byte of these tests.
bool TestDigest(std::span<const std::uint8_t> bytes, BlockDigest* digest) {
  digest->fill(0);
  std::uint64_t sum = bytes.size();
  for (std::size_t i = 0; i < bytes.size(); ++i) sum = sum * 31 + bytes[i] + i;
  for (int k = 0; k < 8; ++k) (*digest)[k] = static_cast<std::uint8_t>(sum >> (8 * k));
  return true;
}

// Counts the reads that reach the file.
class CountingSource final : public ByteSource {
 public:
  explicit CountingSource(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool Read(std::uint64_t offset, void* into, std::size_t count) override {
    ++reads;
    return MemorySource(bytes_).Read(offset, into, count);
  }
  int reads = 0;

 private:
  std::vector<std::uint8_t>& bytes_;
};

std::vector<BlockDigest> Seal(const std::vector<std::uint8_t>& bytes, std::uint32_t blockSize) {
  std::vector<BlockDigest> digests;
  for (std::size_t at = 0; at < bytes.size(); at += blockSize) {
    BlockDigest digest{};
    TestDigest(std::span(bytes).subspan(at, std::min<std::size_t>(blockSize, bytes.size() - at)), &digest);
    digests.push_back(digest);
  }
  return digests;
}

std::vector<std::uint8_t> Bytes(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{7});
  return bytes;
}

TEST(SealedSource, HandsOnSealedBytesAcrossBlockEdges) {
  // 10 bytes in blocks of 4: 0-3, 4-7, 8-9.
  std::vector<std::uint8_t> file = Bytes(10);
  CountingSource raw(file);
  SealedSource sealed(raw, 10, 4, Seal(file, 4), TestDigest);
  ASSERT_TRUE(sealed.Usable());
  std::uint8_t got[10] = {};
  ASSERT_TRUE(sealed.Read(2, got, 7));  // three blocks
  EXPECT_EQ(std::vector<std::uint8_t>(got, got + 7), std::vector<std::uint8_t>(file.begin() + 2, file.begin() + 9));
  ASSERT_TRUE(sealed.Read(8, got, 2));
  EXPECT_EQ(got[0], file[8]);
  EXPECT_EQ(got[1], file[9]);
  // The range must lie inside the payload.
  EXPECT_FALSE(sealed.Read(9, got, 2));
  EXPECT_TRUE(sealed.Read(10, got, 0));
  EXPECT_FALSE(sealed.Damaged());
}

TEST(SealedSource, AChangedByteStopsItsBlockAndNothingOfItIsHandedOn) {
  std::vector<std::uint8_t> file = Bytes(12);
  const std::vector<BlockDigest> digests = Seal(file, 4);
  file[6] ^= 1;  // in the second block
  CountingSource raw(file);
  SealedSource sealed(raw, 12, 4, digests, TestDigest);
  std::uint8_t got[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_TRUE(sealed.Read(0, got, 4));
  EXPECT_FALSE(sealed.Damaged());
  std::uint8_t later[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_FALSE(sealed.Read(3, later, 2));  // the last byte of block 0, the first of block 1
  EXPECT_TRUE(sealed.Damaged());
  EXPECT_FALSE(sealed.VerifyAll());
  EXPECT_TRUE(sealed.Read(8, got, 4)) << "other blocks still read";
}

TEST(SealedSource, ATableThatDoesNotFitTheSizeReadsNothing) {
  std::vector<std::uint8_t> file = Bytes(12);
  CountingSource raw(file);
  std::vector<BlockDigest> digests = Seal(file, 4);
  digests.pop_back();
  SealedSource shortTable(raw, 12, 4, digests, TestDigest);
  EXPECT_FALSE(shortTable.Usable());
  std::uint8_t got[1];
  EXPECT_FALSE(shortTable.Read(0, got, 1));
  EXPECT_FALSE(SealedSource(raw, 12, 0, {}, TestDigest).Usable());
  EXPECT_FALSE(SealedSource(raw, 13, 4, Seal(file, 4), TestDigest).Usable()) << "a file shorter than the payload";
}

TEST(SealedSource, EachBlockIsReadOnceForTheDirectoryAndTheDataInTurn) {
  // The archive reader's way: its directory at the end, then the entries
  // from the start, in small pieces.
  std::vector<std::uint8_t> file = Bytes(16);
  CountingSource raw(file);
  SealedSource sealed(raw, 16, 4, Seal(file, 4), TestDigest);
  std::uint8_t got[2];
  ASSERT_TRUE(sealed.Read(14, got, 2));
  for (std::uint64_t at = 0; at < 12; at += 2) ASSERT_TRUE(sealed.Read(at, got, 2));
  ASSERT_TRUE(sealed.Read(12, got, 2));
  EXPECT_EQ(raw.reads, 5) << "the last block, the three others in turn, then the last again";
}

TEST(SealedSource, VerifyingEverythingOnceLetsReadsPassStraightThrough) {
  std::vector<std::uint8_t> file = Bytes(10);
  CountingSource raw(file);
  SealedSource sealed(raw, 10, 4, Seal(file, 4), TestDigest);
  std::atomic<bool> stop{true};
  EXPECT_FALSE(sealed.VerifyAll(&stop)) << "stopped before it began";
  EXPECT_FALSE(sealed.FullyVerified());
  stop = false;
  EXPECT_TRUE(sealed.VerifyAll(&stop));
  EXPECT_TRUE(sealed.FullyVerified());
  const int before = raw.reads;
  std::uint8_t got[3];
  ASSERT_TRUE(sealed.Read(3, got, 3));
  EXPECT_EQ(raw.reads, before + 1);
  EXPECT_EQ(got[0], file[3]);
}

TEST(SealedSource, ABlockVerifiedAheadIsNotHashedAgainWhenRead) {
  // 6 blocks of 4; the verifier is stopped after its second block.
  std::vector<std::uint8_t> file = Bytes(24);
  CountingSource raw(file);
  std::atomic<bool> stop{false};
  int hashes = 0;
  SealedSource sealed(raw, 24, 4, Seal(file, 4), [&](std::span<const std::uint8_t> bytes, BlockDigest* digest) {
    if (++hashes == 2) stop = true;
    return TestDigest(bytes, digest);
  });
  EXPECT_FALSE(sealed.VerifyAll(&stop));
  EXPECT_EQ(sealed.BlocksHashed(), 2u);
  std::uint8_t got[24];
  ASSERT_TRUE(sealed.Read(0, got, 24));
  EXPECT_EQ(std::vector<std::uint8_t>(got, got + 24), file);
  EXPECT_EQ(sealed.BlocksHashed(), 6u) << "blocks 0 and 1 once, by the verifier; 2 to 5 by the reader";
}

TEST(SealedSource, AReaderAndAVerifierAtOnceHandOnTheSealedBytes) {
  std::vector<std::uint8_t> file(64 * 16);
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(i * 131 + i / 7);
  MemorySource raw(file);
  SealedSource sealed(raw, file.size(), 16, Seal(file, 16), TestDigest);
  bool verified = false;
  std::thread ahead([&] { verified = sealed.VerifyAll(); });
  // The archive reader's way: the end first, then from the start in pieces.
  std::vector<std::uint8_t> got(file.size());
  ASSERT_TRUE(sealed.Read(file.size() - 40, got.data() + file.size() - 40, 40));
  for (std::size_t at = 0; at < file.size(); at += 24) {
    const std::size_t piece = std::min<std::size_t>(24, file.size() - at);
    ASSERT_TRUE(sealed.Read(at, got.data() + at, piece)) << at;
  }
  ahead.join();
  EXPECT_TRUE(verified);
  EXPECT_EQ(got, file);
  EXPECT_FALSE(sealed.Damaged());
  EXPECT_LE(sealed.BlocksHashed(), 2u * 64) << "no block more than once by each";
}

}  // namespace
}  // namespace setup
