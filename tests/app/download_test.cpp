// DownloadPackage against the local HTTPS package server and its faults, run in the installer
// stand-in under the debugger so that the attempt lines it writes are checked as written.
#include <gtest/gtest.h>

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/app/app_test_support.h"

namespace {

using apptest::ProbeRun;

struct DownloadReport {
  long long total;
  long long done;
  unsigned long long ms;
};

std::vector<DownloadReport> DownloadReports(const std::vector<std::string>& report) {
  std::vector<DownloadReport> reports;
  for (const std::string& line : apptest::ReportLines(report, "download")) {
    DownloadReport r = {};
    char thread[16] = {};
    if (sscanf(line.c_str(), "download %lld %lld %15s %llu", &r.total, &r.done, thread, &r.ms) == 4) reports.push_back(r);
  }
  return reports;
}

std::string Line(const char* step, const std::string& code) {
  return std::string("[download] ") + step + " failed, code=" + code + "\r\n";
}

std::string PackageBytes() {
  std::string bytes;
  apptest::ReadFileBytes(apptest::PackageDir() + L"\\package.zip", &bytes);
  return bytes;
}

bool Gunzip(const std::string& in, std::string* out) {
  z_stream stream = {};
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return false;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  stream.avail_in = static_cast<uInt>(in.size());
  char buffer[65536];
  int result;
  do {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof(buffer);
    result = inflate(&stream, Z_NO_FLUSH);
    out->append(buffer, sizeof(buffer) - stream.avail_out);
  } while (result == Z_OK);
  inflateEnd(&stream);
  return result == Z_STREAM_END;
}

class DownloadTest : public ::testing::Test {
 protected:
  DownloadTest() : folder_(L"download"), destination_(folder_ / L"VADIZUredizadi_12345_.zip") {}

  ProbeRun Download(const std::wstring& url) {
    std::wstring report = folder_ / L"report.txt";
    ProbeRun run = apptest::RunProbe(L"download \"" + url + L"\" \"" + destination_ + L"\" \"" + report + L"\"", report);
    EXPECT_TRUE(run.run.started);
    EXPECT_FALSE(run.run.timed_out);
    EXPECT_EQ(0u, run.run.exit_code);
    EXPECT_FALSE(run.report.empty());
    if (!run.report.empty()) {
      EXPECT_EQ("ended", run.report.back());
    }
    // The companion file never outlives the call.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((destination_ + L".download").c_str()));
    return run;
  }

  static bool Succeeded(const ProbeRun& run) {
    return std::find(run.report.begin(), run.report.end(), "result 1") != run.report.end();
  }

  std::string DestinationBytes() {
    std::string bytes;
    apptest::ReadFileBytes(destination_, &bytes);
    return bytes;
  }

  std::vector<std::string> Lines(const ProbeRun& run) {
    std::vector<std::string> lines;
    for (const std::wstring& line : run.run.debug_lines) lines.push_back(apptest::Narrow(line));
    return lines;
  }

  apptest::TempFolder folder_;
  std::wstring destination_;
};

TEST_F(DownloadTest, FetchesThePackageInOneAttemptWithProgressUpToItsSize) {
  ProbeRun run = Download(apptest::ServerUrl(L"/fault/ok/package.zip"));
  EXPECT_TRUE(Succeeded(run));
  EXPECT_TRUE(Lines(run).empty());
  std::string package = PackageBytes();
  ASSERT_GT(package.size(), 512u);
  EXPECT_TRUE(DestinationBytes() == package);
  std::vector<DownloadReport> reports = DownloadReports(run.report);
  ASSERT_FALSE(reports.empty());
  long long previous = 0;
  for (const DownloadReport& r : reports) {
    EXPECT_EQ(static_cast<long long>(package.size()), r.total);
    EXPECT_GE(r.done, previous);
    EXPECT_LE(r.done, r.total);
    previous = r.done;
  }
  EXPECT_EQ(static_cast<long long>(package.size()), reports.back().done);
}

TEST_F(DownloadTest, AcceptsTheSchemeInAnyCase) {
  ProbeRun run = Download(L"HTTPS://localhost:" + std::to_wstring(apptest::ServerPort()) + L"/fault/ok/package.zip");
  EXPECT_TRUE(Succeeded(run));
  EXPECT_TRUE(DestinationBytes() == PackageBytes());
}

TEST_F(DownloadTest, RefusesAClearTextUrlWithoutTouchingAnything) {
  ASSERT_TRUE(apptest::WriteFileBytes(destination_, "earlier"));
  int hits = apptest::PlainHttpHits();
  ASSERT_GE(hits, 0);
  ProbeRun run = Download(L"http://localhost:" + std::to_wstring(apptest::ServerPort() + 1) + L"/dl/pdf/package.zip");
  EXPECT_FALSE(Succeeded(run));
  EXPECT_TRUE(Lines(run).empty());
  EXPECT_EQ("earlier", DestinationBytes());
  EXPECT_EQ(hits, apptest::PlainHttpHits());
  EXPECT_TRUE(DownloadReports(run.report).empty());
}

TEST_F(DownloadTest, NotFoundFailsEveryAttemptAndLeavesTheDestinationAlone) {
  ASSERT_TRUE(apptest::WriteFileBytes(destination_, "earlier"));
  ProbeRun run = Download(apptest::ServerUrl(L"/fault/404/package.zip"));
  EXPECT_FALSE(Succeeded(run));
  // urlmon saves error pages as bodies; its status is checked like WinHTTP's.
  EXPECT_EQ((std::vector<std::string>{Line("WinHTTP", "404"), Line("WinHTTP", "404"), Line("WinHTTP", "404"),
                                      Line("URLDownloadToFileW", "404")}),
            Lines(run));
  EXPECT_EQ("earlier", DestinationBytes());
}

// The server fails only requests with the installer's WinHTTP user agent; urlmon gets the package
// without a length, so urlmon itself reports no progress and every report is the fallback's own.
TEST_F(DownloadTest, UrlmonFallbackFetchesThePackageAfterThreeFailedWinHttpAttempts) {
  ProbeRun run = Download(apptest::ServerUrl(L"/fault/winhttp-503/package.zip"));
  EXPECT_TRUE(Succeeded(run));
  EXPECT_EQ((std::vector<std::string>{Line("WinHTTP", "503"), Line("WinHTTP", "503"), Line("WinHTTP", "503")}),
            Lines(run));
  std::string package = PackageBytes();
  ASSERT_GT(package.size(), 512u);
  EXPECT_TRUE(DestinationBytes() == package);
  // The closing report gives the whole size as both counts: the bar's 50 %.
  std::vector<DownloadReport> reports = DownloadReports(run.report);
  ASSERT_EQ(1u, reports.size());
  EXPECT_EQ(static_cast<long long>(package.size()), reports[0].total);
  EXPECT_EQ(static_cast<long long>(package.size()), reports[0].done);
}

TEST_F(DownloadTest, UrlmonFallbackReportsAMoveIntoPlaceThatFails) {
  // A folder in the destination's place cannot be replaced by a file.
  ASSERT_TRUE(CreateDirectoryW(destination_.c_str(), nullptr));
  ProbeRun run = Download(apptest::ServerUrl(L"/fault/winhttp-503/package.zip"));
  EXPECT_FALSE(Succeeded(run));
  EXPECT_EQ((std::vector<std::string>{Line("WinHTTP", "503"), Line("WinHTTP", "503"), Line("WinHTTP", "503"),
                                      Line("MoveFileExW-urlmon", std::to_string(ERROR_ACCESS_DENIED))}),
            Lines(run));
  const DWORD attributes = GetFileAttributesW(destination_.c_str());
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
  EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(DownloadReports(run.report).empty());
}

TEST_F(DownloadTest, EmptyBodyThroughUrlmonFailsBySizeAndLeavesTheDestinationAlone) {
  ASSERT_TRUE(apptest::WriteFileBytes(destination_, "earlier"));
  ProbeRun run = Download(apptest::ServerUrl(L"/fault/winhttp-503-empty/package.zip"));
  EXPECT_FALSE(Succeeded(run));
  EXPECT_EQ((std::vector<std::string>{Line("WinHTTP", "503"), Line("WinHTTP", "503"), Line("WinHTTP", "503"),
                                      Line("URLDownloadToFileW-size", "0")}),
            Lines(run));
  EXPECT_EQ("earlier", DestinationBytes());
  EXPECT_TRUE(DownloadReports(run.report).empty());
}

TEST_F(DownloadTest, BodyWithoutLengthArrivesWhole) {
  ProbeRun run = Download(apptest::ServerUrl(L"/fault/nolength/package.zip"));
  EXPECT_TRUE(Succeeded(run));
  EXPECT_TRUE(Lines(run).empty());
  EXPECT_TRUE(DestinationBytes() == PackageBytes());
  // No total: the window shows no download progress for these.
  for (const DownloadReport& r : DownloadReports(run.report)) EXPECT_EQ(0, r.total);
}

TEST_F(DownloadTest, BodyCutShortIsAFailedAttemptEveryTime) {
  ProbeRun run = Download(apptest::ServerUrl(L"/fault/short/package.zip"));
  EXPECT_FALSE(Succeeded(run));
  std::vector<std::string> lines = Lines(run);
  ASSERT_EQ(4u, lines.size());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Line("WinHTTP", "12030"), lines[i]);
  // The fallback fails too: by its declared length (or by urlmon's own error).
  EXPECT_EQ(0u, lines[3].find("[download] URLDownloadToFileW")) << lines[3];
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(destination_.c_str()));
}

TEST_F(DownloadTest, TinyBodyIsStillAResponseBody) {
  ProbeRun run = Download(apptest::ServerUrl(L"/fault/tiny/package.zip"));
  EXPECT_TRUE(Succeeded(run));
  EXPECT_TRUE(Lines(run).empty());
  std::string bytes = DestinationBytes();
  EXPECT_GT(bytes.size(), 0u);
  EXPECT_LT(bytes.size(), 512u);  // the pipeline, not the download, rejects it
}

TEST_F(DownloadTest, RedirectToClearTextIsRefusedByEveryAttempt) {
  int hits_before = apptest::PlainHttpHits();
  ASSERT_GE(hits_before, 0);
  ProbeRun run = Download(apptest::ServerUrl(L"/fault/redirect-http/package.zip"));
  EXPECT_FALSE(Succeeded(run));
  std::vector<std::string> lines = Lines(run);
  ASSERT_EQ(4u, lines.size());
  for (int i = 0; i < 3; ++i) {
    // 302 where the redirect policy holds; 12156 from the response-URL check where it does not.
    EXPECT_TRUE(lines[i] == Line("WinHTTP", "302") || lines[i] == Line("WinHTTP", "12156")) << lines[i];
  }
  EXPECT_EQ(Line("URLDownloadToFileW", "2147500036"), lines[3]);  // E_ABORT: the binding was aborted
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(destination_.c_str()));
  // WinHTTP never asks the clear-text listener. Wine's urlmon follows the redirect inside wininet
  // before any callback can see it, so it may have asked once; nothing it got was kept.
  int hits_after = apptest::PlainHttpHits();
  EXPECT_LE(hits_after - hits_before, 1);
}

TEST_F(DownloadTest, GzipEncodedBodyIsTheFirstAttemptsResult) {
  ProbeRun run = Download(apptest::ServerUrl(L"/fault/gzip/package.zip"));
  EXPECT_TRUE(Succeeded(run));
  EXPECT_TRUE(Lines(run).empty());
  // Windows decodes it (the decompression option); Wine refuses the option and sends no
  // Accept-Encoding, so the body stays encoded. Either way it is the whole package.
  std::string bytes = DestinationBytes();
  std::string package = PackageBytes();
  std::string decoded;
  EXPECT_TRUE(bytes == package || (Gunzip(bytes, &decoded) && decoded == package));
  for (const DownloadReport& r : DownloadReports(run.report)) {
    EXPECT_GT(r.total, 0);
    EXPECT_LE(r.done, r.total);
  }
}

TEST_F(DownloadTest, SlowTransferReportsAtMostFiveTimesASecond) {
  ProbeRun run = Download(apptest::ServerUrl(L"/fault/slow/package.zip"));
  EXPECT_TRUE(Succeeded(run));
  EXPECT_TRUE(DestinationBytes() == PackageBytes());
  std::vector<DownloadReport> reports = DownloadReports(run.report);
  ASSERT_GE(reports.size(), 3u);
  // The last report is the closing one, made whatever the time; the others are throttled.
  for (size_t i = 1; i + 1 < reports.size(); ++i) {
    EXPECT_GE(reports[i].ms - reports[i - 1].ms, 150u) << i;
  }
  unsigned long long span = reports.back().ms - reports.front().ms;
  EXPECT_LE(reports.size(), span / 200 + 3);
  EXPECT_EQ(reports.back().total, reports.back().done);
}

}  // namespace
