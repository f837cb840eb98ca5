#include "ui/core/paint_manager.h"

#include <new>

#include "ui/core/control.h"

namespace ZQUI {

namespace {

CStdPtrArray& Managers() {
  static CStdPtrArray managers;
  return managers;
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() {}

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
  RemoveAllTimers();
  if (m_hDcPaint) ReleaseDC(m_hWndPaint, m_hDcPaint);
  int index = Managers().Find(this);
  if (index >= 0) Managers().Remove(index);
  delete m_pDPI;
}

void CPaintManagerUI::Init(HWND window, const wchar_t* name) {
  m_mNameHash.Resize(83);
  RemoveAllStyle(false);
  RemoveAllDefaultAttributeList(false);
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
CControlUI* CPaintManagerUI::GetRoot() const { return m_pRoot; }
POINT CPaintManagerUI::GetMousePos() const { return m_ptLastMousePos; }
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

bool CPaintManagerUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  (void)lParam;
  result = 0;
  if (m_hWndPaint == nullptr) return false;
  switch (msg) {
    case kMsgProcessQueue:
      ProcessQueue();
      return false;
    case WM_TIMER:
      for (int i = 0; i < m_aTimers.GetSize(); ++i) {
        auto* timer = static_cast<TimerInfo*>(m_aTimers.GetAt(i));
        if (timer->window == m_hWndPaint && timer->id == LOWORD(wParam) && !timer->killed) {
          TEventUI event;
          event.type = UiEventType::Timer;
          event.sender = timer->control;
          event.timestamp = GetTickCount();
          event.mousePos = m_ptLastMousePos;
          event.wParam = timer->key;
          event.lParam = lParam;
          timer->control->Event(event);
          break;
        }
      }
      return false;
    default:
      return false;
  }
}

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
  m_mapPostPaint.erase(control);
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
  m_uTimerID = (m_uTimerID + 1) % 0xF0;
  if (m_hWndPaint == nullptr || ::SetTimer(m_hWndPaint, m_uTimerID, elapse, nullptr) == 0) return false;
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
  // A notifier may remove itself or others while being notified.
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

bool CPaintManagerUI::AddPostPaint(CControlUI* control) {
  m_mapPostPaint[control] = 0;
  return true;
}

bool CPaintManagerUI::RemovePostPaint(CControlUI* control) { return m_mapPostPaint.erase(control) > 0; }
bool CPaintManagerUI::IsPostPaint(CControlUI* control) const { return m_mapPostPaint.count(control) > 0; }
int CPaintManagerUI::GetPostPaintCount() const { return static_cast<int>(m_mapPostPaint.size()); }

void CPaintManagerUI::NeedUpdate() { m_bUpdateNeeded = true; }
bool CPaintManagerUI::IsUpdateNeeded() const { return m_bUpdateNeeded; }

void CPaintManagerUI::Invalidate() {
  if (m_hWndPaint) ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CPaintManagerUI::Invalidate(RECT& rc) {
  if (rc.left < 0) rc.left = 0;
  if (rc.top < 0) rc.top = 0;
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  if (m_hWndPaint) ::InvalidateRect(m_hWndPaint, &rc, FALSE);
}

CDPI* CPaintManagerUI::GetDPIObj() {
  if (m_pDPI == nullptr) m_pDPI = new CDPI();
  return m_pDPI;
}

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

}  // namespace ZQUI
