#ifndef BASE_SYSTEM_LIBRARY_H_
#define BASE_SYSTEM_LIBRARY_H_

#include <windows.h>

#include <string>

namespace kbase {

// The system folder (System32, or SysWOW64's view of it for a 32-bit program on 64-bit Windows);
// empty when Windows cannot say.
std::wstring SystemFolder();

// Loads a DLL that ships with Windows from the system folder and nowhere else, whatever the
// process's DLL search path: an elevated program started from Downloads must never pick up a
// planted DLL of the same name. Returns null when the system folder has no such DLL.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of a system DLL loaded as above, as a pointer of type Fn; null when either is missing.
// The programs import statically only DLLs that Windows always maps from the system folder; the
// functions of every other system DLL are bound through this.
template <typename Fn>
Fn GetSystemProc(const wchar_t* dll, const char* name) {
  HMODULE module = LoadSystemLibrary(dll);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Restricts the process's DLL search to the system folder (and drops the current folder from the
// older search order) for everything loaded by name from now on. SetDefaultDllDirectories is
// looked up, not imported: Windows without the loader update lacks it and still starts us.
// True when the restriction to the system folder is in force.
bool RestrictDllSearchPath();

}  // namespace kbase

#endif  // BASE_SYSTEM_LIBRARY_H_
