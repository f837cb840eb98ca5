/* A DLL planted beside a program under the name of a system DLL, as a web page can leave one in
 * the Downloads folder. Loaded into a process, it leaves "<its own path>.ran" naming that process.
 * Its exports (the names the program would import from the real DLL, listed in a .def file made by
 * the build) all lead to one stub: any call means the planted code already ran. */
#include <windows.h>

#include <wchar.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t own[MAX_PATH * 2];
  wchar_t host[MAX_PATH * 2];
  wchar_t marker[MAX_PATH * 2 + 8];
  DWORD length = GetModuleFileNameW(instance, own, sizeof(own) / sizeof(own[0]));
  if (length == 0 || length >= sizeof(own) / sizeof(own[0])) return TRUE;
  DWORD host_length = GetModuleFileNameW(NULL, host, sizeof(host) / sizeof(host[0]));
  if (host_length == 0 || host_length >= sizeof(host) / sizeof(host[0])) host_length = 0;
  if (swprintf(marker, sizeof(marker) / sizeof(marker[0]), L"%ls.ran", own) < 0) return TRUE;
  HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, host, host_length * sizeof(wchar_t), &written, NULL);
    CloseHandle(file);
  }
  return TRUE;
}

int planted_stub(void) { return 0; }
