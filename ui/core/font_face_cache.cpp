#include "ui/core/font_face_cache.h"

#include <cwchar>

namespace ZQUI {

namespace {

// GetFontData table tag of a font collection: the bytes "ttcf" read as a little-endian DWORD.
constexpr DWORD kCollectionTag = 0x66637474;
// Longest font file taken into memory.
constexpr DWORD kMaxFontBytes = 64u * 1024u * 1024u;

bool IsCjk(char32_t ch) {
  return (ch >= 0x4E00 && ch <= 0x9FFF) || (ch >= 0x3400 && ch <= 0x4DBF) || (ch >= 0xF900 && ch <= 0xFAFF);
}

char32_t RepresentativeChar(const std::u32string& sample) {
  for (char32_t ch : sample) {
    if (IsCjk(ch)) return ch;
  }
  for (char32_t ch : sample) {
    if (ch > 0x7F) return ch;
  }
  return U'A';
}

}  // namespace

CFontFaceCache& CFontFaceCache::Instance() {
  static CFontFaceCache cache;
  return cache;
}

FT_Library CFontFaceCache::Library() {
  if (!libraryTried_) {
    libraryTried_ = true;
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
  }
  return library_;
}

std::wstring CFontFaceCache::FontKey(const TFontInfo& font) {
  wchar_t numbers[64];
  swprintf(numbers, sizeof(numbers) / sizeof(numbers[0]), L"%d%d%d%d%d", font.iSize, font.bBold ? 1 : 0,
           font.bItalic ? 1 : 0, font.bStrikeout ? 1 : 0, font.bUnderline ? 1 : 0);
  std::wstring key(font.sFontName.GetData());
  key += numbers;
  return key;
}

std::shared_ptr<const std::vector<BYTE>> CFontFaceCache::ReadFontData(HDC hDC) {
  // A collection is asked for as a whole first: table 0 of a collection returns one face whose
  // offsets point into the whole file, which FreeType rejects.
  DWORD tag = kCollectionTag;
  DWORD size = GetFontData(hDC, tag, 0, nullptr, 0);
  if (size == GDI_ERROR || size == 0) {
    tag = 0;
    size = GetFontData(hDC, tag, 0, nullptr, 0);
  }
  if (size == GDI_ERROR || size == 0 || size > kMaxFontBytes) return nullptr;

  // The file behind the font is known by its face name, its size and its first bytes; fonts that
  // share a file (sizes, bold and italic of one face) share one copy of its bytes.
  BYTE head[64] = {0};
  DWORD headSize = size < sizeof(head) ? size : static_cast<DWORD>(sizeof(head));
  if (GetFontData(hDC, tag, 0, head, headSize) != headSize) return nullptr;
  wchar_t face[LF_FACESIZE] = {0};
  GetTextFaceW(hDC, LF_FACESIZE, face);
  std::wstring identity(face);
  wchar_t number[32];
  swprintf(number, sizeof(number) / sizeof(number[0]), L"|%lu|%lu|", static_cast<unsigned long>(tag),
           static_cast<unsigned long>(size));
  identity += number;
  for (DWORD i = 0; i < headSize; ++i) {
    swprintf(number, sizeof(number) / sizeof(number[0]), L"%02x", head[i]);
    identity += number;
  }
  auto known = files_.find(identity);
  if (known != files_.end()) return known->second;

  auto bytes = std::make_shared<std::vector<BYTE>>(size, 0);
  if (GetFontData(hDC, tag, 0, bytes->data(), size) != size) return nullptr;
  files_[identity] = bytes;
  return bytes;
}

FT_Face CFontFaceCache::OpenFace(const std::shared_ptr<const std::vector<BYTE>>& data, const std::u32string& sample) {
  FT_Library library = Library();
  if (library == nullptr || data == nullptr || data->empty()) return nullptr;
  const FT_Byte* base = data->data();
  FT_Long length = static_cast<FT_Long>(data->size());
  FT_Face probe = nullptr;
  if (FT_New_Memory_Face(library, base, length, -1, &probe) != 0 || probe == nullptr) return nullptr;
  FT_Long count = probe->num_faces;
  FT_Done_Face(probe);

  char32_t wanted = RepresentativeChar(sample);
  for (FT_Long index = 0; index < count; ++index) {
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, base, length, index, &face) != 0 || face == nullptr) continue;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0 && FT_Get_Char_Index(face, wanted) != 0) return face;
    FT_Done_Face(face);
  }
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(library, base, length, 0, &face) != 0 || face == nullptr) return nullptr;
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) return face;
  FT_Done_Face(face);
  return nullptr;
}

FT_Face CFontFaceCache::GetFace(HDC hDC, const TFontInfo& font, const std::u32string& sample) {
  Entry& entry = entries_[FontKey(font)];
  if (entry.face != nullptr || entry.tried) return entry.face;
  entry.tried = true;
  if (hDC == nullptr || font.hFont == nullptr || Library() == nullptr) return nullptr;
  HGDIOBJ old = SelectObject(hDC, font.hFont);
  std::shared_ptr<const std::vector<BYTE>> data = ReadFontData(hDC);
  SelectObject(hDC, old);
  entry.face = OpenFace(data, sample);
  if (entry.face != nullptr) {
    entry.data = data;
  } else if (data != nullptr && data.use_count() <= 2) {
    // Bytes no face could use are not kept.
    for (auto it = files_.begin(); it != files_.end(); ++it) {
      if (it->second == data) {
        files_.erase(it);
        break;
      }
    }
  }
  return entry.face;
}

size_t CFontFaceCache::GetBufferCount() const { return files_.size(); }

size_t CFontFaceCache::GetFaceCount() const {
  size_t count = 0;
  for (const auto& item : entries_) count += item.second.face != nullptr ? 1 : 0;
  return count;
}

}  // namespace ZQUI
