// The texts the installer shows and records: free space, local time, versions, name fields,
// main.ini, path halves.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/registration.h"
#include "app/shell_folders.h"
#include "app/text_format.h"
#include "tests/app/app_test_support.h"

namespace {

struct ByteCountCase {
  uint64_t bytes;
  const wchar_t* text;
};

TEST(FormatByteCount, UsesAUnitOnlyAboveOneWholeUnit) {
  const ByteCountCase cases[] = {
      {0, L"0.00 B"},
      {1, L"1.00 B"},
      {1024, L"1024.00 B"},
      {1025, L"1.00 KB"},
      {1536, L"1.50 KB"},
      {1048576, L"1024.00 KB"},
      {1048577, L"1.00 MB"},
      {76546048, L"73.00 MB"},
      {1073741824, L"1024.00 MB"},
      {1073741825, L"1.00 GB"},
      {5905580032ull, L"5.50 GB"},
      {0xFFFFFFFFFFFFFFFFull, L"17179869184.00 GB"},
  };
  for (const ByteCountCase& c : cases) EXPECT_EQ(c.text, app::FormatByteCount(c.bytes)) << c.bytes;
}

TEST(FormatByteCount, RoundsTheQuotientToSinglePrecisionFirst) {
  // 12739.0747... GB in double precision; as a 32-bit float it is 12739.0751, which prints .08.
  EXPECT_EQ(L"12739.08 GB", app::FormatByteCount(13678477318554ull));
}

TEST(FormatFreeSpace, DescribesARealDriveAndNothingForANonDrive) {
  std::wstring text = FormatFreeSpace(L"C:");
  ASSERT_FALSE(text.empty());
  EXPECT_TRUE(text.find(L" B") != std::wstring::npos || text.find(L" KB") != std::wstring::npos ||
              text.find(L" MB") != std::wstring::npos || text.find(L" GB") != std::wstring::npos)
      << apptest::Narrow(text);
  // The first two characters of a UNC install folder: no drive, no figure.
  EXPECT_EQ(L"", FormatFreeSpace(L"\\\\"));
}

TEST(FormatTimeText, PadsEveryFieldButTheYear) {
  SYSTEMTIME time = {};
  time.wYear = 2024;
  time.wMonth = 3;
  time.wDay = 2;
  time.wHour = 9;
  time.wMinute = 5;
  time.wSecond = 3;
  time.wMilliseconds = 7;
  EXPECT_EQ(L"2024-03-02 09:05:03 007", app::FormatTimeText(time));
  time.wYear = 1999;
  time.wMonth = 12;
  time.wDay = 31;
  time.wHour = 23;
  time.wMinute = 59;
  time.wSecond = 59;
  time.wMilliseconds = 999;
  EXPECT_EQ(L"1999-12-31 23:59:59 999", app::FormatTimeText(time));
}

TEST(FormatLocalTime, IsTheLocalTimeOfTheCall) {
  SYSTEMTIME before;
  GetLocalTime(&before);
  std::wstring text = FormatLocalTime();
  SYSTEMTIME after;
  GetLocalTime(&after);
  ASSERT_EQ(23u, text.size()) << apptest::Narrow(text);
  SYSTEMTIME parsed = {};
  int year, month, day, hour, minute, second, millisecond;
  ASSERT_EQ(7, swscanf(text.c_str(), L"%d-%d-%d %d:%d:%d %d", &year, &month, &day, &hour, &minute, &second,
                       &millisecond));
  parsed.wYear = static_cast<WORD>(year);
  parsed.wMonth = static_cast<WORD>(month);
  parsed.wDay = static_cast<WORD>(day);
  parsed.wHour = static_cast<WORD>(hour);
  parsed.wMinute = static_cast<WORD>(minute);
  parsed.wSecond = static_cast<WORD>(second);
  parsed.wMilliseconds = static_cast<WORD>(millisecond);
  FILETIME a, b, p;
  ASSERT_TRUE(SystemTimeToFileTime(&before, &a));
  ASSERT_TRUE(SystemTimeToFileTime(&after, &b));
  ASSERT_TRUE(SystemTimeToFileTime(&parsed, &p));
  EXPECT_GE(CompareFileTime(&p, &a), 0) << apptest::Narrow(text);
  EXPECT_LE(CompareFileTime(&p, &b), 0) << apptest::Narrow(text);
}

TEST(GetFileVersionString, ReadsTheFixedFileVersion) {
  EXPECT_EQ(L"3.1.4.15", GetFileVersionString(apptest::FixtureDir() + L"\\docweave.exe"));
  // An MSI has no version resource; a missing file has nothing at all.
  EXPECT_EQ(L"", GetFileVersionString(apptest::FixtureDir() + L"\\easyConverterSDK_5.msi"));
  EXPECT_EQ(L"", GetFileVersionString(apptest::FixtureDir() + L"\\no_such_file.exe"));
}

struct NameFieldCase {
  const wchar_t* file;
  const wchar_t* setup;
  const wchar_t* pos;
  const wchar_t* bdvid;
};

TEST(MainIniFieldsFor, SplitsTheLowerCasedStemAtUnderscores) {
  const NameFieldCase cases[] = {
      {L"Setup_17_A5.exe", L"Setup_17_A5", L"17", L"a5"},
      {L"setup.exe", L"setup", L"empty", L"empty"},
      {L"a__b.exe", L"a__b", L"", L"b"},
      {L"Quillo_X_.exe", L"Quillo_X_", L"x", L"empty"},   // the trailing empty piece does not count
      {L"Pack_1_2_3.exe", L"Pack_1_2_3", L"1", L"2"},
      {L"_A_B.exe", L"_A_B", L"a", L"b"},
      {L"Setup_17_A5", L"Setup_17_A5", L"17", L"a5"},      // no extension: the whole name
      {L"my.setup_9_Z.v2.exe", L"my.setup_9_Z.v2", L"9", L"z.v2"},
      {L"SETUP_ÄB_CD.exe", L"SETUP_ÄB_CD", L"Äb", L"cd"},  // only A-Z are lowered
  };
  for (const NameFieldCase& c : cases) {
    MainIniFields fields = app::MainIniFieldsFor(c.file, L"1.2.3.4");
    EXPECT_EQ(c.setup, fields.setup) << apptest::Narrow(c.file);
    EXPECT_EQ(c.pos, fields.pos) << apptest::Narrow(c.file);
    EXPECT_EQ(c.bdvid, fields.bdvid) << apptest::Narrow(c.file);
    EXPECT_EQ(L"1.2.3.4", fields.packdt);
    EXPECT_EQ(L"1.2.3.4", fields.ver);
    EXPECT_EQ(L"pdf", fields.app);
    EXPECT_EQ(L"", fields.os);
  }
}

TEST(MainIniText, HasElevenCrLfLinesInTheirOrder) {
  MainIniFields fields = app::MainIniFieldsFor(L"Setup_17_A5.exe", L"");
  EXPECT_EQ(L"[info]\r\n"
            L"InstDt=2024-03-02 09:05:03 007\r\n"
            L"setup=Setup_17_A5\r\n"
            L"packdt=\r\n"
            L"bdvid=a5\r\n"
            L"\r\n"
            L"[uinfo]\r\n"
            L"pos=17\r\n"
            L"os=\r\n"
            L"ver=\r\n"
            L"app=pdf\r\n",
            app::MainIniText(fields, L"2024-03-02 09:05:03 007"));
}

struct SplitCase {
  const wchar_t* path;
  const wchar_t* directory;
  const wchar_t* file;
};

TEST(PathHalves, SplitAtTheSameLastSeparator) {
  const SplitCase cases[] = {
      {L"C:\\Downloads\\Setup_17_A5.exe", L"C:\\Downloads\\", L"Setup_17_A5.exe"},
      {L"C:\\a/b.exe", L"C:\\a/", L"b.exe"},  // mixed separators: both halves use the "/"
      {L"C:/a\\b.exe", L"C:/a\\", L"b.exe"},
      {L"setup.exe", L"", L"setup.exe"},
      {L"C:\\folder\\", L"C:\\folder\\", L""},
      {L"\\\\server\\share\\x.exe", L"\\\\server\\share\\", L"x.exe"},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(c.directory, app::DirectoryPart(c.path)) << apptest::Narrow(c.path);
    EXPECT_EQ(c.file, app::FileNamePart(c.path)) << apptest::Narrow(c.path);
    EXPECT_EQ(c.path, app::DirectoryPart(c.path) + app::FileNamePart(c.path));
  }
}

TEST(GetOwnPath, NamesThisTestProgram) {
  wchar_t module[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::wstring(module, length), GetOwnPath());
  EXPECT_EQ(GetOwnPath(), GetOwnDirectory() + GetOwnFileName());
  EXPECT_EQ(L"app_helpers_tests.exe", GetOwnFileName());
}

}  // namespace
