// A hostile archive unpacked the way the install pipeline does it (target folder + entry name)
// must leave every byte inside the target folder.
#include "archive/zip_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/archive/zip_test_support.h"

namespace {

struct HostileEntry {
  const wchar_t* name;  // as described
  uint32_t result;      // of ZipExtractToFile(target + name)
};

// In the order of HOSTILE_NAMES in make_zip_fixtures.py.
const HostileEntry kHostile[] = {
    {L"escape-01.txt", ZIP_OK},
    {L"escape-02.txt", ZIP_OK},
    {L"a/escape-03.txt", ZIP_OK},
    {L"escape-04.txt", ZIP_OK},
    {L"y/escape-05.txt", ZIP_OK},
    {L"..", ZIP_ERR_PATH},
    {L"escape-07.txt", ZIP_OK},
    {L"escape-08.txt", ZIP_OK},
    {L"server\\share\\escape-09.txt", ZIP_OK},
    {L"escape-10.txt", ZIP_OK},
    {L"escape-11.txt:stream", ZIP_ERR_PATH},
    {L"escape-12\x01.txt", ZIP_ERR_PATH},
    {L"escape-13", ZIP_ERR_PATH},  // the stored name goes on after a NUL
    {L"", ZIP_ERR_PATH},
    {L"a/..", ZIP_ERR_PATH},
    {L"...\\escape-16.txt", ZIP_ERR_PATH},
    {L"sub/CON", ZIP_ERR_PATH},
    {L"caf\u00E9-18.txt", ZIP_OK},
    {L"bad\uFFFD-19.txt", ZIP_OK},
    {L"escape-20.txt", ZIP_OK},
    {L"escape-21.txt", ZIP_OK},
    {L". ./escape-22.txt", ZIP_ERR_PATH},
    {L"ok/escape-23.txt", ZIP_OK},
};

// Files named like the hostile entries anywhere on drive C: outside `inside`.
void FindEscapes(const std::wstring& folder, const std::wstring& inside, int depth,
                 std::vector<std::wstring>* found) {
  if (depth > 10) return;
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + name;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if (_wcsicmp(path.c_str(), L"C:\\windows") == 0 ||
          (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
          _wcsnicmp((path + L"\\").c_str(), inside.c_str(), inside.size()) == 0) {
        continue;
      }
      FindEscapes(path + L"\\", inside, depth + 1, found);
    } else if (name.find(L"escape-") != std::wstring::npos || name.find(L"-18.txt") != std::wstring::npos ||
               name.find(L"-19.txt") != std::wstring::npos) {
      found->push_back(path);
    }
  } while (FindNextFileW(search, &data));
  FindClose(search);
}

TEST(ZipHostileTest, NothingLandsOutsideTheTargetFolder) {
  ScratchFolder sandbox(L"hostile");
  const std::wstring target = sandbox.path() + L"install\\";
  ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
  // Relative targets would resolve under the directory current at open; make that the sandbox's
  // inner folder too, so even a misplaced relative path would be seen.
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(target.c_str()));
  ZipHandle zip(ZipOpenFile(FixturePath(L"hostile.zip").c_str(), nullptr));
  SetCurrentDirectoryW(saved);
  ASSERT_NE(zip.get(), nullptr);

  ZipEntry count;
  ASSERT_EQ(ZipGetEntry(zip.get(), -1, &count), ZIP_OK);
  ASSERT_EQ(count.index, static_cast<int>(sizeof(kHostile) / sizeof(kHostile[0])));
  for (int i = 0; i < count.index; ++i) {
    ZipEntry entry;
    ASSERT_EQ(ZipGetEntry(zip.get(), i, &entry), ZIP_OK) << i;
    EXPECT_STREQ(entry.name, kHostile[i].name) << i;
    const std::wstring path = target + entry.name;
    EXPECT_EQ(ZipExtractToFile(zip.get(), i, path.c_str()), kHostile[i].result) << i;
    // The absolute and relative variants of the raw name must not escape either.
    EXPECT_EQ(ZipExtractToFile(zip.get(), i, entry.name), kHostile[i].result) << i;
  }

  // Each extracted entry is exactly where its sanitised name says, nothing else exists there.
  const std::vector<std::wstring> expected = {
      L"a",
      L"a\\escape-03.txt",
      L"bad\uFFFD-19.txt",
      L"caf\u00E9-18.txt",
      L"escape-01.txt",
      L"escape-02.txt",
      L"escape-04.txt",
      L"escape-07.txt",
      L"escape-08.txt",
      L"escape-10.txt",
      L"escape-20.txt",
      L"escape-21.txt",
      L"ok",
      L"ok\\escape-23.txt",
      L"server",
      L"server\\share",
      L"server\\share\\escape-09.txt",
      L"y",
      L"y\\escape-05.txt",
  };
  EXPECT_TRUE(ListTree(target) == expected) << testing::PrintToString(ListTree(target));
  EXPECT_TRUE(ListTree(sandbox.path()).front() == L"install");
  for (const std::wstring& item : ListTree(sandbox.path())) {
    EXPECT_EQ(item.compare(0, 7, L"install"), 0) << testing::PrintToString(item);
  }
  // A planted file outside the target proves the search sees the drive.
  const std::wstring planted = sandbox.path() + L"escape-planted.txt";
  ASSERT_TRUE(WriteBytes(planted, {}));
  std::vector<std::wstring> escapes;
  FindEscapes(L"C:\\", target, 0, &escapes);
  ASSERT_EQ(escapes.size(), 1u) << testing::PrintToString(escapes);
  EXPECT_EQ(_wcsicmp(escapes[0].c_str(), planted.c_str()), 0) << testing::PrintToString(escapes);
}

}  // namespace
