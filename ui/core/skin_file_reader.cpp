#include "ui/core/skin_file_reader.h"

#include <cstring>

#include "archive/zip_reader.h"
#include "ui/core/dui_string.h"
#include "ui/core/paint_manager.h"

namespace ZQUI {

namespace {

bool ReadFromModule(const wchar_t* name, const wchar_t* type, HINSTANCE instance, std::vector<BYTE>* bytes) {
  if (instance == nullptr) instance = CPaintManagerUI::GetResourceDll();
  HRSRC resource = FindResourceW(instance, name, type);
  if (resource == nullptr) return false;
  HGLOBAL loaded = ::LoadResource(instance, resource);
  DWORD size = SizeofResource(instance, resource);
  if (loaded == nullptr || size == 0 || size > kMaxSkinItemBytes) return false;
  const void* data = LockResource(loaded);
  if (data == nullptr) return false;
  bytes->assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
  return true;
}

bool ReadFromArchive(const wchar_t* name, std::vector<BYTE>* bytes) {
  HZIP zip = nullptr;
  bool owned = false;
  if (CPaintManagerUI::IsCachedResourceZip()) {
    zip = CPaintManagerUI::GetResourceZipHandle();
  } else {
    CDuiString path = CPaintManagerUI::GetResourcePath();
    path += CPaintManagerUI::GetResourceZip();
    char password[256] = {0};
    const CDuiString& wide = CPaintManagerUI::GetResourceZipPwd();
    if (!wide.IsEmpty() &&
        WideCharToMultiByte(CP_ACP, 0, wide, -1, password, static_cast<int>(sizeof(password)), nullptr,
                            nullptr) <= 0) {
      password[0] = '\0';
    }
    password[sizeof(password) - 1] = '\0';
    zip = ZipOpenFile(path, password[0] ? password : nullptr);
    owned = true;
  }
  if (zip == nullptr) return false;

  CDuiString item(name);
  item.Replace(L"\\", L"/");
  bool ok = false;
  int index = -1;
  ZipEntry entry;
  memset(&entry, 0, sizeof(entry));
  if (ZipFindEntry(zip, item, true, &index, &entry) == ZIP_OK && entry.unpacked_size > 0 &&
      static_cast<DWORD>(entry.unpacked_size) <= kMaxSkinItemBytes) {
    // The buffer starts zeroed, so a short entry never hands on uninitialised bytes.
    bytes->assign(static_cast<size_t>(entry.unpacked_size), 0);
    uint32_t result = ZipExtractToMemory(zip, index, bytes->data(), static_cast<unsigned>(bytes->size()));
    ok = result == ZIP_OK || result == ZIP_MORE_DATA;
    if (!ok) bytes->clear();
  }
  if (owned) ZipClose(zip);
  return ok;
}

}  // namespace

bool ReadWholeFile(const wchar_t* path, std::vector<BYTE>* bytes) {
  bytes->clear();
  if (path == nullptr || *path == L'\0') return false;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = false;
  DWORD high = 0;
  DWORD size = GetFileSize(file, &high);
  if (size != INVALID_FILE_SIZE && high == 0 && size > 0 && size <= kMaxSkinItemBytes) {
    bytes->assign(size, 0);
    DWORD read = 0;
    ok = ReadFile(file, bytes->data(), size, &read, nullptr) && read == size;
  }
  CloseHandle(file);
  if (!ok) bytes->clear();
  return ok;
}

bool ReadSkinItem(const wchar_t* name, const wchar_t* type, HINSTANCE instance, std::vector<BYTE>* bytes) {
  bytes->clear();
  if (name == nullptr) return false;
  if (type != nullptr && *type != L'\0') return ReadFromModule(name, type, instance, bytes);
  if (IS_INTRESOURCE(name) || *name == L'\0') return false;
  if (!CPaintManagerUI::GetResourceZip().IsEmpty()) return ReadFromArchive(name, bytes);
  CDuiString path = CPaintManagerUI::GetResourcePath();
  path += name;
  if (ReadWholeFile(path, bytes)) return true;
  return ReadWholeFile(name, bytes);
}

}  // namespace ZQUI
