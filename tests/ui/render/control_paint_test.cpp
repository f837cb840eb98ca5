// The base control's background and border phases painted into a DIB, and the global HSL colour
// shift checked against an HSL conversion written here independently of the library's.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "tests/ui/render/render_test_support.h"
#include "ui/core/control.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"

namespace ZQUI {
namespace {

using test::Canvas;

constexpr DWORD kBlack = 0xFF000000u;

int Red(DWORD c) { return static_cast<int>((c >> 16) & 0xFF); }
int Green(DWORD c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(DWORD c) { return static_cast<int>(c & 0xFF); }

// True when each colour channel of `actual` is within `tolerance` of `expected`.
bool Near(DWORD actual, DWORD expected, int tolerance) {
  return std::abs(Red(actual) - Red(expected)) <= tolerance && std::abs(Green(actual) - Green(expected)) <= tolerance &&
         std::abs(Blue(actual) - Blue(expected)) <= tolerance;
}

std::string Hex(DWORD value) {
  char text[16];
  snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

::testing::AssertionResult ColourNear(DWORD actual, DWORD expected, int tolerance) {
  if (Near(actual, expected, tolerance)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << Hex(actual) << " is not within " << tolerance << " of " << Hex(expected);
}

using Attributes = std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>;

// Applies skin attributes (name, value) to the control and places it at `pos`.
void Configure(CControlUI& control, const RECT& pos, Attributes attributes) {
  for (const auto& attribute : attributes) control.SetAttribute(attribute.first, attribute.second);
  control.SetPos(pos, false);
}

// Pixels of the canvas outside `rc` that are not black.
int InkOutside(const Canvas& canvas, const RECT& rc) {
  int count = 0;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      POINT pt = {x, y};
      if (!PtInRect(&rc, pt) && canvas.Rgb(x, y) != kBlack) ++count;
    }
  }
  return count;
}

TEST(ControlBackground, AnOpaqueColourFillsOnlyThePaintAreaATranslucentOneTheWholeControl) {
  const RECT pos = {10, 0, 110, 40};
  const RECT leftHalf = {0, 0, 60, 40};
  Canvas opaque(120, 40, kBlack);
  CControlUI solid;
  Configure(solid, pos, {{L"bkcolor", L"0xFF336699"}});
  ASSERT_TRUE(solid.Paint(opaque.dc(), leftHalf, nullptr));
  EXPECT_EQ(opaque.Rgb(10, 20), 0xFF336699u);
  EXPECT_EQ(opaque.Rgb(59, 39), 0xFF336699u);
  EXPECT_EQ(opaque.CountDiffering(RECT{10, 0, 60, 40}, opaque.At(10, 20)), 0);
  EXPECT_EQ(opaque.CountDifferingRgb(RECT{60, 0, 120, 40}, kBlack), 0);
  EXPECT_EQ(opaque.CountDifferingRgb(RECT{0, 0, 10, 40}, kBlack), 0);

  // Half alpha over black: every channel halves, on both halves of the control.
  Canvas translucent(120, 40, kBlack);
  CControlUI glass;
  Configure(glass, pos, {{L"bkcolor", L"0x80336699"}});
  ASSERT_TRUE(glass.Paint(translucent.dc(), leftHalf, nullptr));
  const DWORD blended = (0x33 * 0x80 / 255) << 16 | (0x66 * 0x80 / 255) << 8 | (0x99 * 0x80 / 255);
  EXPECT_TRUE(ColourNear(translucent.At(10, 20), blended, 2));
  EXPECT_TRUE(ColourNear(translucent.At(109, 39), blended, 2));
  EXPECT_EQ(translucent.CountDiffering(pos, translucent.At(10, 20)), 0);
  EXPECT_EQ(InkOutside(translucent, pos), 0);
}

// Red to green over the first half, green to blue over the second.
const Attributes kThreeColours = {
    {L"bkcolor", L"#FFFF0000"}, {L"bkcolor2", L"#FF00FF00"}, {L"bkcolor3", L"#FF0000FF"}};

TEST(ControlBackground, ThreeColoursMakeTwoGradientsMeetingAtTheMiddle) {
  const RECT pos = {10, 20, 110, 120};  // the halves meet at y = 70 (x = 60 across)
  Canvas down(130, 140, kBlack);
  CControlUI vertical;
  Configure(vertical, pos, kThreeColours);
  ASSERT_TRUE(vertical.Paint(down.dc(), RECT{0, 0, 130, 140}, nullptr));
  EXPECT_TRUE(ColourNear(down.At(50, 20), 0xFF0000, 8));
  EXPECT_TRUE(ColourNear(down.At(50, 45), 0x808000, 12));  // halfway through the first gradient
  EXPECT_TRUE(ColourNear(down.At(50, 69), 0x00FF00, 12));
  EXPECT_TRUE(ColourNear(down.At(50, 70), 0x00FF00, 8));   // the second gradient starts at green
  EXPECT_TRUE(ColourNear(down.At(50, 95), 0x008080, 12));
  EXPECT_TRUE(ColourNear(down.At(50, 119), 0x0000FF, 12));
  // No blue in the upper half and no red in the lower half: two gradients, not one over the whole.
  for (int y = 20; y < 70; ++y) EXPECT_LE(Blue(down.At(50, y)), 2) << y;
  for (int y = 70; y < 120; ++y) EXPECT_LE(Red(down.At(50, y)), 2) << y;
  for (int y = 20; y < 120; ++y) EXPECT_EQ(down.At(10, y), down.At(109, y)) << y;  // rows are uniform
  EXPECT_EQ(InkOutside(down, pos), 0);

  // Across: the same two halves, each running left to right.
  Canvas across(130, 140, kBlack);
  CControlUI horizontal;
  Configure(horizontal, pos, kThreeColours);
  horizontal.SetAttribute(L"gradient", L"HOR");
  ASSERT_TRUE(horizontal.Paint(across.dc(), RECT{0, 0, 130, 140}, nullptr));
  EXPECT_TRUE(ColourNear(across.At(10, 45), 0xFF0000, 8));
  EXPECT_TRUE(ColourNear(across.At(60, 45), 0x808000, 12));
  EXPECT_TRUE(ColourNear(across.At(109, 45), 0x00FF00, 12));
  EXPECT_TRUE(ColourNear(across.At(10, 95), 0x00FF00, 8));
  EXPECT_TRUE(ColourNear(across.At(60, 95), 0x008080, 12));
  EXPECT_TRUE(ColourNear(across.At(109, 95), 0x0000FF, 12));
  for (int x = 10; x < 110; ++x) {
    EXPECT_LE(Blue(across.At(x, 45)), 2) << x;
    EXPECT_LE(Red(across.At(x, 95)), 2) << x;
    EXPECT_EQ(across.At(x, 20), across.At(x, 69)) << x;  // columns are uniform within a half
    EXPECT_EQ(across.At(x, 70), across.At(x, 119)) << x;
  }
  EXPECT_EQ(InkOutside(across, pos), 0);
}

TEST(ControlBackground, ADisabledControlShowsOnlyItsDisabledColour) {
  const RECT pos = {10, 10, 70, 50};
  CControlUI control;
  Configure(control, pos, kThreeColours);
  control.SetAttribute(L"gradient", L"hor");
  control.SetAttribute(L"disabledbkcolor", L"#FFFFCC00");
  control.SetEnabled(false);
  Canvas disabled(80, 60, kBlack);
  ASSERT_TRUE(control.Paint(disabled.dc(), RECT{0, 0, 80, 60}, nullptr));
  EXPECT_EQ(disabled.CountDifferingRgb(pos, 0xFFFFCC00), 0);
  EXPECT_EQ(InkOutside(disabled, pos), 0);
  // Enabled again, the gradients are back (the upper one starts red on the left).
  control.SetEnabled(true);
  Canvas enabled(80, 60, kBlack);
  ASSERT_TRUE(control.Paint(enabled.dc(), RECT{0, 0, 80, 60}, nullptr));
  EXPECT_TRUE(ColourNear(enabled.At(10, 20), 0xFF0000, 8));
  EXPECT_EQ(enabled.CountDifferingRgb(pos, 0xFFFFCC00), 60 * 40);
}

TEST(ControlBorder, AUniformSizeDrawsARectangleOrWithARoundSizeARoundedOutline) {
  const RECT pos = {10, 10, 50, 50};
  Canvas square(60, 60, kBlack);
  CControlUI plain;
  Configure(plain, pos, {{L"bordersize", L"1"}, {L"bordercolor", L"#FFFFFFFF"}});
  ASSERT_TRUE(plain.Paint(square.dc(), RECT{0, 0, 60, 60}, nullptr));
  for (int i = 10; i < 50; ++i) {
    EXPECT_GT(Red(square.At(i, 10)), 200) << i;
    EXPECT_GT(Red(square.At(i, 49)), 200) << i;
    EXPECT_GT(Red(square.At(10, i)), 200) << i;
    EXPECT_GT(Red(square.At(49, i)), 200) << i;
  }
  EXPECT_EQ(square.CountDifferingRgb(RECT{11, 11, 49, 49}, kBlack), 0);  // one pixel wide, no fill
  EXPECT_EQ(InkOutside(square, pos), 0);

  Canvas rounded(60, 60, kBlack);
  CControlUI round;
  Configure(round, pos, {{L"bordersize", L"1"}, {L"bordercolor", L"#FFFFFFFF"}, {L"borderround", L"4,4"}});
  ASSERT_TRUE(round.Paint(rounded.dc(), RECT{0, 0, 60, 60}, nullptr));
  // The corners are cut away by the rounded clip; the straight edges between them are drawn.
  EXPECT_LT(Red(rounded.At(10, 10)), 100);
  EXPECT_LT(Red(rounded.At(49, 10)), 100);
  EXPECT_LT(Red(rounded.At(10, 49)), 100);
  EXPECT_LT(Red(rounded.At(49, 49)), 100);
  for (int i = 14; i < 46; ++i) {
    EXPECT_GT(Red(rounded.At(i, 10)), 100) << i;
    EXPECT_GT(Red(rounded.At(10, i)), 100) << i;
  }
  // Radius 2 (half the round width): the edges run to two pixels from the corner and the arc stays
  // off the pixels diagonal to it, where an arc of radius 4 would pass.
  EXPECT_GT(Red(rounded.At(12, 10)), 100);
  EXPECT_GT(Red(rounded.At(10, 12)), 100);
  EXPECT_LT(Red(rounded.At(12, 11)), 100);
  EXPECT_LT(Red(rounded.At(11, 12)), 100);
  EXPECT_EQ(rounded.CountDifferingRgb(RECT{12, 12, 48, 48}, kBlack), 0);
  EXPECT_EQ(InkOutside(rounded, pos), 0);
}

TEST(ControlBorder, ABottomSideSizeDrawsOnlyTheBottomLine) {
  const RECT pos = {10, 10, 50, 50};
  Canvas canvas(60, 60, kBlack);
  CControlUI control;
  Configure(control, pos, {{L"bordersize", L"0,0,0,1"}, {L"bordercolor", L"#FF00FF00"}});
  ASSERT_TRUE(control.Paint(canvas.dc(), RECT{0, 0, 60, 60}, nullptr));
  EXPECT_EQ(canvas.CountDifferingRgb(RECT{10, 49, 50, 50}, 0xFF00FF00), 0);
  EXPECT_EQ(canvas.CountDifferingRgb(RECT{0, 0, 60, 60}, kBlack), 40);
}

// Reference HSL conversion (hue in degrees, saturation and lightness in 0..1), written with the
// chroma formulation so that it shares no code or structure with the library's.
struct Hsl {
  double h, s, l;
};

Hsl ToHsl(DWORD color) {
  const double r = Red(color) / 255.0, g = Green(color) / 255.0, b = Blue(color) / 255.0;
  const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
  const double chroma = hi - lo;
  Hsl out = {0.0, 0.0, (hi + lo) / 2.0};
  if (chroma == 0.0) return out;
  out.s = chroma / (1.0 - std::fabs(2.0 * out.l - 1.0));
  double sector;
  if (hi == r) {
    sector = std::fmod((g - b) / chroma + 6.0, 6.0);
  } else if (hi == g) {
    sector = (b - r) / chroma + 2.0;
  } else {
    sector = (r - g) / chroma + 4.0;
  }
  out.h = 60.0 * sector;
  return out;
}

DWORD FromHsl(const Hsl& in) {
  const double chroma = (1.0 - std::fabs(2.0 * in.l - 1.0)) * in.s;
  const double sector = std::fmod(in.h, 360.0) / 60.0;
  const double second = chroma * (1.0 - std::fabs(std::fmod(sector, 2.0) - 1.0));
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(sector)) {
    case 0: r = chroma, g = second; break;
    case 1: r = second, g = chroma; break;
    case 2: g = chroma, b = second; break;
    case 3: g = second, b = chroma; break;
    case 4: r = second, b = chroma; break;
    default: r = chroma, b = second; break;
  }
  const double m = in.l - chroma / 2.0;
  auto byte = [m](double v) { return static_cast<DWORD>(std::lround(std::clamp(v + m, 0.0, 1.0) * 255.0)); };
  return byte(r) << 16 | byte(g) << 8 | byte(b);
}

DWORD Shifted(DWORD color, int hue, int saturation, int lightness) {
  Hsl hsl = ToHsl(color);
  hsl.h += hue - 180;
  if (hsl.h <= 0.0) hsl.h += 360.0;
  hsl.s = std::min(1.0, hsl.s * saturation / 100.0);
  hsl.l = std::min(1.0, hsl.l * lightness / 100.0);
  return (color & 0xFF000000u) | FromHsl(hsl);
}

// The global shift is process-wide: every test leaves it neutral again.
class ColourHsl : public ::testing::Test {
 protected:
  void TearDown() override { CPaintManagerUI::SetHSL(false, 180, 100, 100); }
};

struct HslCase {
  DWORD color;
  short hue, saturation, lightness;
  DWORD expected;  // worked out by hand
};

const HslCase kHslCases[] = {
    // 0x336699 is hue 210, saturation 0.5, lightness 0.4.
    {0xFF336699, 240, 100, 100, 0xFF663399},  // hue 270
    {0x80336699, 90, 100, 100, 0x80339933},   // hue 120, alpha kept
    {0xFF336699, 180, 100, 150, 0xFF6699CC},  // lightness 0.6
    {0xFF00FFFF, 0, 100, 100, 0xFFFF0000},    // hue 180 - 180 = 0 counts as 360: red
    {0xFFCC3333, 180, 50, 100, 0xFFA65959},   // saturation 0.6 -> 0.3
    {0xFF808080, 240, 100, 100, 0xFF808080},  // grey has no hue to turn
};

TEST_F(ColourHsl, AShiftTurnsHueAndScalesSaturationAndLightnessKeepingAlpha) {
  CControlUI shifted;
  shifted.SetColorHSL(true);
  CControlUI unshifted;
  for (const HslCase& c : kHslCases) {
    SCOPED_TRACE(::testing::Message() << Hex(c.color) << " by " << c.hue << "," << c.saturation << ","
                                      << c.lightness);
    ASSERT_TRUE(ColourNear(Shifted(c.color, c.hue, c.saturation, c.lightness), c.expected, 1));
    DWORD direct = CRenderEngine::AdjustColor(c.color, c.hue, c.saturation, c.lightness);
    EXPECT_TRUE(ColourNear(direct, c.expected, 1));
    EXPECT_EQ(direct >> 24, c.color >> 24);
    CPaintManagerUI::SetHSL(true, c.hue, c.saturation, c.lightness);
    DWORD adjusted = shifted.GetAdjustColor(c.color);
    EXPECT_TRUE(ColourNear(adjusted, c.expected, 1));
    EXPECT_EQ(adjusted >> 24, c.color >> 24);
    EXPECT_EQ(unshifted.GetAdjustColor(c.color), c.color);  // the control's flag is off
  }
}

TEST_F(ColourHsl, ShiftsOfManyColoursAgreeWithTheStandardFormulas) {
  const short shifts[][3] = {{240, 100, 100}, {30, 100, 100}, {300, 80, 70}, {100, 130, 90}, {181, 100, 100}};
  CControlUI control;
  control.SetColorHSL(true);
  for (const auto& shift : shifts) {
    CPaintManagerUI::SetHSL(true, shift[0], shift[1], shift[2]);
    for (DWORD r = 0; r < 256; r += 51) {
      for (DWORD g = 0; g < 256; g += 51) {
        for (DWORD b = 0; b < 256; b += 51) {
          const DWORD color = 0xC0000000u | r << 16 | g << 8 | b;
          const DWORD expected = Shifted(color, shift[0], shift[1], shift[2]);
          EXPECT_TRUE(ColourNear(CRenderEngine::AdjustColor(color, shift[0], shift[1], shift[2]), expected, 1))
              << Hex(color) << " by " << shift[0] << "," << shift[1] << "," << shift[2];
          EXPECT_TRUE(ColourNear(control.GetAdjustColor(color), expected, 1))
              << Hex(color) << " by " << shift[0] << "," << shift[1] << "," << shift[2];
        }
      }
    }
  }
}

TEST_F(ColourHsl, AControlWithColourHslPaintsItsShiftedBackground) {
  const RECT pos = {0, 0, 20, 20};
  CPaintManagerUI::SetHSL(true, 240, 100, 100);
  CControlUI shifted;
  Configure(shifted, pos, {{L"bkcolor", L"#FF336699"}, {L"colorhsl", L"true"}});
  Canvas canvas(20, 20, kBlack);
  ASSERT_TRUE(shifted.Paint(canvas.dc(), pos, nullptr));
  EXPECT_TRUE(ColourNear(canvas.At(10, 10), 0x663399, 1));
  CControlUI plain;
  Configure(plain, pos, {{L"bkcolor", L"#FF336699"}});
  ASSERT_TRUE(plain.Paint(canvas.dc(), pos, nullptr));
  EXPECT_EQ(canvas.Rgb(10, 10), 0xFF336699u);
}

}  // namespace
}  // namespace ZQUI
