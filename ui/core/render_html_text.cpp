// The small HTML-like markup of labels: inline tags opened by '<' or '{' and closed by '>' or '}'.
// Runs are measured with GDI fonts derived from the current one and drawn through FreeType; links
// report their rectangles and texts to the caller. `<i name>` places an image inline (a tag of its
// own, without a closing tag); a bare `<i>` starts italic text.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

#include "ui/core/draw_info.h"
#include "ui/core/freetype_text.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"

namespace ZQUI {

namespace {

struct RunStyle {
  LOGFONTW font;
  DWORD color;
  bool selected;
  int link;  // index into the link list, -1 when none
};

DWORD ParseColor(const wchar_t* p) {
  while (*p == L' ') ++p;
  if (*p == L'#') ++p;
  return static_cast<DWORD>(wcstoul(p, nullptr, 16));
}

}  // namespace

void CRenderEngine::DrawHtmlText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD textColor,
                                 RECT* links, CDuiString* linkTexts, int& linkCount, int font, UINT style) {
  const int maxLinks = linkCount;
  linkCount = 0;
  if (hDC == nullptr || manager == nullptr || text == nullptr) return;
  const bool measureOnly = (style & DT_CALCRECT) != 0;
  const bool singleLine = (style & DT_SINGLELINE) != 0;

  TFontInfo* base = manager->GetFontInfo(font);
  RunStyle current;
  memset(&current.font, 0, sizeof(current.font));
  GetObjectW(base->hFont, sizeof(current.font), &current.font);
  current.color = textColor;
  current.selected = false;
  current.link = -1;
  std::vector<RunStyle> stack;

  int x = rc.left, y = rc.top;
  int lineHeight = 0;
  int minLineHeight = 0;
  int widest = 0;
  SetBkMode(hDC, TRANSPARENT);

  auto newLine = [&]() {
    TEXTMETRICW tm;
    HFONT probe = CreateFontIndirectW(&current.font);
    HGDIOBJ old = SelectObject(hDC, probe);
    GetTextMetricsW(hDC, &tm);
    SelectObject(hDC, old);
    DeleteObject(probe);
    int height = lineHeight > 0 ? lineHeight : tm.tmHeight;
    if (height < minLineHeight) height = minLineHeight;
    if (x - rc.left > widest) widest = x - rc.left;
    y += height;
    x = rc.left;
    lineHeight = 0;
  };

  auto drawRun = [&](const std::wstring& run) {
    if (run.empty()) return;
    HFONT hFont = CreateFontIndirectW(&current.font);
    HGDIOBJ old = SelectObject(hDC, hFont);
    size_t start = 0;
    while (start < run.size()) {
      // Take as many characters as fit on the line (at least one at the start of a line).
      int fit = 0;
      SIZE extent = {0, 0};
      int room = rc.right - x;
      GetTextExtentExPointW(hDC, run.c_str() + start, static_cast<int>(run.size() - start), room > 0 ? room : 0, &fit,
                            nullptr, &extent);
      if (singleLine) fit = static_cast<int>(run.size() - start);
      if (fit <= 0) {
        if (x > rc.left) {
          newLine();
          continue;
        }
        fit = 1;
      }
      SIZE size = {0, 0};
      GetTextExtentPoint32W(hDC, run.c_str() + start, fit, &size);
      RECT piece = {x, y, x + size.cx, y + size.cy};
      if (!measureOnly) {
        if (current.selected) DrawColor(hDC, piece, manager->GetDefaultSelectedBkColor());
        // FreeType keeps the alpha channel of a 32-bit target right (GDI text clears it); GDI
        // draws what FreeType cannot.
        TFontInfo runFont;
        runFont.hFont = hFont;
        runFont.sFontName = current.font.lfFaceName;
        runFont.iSize = current.font.lfHeight < 0 ? -current.font.lfHeight : current.font.lfHeight;
        runFont.bBold = current.font.lfWeight >= FW_BOLD;
        runFont.bItalic = current.font.lfItalic != 0;
        runFont.bUnderline = current.font.lfUnderline != 0;
        runFont.bStrikeout = current.font.lfStrikeOut != 0;
        std::wstring pieceText(run.c_str() + start, static_cast<size_t>(fit));
        RECT box = piece;
        if ((style & DT_NOCLIP) == 0) IntersectRect(&box, &piece, &rc);
        if (box.right > box.left && box.bottom > box.top) {
          if (FreeTypeDrawTextWithFont(hDC, runFont, box, pieceText.c_str(), current.color,
                                       DT_SINGLELINE | DT_NOPREFIX)) {
            TEXTMETRICW tm;
            if ((runFont.bUnderline || runFont.bStrikeout) && GetTextMetricsW(hDC, &tm)) {
              DWORD ink = current.color >> 24 ? current.color : current.color | 0xFF000000u;
              int lineY = runFont.bUnderline ? y + tm.tmAscent + 1 : y + tm.tmAscent * 2 / 3;
              RECT stroke = {box.left, lineY, box.right, lineY + 1};
              DrawColor(hDC, stroke, ink);
            }
          } else {
            SetTextColor(hDC, RGB(static_cast<BYTE>(current.color >> 16), static_cast<BYTE>(current.color >> 8),
                                  static_cast<BYTE>(current.color)));
            ExtTextOutW(hDC, x, y, (style & DT_NOCLIP) ? 0 : ETO_CLIPPED, &rc, pieceText.c_str(),
                        static_cast<UINT>(fit), nullptr);
          }
        }
      }
      if (current.link >= 0 && current.link < maxLinks && links != nullptr) {
        UnionRect(&links[current.link], &links[current.link], &piece);
      }
      x += size.cx;
      if (size.cy > lineHeight) lineHeight = size.cy;
      start += static_cast<size_t>(fit);
      if (start < run.size()) {
        if (singleLine) break;
        newLine();
      }
    }
    SelectObject(hDC, old);
    DeleteObject(hFont);
  };

  // An inline image: the tag's argument is an image name (or a whole image description), fetched
  // and drawn as every skin image is. It sits on the line's top like a text run, moves the pen by
  // its width and makes the line at least as tall as itself.
  auto drawImage = [&](const wchar_t* description) {
    std::wstring key(description);
    while (!key.empty() && key.back() == L' ') key.pop_back();
    if (key.empty()) return;
    const TDrawInfo* info = manager->GetDrawInfo(key.c_str(), nullptr);
    if (info == nullptr || info->sImageName.IsEmpty()) return;
    const TImageInfo* image =
        manager->GetImageEx(info->sImageName, info->sResType.IsEmpty() ? nullptr : info->sResType.GetData(),
                            info->dwMask, false, info->bGdiplus);
    if (image == nullptr) return;
    RECT source = info->rcSource;
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0) {
      source = RECT{0, 0, image->nX, image->nY};
    }
    if (source.right > image->nX) source.right = image->nX;
    if (source.bottom > image->nY) source.bottom = image->nY;
    const int width = source.right - source.left;
    const int height = source.bottom - source.top;
    if (width <= 0 || height <= 0) return;
    if (!singleLine && x > rc.left && x + width > rc.right) newLine();
    RECT place = {x, y, x + width, y + height};
    if (!measureOnly) {
      RECT paint = place;
      if ((style & DT_NOCLIP) == 0) IntersectRect(&paint, &place, &rc);
      if (paint.right > paint.left && paint.bottom > paint.top) DrawImageInfo(hDC, manager, place, paint, info);
    }
    if (current.link >= 0 && current.link < maxLinks && links != nullptr) {
      UnionRect(&links[current.link], &links[current.link], &place);
    }
    x += width;
    if (height > lineHeight) lineHeight = height;
  };

  std::wstring run;
  const wchar_t* p = text;
  while (*p != L'\0') {
    if ((*p == L'<' || *p == L'{') && p[1] != L'\0') {
      wchar_t close = *p == L'<' ? L'>' : L'}';
      const wchar_t* end = wcschr(p + 1, close);
      if (end == nullptr) {
        run.push_back(*p++);
        continue;
      }
      std::wstring tag(p + 1, end);
      drawRun(run);
      run.clear();
      p = end + 1;
      bool closing = !tag.empty() && tag[0] == L'/';
      if (closing) {
        if (!stack.empty()) {
          current = stack.back();
          stack.pop_back();
        }
        continue;
      }
      wchar_t name = tag.empty() ? 0 : static_cast<wchar_t>(towlower(tag[0]));
      const wchar_t* arg = tag.size() > 1 ? tag.c_str() + 1 : L"";
      while (*arg == L' ') ++arg;
      switch (name) {
        case L'n':
          if (!singleLine) newLine();
          break;
        case L'p':
          if (!singleLine) {
            newLine();
            newLine();
          }
          stack.push_back(current);
          break;
        case L'x':
          x += manager->GetDPIObj()->Scale(_wtoi(arg));
          break;
        case L'y':
          minLineHeight = manager->GetDPIObj()->Scale(_wtoi(arg));
          stack.push_back(current);
          break;
        case L'i':
          if (*arg != L'\0') {
            drawImage(arg);
          } else {
            stack.push_back(current);
            current.font.lfItalic = TRUE;
          }
          break;
        case L'r': {
          const wchar_t* stop = wcsstr(p, close == L'>' ? L"</r>" : L"{/r}");
          const wchar_t* last = stop ? stop : p + wcslen(p);
          drawRun(std::wstring(p, last));
          p = stop ? stop + 4 : last;
          break;
        }
        default:
          stack.push_back(current);
          if (name == L'b') current.font.lfWeight = FW_BOLD;
          else if (name == L'u') current.font.lfUnderline = TRUE;
          else if (name == L's') current.selected = true;
          else if (name == L'c') current.color = ParseColor(arg);
          else if (name == L'f') {
            if (iswdigit(*arg)) {
              TFontInfo* info = manager->GetFontInfo(_wtoi(arg));
              if (info != nullptr && info->hFont != nullptr) GetObjectW(info->hFont, sizeof(current.font), &current.font);
            } else if (*arg != L'\0') {
              std::wstring face(arg);
              size_t space = face.find(L' ');
              int size = space != std::wstring::npos ? _wtoi(face.c_str() + space + 1) : 0;
              if (space != std::wstring::npos) face.resize(space);
              lstrcpynW(current.font.lfFaceName, face.c_str(), LF_FACESIZE);
              if (size > 0) current.font.lfHeight = -manager->GetDPIObj()->Scale(size);
            }
          } else if (name == L'a') {
            current.color = manager->GetDefaultLinkFontColor();
            current.font.lfUnderline = TRUE;
            if (linkCount < maxLinks && links != nullptr) {
              current.link = linkCount;
              links[linkCount] = RECT{0, 0, 0, 0};
              if (linkTexts != nullptr) linkTexts[linkCount] = arg;
              ++linkCount;
            } else {
              current.link = -1;
            }
          }
          break;
      }
      continue;
    }
    run.push_back(*p++);
  }
  drawRun(run);
  if (x > rc.left || lineHeight > 0) newLine();
  if (measureOnly) {
    rc.right = rc.left + widest;
    rc.bottom = y;
  }
}

}  // namespace ZQUI
