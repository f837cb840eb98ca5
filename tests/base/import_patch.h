#ifndef TESTS_BASE_IMPORT_PATCH_H_
#define TESTS_BASE_IMPORT_PATCH_H_

#include <windows.h>

#include <cstring>

namespace kbase_test {

// Redirects one function that this program imports from a system DLL, for the object's lifetime,
// by rewriting the program's own import address table. The framework is linked into the test
// program, so its calls (a pump's wait, its timer) reach the replacement and a test can see the
// exact arguments, and answer at once instead of waiting; system DLLs keep calling the original.
// The replacement is reached from every thread of the program: it hands calls that are not the
// test's own on to original().
class ScopedImportPatch {
 public:
  ScopedImportPatch(const char* dll, const char* function, void* replacement) {
    BYTE* const base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
      return;
    for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name != 0; ++module) {
      if (_stricmp(reinterpret_cast<const char*>(base + module->Name), dll) != 0 || module->OriginalFirstThunk == 0)
        continue;
      const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
      for (; names->u1.AddressOfData != 0; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
          continue;
        const auto* by_name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) != 0)
          continue;
        slot_ = reinterpret_cast<void**>(&slots->u1.Function);
        original_ = *slot_;
        Write(replacement);
        return;
      }
    }
  }
  ~ScopedImportPatch() {
    if (slot_)
      Write(original_);
  }
  ScopedImportPatch(const ScopedImportPatch&) = delete;
  ScopedImportPatch& operator=(const ScopedImportPatch&) = delete;

  bool installed() const { return slot_ != nullptr; }
  void* original() const { return original_; }

 private:
  void Write(void* value) {
    DWORD protection = 0;
    VirtualProtect(slot_, sizeof(*slot_), PAGE_READWRITE, &protection);
    *slot_ = value;
    VirtualProtect(slot_, sizeof(*slot_), protection, &protection);
  }

  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace kbase_test

#endif  // TESTS_BASE_IMPORT_PATCH_H_
