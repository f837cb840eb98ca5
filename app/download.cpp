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
    // The redirect policy is the first guard; the response's own URL is the second, for a
    // stack that follows redirects regardless of it. The package must never come in clear.
    std::wstring response_url = ResponseUrl(request.Get());
    if (!response_url.empty() && !app::IsHttpsUrl(response_url.c_str())) {
      *error = ERROR_WINHTTP_REDIRECT_FAILED;
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
  int64_t size = QueryFileSize(temp_path);
  if (size <= 0) {
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

STDMETHODIMP UrlDownloadProgressCallback::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
    *object = static_cast<IBindStatusCallback*>(this);
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP UrlDownloadProgressCallback::OnStartBinding(DWORD, IBinding*) { return S_OK; }

STDMETHODIMP UrlDownloadProgressCallback::GetPriority(LONG*) { return E_NOTIMPL; }

STDMETHODIMP UrlDownloadProgressCallback::OnLowResource(DWORD) { return S_OK; }

STDMETHODIMP UrlDownloadProgressCallback::OnProgress(ULONG progress, ULONG progress_max, ULONG status_code,
                                                     LPCWSTR status_text) {
  // The installer runs elevated and executes what it fetches: a redirect from HTTPS to a clear
  // (or unknown) scheme ends the binding before anything is read from it.
  if (status_code == BINDSTATUS_REDIRECTING && !app::IsHttpsUrl(status_text)) {
    left_https_ = true;
    return E_ABORT;
  }
  if (progress_ && progress_max != 0 && progress != 0) progress_->ShowDownloadProgress(progress_max, progress);
  return S_OK;
}

STDMETHODIMP UrlDownloadProgressCallback::OnStopBinding(HRESULT, LPCWSTR) { return S_OK; }

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
