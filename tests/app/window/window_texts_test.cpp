// The window's arithmetic and texts, and the strict UTF-8 decoder of the licence text.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "app/install_config.h"
#include "app/strict_utf8.h"
#include "app/window_texts.h"

namespace {

const std::wstring kPrefix = L"正在安装，请不要关闭：";

TEST(DownloadProgressReport, BarTruncatesAndTextRounds) {
  app::ProgressReport report;
  // 512 of 1000 bytes: 25.6 of the bar's 50.
  ASSERT_TRUE(app::DownloadProgressReport(1000, 512, &report));
  EXPECT_EQ(report.value, 25);
  EXPECT_EQ(report.text, kPrefix + L"26%");

  ASSERT_TRUE(app::DownloadProgressReport(1000, 1000, &report));
  EXPECT_EQ(report.value, 50);
  EXPECT_EQ(report.text, kPrefix + L"50%");

  ASSERT_TRUE(app::DownloadProgressReport(1000, 490, &report));
  EXPECT_EQ(report.value, 24);
  EXPECT_EQ(report.text, kPrefix + L"24%");
}

TEST(DownloadProgressReport, StartsAtTwoPercent) {
  app::ProgressReport report;
  ASSERT_TRUE(app::DownloadProgressReport(100000, 1, &report));
  EXPECT_EQ(report.value, 2);
  EXPECT_EQ(report.text, kPrefix + L"2%");
  ASSERT_TRUE(app::DownloadProgressReport(100, 3, &report));  // 1.5
  EXPECT_EQ(report.value, 2);
}

TEST(DownloadProgressReport, ZeroCountsReportNothing) {
  app::ProgressReport report;
  report.value = 77;
  report.text = L"untouched";
  EXPECT_FALSE(app::DownloadProgressReport(0, 100, &report));
  EXPECT_FALSE(app::DownloadProgressReport(100, 0, &report));
  EXPECT_FALSE(app::DownloadProgressReport(0, 0, &report));
  EXPECT_EQ(report.value, 77);
  EXPECT_EQ(report.text, L"untouched");
}

TEST(DownloadProgressReport, StaysInsideTheDownloadShare) {
  // A gzip-encoded body counts decoded bytes against the encoded length.
  app::ProgressReport report;
  ASSERT_TRUE(app::DownloadProgressReport(1000, 3500, &report));
  EXPECT_EQ(report.value, 50);
  EXPECT_EQ(report.text, kPrefix + L"50%");
  ASSERT_TRUE(app::DownloadProgressReport(1000, -5, &report));
  EXPECT_EQ(report.value, 2);
}

TEST(InstallProgressReport, FigureBelowHundredOnly) {
  EXPECT_EQ(app::InstallProgressReport(0).text, kPrefix + L"0%");
  EXPECT_EQ(app::InstallProgressReport(57).value, 57);
  EXPECT_EQ(app::InstallProgressReport(57).text, kPrefix + L"57%");
  EXPECT_EQ(app::InstallProgressReport(97).text, kPrefix + L"97%");
  EXPECT_EQ(app::InstallProgressReport(100).text, kPrefix);
  EXPECT_EQ(app::InstallProgressReport(100).value, 100);
}

TEST(InstallFolder, ProductFolderInsideTheBaseFolder) {
  EXPECT_EQ(app::InstallFolderInBase(L"C:\\Users\\a\\AppData\\Roaming"),
            L"C:\\Users\\a\\AppData\\Roaming\\VADIZUredizadi\\");
  // An unresolved base folder leaves the root of the current drive.
  EXPECT_EQ(app::InstallFolderInBase(L""), L"\\VADIZUredizadi\\");
}

TEST(InstallFolder, ChosenFolderAlwaysGetsABackslash) {
  EXPECT_EQ(app::InstallFolderInChosen(L"D:\\Programs"), L"D:\\Programs\\VADIZUredizadi\\");
  EXPECT_EQ(app::InstallFolderInChosen(L"D:\\"), L"D:\\\\VADIZUredizadi\\");
}

TEST(SpaceText, RequiredAndFreeSpace) {
  EXPECT_EQ(app::SpaceText(InstallConfig::kRequiredSpaceText, L"12.50 GB"),
            L"所需空间：73MB 可用空间：12.50 GB");
}

struct DecodeCase {
  const char* name;
  std::string bytes;
  bool valid;
  std::wstring text;
};

class DecodeUtf8StrictTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeUtf8StrictTest, DecodesOnlyWellFormedInput) {
  const DecodeCase& c = GetParam();
  std::wstring out = L"stale";
  EXPECT_EQ(app::DecodeUtf8Strict(c.bytes.data(), c.bytes.size(), &out), c.valid) << c.name;
  EXPECT_EQ(out, c.valid ? c.text : std::wstring()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, DecodeUtf8StrictTest,
    testing::Values(
        DecodeCase{"empty", "", true, L""},
        DecodeCase{"ascii with CR LF", "ab\r\nc", true, L"ab\r\nc"},
        DecodeCase{"two bytes", "\xC2\xA9", true, L"\u00A9"},
        DecodeCase{"largest two bytes", "\xDF\xBF", true, L"\u07FF"},
        DecodeCase{"three bytes CJK", "\xE5\x8D\x8F\xE8\xAE\xAE", true, L"协议"},
        DecodeCase{"smallest three bytes", "\xE0\xA0\x80", true, L"\u0800"},
        DecodeCase{"last before surrogates", "\xED\x9F\xBF", true, L"\uD7FF"},
        DecodeCase{"first after surrogates", "\xEE\x80\x80", true, L"\uE000"},
        DecodeCase{"four bytes to a pair", "\xF0\x9F\x98\x80", true, std::wstring(L"\xD83D\xDE00")},
        DecodeCase{"largest code point", "\xF4\x8F\xBF\xBF", true, std::wstring(L"\xDBFF\xDFFF")},
        DecodeCase{"overlong two bytes", "\xC0\xAF", false, L""},
        DecodeCase{"overlong two bytes C1", "\xC1\xBF", false, L""},
        DecodeCase{"overlong three bytes", "\xE0\x80\xAF", false, L""},
        DecodeCase{"overlong three bytes high", "\xE0\x9F\xBF", false, L""},
        DecodeCase{"overlong four bytes", "\xF0\x8F\xBF\xBF", false, L""},
        DecodeCase{"encoded high surrogate", "\xED\xA0\x80", false, L""},
        DecodeCase{"encoded low surrogate", "\xED\xBF\xBF", false, L""},
        DecodeCase{"above U+10FFFF", "\xF4\x90\x80\x80", false, L""},
        DecodeCase{"lead F5", "\xF5\x80\x80\x80", false, L""},
        DecodeCase{"lead FF", "a\xFF", false, L""},
        DecodeCase{"lone continuation", "a\x80z", false, L""},
        DecodeCase{"truncated two bytes", "ok\xC2", false, L""},
        DecodeCase{"truncated three bytes", "\xE5\x8D", false, L""},
        DecodeCase{"truncated four bytes", "\xF0\x9F\x98", false, L""},
        DecodeCase{"missing continuation", "\xE5\x41\x8F", false, L""},
        DecodeCase{"fault after valid text", "\xE5\x8D\x8F\xED\xA0\x80", false, L""}),
    [](const testing::TestParamInfo<DecodeCase>& info) {
      std::string name;
      for (char ch : std::string(info.param.name)) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return name;
    });

TEST(DecodeUtf8Strict, NullInputIsEmpty) {
  std::wstring out = L"stale";
  EXPECT_TRUE(app::DecodeUtf8Strict(nullptr, 0, &out));
  EXPECT_TRUE(out.empty());
}

}  // namespace
