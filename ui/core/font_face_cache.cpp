#include "ui/core/font_face_cache.h"

#include <cwchar>

namespace ZQUI {

namespace {

// GetFontData table tag of a font collection: the bytes "ttcf" read as a little-endian DWORD.
constexpr DWORD kCollectionTag = 0x66637474;
// Largest font file opened.
constexpr DWORD kMaxFontBytes = 256u * 1024u * 1024u;

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

// One font file, read through a memory DC of its own that holds a copy of the GDI font (the skin's
// font handles are rebuilt on a DPI change; this one lives as long as the faces read through it).
struct CFontFaceCache::FontFile {
  HDC dc = nullptr;
  HFONT font = nullptr;
  DWORD tag = 0;
  DWORD size = 0;
  uint64_t bytesRead = 0;

  FontFile() = default;
  FontFile(const FontFile&) = delete;
  FontFile& operator=(const FontFile&) = delete;
  ~FontFile() {
    if (dc != nullptr) DeleteDC(dc);
    if (font != nullptr) DeleteObject(font);
  }
};

// A FreeType stream over a font file; one per face, since a stream keeps its own position.
struct CFontFaceCache::FaceStream {
  FT_StreamRec rec = {};
  std::shared_ptr<FontFile> file;

  static unsigned long Read(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
    auto* file = static_cast<FontFile*>(stream->descriptor.pointer);
    // A read of nothing is a seek: zero when the offset lies within the file.
    if (count == 0) return offset <= file->size ? 0 : 1;
    if (offset >= file->size) return 0;
    if (count > file->size - offset) count = file->size - offset;
    DWORD got = GetFontData(file->dc, file->tag, static_cast<DWORD>(offset), buffer, static_cast<DWORD>(count));
    if (got == GDI_ERROR) return 0;
    file->bytesRead += got;
    return got;
  }

  explicit FaceStream(std::shared_ptr<FontFile> source) : file(std::move(source)) {
    rec.base = nullptr;
    rec.size = file->size;
    rec.pos = 0;
    rec.descriptor.pointer = file.get();
    rec.read = &Read;
    rec.close = nullptr;
  }
};

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

std::shared_ptr<CFontFaceCache::FontFile> CFontFaceCache::OpenFontFile(HDC hDC, HFONT font) {
  LOGFONTW logfont = {};
  if (GetObjectW(font, sizeof(logfont), &logfont) == 0) return nullptr;
  auto file = std::make_shared<FontFile>();
  file->dc = CreateCompatibleDC(hDC);
  file->font = CreateFontIndirectW(&logfont);
  if (file->dc == nullptr || file->font == nullptr) return nullptr;
  SelectObject(file->dc, file->font);

  // A collection is asked for as a whole first: table 0 of a collection returns one face whose
  // offsets point into the whole file, which FreeType rejects.
  file->tag = kCollectionTag;
  file->size = GetFontData(file->dc, file->tag, 0, nullptr, 0);
  if (file->size == GDI_ERROR || file->size == 0) {
    file->tag = 0;
    file->size = GetFontData(file->dc, file->tag, 0, nullptr, 0);
  }
  if (file->size == GDI_ERROR || file->size == 0 || file->size > kMaxFontBytes) return nullptr;

  // The file behind the font is known by its face name, its size and its first bytes; fonts that
  // share a file share one reader.
  BYTE head[64] = {0};
  DWORD headSize = file->size < sizeof(head) ? file->size : static_cast<DWORD>(sizeof(head));
  if (GetFontData(file->dc, file->tag, 0, head, headSize) != headSize) return nullptr;
  wchar_t face[LF_FACESIZE] = {0};
  GetTextFaceW(file->dc, LF_FACESIZE, face);
  std::wstring identity(face);
  wchar_t number[32];
  swprintf(number, sizeof(number) / sizeof(number[0]), L"|%lu|%lu|", static_cast<unsigned long>(file->tag),
           static_cast<unsigned long>(file->size));
  identity += number;
  for (DWORD i = 0; i < headSize; ++i) {
    swprintf(number, sizeof(number) / sizeof(number[0]), L"%02x", head[i]);
    identity += number;
  }
  auto known = files_.find(identity);
  if (known != files_.end()) return known->second;
  files_[identity] = file;
  return file;
}

FT_Face CFontFaceCache::OpenFace(const std::shared_ptr<FontFile>& file, const std::u32string& sample,
                                 std::unique_ptr<FaceStream>* stream) {
  FT_Library library = Library();
  if (library == nullptr || file == nullptr) return nullptr;
  auto open = [&](FT_Long index, FaceStream* over) -> FT_Face {
    FT_Open_Args args = {};
    args.flags = FT_OPEN_STREAM;
    args.stream = &over->rec;
    FT_Face face = nullptr;
    if (FT_Open_Face(library, &args, index, &face) != 0) return nullptr;
    return face;
  };
  FaceStream probeStream(file);
  FT_Face probe = open(-1, &probeStream);
  if (probe == nullptr) return nullptr;
  FT_Long count = probe->num_faces;
  FT_Done_Face(probe);

  char32_t wanted = RepresentativeChar(sample);
  for (FT_Long index = 0; index < count; ++index) {
    auto candidate = std::make_unique<FaceStream>(file);
    FT_Face face = open(index, candidate.get());
    if (face == nullptr) continue;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0 && FT_Get_Char_Index(face, wanted) != 0) {
      *stream = std::move(candidate);
      return face;
    }
    FT_Done_Face(face);
  }
  auto first = std::make_unique<FaceStream>(file);
  FT_Face face = open(0, first.get());
  if (face == nullptr) return nullptr;
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) {
    *stream = std::move(first);
    return face;
  }
  FT_Done_Face(face);
  return nullptr;
}

FT_Face CFontFaceCache::GetFace(HDC hDC, const TFontInfo& font, const std::u32string& sample) {
  Entry& entry = entries_[FontKey(font)];
  if (entry.face != nullptr || entry.tried) return entry.face;
  entry.tried = true;
  if (hDC == nullptr || font.hFont == nullptr || Library() == nullptr) return nullptr;
  std::shared_ptr<FontFile> file = OpenFontFile(hDC, font.hFont);
  entry.face = OpenFace(file, sample, &entry.stream);
  if (entry.face == nullptr && file != nullptr && file.use_count() <= 2) {
    // A file no face could use is not kept open.
    for (auto it = files_.begin(); it != files_.end(); ++it) {
      if (it->second == file) {
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

uint64_t CFontFaceCache::GetFontFileBytes() const {
  uint64_t total = 0;
  for (const auto& item : files_) total += item.second->size;
  return total;
}

uint64_t CFontFaceCache::GetFontBytesRead() const {
  uint64_t total = 0;
  for (const auto& item : files_) total += item.second->bytesRead;
  return total;
}

}  // namespace ZQUI
