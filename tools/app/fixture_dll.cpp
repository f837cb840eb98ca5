// Stand-in for the product's self-registering DLLs (Rtf\beconv.dll, docfoldMenu64.dll). Its
// DllRegisterServer leaves "<dll path>.registered" beside it, naming the bitness of the process
// that registered it and that process's image; DllUnregisterServer removes it.
#include <windows.h>

#include <cstdio>

namespace {

HMODULE g_module = nullptr;

bool MarkerPath(wchar_t* marker, size_t capacity) {
  wchar_t own[MAX_PATH * 4];
  DWORD length = GetModuleFileNameW(g_module, own, sizeof(own) / sizeof(own[0]));
  if (length == 0 || length >= sizeof(own) / sizeof(own[0])) return false;
  int written = swprintf(marker, capacity, L"%ls.registered", own);
  return written > 0 && static_cast<size_t>(written) < capacity;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t marker[MAX_PATH * 4 + 16];
  if (!MarkerPath(marker, sizeof(marker) / sizeof(marker[0]))) return E_FAIL;
  wchar_t host[MAX_PATH * 4];
  DWORD host_length = GetModuleFileNameW(nullptr, host, sizeof(host) / sizeof(host[0]));
  if (host_length == 0 || host_length >= sizeof(host) / sizeof(host[0])) host[0] = L'\0';
  wchar_t record[MAX_PATH * 4 + 64];
  int length = swprintf(record, sizeof(record) / sizeof(record[0]), L"bits=%d\r\nhost=%ls\r\n",
                        static_cast<int>(sizeof(void*) * 8), host);
  if (length <= 0) return E_FAIL;
  HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return E_FAIL;
  DWORD written = 0;
  WriteFile(file, record, static_cast<DWORD>(length * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  return S_OK;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
  wchar_t marker[MAX_PATH * 4 + 16];
  if (!MarkerPath(marker, sizeof(marker) / sizeof(marker[0]))) return E_FAIL;
  DeleteFileW(marker);
  return S_OK;
}
