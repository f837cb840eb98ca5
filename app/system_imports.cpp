// The installer's functions from WinHTTP, urlmon and version: system DLLs that Windows does not
// always map from the system folder, so a DLL of the same name planted beside the elevated
// installer (in Downloads, say) would be loaded in their place were they imported. The program
// defines them itself instead, with the headers' own signatures, and each binds the real function
// from the system folder on its first call. A function that cannot be bound fails as the system's
// would, with ERROR_PROC_NOT_FOUND.
#include <windows.h>

#include <urlmon.h>
#include <winhttp.h>
#include <winver.h>

#include "base/system_library.h"

namespace {

constexpr wchar_t kWinHttp[] = L"winhttp.dll";
constexpr wchar_t kUrlmon[] = L"urlmon.dll";
constexpr wchar_t kVersion[] = L"version.dll";

template <typename Result>
Result Unavailable(Result failure) {
  SetLastError(ERROR_PROC_NOT_FOUND);
  return failure;
}

}  // namespace

extern "C" {

HINTERNET WINAPI WinHttpOpen(LPCWSTR agent, DWORD access, LPCWSTR proxy, LPCWSTR bypass, DWORD flags) {
  static const auto real = kbase::GetSystemProc<decltype(&WinHttpOpen)>(kWinHttp, "WinHttpOpen");
  return real ? real(agent, access, proxy, bypass, flags) : Unavailable<HINTERNET>(nullptr);
}

HINTERNET WINAPI WinHttpConnect(HINTERNET session, LPCWSTR server, INTERNET_PORT port, DWORD reserved) {
  static const auto real = kbase::GetSystemProc<decltype(&WinHttpConnect)>(kWinHttp, "WinHttpConnect");
  return real ? real(session, server, port, reserved) : Unavailable<HINTERNET>(nullptr);
}

HINTERNET WINAPI WinHttpOpenRequest(HINTERNET connection, LPCWSTR verb, LPCWSTR object, LPCWSTR version,
                                    LPCWSTR referrer, LPCWSTR* accept_types, DWORD flags) {
  static const auto real = kbase::GetSystemProc<decltype(&WinHttpOpenRequest)>(kWinHttp, "WinHttpOpenRequest");
  return real ? real(connection, verb, object, version, referrer, accept_types, flags)
              : Unavailable<HINTERNET>(nullptr);
}

WINBOOL WINAPI WinHttpCloseHandle(HINTERNET handle) {
  static const auto real = kbase::GetSystemProc<decltype(&WinHttpCloseHandle)>(kWinHttp, "WinHttpCloseHandle");
  return real ? real(handle) : Unavailable<WINBOOL>(FALSE);
}

WINBOOL WINAPI WinHttpCrackUrl(LPCWSTR url, DWORD length, DWORD flags, LPURL_COMPONENTS components) {
  static const auto real = kbase::GetSystemProc<decltype(&WinHttpCrackUrl)>(kWinHttp, "WinHttpCrackUrl");
  return real ? real(url, length, flags, components) : Unavailable<WINBOOL>(FALSE);
}

WINBOOL WINAPI WinHttpSetOption(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length) {
  static const auto real = kbase::GetSystemProc<decltype(&WinHttpSetOption)>(kWinHttp, "WinHttpSetOption");
  return real ? real(handle, option, buffer, length) : Unavailable<WINBOOL>(FALSE);
}

WINBOOL WINAPI WinHttpQueryOption(HINTERNET handle, DWORD option, LPVOID buffer, LPDWORD length) {
  static const auto real = kbase::GetSystemProc<decltype(&WinHttpQueryOption)>(kWinHttp, "WinHttpQueryOption");
  return real ? real(handle, option, buffer, length) : Unavailable<WINBOOL>(FALSE);
}

WINBOOL WINAPI WinHttpSetTimeouts(HINTERNET handle, int resolve, int connect, int send, int receive) {
  static const auto real = kbase::GetSystemProc<decltype(&WinHttpSetTimeouts)>(kWinHttp, "WinHttpSetTimeouts");
  return real ? real(handle, resolve, connect, send, receive) : Unavailable<WINBOOL>(FALSE);
}

WINBOOL WINAPI WinHttpSendRequest(HINTERNET request, LPCWSTR headers, DWORD headers_length, LPVOID optional,
                                  DWORD optional_length, DWORD total_length, DWORD_PTR context) {
  static const auto real = kbase::GetSystemProc<decltype(&WinHttpSendRequest)>(kWinHttp, "WinHttpSendRequest");
  return real ? real(request, headers, headers_length, optional, optional_length, total_length, context)
              : Unavailable<WINBOOL>(FALSE);
}

WINBOOL WINAPI WinHttpReceiveResponse(HINTERNET request, LPVOID reserved) {
  static const auto real =
      kbase::GetSystemProc<decltype(&WinHttpReceiveResponse)>(kWinHttp, "WinHttpReceiveResponse");
  return real ? real(request, reserved) : Unavailable<WINBOOL>(FALSE);
}

WINBOOL WINAPI WinHttpQueryHeaders(HINTERNET request, DWORD level, LPCWSTR name, LPVOID buffer, LPDWORD length,
                                   LPDWORD index) {
  static const auto real = kbase::GetSystemProc<decltype(&WinHttpQueryHeaders)>(kWinHttp, "WinHttpQueryHeaders");
  return real ? real(request, level, name, buffer, length, index) : Unavailable<WINBOOL>(FALSE);
}

WINBOOL WINAPI WinHttpQueryDataAvailable(HINTERNET request, LPDWORD available) {
  static const auto real =
      kbase::GetSystemProc<decltype(&WinHttpQueryDataAvailable)>(kWinHttp, "WinHttpQueryDataAvailable");
  return real ? real(request, available) : Unavailable<WINBOOL>(FALSE);
}

WINBOOL WINAPI WinHttpReadData(HINTERNET request, LPVOID buffer, DWORD to_read, LPDWORD read) {
  static const auto real = kbase::GetSystemProc<decltype(&WinHttpReadData)>(kWinHttp, "WinHttpReadData");
  return real ? real(request, buffer, to_read, read) : Unavailable<WINBOOL>(FALSE);
}

HRESULT WINAPI URLDownloadToFileW(LPUNKNOWN caller, LPCWSTR url, LPCWSTR file, DWORD reserved,
                                  LPBINDSTATUSCALLBACK callback) {
  static const auto real = kbase::GetSystemProc<decltype(&URLDownloadToFileW)>(kUrlmon, "URLDownloadToFileW");
  return real ? real(caller, url, file, reserved, callback)
              : Unavailable<HRESULT>(HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
}

DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR file, LPDWORD handle) {
  static const auto real =
      kbase::GetSystemProc<decltype(&GetFileVersionInfoSizeW)>(kVersion, "GetFileVersionInfoSizeW");
  return real ? real(file, handle) : Unavailable<DWORD>(0);
}

WINBOOL WINAPI GetFileVersionInfoW(LPCWSTR file, DWORD handle, DWORD length, LPVOID data) {
  static const auto real = kbase::GetSystemProc<decltype(&GetFileVersionInfoW)>(kVersion, "GetFileVersionInfoW");
  return real ? real(file, handle, length, data) : Unavailable<WINBOOL>(FALSE);
}

WINBOOL WINAPI VerQueryValueW(LPCVOID block, LPCWSTR sub_block, LPVOID* buffer, PUINT length) {
  static const auto real = kbase::GetSystemProc<decltype(&VerQueryValueW)>(kVersion, "VerQueryValueW");
  return real ? real(block, sub_block, buffer, length) : Unavailable<WINBOOL>(FALSE);
}

}  // extern "C"
