#include "ui/control/progress.h"

#include <climits>
#include <cstdint>
#include <cwchar>
#include <new>

#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/skin_values.h"

namespace ZQUI {

namespace {

bool Is(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

// `length` × part / whole in 64 bits, truncated toward zero; `whole` is positive here.
int Proportion(int length, int64_t part, int64_t whole) {
  return static_cast<int>(static_cast<int64_t>(length) * part / whole);
}

}  // namespace

CProgressUI::CProgressUI() {
  m_uTextStyle = DT_CENTER | DT_SINGLELINE;
  SetFixedHeight(12);
}

CControlUI* CProgressUI::CreateControl() { return new (std::nothrow) CProgressUI(); }

const wchar_t* CProgressUI::GetClass() const { return L"ProgressUI"; }

void* CProgressUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && _wcsicmp(name, L"Progress") == 0) return this;
  return CLabelUI::GetInterface(name);
}

CControlUI* CProgressUI::Clone() {
  CProgressUI* copy = new (std::nothrow) CProgressUI();
  if (copy != nullptr) copy->CopyData(this);
  return copy;
}

void CProgressUI::CopyData(CProgressUI* control) {
  if (control == nullptr || control == this) return;
  m_bShowText = control->m_bShowText;
  m_bHorizontal = control->m_bHorizontal;
  m_bStretchForeImage = control->m_bStretchForeImage;
  m_nMax = control->m_nMax;
  m_nMin = control->m_nMin;
  m_nValue = control->m_nValue;
  m_szForeImagePadding = control->m_szForeImagePadding;
  m_sForeImageModify = control->m_sForeImageModify;
  CLabelUI::CopyData(control);
}

bool CProgressUI::IsShowText() const { return m_bShowText; }
void CProgressUI::SetShowText(bool showText) {
  m_bShowText = showText;
  if (!showText) SetText(L"");
}

bool CProgressUI::IsHorizontal() const { return m_bHorizontal; }
void CProgressUI::SetHorizontal(bool horizontal) {
  if (m_bHorizontal == horizontal) return;
  m_bHorizontal = horizontal;
  Invalidate();
}

int CProgressUI::GetMinValue() const { return m_nMin; }
void CProgressUI::SetMinValue(int min) {
  m_nMin = min;
  Invalidate();
}
int CProgressUI::GetMaxValue() const { return m_nMax; }
void CProgressUI::SetMaxValue(int max) {
  m_nMax = max;
  Invalidate();
}
int CProgressUI::GetValue() const { return m_nValue; }
void CProgressUI::SetValue(int value) {
  if (value == m_nValue || value < m_nMin || value > m_nMax) return;
  m_nValue = value;
  Invalidate();
  UpdateText();
}

bool CProgressUI::IsStretchForeImage() const { return m_bStretchForeImage; }
void CProgressUI::SetStretchForeImage(bool stretch) {
  if (m_bStretchForeImage == stretch) return;
  m_bStretchForeImage = stretch;
  Invalidate();
}

void CProgressUI::SetForeImagePadding(SIZE padding) { m_szForeImagePadding = padding; }
SIZE CProgressUI::GetForeImagePadding() const { return m_szForeImagePadding; }

void CProgressUI::UpdateText() {
  if (!m_bShowText) return;
  // An empty or inverted range reads as one step (as painting repairs it), so the text is never
  // "nan%"; a value outside the range shows as its nearer end. Differences are taken in 64 bits.
  int64_t range = static_cast<int64_t>(m_nMax) - m_nMin;
  if (range <= 0) range = 1;
  int64_t done = static_cast<int64_t>(m_nValue) - m_nMin;
  if (done < 0) done = 0;
  if (done > range) done = range;
  float percent = static_cast<float>(done) * 100.0f / static_cast<float>(range);
  CDuiString text;
  text.Format(L"%.0f%%", static_cast<double>(percent));
  SetText(text);
}

void CProgressUI::NormaliseRange() {
  if (m_nMin >= m_nMax) {
    // The largest minimum has no value above it; the range then ends there instead.
    if (m_nMin == INT_MAX) m_nMin = INT_MAX - 1;
    m_nMax = m_nMin + 1;
  }
  if (m_nValue > m_nMax) m_nValue = m_nMax;
  if (m_nValue < m_nMin) m_nValue = m_nMin;
}

RECT CProgressUI::GetFillRect() {
  NormaliseRange();
  RECT rc = m_rcItem;
  const int64_t range = static_cast<int64_t>(m_nMax) - m_nMin;
  if (m_bHorizontal) {
    rc.right = rc.left + Proportion(m_rcItem.right - m_rcItem.left, static_cast<int64_t>(m_nValue) - m_nMin, range);
  } else {
    rc.top = rc.top + Proportion(m_rcItem.bottom - m_rcItem.top, static_cast<int64_t>(m_nMax) - m_nValue, range);
  }
  return rc;
}

void CProgressUI::PaintForeColor(HDC hDC) {
  NormaliseRange();
  if (m_dwForeColor == 0) return;
  RECT rc = GetFillRect();
  CRenderEngine::DrawColor(hDC, rc, GetAdjustColor(m_dwForeColor));
}

void CProgressUI::PaintForeImage(HDC hDC) {
  NormaliseRange();
  if (m_sForeImage.IsEmpty()) return;
  int scale = 100;
  if (m_pManager != nullptr) {
    scale = static_cast<int>(m_pManager->GetDPIObj()->GetScale());
    if (scale <= 0) scale = 100;
  }
  auto unscale = [scale](int x) { return MulDiv(x, 100, scale); };
  const int a = MulDiv(m_szForeImagePadding.cx, scale, 100);
  const int b = MulDiv(m_szForeImagePadding.cy, scale, 100);
  const int width = m_rcItem.right - m_rcItem.left;
  const int height = m_rcItem.bottom - m_rcItem.top;
  const int64_t range = static_cast<int64_t>(m_nMax) - m_nMin;
  int left, top, right, bottom;
  if (m_bHorizontal) {
    int filled = Proportion(width, static_cast<int64_t>(m_nValue) - m_nMin, range);
    left = unscale(0);
    top = unscale(a);
    right = unscale(0) + unscale(filled);
    bottom = unscale(a) + unscale(height - a - b);
  } else {
    int empty = Proportion(height, static_cast<int64_t>(m_nMax) - m_nValue, range);
    left = unscale(a);
    top = unscale(empty);
    right = unscale(a) + unscale(width - a - b);
    bottom = unscale(empty) + unscale(height - empty);
  }
  if (m_bStretchForeImage) {
    m_sForeImageModify.Format(L"dest='%d,%d,%d,%d'", left, top, right, bottom);
  } else {
    // The same numbers as the source show the part of the image that lies under the filled area.
    m_sForeImageModify.Format(L"dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", left, top, right, bottom, left, top,
                              right, bottom);
  }
  DrawImage(hDC, m_sForeImage, m_sForeImageModify);
}

void CProgressUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = L"";
  if (Is(name, L"hor")) {
    SetHorizontal(ParseSkinBool(value));
  } else if (Is(name, L"min")) {
    SetMinValue(ParseSkinInt(value));
  } else if (Is(name, L"max")) {
    SetMaxValue(ParseSkinInt(value));
  } else if (Is(name, L"value")) {
    SetValue(ParseSkinInt(value));
  } else if (Is(name, L"isstretchfore")) {
    SetStretchForeImage(ParseSkinBool(value));
  } else if (Is(name, L"showtext")) {
    SetShowText(ParseSkinBool(value));
  } else if (Is(name, L"foreimagepadding")) {
    SetForeImagePadding(ParseSkinSize(value));
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

}  // namespace ZQUI
