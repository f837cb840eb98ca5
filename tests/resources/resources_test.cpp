// The installer's resources as the running program finds them: this test executable links the same
// resource object as the installer and looks every resource up through the Win32 resource API.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "archive/zip_reader.h"
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

struct ZipCloser {
  void operator()(ZipReader* zip) const { ZipClose(zip); }
};

TEST(InstallerResources, SkinArchiveOpensWithTheArchiveReaderAndHoldsTheSkin) {
  ResourceBytes zip = FindBytes(L"ZIP", IDR_SKIN_ZIP, kLangChinese);
  ASSERT_NE(zip.data, nullptr) << "ZIP 133 (language 2052) missing";
  ASSERT_GT(zip.size, 4u);
  EXPECT_EQ(0, memcmp(zip.data, "PK\x03\x04", 4));

  std::unique_ptr<ZipReader, ZipCloser> reader(ZipOpenMemory(zip.data, zip.size, nullptr));
  ASSERT_NE(reader, nullptr);
  ZipEntry count{};
  ASSERT_EQ(ZIP_OK, ZipGetEntry(reader.get(), -1, &count));
  EXPECT_EQ(19, count.index);

  // Every image the skin draws, and the document itself, must be found by the names the skin uses.
  const wchar_t* names[] = {L"1.xml", L"3.png", L"4.png", L"5.png", L"6.png", L"7.png", L"8.png",
                            L"9.png", L"10.png", L"11.png", L"12.png", L"13.png", L"shadow.png",
                            L"public/vscrollbar/thumb_normal.png",
                            L"public/vscrollbar/thumb_hovered.png",
                            L"public/vscrollbar/bk_hovered.png"};
  for (const wchar_t* name : names) {
    int index = -1;
    ZipEntry entry{};
    EXPECT_EQ(ZIP_OK, ZipFindEntry(reader.get(), name, true, &index, &entry)) << name;
    EXPECT_GT(entry.unpacked_size, 0) << name;
  }
  // The close button image of the custom-install page is left out on purpose.
  int index = -1;
  ZipEntry missing{};
  EXPECT_EQ(ZIP_ERR_NOT_FOUND, ZipFindEntry(reader.get(), L"2.png", true, &index, &missing));

  ZipEntry xml{};
  ASSERT_EQ(ZIP_OK, ZipFindEntry(reader.get(), L"1.xml", false, &index, &xml));
  std::vector<char> text(static_cast<size_t>(xml.unpacked_size));
  ASSERT_EQ(ZIP_OK, ZipExtractToMemory(reader.get(), index, text.data(),
                                       static_cast<unsigned>(text.size())));
  std::string document(text.begin(), text.end());
  EXPECT_EQ(0u, document.find("<?xml"));
  EXPECT_NE(std::string::npos, document.find("<VerticalLayout name=\"maintab\">"));

  // PNG entries must decode from the archive: check the signature and the header's size field.
  ZipEntry shadow{};
  ASSERT_EQ(ZIP_OK, ZipFindEntry(reader.get(), L"shadow.png", false, &index, &shadow));
  std::vector<unsigned char> png(static_cast<size_t>(shadow.unpacked_size));
  ASSERT_EQ(ZIP_OK, ZipExtractToMemory(reader.get(), index, png.data(),
                                       static_cast<unsigned>(png.size())));
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(0, memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(150u, (png[16] << 24 | png[17] << 16 | png[18] << 8 | png[19]));
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

  // The loader activates the manifest for the process: version 6 of the common controls is the
  // one that answers.
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES};
  EXPECT_TRUE(InitCommonControlsEx(&init));
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  auto get_version = reinterpret_cast<DLLGETVERSIONPROC>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
  ASSERT_NE(get_version, nullptr);
  DLLVERSIONINFO version{};
  version.cbSize = sizeof(version);
  ASSERT_EQ(S_OK, get_version(&version));
  EXPECT_EQ(6u, version.dwMajorVersion);
}

}  // namespace
