// The global HSL colour shift applied to colours and to images loaded with the HSL flag.
#include <windows.h>

#include <cmath>
#include <cstring>

#include "ui/core/render_engine.h"

namespace ZQUI {

namespace {

void RgbToHsl(BYTE r8, BYTE g8, BYTE b8, float* h, float* s, float* l) {
  float r = r8 / 255.0f, g = g8 / 255.0f, b = b8 / 255.0f;
  float maxc = r > g ? (r > b ? r : b) : (g > b ? g : b);
  float minc = r < g ? (r < b ? r : b) : (g < b ? g : b);
  *l = (maxc + minc) / 2.0f;
  if (maxc == minc) {
    *h = 0.0f;
    *s = 0.0f;
    return;
  }
  float d = maxc - minc;
  *s = *l > 0.5f ? d / (2.0f - maxc - minc) : d / (maxc + minc);
  float hue;
  if (maxc == r) hue = (g - b) / d + (g < b ? 6.0f : 0.0f);
  else if (maxc == g) hue = (b - r) / d + 2.0f;
  else hue = (r - g) / d + 4.0f;
  *h = hue * 60.0f;
}

float HueToChannel(float p, float q, float t) {
  if (t < 0.0f) t += 1.0f;
  if (t > 1.0f) t -= 1.0f;
  if (t < 1.0f / 6.0f) return p + (q - p) * 6.0f * t;
  if (t < 0.5f) return q;
  if (t < 2.0f / 3.0f) return p + (q - p) * (2.0f / 3.0f - t) * 6.0f;
  return p;
}

BYTE ToByte(float v) {
  if (v <= 0.0f) return 0;
  if (v >= 1.0f) return 255;
  return static_cast<BYTE>(v * 255.0f + 0.5f);
}

void HslToRgb(float h, float s, float l, BYTE* r, BYTE* g, BYTE* b) {
  if (s <= 0.0f) {
    *r = *g = *b = ToByte(l);
    return;
  }
  float q = l < 0.5f ? l * (1.0f + s) : l + s - l * s;
  float p = 2.0f * l - q;
  float t = h / 360.0f;
  *r = ToByte(HueToChannel(p, q, t + 1.0f / 3.0f));
  *g = ToByte(HueToChannel(p, q, t));
  *b = ToByte(HueToChannel(p, q, t - 1.0f / 3.0f));
}

void Shift(BYTE* r, BYTE* g, BYTE* b, short hue, short saturation, short lightness) {
  float h, s, l;
  RgbToHsl(*r, *g, *b, &h, &s, &l);
  h += static_cast<float>(hue - 180);
  if (h <= 0.0f) h += 360.0f;
  if (h > 360.0f) h -= 360.0f;
  s *= saturation / 100.0f;
  l *= lightness / 100.0f;
  if (s > 1.0f) s = 1.0f;
  if (l > 1.0f) l = 1.0f;
  HslToRgb(h, s, l, r, g, b);
}

}  // namespace

DWORD CRenderEngine::AdjustColor(DWORD color, short hue, short saturation, short lightness) {
  if (hue == 180 && saturation == 100 && lightness == 100) return color;
  BYTE r = static_cast<BYTE>(color >> 16), g = static_cast<BYTE>(color >> 8), b = static_cast<BYTE>(color);
  Shift(&r, &g, &b, hue, saturation, lightness);
  return (color & 0xFF000000u) | static_cast<DWORD>(r) << 16 | static_cast<DWORD>(g) << 8 | b;
}

void CRenderEngine::AdjustImage(bool useHSL, TImageInfo* image, short hue, short saturation, short lightness) {
  if (image == nullptr || !image->bUseHSL || image->pBits == nullptr || image->pSrcBits == nullptr) return;
  size_t count = static_cast<size_t>(image->nX) * static_cast<size_t>(image->nY);
  GdiFlush();
  if (!useHSL || (hue == 180 && saturation == 100 && lightness == 100)) {
    memcpy(image->pBits, image->pSrcBits, count * 4u);
    return;
  }
  for (size_t i = 0; i < count; ++i) {
    const BYTE* in = image->pSrcBits + i * 4;
    BYTE* out = image->pBits + i * 4;
    BYTE b = in[0], g = in[1], r = in[2];
    Shift(&r, &g, &b, hue, saturation, lightness);
    out[0] = b;
    out[1] = g;
    out[2] = r;
    out[3] = in[3];
  }
}

}  // namespace ZQUI
