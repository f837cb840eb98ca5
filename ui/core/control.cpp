#include "ui/core/control.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <new>

#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"
#include "ui/core/skin_values.h"

namespace ZQUI {

namespace {

// Nesting bound of attribute lists applied through styles; a style naming itself stops here.
constexpr int kMaxAttributeListDepth = 16;
int g_attributeListDepth = 0;

int ClampToInt(int64_t value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

struct CursorName {
  const wchar_t* name;
  WORD id;
};

const CursorName kCursorNames[] = {
    {L"arrow", 32512},    {L"ibeam", 32513},    {L"wait", 32514},     {L"cross", 32515},
    {L"uparrow", 32516},  {L"size", 32640},     {L"icon", 32641},     {L"sizenwse", 32642},
    {L"sizenesw", 32643}, {L"sizewe", 32644},   {L"sizens", 32645},   {L"sizeall", 32646},
    {L"no", 32648},       {L"hand", 32649},
};

bool Is(const wchar_t* a, const wchar_t* b) { return _wcsicmp(a, b) == 0; }

}  // namespace

CControlUI::CControlUI() : m_mCustomAttrHash(83) {}

CControlUI::~CControlUI() {
  if (OnDestroy) OnDestroy(this);
  RemoveAllCustomAttribute();
  if (m_pManager != nullptr) m_pManager->ReapObjects(this);
}

CControlUI* CControlUI::CreateControl() { return new CControlUI(); }

CDuiString CControlUI::GetName() const { return m_sName; }
const CDuiString& CControlUI::GetNameRef() const { return m_sName; }
void CControlUI::SetName(const wchar_t* name) {
  if (m_sName != (name ? name : L"")) m_sName = name;
}

const wchar_t* CControlUI::GetClass() const { return L"ControlUI"; }

void* CControlUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && Is(name, L"Control")) return this;
  return nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }
bool CControlUI::Activate() { return IsEnabled(); }
CPaintManagerUI* CControlUI::GetManager() const { return m_pManager; }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  m_pManager = manager;
  m_pParent = parent;
  if (init && m_pParent != nullptr) Init();
}

CControlUI* CControlUI::GetParent() const { return m_pParent; }
bool CControlUI::IsContainerControl() const { return false; }
void CControlUI::RemoveAll(bool) {}

CDuiString CControlUI::GetText() const {
  if (!m_bResourceText) return m_sText;
  return CResourceManager::GetInstance()->GetText(m_sText);
}

void CControlUI::SetText(const wchar_t* text) {
  CDuiString value(text);
  value.Replace(L"{\\n}", L"\n");
  if (m_sText == value.GetData()) return;
  m_sText = value;
  Invalidate();
}

CDuiString CControlUI::GetHotText() const {
  if (m_bResourceText) return CResourceManager::GetInstance()->GetText(m_sHotText);
  if (!m_sHotText.IsEmpty()) return m_sHotText;
  return GetText();
}

void CControlUI::SetHotText(const wchar_t* text) {
  if (m_sHotText == (text ? text : L"")) return;
  m_sHotText = text;
  Invalidate();
}

bool CControlUI::IsResourceText() const { return m_bResourceText; }
void CControlUI::SetResourceText(bool resource) {
  if (m_bResourceText == resource) return;
  m_bResourceText = resource;
  Invalidate();
}
bool CControlUI::IsDragEnabled() const { return m_bDragEnabled; }
void CControlUI::SetDragEnable(bool enable) { m_bDragEnabled = enable; }
bool CControlUI::IsDropEnabled() const { return m_bDropEnabled; }
void CControlUI::SetDropEnable(bool enable) { m_bDropEnabled = enable; }
bool CControlUI::IsRichEvent() const { return m_bRichEvent; }
void CControlUI::SetRichEvent(bool enable) { m_bRichEvent = enable; }

// --- geometry --------------------------------------------------------------------------------

UINT CControlUI::CurrentScale() const { return m_pManager ? m_pManager->GetDPIObj()->GetScale() : 100; }

int CControlUI::ScaleValue(int value) const { return m_pManager ? m_pManager->GetDPIObj()->Scale(value) : value; }

const RECT& CControlUI::GetPos() const { return m_rcItem; }
void CControlUI::SetOnlyPos(RECT& rc) { m_rcItem = rc; }

RECT CControlUI::GetRelativePos() const {
  RECT rc = m_rcItem;
  if (m_pParent == nullptr) {
    RECT zero = {0, 0, 0, 0};
    return zero;
  }
  const RECT& parent = m_pParent->GetPos();
  ::OffsetRect(&rc, -parent.left, -parent.top);
  return rc;
}

RECT CControlUI::GetClientPos() const { return m_rcItem; }

void CControlUI::SetPos(RECT rc, bool needInvalidate) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  RECT invalidateRc = m_rcItem;
  if (::IsRectEmpty(&invalidateRc)) invalidateRc = rc;
  m_rcItem = rc;
  int fixedWidth = GetFixedWidth();
  if (static_cast<int64_t>(m_rcItem.right) - m_rcItem.left < fixedWidth) {
    m_rcItem.right = ClampToInt(static_cast<int64_t>(m_rcItem.left) + fixedWidth);
  }
  if (m_pManager == nullptr) return;
  if (!m_bSetPos) {
    m_bSetPos = true;
    BeginDispatch();
    if (OnSize) OnSize(this);
    m_bSetPos = false;
    if (EndDispatch()) return;
  }
  m_bUpdateNeeded = false;
  if (needInvalidate && IsVisible()) {
    if (invalidateRc.left > m_rcItem.left) invalidateRc.left = m_rcItem.left;
    if (invalidateRc.top > m_rcItem.top) invalidateRc.top = m_rcItem.top;
    if (invalidateRc.right < m_rcItem.right) invalidateRc.right = m_rcItem.right;
    if (invalidateRc.bottom < m_rcItem.bottom) invalidateRc.bottom = m_rcItem.bottom;
    for (CControlUI* parent = m_pParent; parent != nullptr; parent = parent->GetParent()) {
      if (!parent->IsVisible()) return;
      RECT temp = invalidateRc;
      RECT parentRc = parent->GetPos();
      if (!::IntersectRect(&invalidateRc, &temp, &parentRc)) return;
    }
    m_pManager->Invalidate(invalidateRc);
  }
}

void CControlUI::Move(SIZE offset, bool) {
  m_cXY.cx = ClampToInt(static_cast<int64_t>(m_cXY.cx) + offset.cx);
  m_cXY.cy = ClampToInt(static_cast<int64_t>(m_cXY.cy) + offset.cy);
  m_cXYScaled.scale = 0;
  NeedParentUpdate();
}

int CControlUI::GetWidth() const { return m_rcItem.right - m_rcItem.left; }
int CControlUI::GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
int CControlUI::GetX() const { return m_rcItem.left; }
int CControlUI::GetY() const { return m_rcItem.top; }

RECT CControlUI::GetPadding() const {
  if (m_pManager == nullptr) return m_rcPadding;
  UINT scale = CurrentScale();
  if (m_rcPaddingScaled.scale != scale) {
    m_rcPaddingScaled.value = m_pManager->GetDPIObj()->Scale(m_rcPadding);
    m_rcPaddingScaled.scale = scale;
  }
  return m_rcPaddingScaled.value;
}

void CControlUI::SetPadding(RECT rc, bool needUpdate) {
  if (::EqualRect(&rc, &m_rcPadding)) return;
  m_rcPadding = rc;
  m_rcPaddingScaled.scale = 0;
  if (needUpdate) NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const {
  if (m_pManager == nullptr) return m_cXY;
  UINT scale = CurrentScale();
  if (m_cXYScaled.scale != scale) {
    m_cXYScaled.value = m_pManager->GetDPIObj()->Scale(m_cXY);
    m_cXYScaled.scale = scale;
  }
  return m_cXYScaled.value;
}

void CControlUI::SetFixedXY(SIZE xy) {
  if (xy.cx == m_cXY.cx && xy.cy == m_cXY.cy) return;
  m_cXY = xy;
  m_cXYScaled.scale = 0;
  NeedParentUpdate();
}

SIZE CControlUI::GetFixedSize() const {
  if (m_pManager == nullptr) return m_cxyFixed;
  UINT scale = CurrentScale();
  if (m_cxyFixedScaled.scale != scale) {
    m_cxyFixedScaled.value = m_pManager->GetDPIObj()->Scale(m_cxyFixed);
    m_cxyFixedScaled.scale = scale;
  }
  return m_cxyFixedScaled.value;
}

int CControlUI::GetFixedWidth() const { return GetFixedSize().cx; }
int CControlUI::GetFixedHeight() const { return GetFixedSize().cy; }

void CControlUI::SetFixedWidth(int cx, bool needUpdate) {
  if (cx < 0 || cx == m_cxyFixed.cx) return;
  m_cxyFixed.cx = cx;
  m_cxyFixedScaled.scale = 0;
  if (needUpdate) NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy, bool needUpdate) {
  if (cy < 0 || cy == m_cxyFixed.cy) return;
  m_cxyFixed.cy = cy;
  m_cxyFixedScaled.scale = 0;
  if (needUpdate) NeedParentUpdate();
}

static SIZE ScaledCopy(CPaintManagerUI* manager, const SIZE& value, SIZE& cache, UINT& cacheScale) {
  if (manager == nullptr) return value;
  UINT scale = manager->GetDPIObj()->GetScale();
  if (cacheScale != scale) {
    cache = manager->GetDPIObj()->Scale(value);
    cacheScale = scale;
  }
  return cache;
}

int CControlUI::GetMinWidth() const { return ScaledCopy(m_pManager, m_cxyMin, m_cxyMinScaled.value, m_cxyMinScaled.scale).cx; }
int CControlUI::GetMinHeight() const { return ScaledCopy(m_pManager, m_cxyMin, m_cxyMinScaled.value, m_cxyMinScaled.scale).cy; }
int CControlUI::GetMaxWidth() const { return ScaledCopy(m_pManager, m_cxyMax, m_cxyMaxScaled.value, m_cxyMaxScaled.scale).cx; }
int CControlUI::GetMaxHeight() const { return ScaledCopy(m_pManager, m_cxyMax, m_cxyMaxScaled.value, m_cxyMaxScaled.scale).cy; }

void CControlUI::SetMinWidth(int cx) {
  if (cx < 0 || m_cxyMin.cx == cx) return;
  m_cxyMin.cx = cx;
  m_cxyMinScaled.scale = 0;
  NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy) {
  if (cy < 0 || m_cxyMin.cy == cy) return;
  m_cxyMin.cy = cy;
  m_cxyMinScaled.scale = 0;
  NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int cx) {
  if (cx < 0 || m_cxyMax.cx == cx) return;
  m_cxyMax.cx = cx;
  m_cxyMaxScaled.scale = 0;
  NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int cy) {
  if (cy < 0 || m_cxyMax.cy == cy) return;
  m_cxyMax.cy = cy;
  m_cxyMaxScaled.scale = 0;
  NeedParentUpdate();
}

TPercentInfo CControlUI::GetFloatPercent() const { return m_piFloatPercent; }

void CControlUI::SetFloatPercent(TPercentInfo percent) {
  m_piFloatPercent = percent;
  NeedParentUpdate();
}

void CControlUI::SetFloatAlign(UINT align) {
  m_uFloatAlign = align;
  NeedParentUpdate();
}

UINT CControlUI::GetFloatAlign() const { return m_uFloatAlign; }

SIZE CControlUI::EstimateSize(SIZE) { return GetFixedSize(); }

bool CControlUI::IsFloat() const { return m_bFloat; }

void CControlUI::SetFloat(bool isFloat) {
  if (m_bFloat == isFloat) return;
  m_bFloat = isFloat;
  NeedParentUpdate();
}

// --- tooltip, cursor, user data --------------------------------------------------------------

CDuiString CControlUI::GetToolTip() const {
  if (!m_bResourceText) return m_sToolTip;
  return CResourceManager::GetInstance()->GetText(m_sToolTip);
}

void CControlUI::SetToolTip(const wchar_t* text) {
  CDuiString value(text);
  value.Replace(L"<n>", L"\r\n");
  m_sToolTip = value;
}

void CControlUI::SetToolTipWidth(int width) { m_nTooltipWidth = width; }
int CControlUI::GetToolTipWidth() const { return ScaleValue(m_nTooltipWidth); }
void CControlUI::SetToolTipGap(SIZE gap) { m_szToolTipGap = gap; }
SIZE CControlUI::GetToolTipGap() const {
  if (m_pManager == nullptr) return m_szToolTipGap;
  return m_pManager->GetDPIObj()->Scale(m_szToolTipGap);
}
void CControlUI::SetToolTipShowMode(ToolTipType mode) { m_toolTipType = mode; }
ToolTipType CControlUI::GetToolTipShowMode() const { return m_toolTipType; }

WORD CControlUI::GetCursor() const { return m_wCursor; }
HCURSOR CControlUI::GetHCursor() const { return m_hCursor; }

void CControlUI::SetCursor(HCURSOR cursor) {
  if (m_hCursor == cursor) return;
  m_hCursor = cursor;
  if (IsVisible()) {
    m_bUpdateNeeded = true;
    Invalidate();
    if (m_pManager) m_pManager->NeedUpdate();
  }
}

void CControlUI::SetCursor(WORD cursor) {
  if (m_wCursor == cursor) return;
  m_wCursor = cursor;
  m_hCursor = nullptr;
  if (IsVisible()) {
    m_bUpdateNeeded = true;
    Invalidate();
    if (m_pManager) m_pManager->NeedUpdate();
  }
}

wchar_t CControlUI::GetShortcut() const { return m_chShortcut; }
void CControlUI::SetShortcut(wchar_t ch) { m_chShortcut = ch; }
bool CControlUI::IsContextMenuUsed() const { return m_bMenuUsed; }
void CControlUI::SetContextMenuUsed(bool menuUsed) { m_bMenuUsed = menuUsed; }
const CDuiString& CControlUI::GetUserData() const { return m_sUserData; }
void CControlUI::SetUserData(const wchar_t* text) { m_sUserData = text; }

void CControlUI::SetMapUserData(const wchar_t* key, const wchar_t* value) {
  if (key == nullptr || *key == L'\0' || value == nullptr || *value == L'\0') return;
  m_mapUserData[key] = value;
}

const wchar_t* CControlUI::GetMapUserData(const wchar_t* key) const {
  if (key == nullptr) return L"";
  auto it = m_mapUserData.find(key);
  return it == m_mapUserData.end() ? L"" : it->second.c_str();
}

void CControlUI::ClearMapUserData() { m_mapUserData.clear(); }

void CControlUI::EraseMapUserData(const wchar_t* key) {
  if (key != nullptr) m_mapUserData.erase(key);
}

UINT_PTR CControlUI::GetTag() const { return m_pTag; }
void CControlUI::SetTag(UINT_PTR tag) { m_pTag = tag; }

// --- state -----------------------------------------------------------------------------------

bool CControlUI::IsVisible() const { return m_bVisible && m_bInternVisible; }
bool CControlUI::GetVisible() const { return m_bVisible; }

void CControlUI::DropManagerFocus() {
  if (m_pManager != nullptr && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
}

void CControlUI::SetVisible(bool visible, bool sendFocus) {
  if (m_bVisible == visible) return;
  bool wasVisible = IsVisible();
  m_bVisible = visible;
  m_bFocused = false;
  if (!visible && sendFocus) DropManagerFocus();
  if (IsVisible() != wasVisible) NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
  m_bInternVisible = visible;
  if (!visible) DropManagerFocus();
}

bool CControlUI::IsEnabled() const { return m_bEnabled; }

void CControlUI::SetEnabled(bool enable) {
  if (m_bEnabled == enable) return;
  m_bEnabled = enable;
  Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_bMouseEnabled; }
void CControlUI::SetMouseEnabled(bool enable) { m_bMouseEnabled = enable; }
bool CControlUI::IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool enable) { m_bKeyboardEnabled = enable; }
bool CControlUI::IsFocused() const { return m_bFocused; }

void CControlUI::SetFocus() {
  if (m_pManager != nullptr) m_pManager->SetFocus(this);
}

bool CControlUI::SetTimer(UINT timerId, UINT elapse) {
  if (m_pManager == nullptr) return false;
  return m_pManager->SetTimer(this, timerId, elapse);
}

void CControlUI::KillTimer(UINT timerId) {
  if (m_pManager != nullptr) m_pManager->KillTimer(this, timerId);
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
  if ((flags & FindVisible) != 0 && !IsVisible()) return nullptr;
  if ((flags & FindEnabled) != 0 && !IsEnabled()) return nullptr;
  if ((flags & FindHitTest) != 0 &&
      (!m_bMouseEnabled || !::PtInRect(&m_rcItem, *static_cast<const POINT*>(data)))) {
    return nullptr;
  }
  return proc(this, data);
}

// --- dispatch bookkeeping --------------------------------------------------------------------

bool CControlUI::IsInDispatch() const { return m_nDispatchDepth > 0; }
void CControlUI::BeginDispatch() { ++m_nDispatchDepth; }

bool CControlUI::EndDispatch() {
  if (--m_nDispatchDepth == 0 && m_bDeletePending) {
    delete this;
    return true;
  }
  return false;
}

void CControlUI::DeleteWhenIdle() {
  if (m_nDispatchDepth > 0) {
    // Still delivering: detach now, delete when the delivery returns.
    m_bDeletePending = true;
    m_pParent = nullptr;
    return;
  }
  delete this;
}

void CControlUI::Init() {
  DoInit();
  if (OnInit) {
    BeginDispatch();
    OnInit(this);
    EndDispatch();
  }
}

void CControlUI::DoInit() {}

void CControlUI::Event(TEventUI& event) {
  BeginDispatch();
  bool handled = true;
  if (OnEvent) handled = OnEvent(&event);
  // An observer may have removed the control; a detached control takes no further action.
  if (handled && !m_bDeletePending) DoEvent(event);
  EndDispatch();
}

void CControlUI::PassEventToParent(TEventUI& event) {
  CControlUI* parent = m_pParent;
  if (parent == nullptr) return;
  parent->BeginDispatch();
  parent->DoEvent(event);
  parent->EndDispatch();
}

bool CControlUI::HandOffMouseEventWhenDisabled(TEventUI& event) {
  if (IsMouseEnabled() || !UiEventType::IsMouseEvent(event.type)) return false;
  if (m_pParent != nullptr) {
    PassEventToParent(event);
  } else {
    CControlUI::DoEvent(event);
  }
  return true;
}

// --- colours, images, borders ----------------------------------------------------------------

const wchar_t* CControlUI::GetGradient() const { return m_sGradient; }
void CControlUI::SetGradient(const wchar_t* gradient) {
  if (m_sGradient == (gradient ? gradient : L"")) return;
  m_sGradient = gradient;
  Invalidate();
}

DWORD CControlUI::GetBkColor() const { return m_dwBackColor; }
void CControlUI::SetBkColor(DWORD color, bool invalidate) {
  if (m_dwBackColor == color) return;
  m_dwBackColor = color;
  if (invalidate) Invalidate();
}
DWORD CControlUI::GetBkColor2() const { return m_dwBackColor2; }
void CControlUI::SetBkColor2(DWORD color) {
  if (m_dwBackColor2 == color) return;
  m_dwBackColor2 = color;
  Invalidate();
}
DWORD CControlUI::GetBkColor3() const { return m_dwBackColor3; }
void CControlUI::SetBkColor3(DWORD color) {
  if (m_dwBackColor3 == color) return;
  m_dwBackColor3 = color;
  Invalidate();
}
DWORD CControlUI::GetDisableBkColor() const { return m_dwDisabledBkColor; }
void CControlUI::SetDisableBkColor(DWORD color) { m_dwDisabledBkColor = color; }
DWORD CControlUI::GetForeColor() const { return m_dwForeColor; }
void CControlUI::SetForeColor(DWORD color) {
  if (m_dwForeColor == color) return;
  m_dwForeColor = color;
  Invalidate();
}
DWORD CControlUI::GetBorderColor() const { return m_dwBorderColor; }
void CControlUI::SetBorderColor(DWORD color) {
  if (m_dwBorderColor == color) return;
  m_dwBorderColor = color;
  Invalidate();
}
DWORD CControlUI::GetFocusBorderColor() const { return m_dwFocusBorderColor; }
void CControlUI::SetFocusBorderColor(DWORD color) {
  if (m_dwFocusBorderColor == color) return;
  m_dwFocusBorderColor = color;
  Invalidate();
}
DWORD CControlUI::GetFocusBKColor() const { return m_dwFocusBkColor; }
void CControlUI::SetFocusBKColor(DWORD color) { m_dwFocusBkColor = color; }
bool CControlUI::IsColorHSL() const { return m_bColorHSL; }
void CControlUI::SetColorHSL(bool colorHSL) {
  if (m_bColorHSL == colorHSL) return;
  m_bColorHSL = colorHSL;
  Invalidate();
}

const wchar_t* CControlUI::GetBkImage() const { return m_sBkImage; }
void CControlUI::SetBkImage(const wchar_t* image) {
  if (m_sBkImage == (image ? image : L"")) return;
  m_sBkImage = image;
  Invalidate();
}
const wchar_t* CControlUI::GetForeImage() const { return m_sForeImage; }
void CControlUI::SetForeImage(const wchar_t* image) {
  if (m_sForeImage == (image ? image : L"")) return;
  m_sForeImage = image;
  Invalidate();
}

int CControlUI::GetBorderSize() const { return ScaleValue(m_nBorderSize); }
void CControlUI::SetBorderSize(int size) {
  if (m_nBorderSize == size) return;
  m_nBorderSize = size;
  Invalidate();
}
void CControlUI::SetBorderSize(RECT rc) {
  m_rcBorderSize = rc;
  Invalidate();
}
RECT CControlUI::GetBorderRectSize() const {
  if (m_pManager == nullptr) return m_rcBorderSize;
  return m_pManager->GetDPIObj()->Scale(m_rcBorderSize);
}
SIZE CControlUI::GetBorderRound() const {
  if (m_pManager == nullptr) return m_cxyBorderRound;
  return m_pManager->GetDPIObj()->Scale(m_cxyBorderRound);
}
void CControlUI::SetBorderRound(SIZE round) {
  m_cxyBorderRound = round;
  Invalidate();
}
int CControlUI::GetLeftBorderSize() const { return ScaleValue(m_rcBorderSize.left); }
void CControlUI::SetLeftBorderSize(int size) {
  m_rcBorderSize.left = size;
  Invalidate();
}
int CControlUI::GetTopBorderSize() const { return ScaleValue(m_rcBorderSize.top); }
void CControlUI::SetTopBorderSize(int size) {
  m_rcBorderSize.top = size;
  Invalidate();
}
int CControlUI::GetRightBorderSize() const { return ScaleValue(m_rcBorderSize.right); }
void CControlUI::SetRightBorderSize(int size) {
  m_rcBorderSize.right = size;
  Invalidate();
}
int CControlUI::GetBottomBorderSize() const { return ScaleValue(m_rcBorderSize.bottom); }
void CControlUI::SetBottomBorderSize(int size) {
  m_rcBorderSize.bottom = size;
  Invalidate();
}
int CControlUI::GetBorderStyle() const { return m_nBorderStyle; }
void CControlUI::SetBorderStyle(int style) {
  m_nBorderStyle = style;
  Invalidate();
}

// --- repaint and layout requests -------------------------------------------------------------

void CControlUI::Invalidate() {
  if (!IsVisible()) return;
  RECT invalidateRc = m_rcItem;
  for (CControlUI* parent = m_pParent; parent != nullptr; parent = parent->GetParent()) {
    RECT temp = invalidateRc;
    RECT parentRc = parent->GetPos();
    if (!::IntersectRect(&invalidateRc, &temp, &parentRc)) return;
  }
  if (m_pManager != nullptr) m_pManager->Invalidate(invalidateRc);
}

bool CControlUI::IsUpdateNeeded() const { return m_bUpdateNeeded; }

void CControlUI::NeedUpdate() {
  if (!IsVisible()) return;
  m_bUpdateNeeded = true;
  Invalidate();
  if (m_pManager != nullptr) m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (GetParent() != nullptr) {
    GetParent()->NeedUpdate();
    GetParent()->Invalidate();
  } else {
    NeedUpdate();
  }
  if (m_pManager != nullptr) m_pManager->NeedUpdate();
}

void CControlUI::SetVirtualWnd(const wchar_t* value) {
  m_sVirtualWnd = value;
  if (m_pManager != nullptr) m_pManager->UsedVirtualWnd(true);
}

CDuiString CControlUI::GetVirtualWnd() const {
  if (!m_sVirtualWnd.IsEmpty()) return m_sVirtualWnd;
  if (m_pParent != nullptr) return m_pParent->GetVirtualWnd();
  return CDuiString();
}

// --- custom attributes -----------------------------------------------------------------------

void CControlUI::AddCustomAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr || *name == L'\0' || value == nullptr || *value == L'\0') return;
  if (m_mCustomAttrHash.Find(name, false) != nullptr) return;
  auto* copy = new (std::nothrow) CDuiString(value);
  if (copy == nullptr) return;
  if (!m_mCustomAttrHash.Insert(name, copy)) delete copy;
}

const wchar_t* CControlUI::GetCustomAttribute(const wchar_t* name) const {
  if (name == nullptr || *name == L'\0') return nullptr;
  auto* value = static_cast<CDuiString*>(m_mCustomAttrHash.Find(name));
  return value ? value->GetData() : nullptr;
}

bool CControlUI::RemoveCustomAttribute(const wchar_t* name) {
  if (name == nullptr || *name == L'\0') return false;
  auto* value = static_cast<CDuiString*>(m_mCustomAttrHash.Find(name, false));
  if (value == nullptr) return false;
  delete value;
  return m_mCustomAttrHash.Remove(name);
}

void CControlUI::RemoveAllCustomAttribute() {
  for (int i = 0; i < m_mCustomAttrHash.GetSize(); ++i) {
    const wchar_t* key = m_mCustomAttrHash.GetAt(i);
    if (key != nullptr) delete static_cast<CDuiString*>(m_mCustomAttrHash.Find(key, false));
  }
  m_mCustomAttrHash.Resize(83);
}

void CControlUI::setInstance(HINSTANCE instance) { m_instance = instance; }
HINSTANCE CControlUI::GetInstance() const { return m_instance; }

// --- attributes ------------------------------------------------------------------------------

void CControlUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = L"";
  if (Is(name, L"style") && m_pManager != nullptr) {
    const wchar_t* style = m_pManager->GetStyle(value);
    if (style != nullptr) {
      ApplyAttributeList(style);
      return;
    }
  }
  if (Is(name, L"innerstyle")) {
    ApplyAttributeList(value);
  } else if (Is(name, L"pos")) {
    RECT rc = ParseSkinRect(value);
    SIZE xy = {rc.left, rc.top};
    SetFixedXY(xy);
    SetFixedWidth(ClampToInt(llabs(static_cast<int64_t>(rc.right) - rc.left)), true);
    SetFixedHeight(ClampToInt(llabs(static_cast<int64_t>(rc.bottom) - rc.top)), true);
  } else if (Is(name, L"xy")) {
    SetFixedXY(ParseSkinSize(value));
  } else if (Is(name, L"float")) {
    if (wcschr(value, L',') != nullptr) {
      wchar_t* end = nullptr;
      double left = wcstod(value, &end);
      double top = 0;
      if (end != nullptr && *end != L'\0') top = wcstod(end + 1, nullptr);
      TPercentInfo percent = {left, top, 0, 0};
      SetFloatPercent(percent);
      SetFloat(true);
    } else {
      SetFloat(ParseSkinBool(value));
    }
  } else if (Is(name, L"floatalign")) {
    UINT align = GetFloatAlign();
    CDuiString words(value);
    words.Replace(L",", L" ");
    const wchar_t* p = words.GetData();
    while (*p != L'\0') {
      while (*p == L' ') ++p;
      const wchar_t* start = p;
      while (*p != L'\0' && *p != L' ') ++p;
      CDuiString word(start, static_cast<int>(p - start));
      if (word == L"null") {
        align = 0;
      } else if (word == L"left") {
        align &= ~(FloatAlignCenter | FloatAlignRight);
      } else if (word == L"center") {
        align = (align | FloatAlignCenter) & ~FloatAlignRight;
      } else if (word == L"right") {
        align = (align | FloatAlignRight) & ~FloatAlignCenter;
      } else if (word == L"top") {
        align &= ~(FloatAlignVCenter | FloatAlignBottom);
      } else if (word == L"vcenter") {
        align = (align | FloatAlignVCenter) & ~FloatAlignBottom;
      } else if (word == L"bottom") {
        align = (align | FloatAlignBottom) & ~FloatAlignVCenter;
      }
    }
    SetFloatAlign(align);
  } else if (Is(name, L"padding")) {
    SetPadding(ParseSkinRect(value), true);
  } else if (Is(name, L"gradient")) {
    SetGradient(value);
  } else if (Is(name, L"tooltipgap")) {
    SetToolTipGap(ParseSkinSize(value));
  } else if (Is(name, L"tooltipmode")) {
    int mode = ParseSkinInt(value);
    if (mode >= ToolTipLeft && mode <= ToolTipBottom) SetToolTipShowMode(static_cast<ToolTipType>(mode));
  } else if (Is(name, L"bkcolor") || Is(name, L"bkcolor1")) {
    SetBkColor(ParseSkinColor(value, true));
  } else if (Is(name, L"bkcolor2")) {
    SetBkColor2(ParseSkinColor(value, true));
  } else if (Is(name, L"bkcolor3")) {
    SetBkColor3(ParseSkinColor(value, true));
  } else if (Is(name, L"disabledbkcolor")) {
    SetDisableBkColor(ParseSkinColor(value, true));
  } else if (Is(name, L"focusbkcolor")) {
    SetFocusBKColor(ParseSkinColor(value, true));
  } else if (Is(name, L"forecolor")) {
    SetForeColor(ParseSkinColor(value, true));
  } else if (Is(name, L"bordercolor")) {
    SetBorderColor(ParseSkinColor(value, false));
  } else if (Is(name, L"focusbordercolor")) {
    SetFocusBorderColor(ParseSkinColor(value, false));
  } else if (Is(name, L"colorhsl")) {
    SetColorHSL(ParseSkinBool(value));
  } else if (Is(name, L"bordersize")) {
    if (wcschr(value, L',') != nullptr) {
      SetBorderSize(ParseSkinRect(value));
    } else {
      SetBorderSize(ParseSkinInt(value));
      RECT zero = {0, 0, 0, 0};
      SetBorderSize(zero);
    }
    Invalidate();
  } else if (Is(name, L"leftbordersize")) {
    SetLeftBorderSize(ParseSkinInt(value));
  } else if (Is(name, L"topbordersize")) {
    SetTopBorderSize(ParseSkinInt(value));
  } else if (Is(name, L"rightbordersize")) {
    SetRightBorderSize(ParseSkinInt(value));
  } else if (Is(name, L"bottombordersize")) {
    SetBottomBorderSize(ParseSkinInt(value));
  } else if (Is(name, L"borderstyle")) {
    SetBorderStyle(ParseSkinInt(value));
  } else if (Is(name, L"borderround")) {
    SetBorderRound(ParseSkinSize(value));
  } else if (Is(name, L"bkimage")) {
    SetBkImage(value);
  } else if (Is(name, L"foreimage")) {
    SetForeImage(value);
  } else if (Is(name, L"width")) {
    SetFixedWidth(ParseSkinInt(value), true);
  } else if (Is(name, L"height")) {
    SetFixedHeight(ParseSkinInt(value), true);
  } else if (Is(name, L"minwidth")) {
    SetMinWidth(ParseSkinInt(value));
  } else if (Is(name, L"minheight")) {
    SetMinHeight(ParseSkinInt(value));
  } else if (Is(name, L"maxwidth")) {
    SetMaxWidth(ParseSkinInt(value));
  } else if (Is(name, L"maxheight")) {
    SetMaxHeight(ParseSkinInt(value));
  } else if (Is(name, L"name")) {
    SetName(value);
  } else if (Is(name, L"drag")) {
    SetDragEnable(ParseSkinBool(value));
  } else if (Is(name, L"drop")) {
    SetDropEnable(ParseSkinBool(value));
  } else if (Is(name, L"resourcetext")) {
    SetResourceText(ParseSkinBool(value));
  } else if (Is(name, L"richevent")) {
    SetRichEvent(ParseSkinBool(value));
  } else if (Is(name, L"text")) {
    SetText(value);
  } else if (Is(name, L"tooltip")) {
    SetToolTip(value);
  } else if (Is(name, L"userdata")) {
    SetUserData(value);
  } else if (Is(name, L"enabled")) {
    SetEnabled(ParseSkinBool(value));
  } else if (Is(name, L"mouse")) {
    SetMouseEnabled(ParseSkinBool(value));
  } else if (Is(name, L"keyboard")) {
    SetKeyboardEnabled(ParseSkinBool(value));
  } else if (Is(name, L"visible")) {
    SetVisible(ParseSkinBool(value), true);
  } else if (Is(name, L"shortcut")) {
    SetShortcut(value[0]);
  } else if (Is(name, L"menu")) {
    SetContextMenuUsed(ParseSkinBool(value));
  } else if (Is(name, L"cursor")) {
    for (const CursorName& cursor : kCursorNames) {
      if (Is(value, cursor.name)) {
        SetCursor(cursor.id);
        break;
      }
    }
  } else if (Is(name, L"virtualwnd")) {
    SetVirtualWnd(value);
  } else {
    AddCustomAttribute(name, value);
  }
}

CControlUI* CControlUI::ApplyAttributeList(const wchar_t* list) {
  if (list == nullptr) return this;
  // A style naming itself, directly or through others, ends here instead of recursing forever.
  if (g_attributeListDepth >= kMaxAttributeListDepth) return this;
  struct DepthCount {
    DepthCount() { ++g_attributeListDepth; }
    ~DepthCount() { --g_attributeListDepth; }
  } depth;

  if (m_pManager != nullptr) {
    const wchar_t* style = m_pManager->GetStyle(list);
    if (style != nullptr && *style != L'\0') return ApplyAttributeList(style);
  }
  CDuiString text(list);
  text.Replace(L"&quot;", L"\"");
  text.Replace(L"\r", L" ");
  text.Replace(L"\n", L" ");
  text.Replace(L"\t", L" ");
  const wchar_t* p = text.GetData();
  while (*p == L' ') ++p;
  CDuiString trimmed(p);
  while (!trimmed.IsEmpty() && trimmed.GetAt(trimmed.GetLength() - 1) == L' ') {
    trimmed = trimmed.Left(trimmed.GetLength() - 1);
  }

  p = trimmed.GetData();
  while (*p != L'\0') {
    while (*p == L' ') ++p;
    const wchar_t* nameStart = p;
    while (*p != L'\0' && *p != L'=') ++p;
    if (*p != L'=') break;
    CDuiString name(nameStart, static_cast<int>(p - nameStart));
    ++p;
    if (*p != L'"') break;
    ++p;
    const wchar_t* valueStart = p;
    while (*p != L'\0' && *p != L'"') ++p;
    if (*p != L'"') break;
    CDuiString value(valueStart, static_cast<int>(p - valueStart));
    SetAttribute(name, value);
    ++p;
    if (*p != L' ' && *p != L',') break;
    ++p;
  }
  return this;
}

// --- copying ---------------------------------------------------------------------------------

CControlUI* CControlUI::Clone() {
  CControlUI* copy = new (std::nothrow) CControlUI();
  if (copy != nullptr) copy->CopyData(this);
  return copy;
}

void CControlUI::CopyData(CControlUI* control) {
  if (control == nullptr || control == this) return;
  SetName(control->m_sName);
  SetText(control->m_sText);
  SetHotText(control->m_sHotText);
  SetToolTip(control->m_sToolTip);
  SetUserData(control->m_sUserData);
  SetTag(control->m_pTag);
  m_cXY = control->m_cXY;
  m_cxyFixed = control->m_cxyFixed;
  m_cxyMin = control->m_cxyMin;
  m_cxyMax = control->m_cxyMax;
  m_rcPadding = control->m_rcPadding;
  m_rcPaddingScaled = control->m_rcPaddingScaled;
  m_cXYScaled = control->m_cXYScaled;
  m_cxyFixedScaled = control->m_cxyFixedScaled;
  m_cxyMinScaled = control->m_cxyMinScaled;
  m_cxyMaxScaled = control->m_cxyMaxScaled;
  m_rcItem = control->m_rcItem;
  m_instance = control->m_instance;
  m_wCursor = control->m_wCursor;
  m_hCursor = control->m_hCursor;
  SetBkColor(control->m_dwBackColor);
  SetBkColor2(control->m_dwBackColor2);
  SetBkColor3(control->m_dwBackColor3);
  SetDisableBkColor(control->m_dwDisabledBkColor);
  SetForeColor(control->m_dwForeColor);
  SetBorderColor(control->m_dwBorderColor);
  SetFocusBorderColor(control->m_dwFocusBorderColor);
  SetFocusBKColor(control->m_dwFocusBkColor);
  SetColorHSL(control->m_bColorHSL);
  SetBkImage(control->m_sBkImage);
  SetForeImage(control->m_sForeImage);
  SetGradient(control->m_sGradient);
  SetBorderSize(control->m_nBorderSize);
  SetBorderSize(control->m_rcBorderSize);
  SetBorderRound(control->m_cxyBorderRound);
  SetBorderStyle(control->m_nBorderStyle);
  SetVisible(control->m_bVisible, false);
  m_bVisible = control->m_bVisible;
  m_bInternVisible = control->m_bInternVisible;
  SetEnabled(control->m_bEnabled);
  SetMouseEnabled(control->m_bMouseEnabled);
  SetKeyboardEnabled(control->m_bKeyboardEnabled);
  m_bFloat = control->m_bFloat;
  m_piFloatPercent = control->m_piFloatPercent;
  m_uFloatAlign = control->m_uFloatAlign;
  SetResourceText(control->m_bResourceText);
  SetDragEnable(control->m_bDragEnabled);
  SetDropEnable(control->m_bDropEnabled);
  SetRichEvent(control->m_bRichEvent);
  SetShortcut(control->m_chShortcut);
  m_nTooltipWidth = control->m_nTooltipWidth;
  m_szToolTipGap = control->m_szToolTipGap;
  m_toolTipType = control->m_toolTipType;
  SetContextMenuUsed(control->m_bMenuUsed);
  m_sVirtualWnd = control->m_sVirtualWnd;
  m_mapUserData = control->m_mapUserData;
  for (int i = 0; i < control->m_mCustomAttrHash.GetSize(); ++i) {
    const wchar_t* key = control->m_mCustomAttrHash.GetAt(i);
    if (key == nullptr) continue;
    auto* value = static_cast<CDuiString*>(control->m_mCustomAttrHash.Find(key, false));
    if (value != nullptr) AddCustomAttribute(key, *value);
  }
}

}  // namespace ZQUI
