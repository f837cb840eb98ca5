#include "ui/core/text_layout.h"

namespace ZQUI {

namespace {

bool StartsWith(const std::u32string& text, size_t at, const char32_t* what) {
  for (size_t i = 0; what[i] != 0; ++i) {
    if (at + i >= text.size() || text[at + i] != what[i]) return false;
  }
  return true;
}

bool IsBlank(char32_t ch) { return ch == U' ' || ch == U'\t'; }

int WidthOf(const std::u32string& text, const std::function<int(char32_t)>& advance) {
  int width = 0;
  for (char32_t ch : text) width += advance(ch);
  return width;
}

void WrapParagraph(const std::u32string& paragraph, int boxWidth, const std::function<int(char32_t)>& advance,
                   std::vector<TextLine>* lines) {
  size_t pos = 0;
  const size_t n = paragraph.size();
  while (pos < n) {
    while (pos < n && IsBlank(paragraph[pos])) ++pos;
    if (pos >= n) break;
    TextLine line;
    size_t lastBlank = std::u32string::npos;
    int widthAtBlank = 0;
    size_t i = pos;
    while (i < n) {
      int w = advance(paragraph[i]);
      if (line.width + w > boxWidth && i > pos) break;
      if (IsBlank(paragraph[i])) {
        lastBlank = i;
        widthAtBlank = line.width;
      }
      line.width += w;
      ++i;
    }
    if (i < n && lastBlank != std::u32string::npos && lastBlank > pos) {
      // Break at the last blank: it is dropped and the next line starts after it.
      line.text = paragraph.substr(pos, lastBlank - pos);
      line.width = widthAtBlank;
      pos = lastBlank + 1;
    } else {
      line.text = paragraph.substr(pos, i - pos);
      pos = i;
    }
    lines->push_back(line);
  }
}

}  // namespace

std::u32string PrepareText(const wchar_t* text, UINT style) {
  std::u32string decoded;
  if (text == nullptr) return decoded;
  for (const wchar_t* p = text; *p != 0; ++p) {
    char32_t ch = static_cast<char16_t>(*p);
    if (ch >= 0xD800 && ch <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      ch = 0x10000 + ((ch - 0xD800) << 10) + (static_cast<char16_t>(p[1]) - 0xDC00);
      ++p;
    }
    decoded.push_back(ch);
  }

  std::u32string out;
  out.reserve(decoded.size());
  for (size_t i = 0; i < decoded.size(); ++i) {
    char32_t ch = decoded[i];
    if (ch == U'\r') {
      out.push_back(U'\n');
      if (i + 1 < decoded.size() && decoded[i + 1] == U'\n') ++i;
    } else if (ch == U'\\' && i + 1 < decoded.size() && decoded[i + 1] == U'n') {
      out.push_back(U'\n');
      ++i;
    } else if (StartsWith(decoded, i, U"&#10;")) {
      out.push_back(U'\n');
      i += 4;
    } else if (StartsWith(decoded, i, U"&#x0a;") || StartsWith(decoded, i, U"&#x0A;")) {
      out.push_back(U'\n');
      i += 5;
    } else if (ch == U'&' && (style & DT_NOPREFIX) == 0) {
      if (i + 1 < decoded.size() && decoded[i + 1] == U'&') {
        out.push_back(U'&');
        ++i;
      }
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

std::vector<TextLine> BreakLines(const std::u32string& text, UINT style, int boxWidth,
                                 const std::function<int(char32_t)>& advance) {
  std::vector<TextLine> lines;
  if (style & DT_SINGLELINE) {
    TextLine line;
    line.text = text.substr(0, text.find(U'\n'));
    line.width = WidthOf(line.text, advance);
    lines.push_back(line);
    return lines;
  }
  bool wrap = (style & DT_WORDBREAK) != 0 && boxWidth >= 1;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(U'\n', start);
    bool endsWithBreak = end != std::u32string::npos;
    if (!endsWithBreak) end = text.size();
    std::u32string paragraph = text.substr(start, end - start);
    if (wrap) {
      WrapParagraph(paragraph, boxWidth, advance, &lines);
      if (endsWithBreak) lines.push_back(TextLine());
    } else if (endsWithBreak || !paragraph.empty() || lines.empty()) {
      TextLine line;
      line.text = paragraph;
      line.width = WidthOf(paragraph, advance);
      lines.push_back(line);
    }
    if (!endsWithBreak) break;
    start = end + 1;
    if (start == text.size() && !wrap) break;
  }
  return lines;
}

}  // namespace ZQUI
