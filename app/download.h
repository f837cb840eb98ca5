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
// reference-counted. Besides reporting progress it watches the response: it aborts the binding
// when the transfer leaves HTTPS (urlmon follows redirects by itself, and not every urlmon
// reports them), and remembers the HTTP status and declared length so that an error page or a
// body cut short is not taken for the package.
class UrlDownloadProgressCallback : public IBindStatusCallback, public IHttpNegotiate {
 public:
  explicit UrlDownloadProgressCallback(IDownloadProgress* progress) : progress_(progress) {}
  virtual ~UrlDownloadProgressCallback();

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

  // IHttpNegotiate.
  STDMETHODIMP BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved, LPWSTR* additional) override;
  STDMETHODIMP OnResponse(DWORD status, LPCWSTR response_headers, LPCWSTR request_headers,
                          LPWSTR* additional) override;

  // True once the binding was aborted because the transfer left HTTPS.
  bool left_https() const { return left_https_; }
  // The HTTP status of the response, 0 when none was seen.
  DWORD http_status() const { return http_status_; }
  // The response's Content-Length, -1 when it had none or carried a content encoding.
  int64_t expected_length() const { return expected_length_; }

 private:
  // False (and the binding marked as left) when the binding's current URL is not HTTPS.
  bool StillHttps();

  IDownloadProgress* progress_;
  IBinding* binding_ = nullptr;
  bool left_https_ = false;
  DWORD http_status_ = 0;
  int64_t expected_length_ = -1;
};

namespace app {

// Path of the companion file a transfer writes into.
std::wstring DownloadTempPath(const std::wstring& path);

// True when `url` starts with "https://", ignoring case.
bool IsHttpsUrl(const wchar_t* url);

}  // namespace app
