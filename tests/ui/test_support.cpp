#include "tests/ui/test_support.h"

#include <cstdlib>
#include <cwchar>

namespace ZQUI {
namespace test {

std::wstring DataPath(const wchar_t* name) {
  const wchar_t* folder = _wgetenv(L"UI_TEST_DATA");
  std::wstring path = folder ? folder : L".";
  // The build hands over a Unix folder; Wine maps the Unix root to drive Z:.
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& ch : path) {
    if (ch == L'/') ch = L'\\';
  }
  return path + L"\\" + name;
}

std::wstring MakeTempFolder() {
  wchar_t base[MAX_PATH + 1] = {0};
  GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  wchar_t name[MAX_PATH + 32];
  swprintf(name, sizeof(name) / sizeof(name[0]), L"%lsui_test_%lu_%u", base, GetCurrentProcessId(), ++counter);
  CreateDirectoryW(name, nullptr);
  return name;
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolder(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
  return ok && written == size;
}

std::string ReadFileBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  DWORD size = GetFileSize(file, nullptr);
  bytes.resize(size);
  DWORD read = 0;
  if (size > 0) ReadFile(file, &bytes[0], size, &read, nullptr);
  bytes.resize(read);
  CloseHandle(file);
  return bytes;
}

ManagerWindow::ManagerWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ZquiTestManagerWindow";
  RegisterClassW(&wc);
  m_hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
  if (m_hwnd != nullptr) {
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_manager.Init(m_hwnd, L"test");
  }
}

ManagerWindow::~ManagerWindow() {
  if (m_hwnd != nullptr) {
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
  }
}

void ManagerWindow::Pump() {
  MSG msg;
  while (PeekMessageW(&msg, m_hwnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

LRESULT CALLBACK ManagerWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ManagerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self != nullptr) {
    LRESULT result = 0;
    if (self->m_manager.MessageHandler(msg, wParam, lParam, result)) return result;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

namespace {

bool IsResourceElement(const wchar_t* name) {
  static const wchar_t* const kNames[] = {L"Font", L"Default", L"Style", L"Image", L"Import"};
  for (const wchar_t* n : kNames) {
    if (_wcsicmp(name, n) == 0) return true;
  }
  return false;
}

CControlUI* CreateFor(const wchar_t* name) {
  if (_wcsicmp(name, L"VerticalLayout") == 0) return new CVerticalLayoutUI();
  if (_wcsicmp(name, L"HorizontalLayout") == 0) return new CHorizontalLayoutUI();
  if (_wcsicmp(name, L"Container") == 0) return new CContainerUI();
  return new CControlUI();
}

CControlUI* BuildElement(CMarkupNode node, CContainerUI* parent) {
  CControlUI* control = CreateFor(node.GetName());
  auto* container = static_cast<CContainerUI*>(control->GetInterface(L"Container"));
  if (container != nullptr && node.HasChildren()) BuildChildren(node, container);
  if (parent != nullptr && !parent->Add(control)) {
    delete control;
    return nullptr;
  }
  for (int i = 0; i < node.GetAttributeCount(); ++i) {
    control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
  }
  return control;
}

}  // namespace

CControlUI* BuildChildren(CMarkupNode node, CContainerUI* parent) {
  CControlUI* first = nullptr;
  for (CMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
    if (IsResourceElement(child.GetName())) continue;
    CControlUI* control = BuildElement(child, parent);
    if (first == nullptr) first = control;
  }
  return first;
}

CControlUI* BuildTree(CMarkup& markup, const wchar_t* xml) {
  if (!markup.Load(xml)) return nullptr;
  CMarkupNode root = markup.GetRoot();
  if (!root.IsValid()) return nullptr;
  if (_wcsicmp(root.GetName(), L"Window") == 0) return BuildChildren(root, nullptr);
  return BuildElement(root, nullptr);
}

DWORD BackBufferPixel(CPaintManagerUI& pm, int x, int y) {
  SIZE client = pm.GetClientSize();
  const BYTE* bits = pm.GetOffscreenBits();
  if (bits == nullptr || x < 0 || y < 0 || x >= client.cx || y >= client.cy) return 0xFFFFFFFF;
  // Rows are stored bottom-up.
  const BYTE* p = bits + (static_cast<size_t>(client.cy - 1 - y) * client.cx + x) * 4;
  return (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[1]) << 8) | p[0];
}

void PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  MSG msg;
  do {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (GetTickCount() - start < ms);
}

}  // namespace test
}  // namespace ZQUI
