#include "app/folder_picker.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "app/scoped_handles.h"
#include "app/shell_folders.h"

namespace {

// The Vista dialog. Returns false when the dialog cannot be created at all; `path` is set only
// when the user picked a folder.
bool PickWithFileDialog(HWND owner, std::wstring* path, const std::wstring& title) {
  app::ScopedComPtr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                              dialog.ReceiveVoid()))) {
    return false;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  if (SUCCEEDED(dialog->GetOptions(&options))) dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
  std::wstring base = GetDefaultBaseFolder();
  if (!base.empty()) {
    app::ScopedComPtr<IShellItem> start;
    if (SUCCEEDED(SHCreateItemFromParsingName(base.c_str(), nullptr, IID_IShellItem, start.ReceiveVoid()))) {
      dialog->SetFolder(start.Get());
    }
  }
  dialog->SetTitle(title.c_str());
  if (SUCCEEDED(dialog->Show(owner))) {
    app::ScopedComPtr<IShellItem> result;
    if (SUCCEEDED(dialog->GetResult(result.Receive()))) {
      app::ScopedCoMem<wchar_t> name;
      if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, name.Receive())) && name.Get()) *path = name.Get();
    }
  }
  return true;
}

}  // namespace

bool BrowseForFolder(HWND owner, std::wstring* path, const std::wstring& title) {
  path->clear();
  bool dialog_created;
  {
    app::ScopedComInit com(app::ScopedComInit::kCom, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    dialog_created = PickWithFileDialog(owner, path, title);
  }
  if (!path->empty()) return true;
  if (dialog_created) return false;

  // Older systems: the classic folder browser.
  wchar_t display_name[MAX_PATH] = {};
  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  info.pszDisplayName = display_name;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  app::ScopedCoMem<ITEMIDLIST> items;
  *items.Receive() = SHBrowseForFolderW(&info);
  if (!items.Get()) return false;
  wchar_t chosen[MAX_PATH] = {};
  if (SHGetPathFromIDListW(items.Get(), chosen)) {
    chosen[MAX_PATH - 1] = L'\0';
    *path = chosen;
    return !path->empty();
  }
  SetCurrentDirectoryW(GetOwnDirectory().c_str());
  return false;
}
