// TooltipWnd: the paint manager's tooltip window, a skinned window built from "tooltip\tooltip.xml"
// and owned by the manager's window. Its tab layout "tab_layout" holds one page per show mode, each
// with a text label. Each kMsgShowToolTip request (which it frees) selects the page of the request's
// show mode, puts the text into that page's label, sizes the window to the word-wrapped text,
// places it beside the control on the side the mode names, inside the work area, and shows it
// topmost. It never takes activation. UI thread only.
#pragma once

#include <windows.h>

#include "ui/core/paint_manager.h"
#include "ui/core/window_impl_base.h"

namespace ZQUI {

class CLabelUI;

class TooltipWnd : public WindowImplBase {
 public:
  static constexpr const wchar_t* kClassName = L"TooltipWnd";
  static constexpr const wchar_t* kSkinFile = L"tooltip\\tooltip.xml";
  static constexpr const wchar_t* kTabLayoutName = L"tab_layout";
  // The extended styles the manager creates the window with.
  static constexpr DWORD kExStyle = WS_EX_NOACTIVATE | WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW;
  // Wrap width, in skin units, of a request that names none.
  static constexpr int kDefaultWrapWidth = 300;

  TooltipWnd() = default;

  const wchar_t* GetWindowClassName() const override;
  CDuiString GetSkinFile() override;
  void OnFinalMessage(HWND hwnd) override;
  LRESULT OnNcHitTest(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) override;

  // Hands the object to its window, whose destruction deletes it from then on. A creation that
  // failed (a skin that does not load) leaves the object to its creator.
  void DeleteWithWindow();

  // Names of the page and of its text label for a show mode; any other mode uses the bottom ones.
  static const wchar_t* PageName(int mode);
  static const wchar_t* LabelName(int mode);
  // Top-left corner of a tooltip of `size` beside `control` (screen coordinates): left of, above
  // or right of it for those modes, below it for any other, offset by `gap`, then moved inside
  // `work`.
  static POINT PlaceBeside(const RECT& control, int mode, SIZE gap, SIZE size, const RECT& work);

 private:
  void ShowRequest(const TToolTipRequest& request);
  // Extent of `text` in the label's font and style, wrapped at `wrapWidth`.
  SIZE MeasureText(CLabelUI* label, const CDuiString& text, int wrapWidth);

  bool m_bDeleteWithWindow = false;
};

}  // namespace ZQUI
