// The installer's resources as the running program finds them: this test executable links the same
// resource object as the installer and looks every resource up through the Win32 resource API.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

struct ResourceBytes {
  const unsigned char* data = nullptr;
  DWORD size = 0;
};

ResourceBytes FindBytes(const wchar_t* type, UINT id, WORD language = 0) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = language ? FindResourceExW(module, type, MAKEINTRESOURCEW(id), language)
                         : FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return {};
  ResourceBytes bytes;
  bytes.data = static_cast<const unsigned char*>(LockResource(loaded));
  bytes.size = SizeofResource(module, found);
  return bytes;
}

std::string AsText(const ResourceBytes& bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.data), bytes.size);
}

const WORD kLangChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);  // 2052
const WORD kLangEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);          // 1033

// A small walk over the archive's central directory, so that this test checks the bytes the
// resource holds independently of the product's archive reader.
struct SkinEntry {
  std::string name;
  uint16_t method = 0;
  uint32_t packed = 0;
  uint32_t unpacked = 0;
  const unsigned char* data = nullptr;  // start of the entry's packed bytes
};

uint32_t Read32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool ListEntries(const ResourceBytes& zip, std::vector<SkinEntry>* entries) {
  if (zip.size < 22) return false;
  size_t end = zip.size - 22;  // no archive comment is written
  const unsigned char* eocd = zip.data + end;
  if (Read32(eocd) != 0x06054b50) return false;
  const uint16_t count = Read16(eocd + 10);
  size_t at = Read32(eocd + 16);
  for (uint16_t i = 0; i < count; ++i) {
    if (at + 46 > end || Read32(zip.data + at) != 0x02014b50) return false;
    const unsigned char* h = zip.data + at;
    SkinEntry e;
    e.method = Read16(h + 10);
    e.packed = Read32(h + 20);
    e.unpacked = Read32(h + 24);
    const uint16_t name_len = Read16(h + 28), extra_len = Read16(h + 30), note_len = Read16(h + 32);
    const size_t local = Read32(h + 42);
    if (at + 46 + name_len > end || local + 30 > end) return false;
    e.name.assign(reinterpret_cast<const char*>(h + 46), name_len);
    const unsigned char* l = zip.data + local;
    if (Read32(l) != 0x04034b50) return false;
    const size_t data = local + 30 + Read16(l + 26) + Read16(l + 28);
    if (data + e.packed > end) return false;
    e.data = zip.data + data;
    entries->push_back(e);
    at += 46 + name_len + extra_len + note_len;
  }
  return true;
}

std::string Unpack(const SkinEntry& e) {
  std::string out(e.unpacked, '\0');
  if (e.method == 0) {
    if (e.packed == e.unpacked) out.assign(reinterpret_cast<const char*>(e.data), e.packed);
    return out;
  }
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return {};
  z.next_in = const_cast<Bytef*>(e.data);
  z.avail_in = e.packed;
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = e.unpacked;
  const int result = inflate(&z, Z_FINISH);
  inflateEnd(&z);
  return result == Z_STREAM_END && z.total_out == e.unpacked ? out : std::string();
}

TEST(InstallerResources, SkinArchiveHoldsTheSkinDocumentAndEveryImage) {
  ResourceBytes zip = FindBytes(L"ZIP", IDR_SKIN_ZIP, kLangChinese);
  ASSERT_NE(zip.data, nullptr) << "ZIP 133 (language 2052) missing";
  std::vector<SkinEntry> entries;
  ASSERT_TRUE(ListEntries(zip, &entries));
  ASSERT_EQ(19u, entries.size());
  EXPECT_EQ("1.xml", entries[0].name);

  const std::string document = Unpack(entries[0]);
  EXPECT_EQ(0u, document.find("<?xml"));
  EXPECT_NE(std::string::npos, document.find("<VerticalLayout name=\"maintab\">"));
  EXPECT_NE(std::string::npos, document.find("shadowimage=\"shadow.png\""));

  // The close button image of the custom-install page is left out on purpose.
  const char* wanted[] = {"3.png", "4.png", "5.png", "6.png", "7.png", "8.png", "9.png", "10.png",
                          "11.png", "12.png", "13.png", "shadow.png",
                          "public/vscrollbar/thumb_normal.png",
                          "public/vscrollbar/thumb_hovered.png",
                          "public/vscrollbar/bk_hovered.png"};
  for (const char* name : wanted) {
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const SkinEntry& e) { return e.name == name; });
    ASSERT_NE(it, entries.end()) << name;
    const std::string png = Unpack(*it);
    ASSERT_GE(png.size(), 24u) << name;
    EXPECT_EQ(0, memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8)) << name;
  }
  for (const SkinEntry& e : entries) EXPECT_NE("2.png", e.name);
}

TEST(InstallerResources, LicenceIsStrictUtf8WithCrLfAndNoByteOrderMark) {
  ResourceBytes txt = FindBytes(L"TXT", IDR_LICENCE_TXT, kLangChinese);
  ASSERT_NE(txt.data, nullptr) << "TXT 134 (language 2052) missing";
  ASSERT_GT(txt.size, 3u);
  EXPECT_FALSE(txt.data[0] == 0xEF && txt.data[1] == 0xBB && txt.data[2] == 0xBF);

  int chars = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS,
                                  reinterpret_cast<const char*>(txt.data),
                                  static_cast<int>(txt.size), nullptr, 0);
  ASSERT_GT(chars, 0) << "not valid UTF-8, error " << GetLastError();
  std::wstring text(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(txt.data),
                      static_cast<int>(txt.size), &text[0], chars);

  int lines = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n') {
      EXPECT_TRUE(i > 0 && text[i - 1] == L'\r') << "bare LF at " << i;
      ++lines;
    } else if (text[i] == L'\r') {
      EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == L'\n') << "bare CR at " << i;
    }
  }
  // The licence page shows about a dozen lines; the agreement must be long enough to scroll.
  EXPECT_GE(lines, 40);
  EXPECT_EQ(0u, text.find(L"QuilloPDF转换器"));
  EXPECT_NE(std::wstring::npos, text.find(L"许可协议"));
}

TEST(InstallerResources, IconGroupsLoadAtEverySizeTheShellAndWindowAskFor) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  for (UINT group : {IDI_INSTALLER, IDI_WINDOW}) {
    ResourceBytes dir = FindBytes(RT_GROUP_ICON, group, kLangChinese);
    ASSERT_NE(dir.data, nullptr) << "icon group " << group;
    ASSERT_GE(dir.size, 6u);
    const WORD count = static_cast<WORD>(dir.data[4] | dir.data[5] << 8);
    EXPECT_GE(count, 6) << "icon group " << group;
    for (int size : {16, 24, 32, 48, 256}) {
      // The chosen image must be an exact fit, not a rescaled neighbour.
      int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(dir.data), TRUE, size, size,
                                           LR_DEFAULTCOLOR);
      ASSERT_NE(id, 0) << "group " << group << " size " << size;
      ResourceBytes image = FindBytes(RT_ICON, static_cast<UINT>(id));
      ASSERT_NE(image.data, nullptr);
      HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, TRUE,
                                            0x00030000, size, size, LR_DEFAULTCOLOR);
      ASSERT_NE(icon, nullptr) << "group " << group << " size " << size;
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      BITMAP bm{};
      GetObjectW(info.hbmColor, sizeof(bm), &bm);
      EXPECT_EQ(size, bm.bmWidth) << "group " << group;
      EXPECT_EQ(size, bm.bmHeight) << "group " << group;
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(icon);
    }
    HICON small = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(group), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), 0));
    EXPECT_NE(small, nullptr);
    if (small) DestroyIcon(small);
  }
}

TEST(InstallerResources, VersionResourceCarriesTheInstallerVersionAndChineseNames) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<unsigned char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size));
  ASSERT_GE(fixed_size, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(INSTALLER_VERSION_MINOR, INSTALLER_VERSION_MAJOR)),
            fixed->dwFileVersionMS);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(INSTALLER_VERSION_BUILD, INSTALLER_VERSION_PATCH)),
            fixed->dwFileVersionLS);
  EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);

  // The string table must hold real UTF-16 text, not the script's UTF-8 bytes widened one by one.
  wchar_t* value = nullptr;
  UINT value_size = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\080404b0\\ProductName",
                             reinterpret_cast<void**>(&value), &value_size));
  EXPECT_STREQ(L"QuilloPDF转换器", value);
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\080404b0\\FileVersion",
                             reinterpret_cast<void**>(&value), &value_size));
  EXPECT_STREQ(INSTALLER_VERSION_TEXT, value);
}

TEST(InstallerResources, ManifestAsksForAdministratorAndCommonControlsSix) {
  ResourceBytes manifest = FindBytes(RT_MANIFEST, IDR_MANIFEST, kLangEnglish);
  ASSERT_NE(manifest.data, nullptr) << "RT_MANIFEST 1 (language 1033) missing";
  std::string text = AsText(manifest);
  EXPECT_NE(std::string::npos, text.find("level=\"requireAdministrator\""));
  EXPECT_NE(std::string::npos, text.find("uiAccess=\"false\""));
  EXPECT_NE(std::string::npos, text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
  EXPECT_NE(std::string::npos, text.find("PerMonitorV2"));

  // The loader activates the manifest for the process: the comctl32 the program is bound to is
  // the side-by-side version 6 assembly, not the system folder's version 5. (Wine's version 6
  // answers DllGetVersion with 5.81, so the assembly folder is what tells them apart.)
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES};
  EXPECT_TRUE(InitCommonControlsEx(&init));
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  wchar_t where[MAX_PATH];
  DWORD length = GetModuleFileNameW(comctl, where, MAX_PATH);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
  std::wstring path(where, length);
  CharLowerBuffW(&path[0], length);
  EXPECT_NE(std::wstring::npos, path.find(L"\\winsxs\\")) << where;
  EXPECT_NE(std::wstring::npos, path.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."))
      << where;
}

}  // namespace
