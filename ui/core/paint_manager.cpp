#include "ui/core/paint_manager.h"

#include <cwchar>
#include <new>
#include <vector>

#include "base/system_library.h"
#include "ui/control/rich_edit.h"
#include "ui/core/control.h"

namespace ZQUI {

namespace {

CStdPtrArray& Managers() {
  static CStdPtrArray managers;
  return managers;
}

CStdPtrArray& Plugins() {
  static CStdPtrArray plugins;
  return plugins;
}

struct FindClassInfo {
  CPaintManagerUI* manager;
  const wchar_t* className;
};

bool ClassMatches(CControlUI* control, const wchar_t* className) {
  if (className == nullptr) return false;
  if (wcscmp(className, L"*") == 0) return true;
  const wchar_t* own = control->GetClass();
  return own != nullptr && wcscmp(own, className) == 0;
}

// Removes every occurrence of `item` from `list`.
void RemoveAll(CStdPtrArray& list, void* item) {
  for (int i = list.GetSize() - 1; i >= 0; --i) {
    if (list.GetAt(i) == item) list.Remove(i);
  }
}

// Each manager holds its own GDI+ start-up token, taken through the flat entry points so that
// the manager itself needs no import of GDI+.
struct GdiplusStartupInputV1 {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};

using GdiplusStartupFn = int(WINAPI*)(ULONG_PTR*, const GdiplusStartupInputV1*, void*);
using GdiplusShutdownFn = void(WINAPI*)(ULONG_PTR);

HMODULE GdiplusModule() {
  static HMODULE module = kbase::LoadSystemLibrary(L"gdiplus.dll");
  return module;
}

void ProcessWideGraphicsSetup() {
  static bool done = false;
  if (done) return;
  done = true;
  // InitCommonControls is ordinal 17 of comctl32. By name, so that the manifest's common-controls
  // version is the one loaded; the search path has no folder but the system's by now.
  if (HMODULE comctl = LoadLibraryW(L"comctl32.dll")) {
    using InitFn = void(WINAPI*)();
    auto init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(comctl, MAKEINTRESOURCEA(17))));
    if (init != nullptr) init();
  }
  kbase::LoadSystemLibrary(L"msimg32.dll");
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() {
  ProcessWideGraphicsSetup();
  UpdateRectPen();
  if (HMODULE gdiplus = GdiplusModule()) {
    auto startup =
        reinterpret_cast<GdiplusStartupFn>(reinterpret_cast<void*>(GetProcAddress(gdiplus, "GdiplusStartup")));
    GdiplusStartupInputV1 input;
    if (startup != nullptr && startup(&m_gdiplusToken, &input, nullptr) != 0) m_gdiplusToken = 0;
  }
  CShadowUI::Initialize(GetInstance());
}

CShadowUI* CPaintManagerUI::GetShadow() { return &m_shadow; }

void CPaintManagerUI::AttachShadow() { m_shadow.Create(this); }

bool CPaintManagerUI::FocusWantsTab() const {
  if (m_pFocus == nullptr) return false;
  auto* edit = static_cast<CRichEditUI*>(m_pFocus->GetInterface(L"RichEdit"));
  return edit != nullptr && edit->IsWantTab();
}

CPaintManagerUI::~CPaintManagerUI() {
  // Delayed-cleanup controls first: they may still be referenced by nothing but this list.
  CStdPtrArray cleanup(m_aDelayedCleanup);
  m_aDelayedCleanup.Empty();
  for (int i = 0; i < cleanup.GetSize(); ++i) delete static_cast<CControlUI*>(cleanup.GetAt(i));
  for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) delete static_cast<TNotifyUI*>(m_aAsyncNotify.GetAt(i));
  m_aAsyncNotify.Empty();
  m_mNameHash.Resize(0);
  CControlUI* root = m_pRoot;
  m_pRoot = nullptr;
  delete root;
  // Anything the tree handed over while being deleted goes as well.
  while (m_aDelayedCleanup.GetSize() > 0) {
    CStdPtrArray late(m_aDelayedCleanup);
    m_aDelayedCleanup.Empty();
    for (int i = 0; i < late.GetSize(); ++i) delete static_cast<CControlUI*>(late.GetAt(i));
  }
  if (m_defaultFont.hFont) DeleteObject(m_defaultFont.hFont);
  RemoveAllStyle(false);
  RemoveAllDefaultAttributeList(false);
  RemoveAllOptionGroups();
  RemoveAllTimers();
  if (m_hwndTooltip != nullptr && IsWindow(m_hwndTooltip)) DestroyWindow(m_hwndTooltip);
  m_hwndTooltip = nullptr;
  FreeBackBuffer();
  FreeBackground();
  if (m_hDcPaint) ReleaseDC(m_hWndPaint, m_hDcPaint);
  int index = Managers().Find(this);
  if (index >= 0) Managers().Remove(index);
  if (m_gdiplusToken != 0) {
    auto shutdown = reinterpret_cast<GdiplusShutdownFn>(
        reinterpret_cast<void*>(GetProcAddress(GdiplusModule(), "GdiplusShutdown")));
    if (shutdown != nullptr) shutdown(m_gdiplusToken);
  }
  delete m_pDPI;
}

void CPaintManagerUI::Init(HWND window, const wchar_t* name) {
  m_mNameHash.Resize(83);
  RemoveAllFonts(false);
  RemoveAllImages(false);
  RemoveAllStyle(false);
  RemoveAllDefaultAttributeList(false);
  RemoveAllWindowCustomAttribute();
  RemoveAllOptionGroups();
  RemoveAllTimers();
  m_sName = name ? name : L"";
  if (m_hWndPaint != window) {
    if (m_hDcPaint) ReleaseDC(m_hWndPaint, m_hDcPaint);
    m_hWndPaint = window;
    m_hDcPaint = window ? GetDC(window) : nullptr;
    if (Managers().Find(this) < 0) Managers().Add(this);
  }
}

bool CPaintManagerUI::IsValid() const { return m_hWndPaint != nullptr && m_pRoot != nullptr; }
HWND CPaintManagerUI::GetPaintWindow() const { return m_hWndPaint; }
HDC CPaintManagerUI::GetPaintDC() const { return m_hDcPaint; }
HWND CPaintManagerUI::GetTooltipWindow() const { return m_hwndTooltip; }
CControlUI* CPaintManagerUI::GetRoot() const { return m_pRoot; }
POINT CPaintManagerUI::GetMousePos() const { return m_ptLastMousePos; }
LPARAM CPaintManagerUI::GetMainWnd() const {
  if (m_hWndPaint == nullptr) return 0;
  return static_cast<LPARAM>(GetWindowLongPtrW(m_hWndPaint, GWLP_USERDATA));
}
int CPaintManagerUI::GetHoverTime() const { return m_iHoverTime; }
void CPaintManagerUI::SetHoverTime(int time) { m_iHoverTime = time; }
bool CPaintManagerUI::IsNoActivate() const { return m_bNoActivate; }
void CPaintManagerUI::SetNoActivate(bool noActivate) { m_bNoActivate = noActivate; }
void CPaintManagerUI::UsedVirtualWnd(bool used) { m_bUsedVirtualWnd = used; }
bool CPaintManagerUI::IsUsedVirtualWnd() const { return m_bUsedVirtualWnd; }

CPaintManagerUI* CPaintManagerUI::GetPaintManager(const wchar_t* name) {
  if (name == nullptr || *name == L'\0') return nullptr;
  for (int i = 0; i < Managers().GetSize(); ++i) {
    auto* manager = static_cast<CPaintManagerUI*>(Managers().GetAt(i));
    if (manager != nullptr && manager->m_sName == name) return manager;
  }
  return nullptr;
}

CStdPtrArray* CPaintManagerUI::GetPaintManagers() { return &Managers(); }

bool CPaintManagerUI::LoadPlugin(const wchar_t* path) {
  if (path == nullptr || *path == L'\0') return false;
  HMODULE module = LoadLibraryW(path);
  if (module == nullptr) return false;
  void* create = reinterpret_cast<void*>(GetProcAddress(module, "CreateControl"));
  if (create == nullptr) return false;
  if (Plugins().Find(create) >= 0) return true;
  return Plugins().Add(create);
}

CStdPtrArray* CPaintManagerUI::GetPlugins() { return &Plugins(); }

namespace {

bool AddListener(CStdPtrArray& list, void* item) { return list.Add(item); }

bool RemoveListener(CStdPtrArray& list, void* item) {
  int index = list.Find(item);
  if (index < 0) return false;
  return list.Remove(index);
}

}  // namespace

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) { return AddListener(m_aPreMessageFilters, filter); }
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
  return RemoveListener(m_aPreMessageFilters, filter);
}
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) { return AddListener(m_aMessageFilters, filter); }
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) { return RemoveListener(m_aMessageFilters, filter); }
bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* accelerator) {
  return AddListener(m_aTranslateAccelerator, accelerator);
}
bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* accelerator) {
  return RemoveListener(m_aTranslateAccelerator, accelerator);
}

bool CPaintManagerUI::EnableDragDrop(bool enable) {
  m_bDragDrop = enable;
  m_bDragMode = false;
  return true;
}

void CPaintManagerUI::SetDragDrop(IDragDropUI* dragDrop) { m_pDragDrop = dragDrop; }

void CPaintManagerUI::ProcessQueue() {
  // Swap the list out first: deleting a control may schedule further cleanups.
  CStdPtrArray cleanup(m_aDelayedCleanup);
  m_aDelayedCleanup.Empty();
  for (int i = 0; i < cleanup.GetSize(); ++i) delete static_cast<CControlUI*>(cleanup.GetAt(i));
  m_bAsyncNotifyPosted = false;
  while (m_aAsyncNotify.GetSize() > 0) {
    auto* msg = static_cast<TNotifyUI*>(m_aAsyncNotify.GetAt(0));
    if (msg == nullptr) break;
    m_aAsyncNotify.Remove(0);
    if (msg->sender != nullptr && msg->sender->OnNotify) msg->sender->OnNotify(msg);
    CStdPtrArray notifiers(m_aNotifiers);
    for (int j = 0; j < notifiers.GetSize(); ++j) static_cast<INotifyUI*>(notifiers.GetAt(j))->Notify(*msg);
    delete msg;
  }
}

void CPaintManagerUI::PostQueueMessage() {
  if (m_bAsyncNotifyPosted || m_hWndPaint == nullptr) return;
  if (PostMessageW(m_hWndPaint, kMsgProcessQueue, 0, 0)) m_bAsyncNotifyPosted = true;
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  AttachShadow();
  SetFocus(nullptr);
  m_pEventKey = m_pEventHover = m_pEventClick = m_pEventRClick = nullptr;
  if (m_pRoot != nullptr) {
    m_mapPostPaint.clear();
    AddDelayedCleanup(m_pRoot);
  }
  m_pRoot = root;
  m_bUpdateNeeded = true;
  m_bFirstLayout = true;
  m_bFocusNeeded = true;
  if (root == nullptr) return false;
  root->SetManager(this, root->GetParent(), true);
  root->FindControl(__FindControlFromNameHashSet, this, FindAll);
  return true;
}

bool CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
  if (control == nullptr) return false;
  control->SetManager(this, parent != nullptr ? parent : control->GetParent(), true);
  control->FindControl(__FindControlFromNameHash, this, FindAll);
  return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
  if (control == nullptr) return;
  if (control == m_pEventKey) m_pEventKey = nullptr;
  if (control == m_pEventHover) m_pEventHover = nullptr;
  if (control == m_pEventClick) m_pEventClick = nullptr;
  if (control == m_pEventRClick) m_pEventRClick = nullptr;
  if (control == m_pFocus) m_pFocus = nullptr;
  KillTimer(control);
  const CDuiString& name = control->GetNameRef();
  if (!name.IsEmpty() && m_mNameHash.Find(name, false) == control) m_mNameHash.Remove(name);
  for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
    auto* msg = static_cast<TNotifyUI*>(m_aAsyncNotify.GetAt(i));
    if (msg->sender == control) msg->sender = nullptr;
  }
  // Every list that could still hand the control out later forgets it as well.
  m_mapPostPaint.erase(control);
  RemoveAll(m_aNeedMouseLeaveNeeded, control);
  RemoveAll(m_aFoundControls, control);
  for (int i = m_aNativeWindowControl.GetSize() - 1; i >= 0; --i) {
    if (m_aNativeWindowControl.GetAt(i) == control) {
      m_aNativeWindowControl.Remove(i);
      m_aNativeWindow.Remove(i);
    }
  }
  std::vector<CDuiString> groups;
  for (int i = 0; i < m_mOptionGroup.GetSize(); ++i) {
    const wchar_t* group = m_mOptionGroup.GetAt(i);
    if (group == nullptr) continue;
    auto* members = static_cast<CStdPtrArray*>(m_mOptionGroup.Find(group, false));
    if (members != nullptr && members->Find(control) >= 0) groups.emplace_back(group);
  }
  for (const CDuiString& group : groups) RemoveOptionGroup(group, control);
  int pending = m_aDelayedCleanup.Find(control);
  if (pending >= 0) m_aDelayedCleanup.Remove(pending);
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* control) {
  if (control == nullptr) return;
  if (m_aDelayedCleanup.Find(control) >= 0) return;
  control->SetManager(this, nullptr, false);
  if (!m_aDelayedCleanup.Add(control)) {
    control->DeleteWhenIdle();
    return;
  }
  PostQueueMessage();
}

int CPaintManagerUI::GetDelayedCleanupCount() const { return m_aDelayedCleanup.GetSize(); }

CControlUI* CPaintManagerUI::FindControl(POINT pt) const {
  if (m_pRoot == nullptr) return nullptr;
  return m_pRoot->FindControl(__FindControlFromPoint, &pt, FindVisible | FindHitTest | FindTopFirst);
}

CControlUI* CPaintManagerUI::FindControl(const wchar_t* name) const {
  if (m_pRoot == nullptr || name == nullptr) return nullptr;
  return static_cast<CControlUI*>(m_mNameHash.Find(name));
}

CControlUI* CPaintManagerUI::FindSubControlByPoint(CControlUI* parent, POINT pt) const {
  if (parent == nullptr) parent = m_pRoot;
  if (parent == nullptr) return nullptr;
  return parent->FindControl(__FindControlFromPoint, &pt, FindVisible | FindHitTest | FindTopFirst);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, const wchar_t* name) const {
  if (parent == nullptr) parent = m_pRoot;
  if (parent == nullptr || name == nullptr) return nullptr;
  return parent->FindControl(__FindControlFromName, const_cast<wchar_t*>(name), FindAll);
}

CControlUI* CPaintManagerUI::FindSubControlByClass(CControlUI* parent, const wchar_t* className, int index) {
  if (parent == nullptr) parent = m_pRoot;
  if (parent == nullptr || className == nullptr || index < 0) return nullptr;
  // The buffer holds index + 1 slots that fill in traversal order; the last one is the answer.
  m_aFoundControls.Resize(index + 1);
  FindClassInfo info = {this, className};
  return parent->FindControl(__FindControlFromClass, &info, FindAll);
}

CStdPtrArray* CPaintManagerUI::FindSubControlsByClass(CControlUI* parent, const wchar_t* className) {
  if (parent == nullptr) parent = m_pRoot;
  if (parent == nullptr) return nullptr;
  m_aFoundControls.Empty();
  if (className == nullptr) return &m_aFoundControls;
  FindClassInfo info = {this, className};
  parent->FindControl(__FindControlsFromClass, &info, FindAll);
  return &m_aFoundControls;
}

CStdPtrArray* CPaintManagerUI::GetFoundControls() { return &m_aFoundControls; }

CControlUI* CPaintManagerUI::GetFocus() const { return m_pFocus; }

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (m_hWndPaint != nullptr && ::GetFocus() != m_hWndPaint && control != m_pFocus) ::SetFocus(m_hWndPaint);
  if (control == m_pFocus) return;
  if (m_pFocus != nullptr) {
    CControlUI* previous = m_pFocus;
    TEventUI event;
    event.type = UiEventType::KillFocus;
    event.sender = control;
    event.timestamp = GetTickCount();
    previous->Event(event);
    SendNotify(previous, NotifyName::kKillFocus);
    m_pFocus = nullptr;
  }
  if (control == nullptr) return;
  if (control->GetManager() == this && control->IsVisible() && control->IsEnabled()) {
    m_pFocus = control;
    TEventUI event;
    event.type = UiEventType::SetFocus;
    event.sender = control;
    event.timestamp = GetTickCount();
    control->Event(event);
    SendNotify(control, NotifyName::kSetFocus);
  }
}

CControlUI* CPaintManagerUI::TabSearch(CControlUI* from, bool forward, CControlUI** lastSeen) {
  if (m_pRoot == nullptr) return nullptr;
  FindTabInfo info = {from, nullptr, forward, false};
  CControlUI* found = m_pRoot->FindControl(__FindControlFromTab, &info, FindVisible | FindEnabled | FindMeFirst);
  if (lastSeen != nullptr) *lastSeen = info.last;
  return found;
}

void CPaintManagerUI::SetFocusNeeded(CControlUI* control) {
  if (m_hWndPaint != nullptr) ::SetFocus(m_hWndPaint);
  if (control == nullptr) return;
  if (m_pFocus != nullptr) {
    CControlUI* previous = m_pFocus;
    TEventUI event;
    event.type = UiEventType::KillFocus;
    event.sender = control;
    event.timestamp = GetTickCount();
    previous->Event(event);
    SendNotify(previous, NotifyName::kKillFocus);
    m_pFocus = nullptr;
  }
  // Focus rests on the tab stop before the control, so the forward step of the next paint lands on it.
  m_pFocus = TabSearch(control, false, nullptr);
  m_bFocusNeeded = true;
  if (m_pRoot != nullptr && m_pRoot->IsVisible()) m_pRoot->NeedUpdate();
}

void CPaintManagerUI::SetNoFocusNeeded() { m_bFocusNeeded = false; }

bool CPaintManagerUI::SetNextTabControl(bool forward) {
  if (m_bUpdateNeeded && forward) {
    m_bFocusNeeded = true;
    if (m_hWndPaint != nullptr) ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
    return true;
  }
  CControlUI* last = nullptr;
  CControlUI* found = TabSearch(m_pFocus, forward, &last);
  if (found == nullptr) {
    if (forward) {
      found = TabSearch(nullptr, true, nullptr);
    } else {
      found = last;
    }
  }
  if (found != nullptr) SetFocus(found);
  m_bFocusNeeded = false;
  return true;
}

void CPaintManagerUI::SetCapture() {
  if (m_hWndPaint != nullptr) ::SetCapture(m_hWndPaint);
  m_bMouseCapture = true;
}

void CPaintManagerUI::ReleaseCapture() {
  ::ReleaseCapture();
  m_bMouseCapture = false;
  m_bDragMode = false;
}

bool CPaintManagerUI::IsCaptured() const { return m_bMouseCapture; }

void CPaintManagerUI::SetEventControl(CControlUI* control) { m_pEventClick = control; }

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT timerId, UINT elapse) {
  if (control == nullptr) return false;
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    auto* timer = static_cast<TimerInfo*>(m_aTimers.GetAt(i));
    if (timer->control == control && timer->window == m_hWndPaint && timer->key == timerId) {
      if (!timer->killed) return false;
      if (::SetTimer(m_hWndPaint, timer->id, elapse, nullptr) == 0) return false;
      timer->killed = false;
      return true;
    }
  }
  if (m_hWndPaint == nullptr) return false;
  // Ids cycle through 0..239; one still held by a record (live, or killed and kept for its
  // restart) is skipped, so two timers never share an id and one never swallows the other.
  bool free = false;
  for (int tries = 0; tries < 0xF0 && !free; ++tries) {
    m_uTimerID = (m_uTimerID + 1) % 0xF0;
    free = true;
    for (int i = 0; i < m_aTimers.GetSize(); ++i) {
      auto* timer = static_cast<TimerInfo*>(m_aTimers.GetAt(i));
      if (timer->window == m_hWndPaint && timer->id == m_uTimerID) {
        free = false;
        break;
      }
    }
  }
  if (!free) return false;
  if (::SetTimer(m_hWndPaint, m_uTimerID, elapse, nullptr) == 0) return false;
  auto* timer = new (std::nothrow) TimerInfo{control, timerId, m_hWndPaint, m_uTimerID, false};
  if (timer == nullptr || !m_aTimers.Add(timer)) {
    ::KillTimer(m_hWndPaint, m_uTimerID);
    delete timer;
    return false;
  }
  return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT timerId) {
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    auto* timer = static_cast<TimerInfo*>(m_aTimers.GetAt(i));
    if (timer->control == control && timer->window == m_hWndPaint && timer->key == timerId && !timer->killed) {
      if (IsWindow(m_hWndPaint)) ::KillTimer(timer->window, timer->id);
      timer->killed = true;
      return true;
    }
  }
  return false;
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
  for (int i = 0; i < m_aTimers.GetSize();) {
    auto* timer = static_cast<TimerInfo*>(m_aTimers.GetAt(i));
    if (timer->control == control && timer->window == m_hWndPaint) {
      if (!timer->killed && IsWindow(m_hWndPaint)) ::KillTimer(timer->window, timer->id);
      delete timer;
      m_aTimers.Remove(i);
    } else {
      ++i;
    }
  }
}

void CPaintManagerUI::RemoveAllTimers() {
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    auto* timer = static_cast<TimerInfo*>(m_aTimers.GetAt(i));
    if (timer->window == m_hWndPaint && !timer->killed && IsWindow(m_hWndPaint)) ::KillTimer(timer->window, timer->id);
    delete timer;
  }
  m_aTimers.Empty();
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) { return m_aNotifiers.Add(notifier); }

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  int index = m_aNotifiers.Find(notifier);
  if (index < 0) return false;
  return m_aNotifiers.Remove(index);
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg, bool async) {
  msg.mousePos = m_ptLastMousePos;
  msg.timestamp = GetTickCount();
  if (m_bUsedVirtualWnd && msg.sender != nullptr) msg.virtualWindow = msg.sender->GetVirtualWnd();
  if (async) {
    auto* copy = new (std::nothrow) TNotifyUI(msg);
    if (copy == nullptr) return;
    if (!m_aAsyncNotify.Add(copy)) {
      delete copy;
      return;
    }
    PostQueueMessage();
    return;
  }
  if (msg.sender != nullptr && msg.sender->OnNotify) msg.sender->OnNotify(&msg);
  // A notifier may remove itself or others while being notified: walk a snapshot and skip the
  // ones that left meanwhile.
  CStdPtrArray notifiers(m_aNotifiers);
  for (int i = 0; i < notifiers.GetSize(); ++i) {
    auto* notifier = static_cast<INotifyUI*>(notifiers.GetAt(i));
    if (m_aNotifiers.Find(notifier) >= 0) notifier->Notify(msg);
  }
}

void CPaintManagerUI::SendNotify(CControlUI* control, const wchar_t* type, WPARAM wParam, LPARAM lParam, bool async) {
  TNotifyUI msg;
  msg.sender = control;
  msg.typeName = type;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotify(msg, async);
}

bool CPaintManagerUI::AddOptionGroup(const wchar_t* groupName, CControlUI* control) {
  if (groupName == nullptr || control == nullptr) return false;
  auto* group = static_cast<CStdPtrArray*>(m_mOptionGroup.Find(groupName));
  if (group == nullptr) {
    group = new (std::nothrow) CStdPtrArray(6);
    if (group == nullptr) return false;
    if (!m_mOptionGroup.Insert(groupName, group)) {
      delete group;
      return false;
    }
  }
  if (group->Find(control) >= 0) return false;
  return group->Add(control);
}

CStdPtrArray* CPaintManagerUI::GetOptionGroup(const wchar_t* groupName) {
  if (groupName == nullptr) return nullptr;
  return static_cast<CStdPtrArray*>(m_mOptionGroup.Find(groupName));
}

void CPaintManagerUI::RemoveOptionGroup(const wchar_t* groupName, CControlUI* control) {
  CStdPtrArray* group = GetOptionGroup(groupName);
  if (group == nullptr) return;
  RemoveAll(*group, control);
  if (group->IsEmpty()) {
    m_mOptionGroup.Remove(groupName);
    delete group;
  }
}

void CPaintManagerUI::RemoveAllOptionGroups() {
  for (int i = 0; i < m_mOptionGroup.GetSize(); ++i) {
    const wchar_t* key = m_mOptionGroup.GetAt(i);
    if (key != nullptr) delete static_cast<CStdPtrArray*>(m_mOptionGroup.Find(key, false));
  }
  m_mOptionGroup.RemoveAll();
}

void CPaintManagerUI::AddMouseLeaveNeeded(CControlUI* control) {
  if (control == nullptr || m_aNeedMouseLeaveNeeded.Find(control) >= 0) return;
  m_aNeedMouseLeaveNeeded.Add(control);
}

bool CPaintManagerUI::RemoveMouseLeaveNeeded(CControlUI* control) {
  int index = m_aNeedMouseLeaveNeeded.Find(control);
  if (index < 0) return false;
  return m_aNeedMouseLeaveNeeded.Remove(index);
}

bool CPaintManagerUI::AddNativeWindow(CControlUI* control, HWND childWnd) {
  if (control == nullptr || childWnd == nullptr) return false;
  RECT rc = GetNativeWindowRect(childWnd);
  Invalidate(rc);
  if (m_aNativeWindow.Find(childWnd) >= 0) return false;
  if (!m_aNativeWindow.Add(childWnd)) return false;
  if (!m_aNativeWindowControl.Add(control)) {
    m_aNativeWindow.Remove(m_aNativeWindow.GetSize() - 1);
    return false;
  }
  return true;
}

bool CPaintManagerUI::RemoveNativeWindow(HWND childWnd) {
  int index = m_aNativeWindow.Find(childWnd);
  if (index < 0) return false;
  m_aNativeWindow.Remove(index);
  m_aNativeWindowControl.Remove(index);
  return true;
}

int CPaintManagerUI::GetNativeWindowCount() const { return m_aNativeWindow.GetSize(); }

RECT CPaintManagerUI::GetNativeWindowRect(HWND childWnd) const {
  RECT rc = {0, 0, 0, 0};
  if (childWnd == nullptr || !::GetWindowRect(childWnd, &rc)) return rc;
  if (m_hWndPaint != nullptr) ::MapWindowPoints(nullptr, m_hWndPaint, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

bool CPaintManagerUI::AddPostPaint(CControlUI* control) {
  m_mapPostPaint[control] = 0;
  return true;
}

bool CPaintManagerUI::RemovePostPaint(CControlUI* control) { return m_mapPostPaint.erase(control) > 0; }
bool CPaintManagerUI::IsPostPaint(CControlUI* control) const { return m_mapPostPaint.count(control) > 0; }
int CPaintManagerUI::GetPostPaintCount() const { return static_cast<int>(m_mapPostPaint.size()); }
bool CPaintManagerUI::SetPostPaintIndex(CControlUI*, int) { return true; }

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromNameHash(CControlUI* control, LPVOID data) {
  auto* manager = static_cast<CPaintManagerUI*>(data);
  const CDuiString& name = control->GetNameRef();
  if (!name.IsEmpty()) manager->m_mNameHash.Insert(name, control);
  return nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromNameHashSet(CControlUI* control, LPVOID data) {
  auto* manager = static_cast<CPaintManagerUI*>(data);
  const CDuiString& name = control->GetNameRef();
  if (!name.IsEmpty()) manager->m_mNameHash.Set(name, control);
  return nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromPoint(CControlUI* control, LPVOID data) {
  const POINT* pt = static_cast<const POINT*>(data);
  const RECT& pos = control->GetPos();
  return ::PtInRect(&pos, *pt) ? control : nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromName(CControlUI* control, LPVOID data) {
  const wchar_t* name = static_cast<const wchar_t*>(data);
  const CDuiString& own = control->GetNameRef();
  if (own.IsEmpty()) return nullptr;
  return _wcsicmp(own, name) == 0 ? control : nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromCount(CControlUI*, LPVOID data) {
  ++*static_cast<int*>(data);
  return nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromTab(CControlUI* control, LPVOID data) {
  auto* info = static_cast<FindTabInfo*>(data);
  if (info->focus == control) {
    if (info->forward) {
      info->nextIsIt = true;
      return nullptr;
    }
    return info->last;
  }
  if ((control->GetControlFlags() & ControlFlagTabStop) == 0) return nullptr;
  info->last = control;
  if (info->nextIsIt || info->focus == nullptr) return control;
  return nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromShortcut(CControlUI* control, LPVOID data) {
  if (!control->IsVisible()) return nullptr;
  auto* info = static_cast<FindShortcut*>(data);
  if (info->ch == towupper(control->GetShortcut())) info->pickNext = true;
  const wchar_t* className = control->GetClass();
  if (className != nullptr && wcsstr(className, L"LabelUI") != nullptr) return nullptr;
  return info->pickNext ? control : nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromUpdate(CControlUI* control, LPVOID data) {
  if (!control->IsUpdateNeeded()) return nullptr;
  static_cast<CPaintManagerUI*>(data)->m_aFoundControls.Add(control);
  return control;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromClass(CControlUI* control, LPVOID data) {
  auto* info = static_cast<FindClassInfo*>(data);
  CStdPtrArray& found = info->manager->m_aFoundControls;
  if (found.GetSize() == 0) return nullptr;
  if (ClassMatches(control, info->className)) {
    for (int i = 0; i < found.GetSize(); ++i) {
      if (found.GetAt(i) == nullptr) {
        found.SetAt(i, control);
        break;
      }
    }
  }
  return found.GetAt(found.GetSize() - 1) != nullptr ? control : nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlsFromClass(CControlUI* control, LPVOID data) {
  auto* info = static_cast<FindClassInfo*>(data);
  if (ClassMatches(control, info->className)) info->manager->m_aFoundControls.Add(control);
  return nullptr;
}

}  // namespace ZQUI
