// Damaged copies of valid archives (fixed seed, bounded work) go through open, describe, find and
// both kinds of extraction. Whatever the codes, the reader must not crash, hang, or write outside
// the target folder.
#include "archive/zip_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/archive/zip_test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int kMutants = 3000;
constexpr int kEntriesPerMutant = 24;  // counts in damaged archives can be anything
constexpr int kFileEntriesPerMutant = 8;  // file creation is the slow part under Wine
constexpr unsigned kMemoryPart = 65536;
constexpr int kMemoryCalls = 4;

// xorshift64*: the same sequence on every platform and library.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 2685821657736338717ULL;
  }
  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }

 private:
  uint64_t state_;
};

Bytes Mutate(const Bytes& seed, Random* random) {
  Bytes out = seed;
  switch (random->Below(5)) {
    case 0: {  // flip a few bits
      const size_t flips = 1 + random->Below(8);
      for (size_t i = 0; i < flips; ++i) {
        out[random->Below(out.size())] ^= static_cast<unsigned char>(1u << random->Below(8));
      }
      break;
    }
    case 1:  // truncate
      out.resize(random->Below(out.size()));
      break;
    case 2: {  // copy a run of the archive over another place (splice)
      const size_t length = 1 + random->Below(64);
      const size_t from = random->Below(out.size());
      const size_t to = random->Below(out.size());
      for (size_t i = 0; i < length && from + i < out.size() && to + i < out.size(); ++i) {
        out[to + i] = seed[from + i];
      }
      break;
    }
    case 3: {  // an extreme value in what may be a size, offset or count field
      static const uint32_t kValues[] = {0, 1, 0x7FFF, 0xFFFF, 0x7FFFFFFF, 0xFFFFFFFF, 0x80000000};
      const uint32_t value = kValues[random->Below(sizeof(kValues) / sizeof(kValues[0]))];
      const size_t width = random->Below(2) == 0 ? 2 : 4;
      const size_t at = random->Below(out.size());
      for (size_t i = 0; i < width && at + i < out.size(); ++i) {
        out[at + i] = static_cast<unsigned char>(value >> (8 * i));
      }
      break;
    }
    default: {  // insert random bytes
      const size_t at = random->Below(out.size());
      Bytes junk(1 + random->Below(32));
      for (unsigned char& b : junk) b = static_cast<unsigned char>(random->Next());
      out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), junk.begin(), junk.end());
      break;
    }
  }
  return out;
}

void Exercise(HZIP zip, const std::wstring& target, bool to_files, Bytes* part) {
  ZipEntry entry;
  ASSERT_EQ(ZipGetEntry(zip, -1, &entry), ZIP_OK);
  const int count = std::min(entry.index, kEntriesPerMutant);
  int found = -1;
  ZipFindEntry(zip, L"hello.txt", true, &found, &entry);
  for (int i = 0; i < count; ++i) {
    ZipGetEntry(zip, i, &entry);
    for (int call = 0; call < kMemoryCalls; ++call) {
      if (ZipExtractToMemory(zip, i, part->data(), kMemoryPart) != ZIP_MORE_DATA) break;
    }
    if (to_files && i < kFileEntriesPerMutant) {
      const std::wstring path = target + entry.name;
      ZipExtractToFile(zip, i, path.c_str());
      ZipExtractToFile(zip, i, entry.name);  // relative: under the directory current at open
    }
  }
}

TEST(ZipFuzzTest, DamagedArchivesNeverCrashHangOrWriteOutsideTheTarget) {
  const wchar_t* seeds_names[] = {L"basic.zip", L"hostile.zip", L"times.zip",
                                  L"encrypted.zip", L"attributes.zip"};
  std::vector<Bytes> seeds;
  for (const wchar_t* name : seeds_names) {
    seeds.push_back(ReadBytes(FixturePath(name)));
    ASSERT_FALSE(seeds.back().empty());
  }
  ScratchFolder work(L"fuzz_work");
  // Parent steps that slipped through would land in the levels above the target, which are
  // all inside the sandbox; absolute paths would land at the drive's root.
  ScratchFolder sandbox(L"fuzz");
  const std::wstring target = sandbox.path() + L"a\\b\\c\\target\\";
  for (const wchar_t* level : {L"a", L"a\\b", L"a\\b\\c", L"a\\b\\c\\target"}) {
    ASSERT_TRUE(CreateDirectoryW((sandbox.path() + level).c_str(), nullptr));
  }
  const std::vector<std::wstring> root_before = ListFolder(L"C:\\");
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(target.c_str()));

  Random random(0x5EED2021ULL);
  Bytes part(kMemoryPart);
  int opened = 0;
  for (int n = 0; n < kMutants; ++n) {
    const Bytes mutant = Mutate(seeds[random.Below(seeds.size())], &random);
    const char* password = random.Below(3) == 0 ? "secret" : nullptr;
    HZIP zip = nullptr;
    if (n % 10 == 0) {
      const std::wstring path = work.path() + L"mutant.zip";
      ASSERT_TRUE(WriteBytes(path, mutant));
      zip = ZipOpenFile(path.c_str(), password);
    } else {
      zip = ZipOpenMemory(mutant.data(), static_cast<unsigned>(mutant.size()), password);
    }
    if (zip == nullptr) continue;
    ++opened;
    Exercise(zip, target, n % 10 == 5, &part);
    ZipClose(zip);
  }
  SetCurrentDirectoryW(saved);
  // Enough mutants stay readable for the describe and extract paths to be exercised.
  EXPECT_GT(opened, kMutants / 4);

  const std::vector<std::wstring> levels = {L"a", L"a\\b", L"a\\b\\c"};
  for (const std::wstring& item : ListTree(sandbox.path())) {
    const bool level = std::find(levels.begin(), levels.end(), item) != levels.end();
    EXPECT_TRUE(level || item.compare(0, 12, L"a\\b\\c\\target") == 0)
        << testing::PrintToString(item);
  }
  const std::vector<std::wstring> root_after = ListFolder(L"C:\\");
  EXPECT_TRUE(root_before == root_after);
}

}  // namespace
