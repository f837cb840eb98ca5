// A small page built from skin XML, with a nine-slice background, image buttons and Chinese text,
// laid out and painted into a DIB the way a window paints its back buffer. The picture is written
// next to the fixtures (render_page.bmp) so that it can be looked at.
#include <gtest/gtest.h>

#include "tests/ui/render/render_test_support.h"
#include "ui/control/label.h"
#include "ui/core/control.h"
#include "ui/core/dialog_builder.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"

namespace ZQUI {
namespace {

// Pixels inside `rc` whose colour differs between the two canvases.
int CountDifferences(const test::Canvas& a, const test::Canvas& b, const RECT& rc) {
  int count = 0;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) count += a.Rgb(x, y) != b.Rgb(x, y) ? 1 : 0;
  }
  return count;
}

const wchar_t kPage[] =
    L"<Window size=\"320,200\">"
    L"<Font id=\"0\" name=\"\x5FAE\x8F6F\x96C5\x9ED1\" size=\"20\" bold=\"true\"/>"
    L"<Font id=\"1\" name=\"\x5FAE\x8F6F\x96C5\x9ED1\" size=\"14\"/>"
    L"<VerticalLayout bkcolor=\"#FFF4F6F8\">"
    L"<Control height=\"40\" bkimage=\"file='quad.png' corner='2,2,2,2'\"/>"
    L"<Label name=\"title\" height=\"44\" text=\"\x5B89\x88C5\x5411\x5BFC Setup\" font=\"0\" textcolor=\"#FF203040\""
    L" align=\"center\"/>"
    L"<Button name=\"install\" height=\"50\" text=\"\x7ACB\x5373\x5B89\x88C5\" font=\"1\" textcolor=\"#FF000000\""
    L" normalimage=\"file='stripes.png' corner='1,1,1,1' dest='60,6,260,44'\"/>"
    L"<Label name=\"html\" height=\"22\" showhtml=\"true\" font=\"1\" textpadding=\"10,2,10,0\""
    L" text=\"{b}\x7C97\x4F53{/b} {c #FFFF0000}\x7EA2\x8272{/c} {a go}\x94FE\x63A5{/a} {i}italic{/i}\"/>"
    L"<Label name=\"body\" text=\"\x4E2D\x6587\x6587\x672C\x6E32\x67D3\xFF0C\x81EA\x52A8\x6362\x884C\x7684"
    L"\x4E00\x6BB5\x8F83\x957F\x7684\x6587\x5B57\x3002 FreeType\" font=\"1\" textcolor=\"#FF000000\""
    L" wordbreak=\"true\" textpadding=\"10,4,10,4\"/>"
    L"</VerticalLayout></Window>";

TEST(RenderScreenshot, APageWithImagesNineSliceAndChineseTextPaintsIntoTheBackBuffer) {
  test::ResetSkinState();
  CPaintManagerUI::SetResourcePath(test::RenderDataPath().c_str());
  {
    CPaintManagerUI manager;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(kPage, nullptr, nullptr, &manager);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(manager.AttachDialog(root));
    test::Canvas canvas(320, 200, 0xFFFFFFFF);
    RECT page = {0, 0, 320, 200};
    root->SetPos(page);
    root->Paint(canvas.dc(), page, nullptr);
    EXPECT_TRUE(canvas.SaveBmp(test::RenderDataPath() + L"render_page.bmp"));

    // Nine-slice band: red and green corners, white centre.
    EXPECT_EQ(canvas.Rgb(0, 0), 0xFFFF0000u);
    EXPECT_EQ(canvas.Rgb(319, 0), 0xFF00FF00u);
    EXPECT_EQ(canvas.Rgb(160, 20), 0xFFFFFFFFu);
    // Title text inside its band, and ink from the wrapped body text.
    CControlUI* title = manager.FindControl(L"title");
    CControlUI* body = manager.FindControl(L"body");
    ASSERT_NE(title, nullptr);
    ASSERT_NE(body, nullptr);
    EXPECT_GT(canvas.CountDifferingRgb(title->GetPos(), 0xFFF4F6F8), 40);
    EXPECT_GT(canvas.CountDifferingRgb(body->GetPos(), 0xFFF4F6F8), 40);
    CControlUI* html = manager.FindControl(L"html");
    ASSERT_NE(html, nullptr);
    EXPECT_GT(canvas.CountDifferingRgb(html->GetPos(), 0xFFF4F6F8), 40);
    // The button's image sits at its destination inside the button.
    CControlUI* button = manager.FindControl(L"install");
    ASSERT_NE(button, nullptr);
    RECT at = button->GetPos();
    EXPECT_EQ(canvas.Rgb(at.left + 60, at.top + 6), 0xFF808080u);
    EXPECT_EQ(canvas.Rgb(at.left + 30, at.top + 25), 0xFFF4F6F8u);
    // The labels' texts went through FreeType: their ink is exactly what FreeType draws for the same
    // text, box, colour and style over the page colour, and the GDI+ fallback would draw other ink.
    for (CControlUI* control : {title, body}) {
      auto* label = static_cast<CLabelUI*>(control->GetInterface(L"Label"));
      ASSERT_NE(label, nullptr);
      RECT box = label->GetPos();
      RECT padding = label->GetTextPadding();
      box.left += padding.left;
      box.top += padding.top;
      box.right -= padding.right;
      box.bottom -= padding.bottom;
      test::Canvas freetype(320, 200, 0xFFF4F6F8);
      RECT rc = box;
      ASSERT_TRUE(CRenderEngine::FreeTypeDrawText(freetype.dc(), &manager, rc, label->GetText(), label->GetTextColor(),
                                                  label->GetFont(), label->GetTextStyle()));
      test::Canvas gdiplus(320, 200, 0xFFF4F6F8);
      rc = box;
      CRenderEngine::GdiplusDrawText(gdiplus.dc(), &manager, rc, label->GetText(), label->GetTextColor(),
                                     label->GetFont(), label->GetTextStyle());
      EXPECT_EQ(CountDifferences(canvas, freetype, label->GetPos()), 0) << label->GetName().GetData();
      EXPECT_GT(CountDifferences(canvas, gdiplus, label->GetPos()), 40) << label->GetName().GetData();
    }
  }
  test::ResetSkinState();
}

}  // namespace
}  // namespace ZQUI
