#include "tests/app/app_test_support.h"

#include <winhttp.h>

#include <cstdio>
#include <cstring>

namespace apptest {

namespace {

std::wstring FromBuildPath(const char* path) {
  std::wstring text = Widen(path);
  for (wchar_t& c : text) {
    if (c == L'/') c = L'\\';
  }
  return text;
}

// GET https://localhost:<port><path> with our own small client; the body, or false.
bool HttpsGet(const std::wstring& path, std::string* body) {
  HINTERNET session = WinHttpOpen(L"apptest", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session) return false;
  bool ok = false;
  HINTERNET connection = WinHttpConnect(session, L"localhost", static_cast<INTERNET_PORT>(ServerPort()), 0);
  HINTERNET request = connection ? WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                      WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE)
                                 : nullptr;
  if (request && WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
      WinHttpReceiveResponse(request, nullptr)) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                        &status, &size, WINHTTP_NO_HEADER_INDEX);
    body->clear();
    char buffer[4096];
    DWORD read = 0;
    while (WinHttpReadData(request, buffer, sizeof(buffer), &read) && read > 0) body->append(buffer, read);
    ok = status == 200;
  }
  if (request) WinHttpCloseHandle(request);
  if (connection) WinHttpCloseHandle(connection);
  WinHttpCloseHandle(session);
  return ok;
}

}  // namespace

std::wstring FixtureDir() { return FromBuildPath(APP_FIXTURE_DIR); }

int BeconvBits() {
  static const bool said = [] {
    std::printf(APP_BECONV_BITS == 32 ? "[ fixture ] beconv.dll is 32-bit: this machine runs 32-bit programs\n"
                                      : "[ fixture ] beconv.dll is 64-bit: this machine runs 64-bit programs only\n");
    return true;
  }();
  (void)said;
  return APP_BECONV_BITS;
}

std::wstring LoadableFixtureDll() {
  return FixtureDir() + (sizeof(void*) == 8 ? L"\\docfoldMenu64.dll" : L"\\beconv.dll");
}
std::wstring PackageDir() { return FromBuildPath(APP_PACKAGE_DIR); }
std::wstring ProbePath() { return FromBuildPath(APP_PROBE_PATH); }
int ServerPort() { return APP_TEST_SERVER_PORT; }

std::wstring ServerUrl(const std::wstring& path) {
  return L"https://localhost:" + std::to_wstring(ServerPort()) + path;
}

std::wstring Widen(const std::string& utf8) {
  int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(size > 0 ? size : 0, L'\0');
  if (size > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], size);
  return out;
}

std::string Narrow(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 0, '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
  return out;
}

TempFolder::TempFolder(const std::wstring& tag) {
  wchar_t temp[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  std::wstring base(temp, length);
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  static LONG counter = 0;
  path_ = base + L"\\apptest_" + tag + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
          std::to_wstring(GetTickCount64()) + L"_" + std::to_wstring(InterlockedIncrement(&counter));
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

bool RemoveTree(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(path.c_str()) != FALSE;
  for (const std::wstring& name : ListFolder(path)) RemoveTree(path + L"\\" + name);
  return RemoveDirectoryW(path.c_str()) != FALSE;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

bool ReadFileBytes(const std::wstring& path, std::string* bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes->append(buffer, read);
  CloseHandle(file);
  return true;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::vector<std::string> ReadLines(const std::wstring& path) {
  std::vector<std::string> lines;
  std::string bytes;
  if (!ReadFileBytes(path, &bytes)) return lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::wstring ReadUtf16File(const std::wstring& path) {
  std::string bytes;
  if (!ReadFileBytes(path, &bytes)) return std::wstring();
  size_t offset = (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                   static_cast<unsigned char>(bytes[1]) == 0xFE) ? 2 : 0;
  std::wstring text((bytes.size() - offset) / 2, L'\0');
  if (!text.empty()) std::memcpy(&text[0], bytes.data() + offset, text.size() * 2);
  return text;
}

bool WaitForFile(const std::wstring& path, DWORD timeout_ms) {
  ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(50);
  }
  return true;
}

bool SetServerMode(const std::string& mode) {
  std::string body;
  return HttpsGet(L"/control/mode?name=" + Widen(mode), &body) && body == "mode=" + mode;
}

int PlainHttpHits() {
  std::string body;
  if (!HttpsGet(L"/control/stats", &body)) return -1;
  size_t key = body.find("\"plain_hits\":");
  if (key == std::string::npos) return -1;
  return atoi(body.c_str() + key + strlen("\"plain_hits\":"));
}

ProbeRun RunProbe(const std::wstring& arguments, const std::wstring& report_path, DWORD timeout_ms,
                  const std::wstring& probe) {
  ProbeRun result;
  DeleteFileW(report_path.c_str());
  std::wstring program = probe.empty() ? ProbePath() : probe;
  result.run = RunUnderDebugger(L"\"" + program + L"\" " + arguments, timeout_ms);
  result.report = ReadLines(report_path);
  return result;
}

std::vector<std::string> ReportLines(const std::vector<std::string>& report, const std::string& prefix) {
  std::vector<std::string> lines;
  for (const std::string& line : report) {
    if (line.compare(0, prefix.size() + 1, prefix + " ") == 0) lines.push_back(line);
  }
  return lines;
}

}  // namespace apptest
