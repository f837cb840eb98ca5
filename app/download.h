// Fetching the product package over HTTPS: three WinHTTP attempts with the three proxy modes,
// then one urlmon attempt. Bytes go to "<path>.download" and are moved to `path` only after a
// complete transfer. Each failed attempt writes one debugger-output line. Worker thread only.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <string>

#include "app/install_window.h"

// True when the file at `path` is the complete response body of `url`. `progress` (may be null)
// receives the byte counts while they arrive.
bool DownloadPackage(const std::wstring& url, const std::wstring& path, IDownloadProgress* progress);

// One WinHTTP attempt with the given WinHttpOpen access type. On false, `error` holds the last
// error of the failing call, the HTTP status outside 200..299, or a WinHTTP error code for a
// non-HTTPS URL, a redirect to a non-HTTPS URL or a body cut short.
bool DownloadWithWinHttp(const std::wstring& url, const std::wstring& path, DWORD access_type, DWORD* error,
                         IDownloadProgress* progress);

// One urlmon (URLDownloadToFileW) attempt.
bool DownloadWithUrlmon(const std::wstring& url, const std::wstring& path, IDownloadProgress* progress);

// Writes "[download] <step> failed, code=<code>\r\n" to the debugger output.
void LogDownloadFailure(const wchar_t* step, unsigned long code);

// The bind-status callback of the urlmon attempt. It lives on the attempt's stack and is not
// reference-counted. It aborts the binding on a redirect that leaves HTTPS.
class UrlDownloadProgressCallback : public IBindStatusCallback {
 public:
  explicit UrlDownloadProgressCallback(IDownloadProgress* progress) : progress_(progress) {}
  virtual ~UrlDownloadProgressCallback() = default;

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP OnStartBinding(DWORD reserved, IBinding* binding) override;
  STDMETHODIMP GetPriority(LONG* priority) override;
  STDMETHODIMP OnLowResource(DWORD reserved) override;
  STDMETHODIMP OnProgress(ULONG progress, ULONG progress_max, ULONG status_code, LPCWSTR status_text) override;
  STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR error) override;
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override;
  STDMETHODIMP OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP OnObjectAvailable(REFIID riid, IUnknown* object) override;

  // True once the binding was aborted because it was redirected away from HTTPS.
  bool left_https() const { return left_https_; }

 private:
  IDownloadProgress* progress_;
  bool left_https_ = false;
};

namespace app {

// Path of the companion file a transfer writes into.
std::wstring DownloadTempPath(const std::wstring& path);

// True when `url` starts with "https://", ignoring case.
bool IsHttpsUrl(const wchar_t* url);

}  // namespace app
