#include "app/download.h"

#include <winhttp.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

#include "app/file_util.h"
#include "app/scoped_handles.h"

#ifndef WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY
#define WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY 4
#endif
#ifndef WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3
#define WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3 0x00002000
#endif
#ifndef WINHTTP_OPTION_DECOMPRESSION
#define WINHTTP_OPTION_DECOMPRESSION 118
#endif
#ifndef WINHTTP_DECOMPRESSION_FLAG_ALL
#define WINHTTP_DECOMPRESSION_FLAG_ALL 3
#endif

namespace {

constexpr wchar_t kUserAgent[] = L"Mozilla/5.0 (Windows NT 10.0; Win64; x64) ZIRuvudurav/1.0";
constexpr DWORD kReadBufferSize = 0x10000;
constexpr ULONGLONG kReportIntervalMs = 200;
// INTERNET_OPTION_URL of wininet.h, which does not build beside winhttp.h.
constexpr DWORD kInternetOptionUrl = 34;

class ScopedInternetHandle {
 public:
  ScopedInternetHandle() = default;
  ~ScopedInternetHandle() { Close(); }
  ScopedInternetHandle(const ScopedInternetHandle&) = delete;
  ScopedInternetHandle& operator=(const ScopedInternetHandle&) = delete;

  void Reset(HINTERNET handle) {
    Close();
    handle_ = handle;
  }
  HINTERNET Get() const { return handle_; }
  void Close() {
    if (handle_) WinHttpCloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HINTERNET handle_ = nullptr;
};

// Reports byte counts; with a content-encoded body the decoded count can pass the encoded
// Content-Length, and the shown progress must not run past the download's share of the bar.
void Report(IDownloadProgress* progress, int64_t total, uint64_t done) {
  if (!progress) return;
  int64_t shown = static_cast<int64_t>(done);
  if (total > 0 && shown > total) shown = total;
  progress->ShowDownloadProgress(total, shown);
}

bool QueryHeaderText(HINTERNET request, DWORD query, std::wstring* text) {
  wchar_t buffer[64] = {};  // 128 bytes, zeroed: a terminator always remains
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, buffer, &size, WINHTTP_NO_HEADER_INDEX)) {
    return false;
  }
  buffer[sizeof(buffer) / sizeof(buffer[0]) - 1] = L'\0';
  *text = buffer;
  return true;
}

// The URL the response came from, after any redirect WinHTTP followed.
std::wstring ResponseUrl(HINTERNET request) {
  DWORD size = 0;
  WinHttpQueryOption(request, WINHTTP_OPTION_URL, nullptr, &size);
  if (size == 0) return std::wstring();
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
  if (!WinHttpQueryOption(request, WINHTTP_OPTION_URL, buffer.data(), &size)) return std::wstring();
  return std::wstring(buffer.data());
}

}  // namespace

namespace app {

std::wstring DownloadTempPath(const std::wstring& path) { return path + L".download"; }

bool IsHttpsUrl(const wchar_t* url) { return url && _wcsnicmp(url, L"https://", 8) == 0; }

}  // namespace app

void LogDownloadFailure(const wchar_t* step, unsigned long code) {
  wchar_t line[160];
  int length = swprintf(line, sizeof(line) / sizeof(line[0]), L"[download] %ls failed, code=%lu\r\n", step, code);
  if (length > 0) OutputDebugStringW(line);
}

bool DownloadWithWinHttp(const std::wstring& url, const std::wstring& path, DWORD access_type, DWORD* error,
                         IDownloadProgress* progress) {
  const std::wstring temp_path = app::DownloadTempPath(path);
  DeleteFileW(temp_path.c_str());
  app::ScopedHandle file(CreateFileW(temp_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) {
    *error = GetLastError();
    return false;
  }

  ScopedInternetHandle session;
  ScopedInternetHandle connection;
  ScopedInternetHandle request;
  bool success = false;
  // One pass; every failure breaks out to the clean-up below.
  do {
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) {
      *error = GetLastError();
      break;
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTPS) {
      *error = ERROR_WINHTTP_SECURE_FAILURE;
      break;
    }
    std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object;
    if (parts.lpszUrlPath) object.append(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty()) object = L"/";

    session.Reset(WinHttpOpen(kUserAgent, access_type, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session.Get()) {
      *error = GetLastError();
      break;
    }
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    WinHttpSetOption(session.Get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof(protocols));
    if (!WinHttpSetTimeouts(session.Get(), 15000, 15000, 15000, 30000)) {
      *error = GetLastError();
      break;
    }
    connection.Reset(WinHttpConnect(session.Get(), host.c_str(), parts.nPort, 0));
    if (!connection.Get()) {
      *error = GetLastError();
      break;
    }
    request.Reset(WinHttpOpenRequest(connection.Get(), L"GET", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                     WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE | WINHTTP_FLAG_REFRESH));
    if (!request.Get()) {
      *error = GetLastError();
      break;
    }
    DWORD decompression = WINHTTP_DECOMPRESSION_FLAG_ALL;
    WinHttpSetOption(request.Get(), WINHTTP_OPTION_DECOMPRESSION, &decompression, sizeof(decompression));
    DWORD redirect_policy = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
    WinHttpSetOption(request.Get(), WINHTTP_OPTION_REDIRECT_POLICY, &redirect_policy, sizeof(redirect_policy));
    if (!WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.Get(), nullptr)) {
      *error = GetLastError();
      break;
    }
    DWORD status = 0;
    DWORD status_size = sizeof(status);
    if (!WinHttpQueryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &status_size, WINHTTP_NO_HEADER_INDEX)) {
      *error = GetLastError();
      break;
    }
    if (status < 200 || status >= 300) {
      *error = status;
      break;
    }
    // The redirect policy is the first guard; the URL of a successful response is the second, for a
    // stack that follows redirects regardless of it. The package must never come in clear.
    std::wstring response_url = ResponseUrl(request.Get());
    if (!response_url.empty() && !app::IsHttpsUrl(response_url.c_str())) {
      *error = ERROR_WINHTTP_REDIRECT_FAILED;
      break;
    }
    int64_t total = 0;
    std::wstring length_text;
    if (QueryHeaderText(request.Get(), WINHTTP_QUERY_CONTENT_LENGTH, &length_text)) {
      total = _wcstoi64(length_text.c_str(), nullptr, 10);
      if (total < 0) total = 0;
    }
    // With a content encoding, Content-Length counts the encoded bytes, and what arrives may be
    // decoded: the body's length can then not be checked against it.
    std::wstring encoding;
    bool encoded = QueryHeaderText(request.Get(), WINHTTP_QUERY_CONTENT_ENCODING, &encoding) && !encoding.empty() &&
                   _wcsicmp(encoding.c_str(), L"identity") != 0;

    std::vector<BYTE> buffer(kReadBufferSize);
    uint64_t done = 0;
    ULONGLONG last_report = GetTickCount64();
    for (;;) {
      DWORD available = 0;
      if (!WinHttpQueryDataAvailable(request.Get(), &available)) {
        *error = GetLastError();
        break;
      }
      if (available == 0) break;
      DWORD wanted = available < kReadBufferSize ? available : kReadBufferSize;
      DWORD read = 0;
      if (!WinHttpReadData(request.Get(), buffer.data(), wanted, &read)) {
        *error = GetLastError();
        break;
      }
      if (read == 0) break;
      DWORD written = 0;
      if (!WriteFile(file.Get(), buffer.data(), read, &written, nullptr) || written != read) {
        *error = GetLastError();
        if (*error == 0) *error = ERROR_WRITE_FAULT;
        break;
      }
      done += read;
      ULONGLONG now = GetTickCount64();
      if (now - last_report >= kReportIntervalMs) {
        last_report = now;
        Report(progress, total, done);
      }
    }
    if (*error != 0) break;
    // A connection closed before Content-Length bytes leaves a truncated package: this attempt
    // failed, and the next one fetches it again.
    if (!encoded && total > 0 && done < static_cast<uint64_t>(total)) {
      *error = ERROR_WINHTTP_CONNECTION_ERROR;
      break;
    }
    Report(progress, total, done);
    FlushFileBuffers(file.Get());
    file.Close();
    DeleteFileW(path.c_str());
    if (MoveFileExW(temp_path.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      success = true;
    } else {
      *error = GetLastError();
    }
  } while (false);

  request.Close();
  connection.Close();
  session.Close();
  file.Close();
  if (!success) DeleteFileW(temp_path.c_str());
  return success;
}

bool DownloadWithUrlmon(const std::wstring& url, const std::wstring& path, IDownloadProgress* progress) {
  const std::wstring temp_path = app::DownloadTempPath(path);
  DeleteFileW(temp_path.c_str());
  UrlDownloadProgressCallback callback(progress);
  HRESULT hr;
  {
    app::ScopedComInit com(app::ScopedComInit::kCom);
    hr = URLDownloadToFileW(nullptr, url.c_str(), temp_path.c_str(), 0, &callback);
  }
  if (callback.left_https() && SUCCEEDED(hr)) hr = E_ABORT;
  if (FAILED(hr)) {
    LogDownloadFailure(L"URLDownloadToFileW", static_cast<unsigned long>(hr));
    DeleteFileW(temp_path.c_str());
    return false;
  }
  // urlmon saves an error page like any other body: a status outside 200..299 fails as it does
  // in the WinHTTP attempts, with the status as its code.
  DWORD status = callback.http_status();
  if (status != 0 && (status < 200 || status >= 300)) {
    LogDownloadFailure(L"URLDownloadToFileW", status);
    DeleteFileW(temp_path.c_str());
    return false;
  }
  int64_t size = QueryFileSize(temp_path);
  // A body shorter than its Content-Length is a package cut short, not a package.
  if (size <= 0 || (callback.expected_length() > 0 && size < callback.expected_length())) {
    LogDownloadFailure(L"URLDownloadToFileW-size", static_cast<unsigned long>(static_cast<uint64_t>(size) & 0xFFFFFFFFu));
    DeleteFileW(temp_path.c_str());
    return false;
  }
  DeleteFileW(path.c_str());
  if (!MoveFileExW(temp_path.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    LogDownloadFailure(L"MoveFileExW-urlmon", GetLastError());
    DeleteFileW(temp_path.c_str());
    return false;
  }
  if (progress) progress->ShowDownloadProgress(size, size);
  return true;
}

bool DownloadPackage(const std::wstring& url, const std::wstring& path, IDownloadProgress* progress) {
  if (!app::IsHttpsUrl(url.c_str())) return false;
  std::wstring folder = app::ParentOfPath(path);
  if (!folder.empty()) CreateDirectoryTree(folder);
  DeleteFileW(app::DownloadTempPath(path).c_str());
  static const DWORD kAccessTypes[] = {WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                       WINHTTP_ACCESS_TYPE_NO_PROXY};
  for (DWORD access_type : kAccessTypes) {
    DWORD error = 0;
    if (DownloadWithWinHttp(url, path, access_type, &error, progress)) return true;
    LogDownloadFailure(L"WinHTTP", error);
  }
  return DownloadWithUrlmon(url, path, progress);
}

// --- UrlDownloadProgressCallback ---

namespace {

// Header `name` of a raw CR LF-separated header block, or empty.
std::wstring HeaderValue(const wchar_t* headers, const wchar_t* name) {
  if (!headers) return std::wstring();
  size_t name_length = wcslen(name);
  const wchar_t* line = headers;
  while (*line) {
    const wchar_t* end = wcspbrk(line, L"\r\n");
    size_t length = end ? static_cast<size_t>(end - line) : wcslen(line);
    if (length > name_length && line[name_length] == L':' && _wcsnicmp(line, name, name_length) == 0) {
      const wchar_t* value = line + name_length + 1;
      const wchar_t* value_end = line + length;
      while (value < value_end && (*value == L' ' || *value == L'\t')) ++value;
      while (value_end > value && (value_end[-1] == L' ' || value_end[-1] == L'\t')) --value_end;
      return std::wstring(value, value_end);
    }
    if (!end) break;
    line = end;
    while (*line == L'\r' || *line == L'\n') ++line;
  }
  return std::wstring();
}

}  // namespace

UrlDownloadProgressCallback::~UrlDownloadProgressCallback() {
  if (binding_) binding_->Release();
}

STDMETHODIMP UrlDownloadProgressCallback::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
    *object = static_cast<IBindStatusCallback*>(this);
    return S_OK;
  }
  if (IsEqualIID(riid, IID_IHttpNegotiate)) {
    *object = static_cast<IHttpNegotiate*>(this);
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP UrlDownloadProgressCallback::OnStartBinding(DWORD, IBinding* binding) {
  if (binding_) binding_->Release();
  binding_ = binding;
  if (binding_) binding_->AddRef();
  return S_OK;
}

STDMETHODIMP UrlDownloadProgressCallback::GetPriority(LONG*) { return E_NOTIMPL; }

STDMETHODIMP UrlDownloadProgressCallback::OnLowResource(DWORD) { return S_OK; }

bool UrlDownloadProgressCallback::StillHttps() {
  if (left_https_) return false;
  if (!binding_) return true;
  app::ScopedComPtr<IWinInetHttpInfo> info;
  if (FAILED(binding_->QueryInterface(IID_IWinInetHttpInfo, info.ReceiveVoid())) || !info.Get()) return true;
  // The option is answered as wide or as narrow text depending on the urlmon: room for both,
  // zeroed, so that either reads as terminated.
  wchar_t url[2048] = {};
  DWORD size = sizeof(url) - sizeof(wchar_t);
  if (FAILED(info->QueryOption(kInternetOptionUrl, url, &size))) return true;
  url[sizeof(url) / sizeof(url[0]) - 1] = L'\0';
  const char* narrow = reinterpret_cast<const char*>(url);
  bool https = (size >= 2 && narrow[1] == '\0') ? app::IsHttpsUrl(url) : _strnicmp(narrow, "https://", 8) == 0;
  if (!https && url[0] != L'\0') left_https_ = true;
  return !left_https_;
}

STDMETHODIMP UrlDownloadProgressCallback::OnProgress(ULONG progress, ULONG progress_max, ULONG status_code,
                                                     LPCWSTR status_text) {
  // The installer runs elevated and executes what it fetches: a redirect from HTTPS to a clear
  // (or unknown) scheme ends the binding, and nothing fetched from it is used.
  if (status_code == BINDSTATUS_REDIRECTING && !app::IsHttpsUrl(status_text)) {
    left_https_ = true;
    return E_ABORT;
  }
  if (!StillHttps()) return E_ABORT;
  if (progress_ && progress_max != 0 && progress != 0) progress_->ShowDownloadProgress(progress_max, progress);
  return S_OK;
}

STDMETHODIMP UrlDownloadProgressCallback::OnStopBinding(HRESULT, LPCWSTR) {
  if (binding_) binding_->Release();
  binding_ = nullptr;
  return S_OK;
}

STDMETHODIMP UrlDownloadProgressCallback::GetBindInfo(DWORD* flags, BINDINFO* info) {
  if (flags) *flags = BINDF_ASYNCHRONOUS | BINDF_GETNEWESTVERSION | BINDF_PULLDATA;
  if (info) {
    // The caller's record may be an older, shorter one: never write past the size it declares.
    DWORD size = info->cbSize;
    if (size >= sizeof(info->cbSize)) {
      std::memset(info, 0, size);
      info->cbSize = size;
    }
  }
  return S_OK;
}

STDMETHODIMP UrlDownloadProgressCallback::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) { return S_OK; }

STDMETHODIMP UrlDownloadProgressCallback::OnObjectAvailable(REFIID, IUnknown*) { return S_OK; }

STDMETHODIMP UrlDownloadProgressCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additional) {
  if (additional) *additional = nullptr;
  return S_OK;
}

STDMETHODIMP UrlDownloadProgressCallback::OnResponse(DWORD status, LPCWSTR response_headers, LPCWSTR,
                                                     LPWSTR* additional) {
  if (additional) *additional = nullptr;
  http_status_ = status;
  std::wstring length = HeaderValue(response_headers, L"Content-Length");
  std::wstring encoding = HeaderValue(response_headers, L"Content-Encoding");
  expected_length_ = -1;
  if (!length.empty() && (encoding.empty() || _wcsicmp(encoding.c_str(), L"identity") == 0)) {
    expected_length_ = _wcstoi64(length.c_str(), nullptr, 10);
    if (expected_length_ <= 0) expected_length_ = -1;
  }
  if (!StillHttps()) return E_ABORT;
  return S_OK;
}
