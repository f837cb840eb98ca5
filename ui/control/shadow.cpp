// Unfinished: settings only; the shadow window, its drawing and the subclass are still to come.
#include "ui/control/shadow.h"

namespace ZQUI {

CShadowBitmap::~CShadowBitmap() { Release(); }
bool CShadowBitmap::Create(int, int) { return false; }
void CShadowBitmap::Release() {}
uint32_t CShadowBitmap::PixelAt(int, int) const { return 0; }

CShadowUI::CShadowUI() = default;
CShadowUI::~CShadowUI() = default;
bool CShadowUI::Initialize(HINSTANCE) { return false; }
void CShadowUI::Create(CPaintManagerUI*) {}
void CShadowUI::ShowShadow(bool show) { m_bIsShowShadow = show; }
bool CShadowUI::IsShowShadow() const { return m_bIsShowShadow; }
void CShadowUI::DisableShadow(bool disable) { m_bIsDisableShadow = disable; }
bool CShadowUI::IsDisableShadow() const { return m_bIsDisableShadow; }
bool CShadowUI::SetSize(int) { return false; }
bool CShadowUI::SetSharpness(unsigned int) { return false; }
bool CShadowUI::SetDarkness(unsigned int) { return false; }
bool CShadowUI::SetPosition(int, int) { return false; }
bool CShadowUI::SetColor(COLORREF) { return false; }
bool CShadowUI::SetImage(const wchar_t*) { return false; }
bool CShadowUI::SetShadowCorner(RECT) { return false; }
bool CShadowUI::CopyShadow(CShadowUI*) { return false; }
bool CShadowUI::RenderShadow(HWND, CShadowBitmap&) { return false; }
std::map<HWND, CShadowUI*>& CShadowUI::GetShadowMap() {
  static std::map<HWND, CShadowUI*> map;
  return map;
}

}  // namespace ZQUI
