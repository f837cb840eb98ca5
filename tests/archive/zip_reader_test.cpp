// Scenarios over generated archives (tools/archive/make_zip_fixtures.py). The program runs with
// TZ=UTC, so DOS stamps are UTC instants.
#include "archive/zip_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/archive/zip_test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr uint64_t kUnixEpoch = 116444736000000000ULL;
constexpr uint64_t kTicksPerSecond = 10000000ULL;
// 2021-06-15 12:30:44, the stamp every fixture entry carries unless it says otherwise.
constexpr uint64_t kFixtureStamp = 1623760244ULL * kTicksPerSecond + kUnixEpoch;

uint64_t UnixTicks(int64_t seconds) {
  return static_cast<uint64_t>(seconds * static_cast<int64_t>(kTicksPerSecond)) + kUnixEpoch;
}

Bytes Repeat(const char* text, int times) {
  Bytes out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), text, text + std::strlen(text));
  return out;
}

Bytes Text(const char* text) { return Repeat(text, 1); }

HZIP OpenFixture(const wchar_t* name, const char* password = nullptr) {
  return ZipOpenFile(FixturePath(name).c_str(), password);
}

// Unpacks a whole entry through memory extraction in parts of `chunk` bytes.
uint32_t ExtractInParts(HZIP zip, int index, size_t chunk, Bytes* out) {
  out->clear();
  Bytes part(chunk);
  for (int calls = 0; calls < 100000; ++calls) {
    std::fill(part.begin(), part.end(), 0);
    const uint32_t result = ZipExtractToMemory(zip, index, part.data(), static_cast<unsigned>(chunk));
    if (result != ZIP_OK && result != ZIP_MORE_DATA) return result;
    ZipEntry entry;
    // The last part holds the rest of the entry; the caller knows the size from the entry.
    size_t take = chunk;
    if (result == ZIP_OK) {
      ZipGetEntry(zip, index, &entry);
      take = static_cast<size_t>(entry.unpacked_size) - out->size();
    }
    out->insert(out->end(), part.begin(), part.begin() + take);
    if (result == ZIP_OK) return result;
  }
  return ZIP_ERR_DATA;
}

ZipEntry Describe(HZIP zip, int index) {
  ZipEntry entry;
  EXPECT_EQ(ZipGetEntry(zip, index, &entry), ZIP_OK) << "entry " << index;
  return entry;
}

int Find(HZIP zip, const wchar_t* name) {
  int index = -1;
  EXPECT_EQ(ZipFindEntry(zip, name, false, &index, nullptr), ZIP_OK) << testing::PrintToString(std::wstring(name));
  return index;
}

TEST(ZipReaderTest, CountRequestAndIndexRangeOnFiveEntries) {
  ZipHandle zip(OpenFixture(L"basic.zip"));
  ASSERT_NE(zip.get(), nullptr);
  ZipEntry entry;
  ASSERT_EQ(ZipGetEntry(zip.get(), -1, &entry), ZIP_OK);
  EXPECT_EQ(entry.index, 5);
  EXPECT_STREQ(entry.name, L"");
  EXPECT_EQ(entry.unpacked_size, 0);

  // A failed call leaves index 0, an empty name and size 0 behind.
  entry.index = 77;
  wcscpy(entry.name, L"stale");
  entry.unpacked_size = 99;
  EXPECT_EQ(ZipGetEntry(zip.get(), 5, &entry), ZIP_ERR_ARGS);
  EXPECT_EQ(entry.index, 0);
  EXPECT_STREQ(entry.name, L"");
  EXPECT_EQ(entry.unpacked_size, 0);
  EXPECT_EQ(ZipGetEntry(zip.get(), -2, &entry), ZIP_ERR_ARGS);
  EXPECT_EQ(ZipExtractToFile(zip.get(), 5, L"C:\\never.txt"), ZIP_ERR_ARGS);
  EXPECT_EQ(ZipExtractToFile(zip.get(), -1, L"C:\\never.txt"), ZIP_ERR_ARGS);
  char buffer[16];
  EXPECT_EQ(ZipExtractToMemory(zip.get(), 5, buffer, sizeof(buffer)), ZIP_ERR_ARGS);
  EXPECT_FALSE(PathExists(L"C:\\never.txt"));
}

TEST(ZipReaderTest, DescribesNamesSizesAttributesAndTimesFromFileAndMemoryAlike) {
  const Bytes archive = ReadBytes(FixturePath(L"basic.zip"));
  ASSERT_FALSE(archive.empty());
  ZipHandle from_file(OpenFixture(L"basic.zip"));
  ZipHandle from_memory(ZipOpenMemory(archive.data(), static_cast<unsigned>(archive.size()), nullptr));
  ASSERT_NE(from_file.get(), nullptr);
  ASSERT_NE(from_memory.get(), nullptr);

  struct Expected {
    const wchar_t* name;
    int32_t size;
    DWORD attributes;
  };
  const Expected expected[] = {{L"hello.txt", 1600, 0x20},
                               {L"data/stored.bin", 1024, 0x20},
                               {L"empty.txt", 0, 0x20},
                               {L"Skin/1.XML", 10, 0x20},
                               {L"sub/", 0, 0x30}};
  for (HZIP zip : {from_file.get(), from_memory.get()}) {
    for (int i = 0; i < 5; ++i) {
      const ZipEntry entry = Describe(zip, i);
      EXPECT_EQ(entry.index, i);
      EXPECT_STREQ(entry.name, expected[i].name);
      EXPECT_EQ(entry.unpacked_size, expected[i].size);
      EXPECT_EQ(entry.attributes, expected[i].attributes) << i;
      EXPECT_EQ(FileTimeValue(entry.write_time), kFixtureStamp);
      EXPECT_EQ(FileTimeValue(entry.access_time), kFixtureStamp);
      EXPECT_EQ(FileTimeValue(entry.creation_time), kFixtureStamp);
    }
    // Stored data: packed equals unpacked; deflated text packs smaller.
    EXPECT_EQ(Describe(zip, 1).packed_size, 1024);
    EXPECT_LT(Describe(zip, 0).packed_size, 1600);
    // Going backwards restarts from the first entry and still lands right.
    EXPECT_STREQ(Describe(zip, 3).name, L"Skin/1.XML");
    EXPECT_STREQ(Describe(zip, 0).name, L"hello.txt");
  }
}

TEST(ZipReaderTest, OpenRefusesWhatIsNotAReadableArchive) {
  EXPECT_EQ(OpenFixture(L"missing.zip"), nullptr);
  EXPECT_EQ(OpenFixture(L"not_a_zip.bin"), nullptr);
  EXPECT_EQ(OpenFixture(L"empty.bin"), nullptr);
  EXPECT_EQ(OpenFixture(L"truncated.zip"), nullptr);
  EXPECT_EQ(ZipOpenFile(nullptr, nullptr), nullptr);
  EXPECT_EQ(ZipOpenMemory(nullptr, 100, nullptr), nullptr);
  const Bytes junk = ReadBytes(FixturePath(L"not_a_zip.bin"));
  EXPECT_EQ(ZipOpenMemory(junk.data(), static_cast<unsigned>(junk.size()), nullptr), nullptr);

  ZipEntry entry;
  int index = 5;
  char buffer[4];
  EXPECT_EQ(ZipGetEntry(nullptr, 0, &entry), ZIP_ERR_ARGS);
  EXPECT_EQ(ZipFindEntry(nullptr, L"x", true, &index, &entry), ZIP_ERR_ARGS);
  EXPECT_EQ(ZipExtractToFile(nullptr, 0, L"x"), ZIP_ERR_ARGS);
  EXPECT_EQ(ZipExtractToMemory(nullptr, 0, buffer, sizeof(buffer)), ZIP_ERR_ARGS);
  EXPECT_EQ(ZipClose(nullptr), ZIP_ERR_ARGS);
}

TEST(ZipReaderTest, FindEntryMatchesStoredNamesWithOrWithoutCase) {
  ZipHandle zip(OpenFixture(L"basic.zip"));
  ASSERT_NE(zip.get(), nullptr);
  int index = -7;
  ZipEntry entry;
  ASSERT_EQ(ZipFindEntry(zip.get(), L"skin/1.xml", true, &index, &entry), ZIP_OK);
  EXPECT_EQ(index, 3);
  EXPECT_EQ(entry.index, 3);
  EXPECT_STREQ(entry.name, L"Skin/1.XML");
  EXPECT_EQ(entry.unpacked_size, 10);

  index = 7;
  EXPECT_EQ(ZipFindEntry(zip.get(), L"skin/1.xml", false, &index, &entry), ZIP_ERR_NOT_FOUND);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(entry.index, -1);
  EXPECT_STREQ(entry.name, L"");
  EXPECT_EQ(ZipFindEntry(zip.get(), L"Skin/1.XML", false, &index, nullptr), ZIP_OK);
  EXPECT_EQ(index, 3);
  EXPECT_EQ(ZipFindEntry(zip.get(), L"data\\stored.bin", true, &index, nullptr),
            ZIP_ERR_NOT_FOUND);
  EXPECT_EQ(ZipFindEntry(zip.get(), std::wstring(300, L'a').c_str(), true, &index, nullptr),
            ZIP_ERR_NOT_FOUND);
  // A failed search leaves the reader where it was: the next describe still works.
  EXPECT_STREQ(Describe(zip.get(), 4).name, L"sub/");
}

TEST(ZipReaderTest, MemoryExtractionInPartsContinuesAndAnotherIndexStartsOver) {
  ZipHandle zip(OpenFixture(L"large.zip"));
  ASSERT_NE(zip.get(), nullptr);
  const wchar_t* names[] = {L"text.txt", L"noise.bin", L"stored.bin"};
  for (int i = 0; i < 3; ++i) {
    const Bytes expected = ReadBytes(FixturePath(std::wstring(L"large/") + names[i]));
    ASSERT_FALSE(expected.empty());
    Bytes got;
    EXPECT_EQ(ExtractInParts(zip.get(), i, 1000, &got), ZIP_OK) << i;
    EXPECT_TRUE(got == expected) << i;
  }

  // Half of entry 0, then entry 2 from its start, then entry 0 again from its start.
  const Bytes text = ReadBytes(FixturePath(L"large/text.txt"));
  const Bytes stored = ReadBytes(FixturePath(L"large/stored.bin"));
  Bytes part(5000);
  EXPECT_EQ(ZipExtractToMemory(zip.get(), 0, part.data(), 5000), ZIP_MORE_DATA);
  EXPECT_TRUE(std::equal(part.begin(), part.end(), text.begin()));
  EXPECT_EQ(ZipExtractToMemory(zip.get(), 0, part.data(), 5000), ZIP_MORE_DATA);
  EXPECT_TRUE(std::equal(part.begin(), part.end(), text.begin() + 5000));
  EXPECT_EQ(ZipExtractToMemory(zip.get(), 2, part.data(), 5000), ZIP_MORE_DATA);
  EXPECT_TRUE(std::equal(part.begin(), part.end(), stored.begin()));
  EXPECT_EQ(ZipExtractToMemory(zip.get(), 0, part.data(), 5000), ZIP_MORE_DATA);
  EXPECT_TRUE(std::equal(part.begin(), part.end(), text.begin()));

  // Describing ends the open item; then a buffer of the entry's size gets everything at once.
  ZipEntry entry;
  ASSERT_EQ(ZipGetEntry(zip.get(), 0, &entry), ZIP_OK);
  Bytes whole(static_cast<size_t>(entry.unpacked_size));
  EXPECT_EQ(ZipExtractToMemory(zip.get(), 0, whole.data(), static_cast<unsigned>(whole.size())),
            ZIP_OK);
  EXPECT_TRUE(whole == text);
}

TEST(ZipReaderTest, ExtractToFileWritesContentFoldersAttributesAndTimes) {
  ScratchFolder target(L"extract");
  ZipHandle zip(OpenFixture(L"large.zip"));
  ASSERT_NE(zip.get(), nullptr);
  for (int i = 0; i < 3; ++i) {
    const ZipEntry entry = Describe(zip.get(), i);
    const std::wstring path = target.path() + L"a/b/" + entry.name;
    ASSERT_EQ(ZipExtractToFile(zip.get(), i, path.c_str()), ZIP_OK) << i;
    EXPECT_TRUE(ReadBytes(path) == ReadBytes(FixturePath(std::wstring(L"large/") + entry.name)));
  }
  EXPECT_EQ(GetFileAttributesW((target.path() + L"a").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));

  ZipHandle basic(OpenFixture(L"basic.zip"));
  ASSERT_NE(basic.get(), nullptr);
  const std::wstring empty = target.path() + L"empty.txt";
  ASSERT_EQ(ZipExtractToFile(basic.get(), 2, empty.c_str()), ZIP_OK);
  HANDLE file = CreateFileW(empty.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME creation, access, write;
  ASSERT_TRUE(GetFileTime(file, &creation, &access, &write));
  LARGE_INTEGER size;
  GetFileSizeEx(file, &size);
  CloseHandle(file);
  EXPECT_EQ(size.QuadPart, 0);
  EXPECT_EQ(FileTimeValue(write), kFixtureStamp);
  EXPECT_EQ(FileTimeValue(access), kFixtureStamp);
  EXPECT_EQ(FileTimeValue(creation), kFixtureStamp);

  // A folder entry extracted to an absolute target makes the folder and its parents only.
  const std::wstring folder = target.path() + L"deep\\er\\sub/";
  ASSERT_EQ(ZipExtractToFile(basic.get(), 4, folder.c_str()), ZIP_OK);
  EXPECT_NE(GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_TRUE(ListTree(target.path() + L"deep") ==
              std::vector<std::wstring>({L"er", L"er\\sub"}));
}

TEST(ZipReaderTest, RelativeTargetsLandUnderTheDirectoryCurrentAtOpen) {
  ScratchFolder at_open(L"cwd_open");
  ScratchFolder later(L"cwd_later");
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(at_open.path().c_str()));
  HZIP zip = OpenFixture(L"basic.zip");
  ASSERT_TRUE(SetCurrentDirectoryW(later.path().c_str()));
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(ZipExtractToFile(zip, 0, L"rel/hello.txt"), ZIP_OK);
  EXPECT_EQ(ZipExtractToFile(zip, 4, L"rel/sub/"), ZIP_OK);
  ZipClose(zip);
  SetCurrentDirectoryW(saved);
  EXPECT_TRUE(ReadBytes(at_open.path() + L"rel\\hello.txt") == Repeat("Hello, archive!\n", 100));
  EXPECT_TRUE(PathExists(at_open.path() + L"rel\\sub"));
  EXPECT_TRUE(ListTree(later.path()).empty());
}

TEST(ZipReaderTest, CachedEntryIsExtractedFromItsOwnDataAfterTheContainerMoved) {
  ScratchFolder target(L"cached");
  ZipHandle zip(OpenFixture(L"basic.zip"));
  ASSERT_NE(zip.get(), nullptr);
  EXPECT_STREQ(Describe(zip.get(), 3).name, L"Skin/1.XML");
  // Both move the container away from entry 3 while entry 3 stays the cached one.
  EXPECT_EQ(Find(zip.get(), L"data/stored.bin"), 1);
  char part[100];
  EXPECT_EQ(ZipExtractToMemory(zip.get(), 0, part, sizeof(part)), ZIP_MORE_DATA);
  const std::wstring path = target.path() + L"1.xml";
  ASSERT_EQ(ZipExtractToFile(zip.get(), 3, path.c_str()), ZIP_OK);
  EXPECT_TRUE(ReadBytes(path) == Text("<Window/>\n"));
  // Memory extraction of the cached entry after a move, too.
  EXPECT_EQ(Find(zip.get(), L"hello.txt"), 0);
  char xml[10];
  EXPECT_EQ(ZipExtractToMemory(zip.get(), 3, xml, sizeof(xml)), ZIP_OK);
  EXPECT_EQ(std::memcmp(xml, "<Window/>\n", 10), 0);
}

TEST(ZipReaderTest, ExtractReplacesAFileLeftReadOnlyHiddenOrSystem) {
  ScratchFolder target(L"replace");
  ZipHandle zip(OpenFixture(L"basic.zip"));
  ASSERT_NE(zip.get(), nullptr);
  const DWORD leftovers[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN,
                             FILE_ATTRIBUTE_SYSTEM,
                             FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM};
  for (DWORD leftover : leftovers) {
    const std::wstring path = target.path() + L"old.txt";
    ASSERT_TRUE(WriteBytes(path, Text("old content that is longer than the new one")));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), leftover));
    ASSERT_EQ(ZipExtractToFile(zip.get(), 3, path.c_str()), ZIP_OK) << leftover;
    EXPECT_TRUE(ReadBytes(path) == Text("<Window/>\n"));
    EXPECT_EQ(GetFileAttributesW(path.c_str()) &
                  (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              0u);
  }
}

TEST(ZipReaderTest, EncryptedEntriesNeedTheRightPassword) {
  ScratchFolder target(L"encrypted");
  const Bytes plain = ReadBytes(FixturePath(L"encrypted/plain.txt"));
  const Bytes secret = ReadBytes(FixturePath(L"encrypted/secret.txt"));
  const Bytes stored = ReadBytes(FixturePath(L"encrypted/secret_stored.bin"));
  const std::wstring out = target.path() + L"out.bin";
  Bytes got;
  for (const char* password : {static_cast<const char*>(nullptr), "wrong"}) {
    ZipHandle zip(OpenFixture(L"encrypted.zip", password));
    ASSERT_NE(zip.get(), nullptr);
    EXPECT_EQ(ExtractInParts(zip.get(), 0, 4096, &got), ZIP_OK);
    EXPECT_TRUE(got == plain);
    EXPECT_EQ(ExtractInParts(zip.get(), 1, 4096, &got), ZIP_ERR_PASSWORD);
    EXPECT_EQ(ExtractInParts(zip.get(), 2, 4096, &got), ZIP_ERR_PASSWORD);
    EXPECT_EQ(ZipExtractToFile(zip.get(), 1, out.c_str()), ZIP_ERR_PASSWORD);
    EXPECT_EQ(ZipExtractToFile(zip.get(), 2, out.c_str()), ZIP_ERR_PASSWORD);
  }
  ZipHandle zip(OpenFixture(L"encrypted.zip", "secret"));
  ASSERT_NE(zip.get(), nullptr);
  EXPECT_EQ(ExtractInParts(zip.get(), 1, 4096, &got), ZIP_OK);
  EXPECT_TRUE(got == secret);
  EXPECT_EQ(ExtractInParts(zip.get(), 2, 1000, &got), ZIP_OK);
  EXPECT_TRUE(got == stored);
  ASSERT_EQ(ZipExtractToFile(zip.get(), 1, out.c_str()), ZIP_OK);
  EXPECT_TRUE(ReadBytes(out) == secret);
  // The password does not get in the way of entries that are not encrypted.
  ASSERT_EQ(ZipExtractToFile(zip.get(), 0, out.c_str()), ZIP_OK);
  EXPECT_TRUE(ReadBytes(out) == plain);
}

TEST(ZipReaderTest, CorruptDataFailsAndLeavesThePartlyWrittenFile) {
  ScratchFolder target(L"corrupt");
  const Bytes text = ReadBytes(FixturePath(L"corrupt_text.txt"));
  ZipHandle zip(OpenFixture(L"corrupt.zip"));
  ASSERT_NE(zip.get(), nullptr);
  struct Case {
    const wchar_t* name;
    size_t written;  // bytes the failed extraction leaves in the file
  };
  // A wrong CRC shows only after all the data has been written; the other faults stop earlier.
  const Case cases[] = {{L"badcrc_deflated.txt", text.size()},
                        {L"badcrc_stored.txt", text.size()},
                        {L"truncated.txt", SIZE_MAX},
                        {L"stream_short.txt", text.size()},
                        {L"stored_short.txt", 100},
                        {L"huge_declared.txt", text.size()},
                        {L"garbage.txt", SIZE_MAX}};
  for (const Case& c : cases) {
    const int index = Find(zip.get(), c.name);
    const std::wstring path = target.path() + c.name;
    EXPECT_EQ(ZipExtractToFile(zip.get(), index, path.c_str()), ZIP_ERR_DATA)
        << testing::PrintToString(std::wstring(c.name));
    ASSERT_TRUE(PathExists(path));
    const Bytes partial = ReadBytes(path);
    if (c.written != SIZE_MAX) {
      EXPECT_EQ(partial.size(), c.written);
    }
    EXPECT_TRUE(std::equal(partial.begin(), partial.end(), text.begin()));
    Bytes got;
    EXPECT_EQ(ExtractInParts(zip.get(), index, 4096, &got), ZIP_ERR_DATA);
  }
  // Declared sizes are not trusted for anything but the bound of the output.
  EXPECT_EQ(Describe(zip.get(), Find(zip.get(), L"huge_declared.txt")).unpacked_size, INT32_MAX);

  // The reader stays usable after failures.
  const std::wstring good = target.path() + L"good.txt";
  EXPECT_EQ(ZipExtractToFile(zip.get(), Find(zip.get(), L"good.txt"), good.c_str()), ZIP_OK);
  EXPECT_TRUE(ReadBytes(good) == text);
}

TEST(ZipReaderTest, LocalHeaderMismatchFailsTheDescriptionAndWritesNothing) {
  ScratchFolder target(L"mismatch");
  ZipHandle zip(OpenFixture(L"corrupt.zip"));
  ASSERT_NE(zip.get(), nullptr);
  for (const wchar_t* name : {L"local_method.txt", L"local_name.txt"}) {
    int index = Find(zip.get(), name);
    ASSERT_GE(index, 0);
    ZipEntry entry;
    EXPECT_EQ(ZipGetEntry(zip.get(), index, &entry), ZIP_ERR_CORRUPT);
    EXPECT_EQ(ZipFindEntry(zip.get(), name, false, &index, &entry), ZIP_ERR_CORRUPT);
    const std::wstring path = target.path() + name;
    EXPECT_EQ(ZipExtractToFile(zip.get(), index, path.c_str()), ZIP_ERR_CORRUPT);
    EXPECT_FALSE(PathExists(path));
    char buffer[64];
    EXPECT_EQ(ZipExtractToMemory(zip.get(), index, buffer, sizeof(buffer)), ZIP_ERR_DATA);
  }
  EXPECT_TRUE(ListTree(target.path()).empty());
}

TEST(ZipReaderTest, UnsupportedMethodIsDescribedThenExtractsToAnEmptyFile) {
  ScratchFolder target(L"method");
  ZipHandle zip(OpenFixture(L"corrupt.zip"));
  ASSERT_NE(zip.get(), nullptr);
  for (const wchar_t* name : {L"lzma.txt", L"bzip2.txt"}) {
    int index = -1;
    ZipEntry entry;
    ASSERT_EQ(ZipFindEntry(zip.get(), name, false, &index, &entry), ZIP_OK);
    EXPECT_STREQ(entry.name, name);
    EXPECT_EQ(entry.unpacked_size, 9000);
    const std::wstring path = target.path() + name;
    EXPECT_EQ(ZipExtractToFile(zip.get(), index, path.c_str()), ZIP_ERR_DATA);
    ASSERT_TRUE(PathExists(path));
    EXPECT_TRUE(ReadBytes(path).empty());
    char buffer[64];
    EXPECT_EQ(ZipExtractToMemory(zip.get(), index, buffer, sizeof(buffer)), ZIP_ERR_DATA);
  }
}

TEST(ZipReaderTest, UnreadableExtraFieldAndOverstatedCountAreReported) {
  ZipHandle extra(OpenFixture(L"extra_short.zip"));
  ASSERT_NE(extra.get(), nullptr);
  ZipEntry entry;
  EXPECT_EQ(ZipGetEntry(extra.get(), 0, &entry), ZIP_ERR_EXTRA_FIELD);

  ZipHandle lie(OpenFixture(L"count_lie.zip"));
  ASSERT_NE(lie.get(), nullptr);
  ASSERT_EQ(ZipGetEntry(lie.get(), -1, &entry), ZIP_OK);
  EXPECT_EQ(entry.index, 1000);
  EXPECT_STREQ(Describe(lie.get(), 1).name, L"two.txt");
  EXPECT_EQ(ZipGetEntry(lie.get(), 2, &entry), ZIP_ERR_CORRUPT);
  EXPECT_EQ(ZipGetEntry(lie.get(), 999, &entry), ZIP_ERR_CORRUPT);
  EXPECT_EQ(ZipExtractToFile(lie.get(), 500, L"C:\\never.txt"), ZIP_ERR_CORRUPT);
  EXPECT_STREQ(Describe(lie.get(), 0).name, L"one.txt");
  EXPECT_FALSE(PathExists(L"C:\\never.txt"));
}

TEST(ZipReaderTest, DataAfterALeadingStubIsFound) {
  ScratchFolder target(L"prefixed");
  ZipHandle zip(OpenFixture(L"prefixed.zip"));
  ASSERT_NE(zip.get(), nullptr);
  const std::wstring a = target.path() + L"a.txt";
  const std::wstring b = target.path() + L"b.txt";
  ASSERT_EQ(ZipExtractToFile(zip.get(), 0, a.c_str()), ZIP_OK);
  ASSERT_EQ(ZipExtractToFile(zip.get(), 1, b.c_str()), ZIP_OK);
  EXPECT_TRUE(ReadBytes(a) == Text("prefixed a"));
  EXPECT_TRUE(ReadBytes(b) == ReadBytes(FixturePath(L"corrupt_text.txt")));
}

TEST(ZipReaderTest, LongNamesAreCutAtCharacterBoundariesAndCutNamesAreRefused) {
  ScratchFolder target(L"long");
  ZipHandle zip(OpenFixture(L"long_names.zip"));
  ASSERT_NE(zip.get(), nullptr);
  const ZipEntry first = Describe(zip.get(), 0);
  const ZipEntry second = Describe(zip.get(), 1);
  EXPECT_EQ(wcslen(first.name), 259u);
  EXPECT_STREQ(first.name, second.name);
  EXPECT_EQ(ZipExtractToFile(zip.get(), 0, (target.path() + L"first").c_str()), ZIP_ERR_PATH);
  EXPECT_EQ(ZipExtractToFile(zip.get(), 1, (target.path() + L"second").c_str()), ZIP_ERR_PATH);

  EXPECT_EQ(std::wstring(Describe(zip.get(), 2).name), std::wstring(258, L'm'));
  EXPECT_EQ(ZipExtractToFile(zip.get(), 2, (target.path() + L"euro").c_str()), ZIP_ERR_PATH);

  // A name of exactly the kept length is whole and extracts.
  EXPECT_EQ(std::wstring(Describe(zip.get(), 3).name), std::wstring(259, L'n'));
  const std::wstring exact = target.path() + L"exact";
  EXPECT_EQ(ZipExtractToFile(zip.get(), 3, exact.c_str()), ZIP_OK);
  EXPECT_TRUE(ListTree(target.path()) == std::vector<std::wstring>({L"exact"}));
}

TEST(ZipReaderTest, TargetsThatDoNotFitOrAddressStreamsAreRefusedWithoutWriting) {
  ScratchFolder target(L"paths");
  ZipHandle zip(OpenFixture(L"basic.zip"));
  ASSERT_NE(zip.get(), nullptr);
  const std::wstring too_long = target.path() + std::wstring(300, L'x') + L"\\hello.txt";
  EXPECT_EQ(ZipExtractToFile(zip.get(), 0, too_long.c_str()), ZIP_ERR_PATH);
  const std::wstring longest_folder = target.path() + std::wstring(MAX_PATH - 2 - target.path().size(), L'y');
  EXPECT_EQ(ZipExtractToFile(zip.get(), 0, (longest_folder + L"\\z").c_str()), ZIP_ERR_PATH);
  EXPECT_EQ(ZipExtractToFile(zip.get(), 0, (target.path() + L"a.txt:stream").c_str()),
            ZIP_ERR_PATH);
  EXPECT_EQ(ZipExtractToFile(zip.get(), 0, (target.path() + L"ctl\x07.txt").c_str()),
            ZIP_ERR_PATH);
  EXPECT_EQ(ZipExtractToFile(zip.get(), 0, L"C:drive-relative.txt"), ZIP_ERR_PATH);
  EXPECT_EQ(ZipExtractToFile(zip.get(), 0, L""), ZIP_ERR_PATH);
  EXPECT_EQ(ZipExtractToFile(zip.get(), 0, nullptr), ZIP_ERR_PATH);
  EXPECT_TRUE(ListTree(target.path()).empty());

  // Relative to a root that leaves no room for the rest.
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(target.path().c_str()));
  HZIP rooted = OpenFixture(L"basic.zip");
  SetCurrentDirectoryW(saved);
  ASSERT_NE(rooted, nullptr);
  EXPECT_EQ(ZipExtractToFile(rooted, 0, std::wstring(MAX_PATH - target.path().size(), L'r').c_str()),
            ZIP_ERR_PATH);
  EXPECT_EQ(ZipExtractToFile(rooted, 0, L"fits.txt"), ZIP_OK);
  ZipClose(rooted);
  EXPECT_TRUE(ListTree(target.path()) == std::vector<std::wstring>({L"fits.txt"}));
}

TEST(ZipReaderTest, AttributesFollowTheHostSystemAndReachTheExtractedFiles) {
  ScratchFolder target(L"attributes");
  ZipHandle zip(OpenFixture(L"attributes.zip"));
  ASSERT_NE(zip.get(), nullptr);
  const DWORD expected[] = {0x21, 0x20, 0x21, 0x30, 0x26, 0x10, 0x31};
  for (int i = 0; i < 7; ++i) {
    const ZipEntry entry = Describe(zip.get(), i);
    EXPECT_EQ(entry.attributes, expected[i]) << i;
    ASSERT_EQ(ZipExtractToFile(zip.get(), i, (target.path() + entry.name).c_str()), ZIP_OK) << i;
    const DWORD on_disk = GetFileAttributesW((target.path() + entry.name).c_str());
    const DWORD mask = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    // Folders are only created; their attributes are the system's.
    if ((expected[i] & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      EXPECT_NE(on_disk & FILE_ATTRIBUTE_DIRECTORY, 0u) << i;
    } else {
      EXPECT_EQ(on_disk & mask, expected[i] & mask) << i;
    }
  }
  // Extracting again over the read-only, hidden and system files succeeds.
  for (int i : {0, 2, 4}) {
    EXPECT_EQ(ZipExtractToFile(zip.get(), i, (target.path() + Describe(zip.get(), i).name).c_str()),
              ZIP_OK) << i;
  }
}

TEST(ZipReaderTest, TimesComeFromTheDosStampOrTheExtendedTimestamp) {
  ScratchFolder target(L"times");
  ZipHandle zip(OpenFixture(L"times.zip"));
  ASSERT_NE(zip.get(), nullptr);
  struct Expected {
    const wchar_t* name;
    uint64_t write, access, creation;
  };
  const uint64_t leap = 1583020798ULL * kTicksPerSecond + kUnixEpoch;
  const Expected expected[] = {
      {L"dos.txt", kFixtureStamp, kFixtureStamp, kFixtureStamp},
      {L"ut_m.txt", UnixTicks(1600000000), kFixtureStamp, kFixtureStamp},
      {L"ut_all.txt", UnixTicks(1500000000), UnixTicks(1500000100), UnixTicks(1500000200)},
      {L"ut_after.txt", UnixTicks(1400000000), kFixtureStamp, kFixtureStamp},
      {L"ut_short.txt", UnixTicks(1300000000), kFixtureStamp, kFixtureStamp},
      {L"bad_month.txt", 0, 0, 0},
      {L"feb30.txt", 0, 0, 0},
      {L"zero_stamp.txt", 0, 0, 0},
      {L"negative.txt", UnixTicks(-86400), kFixtureStamp, kFixtureStamp},
      {L"leap.txt", leap, leap, leap},
  };
  for (int i = 0; i < 10; ++i) {
    const ZipEntry entry = Describe(zip.get(), i);
    EXPECT_STREQ(entry.name, expected[i].name);
    EXPECT_EQ(FileTimeValue(entry.write_time), expected[i].write) << i;
    EXPECT_EQ(FileTimeValue(entry.access_time), expected[i].access) << i;
    EXPECT_EQ(FileTimeValue(entry.creation_time), expected[i].creation) << i;
  }
  const std::wstring path = target.path() + L"ut_all.txt";
  ASSERT_EQ(ZipExtractToFile(zip.get(), 2, path.c_str()), ZIP_OK);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME creation, access, write;
  ASSERT_TRUE(GetFileTime(file, &creation, &access, &write));
  CloseHandle(file);
  EXPECT_EQ(FileTimeValue(write), UnixTicks(1500000000));
  EXPECT_EQ(FileTimeValue(access), UnixTicks(1500000100));
  // The creation time is not checked on disk: Wine's Unix file systems keep no settable one.
}

// Write and access time of a file on disk.
bool ReadFileTimes(const std::wstring& path, uint64_t* write, uint64_t* access) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  *write = FileTimeValue(data.ftLastWriteTime);
  *access = FileTimeValue(data.ftLastAccessTime);
  return true;
}

// An impossible date leaves the times the system gave the new file. Files created just before
// and just after the extraction bracket them on the file system's own clock, so the check needs
// no tolerance and holds however coarse that clock is.
TEST(ZipReaderTest, ImpossibleDosDateLeavesTheSystemsOwnTimes) {
  ScratchFolder target(L"badtimes");
  ZipHandle zip(OpenFixture(L"times.zip"));
  ASSERT_NE(zip.get(), nullptr);
  for (int index : {5, 6, 7}) {
    const ZipEntry entry = Describe(zip.get(), index);
    ASSERT_EQ(FileTimeValue(entry.write_time), 0u) << index;
    const std::wstring before_path = target.path() + L"before" + std::to_wstring(index);
    const std::wstring after_path = target.path() + L"after" + std::to_wstring(index);
    const std::wstring path = target.path() + entry.name;
    ASSERT_TRUE(WriteBytes(before_path, Text("b")));
    ASSERT_EQ(ZipExtractToFile(zip.get(), index, path.c_str()), ZIP_OK) << index;
    ASSERT_TRUE(WriteBytes(after_path, Text("a")));
    uint64_t before_write, before_access, write, access, after_write, after_access;
    ASSERT_TRUE(ReadFileTimes(before_path, &before_write, &before_access));
    ASSERT_TRUE(ReadFileTimes(path, &write, &access));
    ASSERT_TRUE(ReadFileTimes(after_path, &after_write, &after_access));
    EXPECT_LE(before_write, write) << index;
    EXPECT_LE(write, after_write) << index;
    EXPECT_LE(before_access, access) << index;
    EXPECT_LE(access, after_access) << index;
  }
}

}  // namespace
