// The registration steps that need no package: main.ini for this test program, the uninstall
// entry, and the urlmon callback's contract.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "app/download.h"
#include "app/install_config.h"
#include "app/registration.h"
#include "app/registry_key.h"
#include "tests/app/app_test_support.h"
#include "tests/app/fake_install_window.h"

namespace {

TEST(WriteMainIni, WritesUtf16WithBomForAProgramWithoutVersion) {
  apptest::TempFolder folder(L"mainini");
  apptest::FakeInstallWindow window(folder.path() + L"\\");
  // Replaced, not appended to.
  ASSERT_TRUE(apptest::WriteFileBytes(folder / L"main.ini", std::string(5000, 'x')));
  WriteMainIni(&window);

  std::string bytes;
  ASSERT_TRUE(apptest::ReadFileBytes(folder / L"main.ini", &bytes));
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ('\xFF', bytes[0]);
  EXPECT_EQ('\xFE', bytes[1]);
  std::wstring text = apptest::ReadUtf16File(folder / L"main.ini");
  size_t time_start = text.find(L"InstDt=") + 7;
  ASSERT_NE(std::wstring::npos, time_start - 7);
  std::wstring time = text.substr(time_start, 23);
  // "app_helpers_tests" has three pieces; this program carries no version resource.
  EXPECT_EQ(L"[info]\r\nInstDt=" + time + L"\r\nsetup=app_helpers_tests\r\npackdt=\r\nbdvid=tests\r\n\r\n"
            L"[uinfo]\r\npos=helpers\r\nos=\r\nver=\r\napp=pdf\r\n",
            text);
  EXPECT_EQ(2 + text.size() * 2, bytes.size());
  EXPECT_EQ(L"app_helpers_tests", window.MainIni().setup);
  EXPECT_EQ(L"helpers", window.MainIni().pos);
  EXPECT_EQ(L"tests", window.MainIni().bdvid);
  EXPECT_EQ(L"pdf", window.MainIni().app);
}

TEST(WriteMainIni, SkipsAFolderThatCannotHoldIt) {
  apptest::FakeInstallWindow window(L"C:\\no\\such\\folder\\anywhere\\");
  WriteMainIni(&window);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"C:\\no\\such\\folder\\anywhere\\main.ini"));
  EXPECT_EQ(L"app_helpers_tests", window.MainIni().setup);
}

TEST(WriteUninstallEntry, WritesFourStringsUnderTheCurrentUser) {
  const std::wstring key = std::wstring(InstallConfig::kUninstallKeyRoot) + InstallConfig::kProductKey;
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
  apptest::FakeInstallWindow window(L"C:\\Quillo Test\\VADIZUredizadi\\");
  WriteUninstallEntry(&window);

  RegistryKey registry;
  std::wstring text;
  DWORD type = 0;
  ASSERT_TRUE(registry.ReadString(key, L"DisplayName", &text, &type, 0));
  EXPECT_EQ(L"QuilloPDF转换器", text);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  ASSERT_TRUE(registry.ReadString(key, L"UninstallString", &text, &type, 0));
  EXPECT_EQ(L"C:\\Quillo Test\\VADIZUredizadi\\uninst.exe", text);
  ASSERT_TRUE(registry.ReadString(key, L"DisplayIcon", &text, &type, 0));
  EXPECT_EQ(L"C:\\Quillo Test\\VADIZUredizadi\\docweave.exe", text);
  ASSERT_TRUE(registry.ReadString(key, L"Publisher", &text, &type, 0));
  EXPECT_EQ(L"上海Pelmora网络科技有限公司", text);
  HKEY machine;
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &machine));
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST(PackageUrl, IsHttpsWithTheFixedPath) {
  std::wstring url = InstallConfig::kPackageUrl;
  EXPECT_EQ(0u, url.find(L"https://"));
  EXPECT_EQ(url.size() - wcslen(L"/dl/pdf/package.zip"), url.rfind(L"/dl/pdf/package.zip"));
  // This test build talks to the local server.
  EXPECT_EQ(apptest::ServerUrl(L"/dl/pdf/package.zip"), url);
}

TEST(UrlDownloadProgressCallback, AnswersOnlyItsInterfaces) {
  UrlDownloadProgressCallback callback(nullptr);
  EXPECT_EQ(E_POINTER, callback.QueryInterface(IID_IUnknown, nullptr));
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(S_OK, callback.QueryInterface(IID_IBindStatusCallback, &object));
  EXPECT_EQ(static_cast<IBindStatusCallback*>(&callback), object);
  EXPECT_EQ(S_OK, callback.QueryInterface(IID_IUnknown, &object));
  EXPECT_EQ(S_OK, callback.QueryInterface(IID_IHttpNegotiate, &object));
  EXPECT_EQ(static_cast<IHttpNegotiate*>(&callback), object);
  object = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, callback.QueryInterface(IID_IStream, &object));
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(1u, callback.AddRef());
  EXPECT_EQ(1u, callback.Release());
  LONG priority = 0;
  EXPECT_EQ(E_NOTIMPL, callback.GetPriority(&priority));
}

TEST(UrlDownloadProgressCallback, GetBindInfoStaysInsideTheCallersRecord) {
  UrlDownloadProgressCallback callback(nullptr);
  DWORD flags = 0;
  // A record that declares itself shorter than this build's BINDINFO, followed by guard bytes.
  unsigned char memory[sizeof(BINDINFO) + 64];
  std::memset(memory, 0xAB, sizeof(memory));
  BINDINFO* info = reinterpret_cast<BINDINFO*>(memory);
  const DWORD short_size = 40;
  info->cbSize = short_size;
  EXPECT_EQ(S_OK, callback.GetBindInfo(&flags, info));
  EXPECT_EQ(static_cast<DWORD>(BINDF_ASYNCHRONOUS | BINDF_GETNEWESTVERSION | BINDF_PULLDATA), flags);
  EXPECT_EQ(0x91u, flags);
  EXPECT_EQ(short_size, info->cbSize);
  for (size_t i = sizeof(DWORD); i < short_size; ++i) EXPECT_EQ(0, memory[i]) << i;
  for (size_t i = short_size; i < sizeof(memory); ++i) ASSERT_EQ(0xAB, memory[i]) << i;

  std::memset(memory, 0xAB, sizeof(memory));
  info->cbSize = sizeof(BINDINFO);
  EXPECT_EQ(S_OK, callback.GetBindInfo(nullptr, info));
  EXPECT_EQ(sizeof(BINDINFO), info->cbSize);
  for (size_t i = sizeof(DWORD); i < sizeof(BINDINFO); ++i) EXPECT_EQ(0, memory[i]) << i;
  for (size_t i = sizeof(BINDINFO); i < sizeof(memory); ++i) ASSERT_EQ(0xAB, memory[i]) << i;
}

TEST(UrlDownloadProgressCallback, ForwardsProgressWithBothCountsAndRefusesToLeaveHttps) {
  apptest::FakeInstallWindow window(L"C:\\x\\");
  UrlDownloadProgressCallback callback(&window);
  EXPECT_EQ(S_OK, callback.OnProgress(0, 100, BINDSTATUS_DOWNLOADINGDATA, L"https://a/b"));
  EXPECT_EQ(S_OK, callback.OnProgress(10, 0, BINDSTATUS_DOWNLOADINGDATA, L"https://a/b"));
  EXPECT_EQ(S_OK, callback.OnProgress(10, 100, BINDSTATUS_DOWNLOADINGDATA, L"https://a/b"));
  EXPECT_EQ(S_OK, callback.OnProgress(0, 0, BINDSTATUS_REDIRECTING, L"HTTPS://mirror/package.zip"));
  EXPECT_FALSE(callback.left_https());
  EXPECT_EQ(E_ABORT, callback.OnProgress(0, 0, BINDSTATUS_REDIRECTING, L"http://mirror/package.zip"));
  EXPECT_TRUE(callback.left_https());
  EXPECT_EQ(E_ABORT, callback.OnProgress(20, 100, BINDSTATUS_DOWNLOADINGDATA, L"https://a/b"));
  EXPECT_EQ((std::vector<std::string>{"download 100 10"}), window.reports());
}

TEST(UrlDownloadProgressCallback, OnResponseKeepsStatusAndPlainLength) {
  UrlDownloadProgressCallback callback(nullptr);
  LPWSTR extra = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(S_OK, callback.OnResponse(200, L"HTTP/1.1 200 OK\r\nContent-Type: x\r\ncontent-length:  4096 \r\n\r\n",
                                      nullptr, &extra));
  EXPECT_EQ(nullptr, extra);
  EXPECT_EQ(200u, callback.http_status());
  EXPECT_EQ(4096, callback.expected_length());
  EXPECT_EQ(S_OK, callback.OnResponse(
                      200, L"HTTP/1.1 200 OK\r\nContent-Length: 4096\r\nContent-Encoding: gzip\r\n\r\n", nullptr, &extra));
  EXPECT_EQ(-1, callback.expected_length());
  EXPECT_EQ(S_OK, callback.OnResponse(404, L"HTTP/1.1 404 Not Found\r\n\r\n", nullptr, &extra));
  EXPECT_EQ(404u, callback.http_status());
  EXPECT_EQ(-1, callback.expected_length());
}

}  // namespace
