// The resource half of the paint manager: fonts, images and their lookup order, loading sources
// (folder skin, file archive, in-memory archive), masks, the DPI name fallback, the archive size
// cap, draw-description caching, lists, styles, custom attributes, colours, HSL and Term.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/render/render_test_support.h"
#include "ui/core/draw_info.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/resource_manager.h"
#include "ui/core/skin_file_reader.h"

namespace ZQUI {
namespace {

std::vector<BYTE> FileBytes(const std::wstring& path) {
  std::vector<BYTE> bytes;
  EXPECT_TRUE(ReadWholeFile(path.c_str(), &bytes)) << "cannot read fixture";
  return bytes;
}

DWORD PixelOf(const TImageInfo* image, int x, int y) {
  GdiFlush();
  const DWORD* bits = reinterpret_cast<const DWORD*>(image->pBits);
  return bits[y * image->nX + x];
}

class Resources : public ::testing::Test {
 protected:
  void SetUp() override { test::ResetSkinState(); }
  void TearDown() override { test::ResetSkinState(); }
};

TEST_F(Resources, FontsAreLookedUpInTheManagerThenTheSharedSetThenTheDefault) {
  CPaintManagerUI window, other;
  HFONT shared = window.AddFont(3, L"Tahoma", 12, false, false, false, false, true);
  HFONT own = window.AddFont(22, L"Tahoma", 14, true, false, false, false);
  ASSERT_NE(shared, nullptr);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(window.GetFont(3), shared);
  EXPECT_EQ(other.GetFont(3), shared);
  EXPECT_EQ(window.GetFont(22), own);
  EXPECT_EQ(other.GetFont(22), other.GetDefaultFontInfo()->hFont);
  EXPECT_EQ(window.GetFontInfo(22)->iSize, 14);
  EXPECT_TRUE(window.GetFontInfo(22)->bBold);
  EXPECT_GT(window.GetFontInfo(22)->tm.tmHeight, 0);
  EXPECT_EQ(window.GetFontInfo(own)->hFont, own);
  EXPECT_EQ(window.GetFontIndex(own), 22);
  EXPECT_EQ(window.GetFontIndex(shared, true), 3);
  EXPECT_EQ(window.GetFontIndex(L"Tahoma", 14, true, false, false, false), 22);
  EXPECT_EQ(window.GetFont(L"Tahoma", 12, false, false, false, false), shared);
  EXPECT_EQ(window.GetFont(L"Tahoma", 13, false, false, false, false), nullptr);
  EXPECT_EQ(window.GetCustomFontCount(), 1u);
  EXPECT_EQ(window.GetCustomFontCount(true), 1u);
  // A new font under an existing id replaces it.
  HFONT again = window.AddFont(22, L"Tahoma", 15, false, false, false, false);
  EXPECT_EQ(window.GetFont(22), again);
  EXPECT_EQ(window.GetCustomFontCount(), 1u);
  window.RemoveFont(22);
  EXPECT_EQ(window.GetFont(22), window.GetDefaultFontInfo()->hFont);
  // Force-shared managers add into the shared set.
  other.SetForceUseSharedRes(true);
  other.AddFont(4, L"Tahoma", 10, false, false, false, false);
  EXPECT_EQ(window.GetCustomFontCount(true), 2u);
}

TEST_F(Resources, FontsAtOneHundredFiftyPercentAreScaled) {
  CPaintManagerUI manager;
  manager.GetDPIObj()->SetScale(144);
  HFONT font = manager.AddFont(0, L"Tahoma", 12, false, false, false, false);
  LOGFONTW lf;
  ASSERT_EQ(GetObjectW(font, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  EXPECT_EQ(lf.lfHeight, -18);
  EXPECT_EQ(manager.GetFontInfo(0)->iSize, 12);
}

TEST_F(Resources, ImagesComeFromTheFolderSkinAndTheManagerBeforeTheSharedSet) {
  CPaintManagerUI::SetResourcePath((test::RenderDataPath() + L"dir").c_str());
  CPaintManagerUI window, other;
  const TImageInfo* shared = window.AddImage(L"orange.png", static_cast<const wchar_t*>(nullptr), 0, false, false, true);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->nX, 4);
  EXPECT_FALSE(shared->bAlpha);
  EXPECT_EQ(PixelOf(shared, 1, 1), 0xFFFF8000u);
  EXPECT_EQ(other.GetImage(L"orange.png"), shared);
  const TImageInfo* own = window.AddImage(L"orange.png");
  ASSERT_NE(own, nullptr);
  EXPECT_NE(own, shared);
  EXPECT_EQ(window.GetImage(L"orange.png"), own);
  EXPECT_EQ(window.GetImageEx(L"orange.png"), own);
  EXPECT_EQ(other.GetImage(L"orange.png"), shared);
  window.RemoveImage(L"orange.png");
  EXPECT_EQ(window.GetImage(L"orange.png"), shared);
  // GetImage never loads; GetImageEx does.
  EXPECT_EQ(other.GetImage(L"missing.png"), nullptr);
  EXPECT_EQ(other.GetImageEx(L"missing.png"), nullptr);
  // A bitmap handed over by name; a second one under the same name is refused and freed.
  HBITMAP bitmap = CRenderEngine::CreateARGB32Bitmap(nullptr, 2, 2, nullptr);
  EXPECT_NE(window.AddImage(L"made", bitmap, 2, 2, true), nullptr);
  HBITMAP second = CRenderEngine::CreateARGB32Bitmap(nullptr, 2, 2, nullptr);
  EXPECT_EQ(window.AddImage(L"made", second, 2, 2, true), nullptr);
  EXPECT_EQ(window.AddImage(L"bad", nullptr, 2, 2, true), nullptr);
}

TEST_F(Resources, ArchiveImagesAreFoundIgnoringCaseAndMasksArePremultipliedPixels) {
  CPaintManagerUI::SetResourcePath(test::RenderDataPath().c_str());
  CPaintManagerUI::SetResourceZip(L"skin.zip", true);
  ASSERT_NE(CPaintManagerUI::GetResourceZipHandle(), nullptr);
  CPaintManagerUI manager;
  const TImageInfo* nested = manager.GetImageEx(L"PUBLIC\\Sub\\Orange.PNG");
  ASSERT_NE(nested, nullptr);
  EXPECT_EQ(PixelOf(nested, 0, 0), 0xFFFF8000u);
  const TImageInfo* plain = manager.GetImageEx(L"alpha.png");
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(plain->bAlpha);
  EXPECT_EQ(PixelOf(plain, 0, 0), 0x80800000u);  // red at alpha 128, premultiplied
  EXPECT_EQ(PixelOf(plain, 1, 0), 0xFF0A141Eu);
  EXPECT_EQ(PixelOf(plain, 1, 1), 0u);
  // The mask makes the opaque colour transparent.
  CRenderEngine::FreeImage(CRenderEngine::LoadImage(L"alpha.png"));
  TImageInfo* masked = CRenderEngine::LoadImage(L"alpha.png", 100, nullptr, 0xFF0A141E);
  ASSERT_NE(masked, nullptr);
  EXPECT_EQ(PixelOf(masked, 1, 0), 0u);
  EXPECT_EQ(PixelOf(masked, 0, 1), 0xFFFFFFFFu);
  CRenderEngine::FreeImage(masked);
  // Without caching, every load opens and closes the archive file.
  CPaintManagerUI::SetResourceZip(L"skin.zip", false);
  EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), nullptr);
  TImageInfo* uncached = CRenderEngine::LoadImage(L"quad.png");
  ASSERT_NE(uncached, nullptr);
  EXPECT_EQ(uncached->nX, 6);
  CRenderEngine::FreeImage(uncached);
}

TEST_F(Resources, ImagesWithAResourceTypeComeFromTheModuleByNumericName) {
  CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  CPaintManagerUI manager;
  const TImageInfo* quad = manager.GetImageEx(L"101", L"PNG");
  ASSERT_NE(quad, nullptr);
  EXPECT_EQ(quad->nX, 6);
  EXPECT_EQ(PixelOf(quad, 0, 0), 0xFFFF0000u);
  EXPECT_STREQ(quad->sResType, L"PNG");
  // A typed name must be a number; an unknown id loads nothing.
  EXPECT_EQ(manager.GetImageEx(L"quad.png", L"PNG"), nullptr);
  EXPECT_EQ(manager.GetImageEx(L"999", L"PNG"), nullptr);
  // Through a description, and through GDI+.
  TImageInfo* viaGdiplus = CRenderEngine::GdiplusLoadImage(102u, L"PNG");
  ASSERT_NE(viaGdiplus, nullptr);
  EXPECT_NE(viaGdiplus->pImage, nullptr);
  EXPECT_TRUE(viaGdiplus->bAlpha);
  CRenderEngine::FreeImage(viaGdiplus);
  test::Canvas canvas(6, 6, 0xFF000000);
  EXPECT_TRUE(CRenderEngine::DrawImageString(canvas.dc(), &manager, RECT{0, 0, 6, 6}, RECT{0, 0, 0, 0},
                                             L"res='101' restype='PNG'"));
  EXPECT_EQ(canvas.Rgb(5, 5), 0xFFFFFF00u);
  CPaintManagerUI::SetInstance(nullptr);
}

TEST_F(Resources, AnArchiveItemThatClaimsAnAbsurdSizeIsRefusedBeforeAllocation) {
  std::vector<BYTE> zip = FileBytes(test::RenderDataPath() + L"skin.zip");
  CPaintManagerUI::SetResourceZip(zip.data(), static_cast<unsigned>(zip.size()));
  std::vector<BYTE> bytes;
  EXPECT_FALSE(ReadSkinItem(L"big.png", nullptr, nullptr, &bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_TRUE(ReadSkinItem(L"quad.png", nullptr, nullptr, &bytes));
  EXPECT_FALSE(bytes.empty());
}

TEST_F(Resources, AnArchiveSkinNeverFallsBackToAFileInTheCurrentFolder) {
  // A file that the archive lacks, planted in the current folder, must not be decoded.
  std::wstring folder = test::RenderDataPath() + L"dir";
  CDuiString previous = CPaintManagerUI::GetCurrentPath();
  CPaintManagerUI::SetCurrentPath(folder.c_str());
  std::vector<BYTE> zip = FileBytes(test::RenderDataPath() + L"skin.zip");
  CPaintManagerUI::SetResourceZip(zip.data(), static_cast<unsigned>(zip.size()));
  CPaintManagerUI manager;
  EXPECT_EQ(manager.GetImageEx(L"orange.png"), nullptr);
  EXPECT_NE(manager.GetImageEx(L"public/sub/orange.png"), nullptr);
  // A folder skin may still name a file by its own path.
  CPaintManagerUI::Term();
  CPaintManagerUI::SetResourcePath(L"Z:\\nonexistent-skin-folder\\");
  CPaintManagerUI folderSkin;
  EXPECT_NE(folderSkin.GetImageEx(L"orange.png"), nullptr);
  CPaintManagerUI::SetCurrentPath(previous);
}

TEST_F(Resources, TheFirstInMemoryArchiveStaysUntilTerm) {
  std::vector<BYTE> zip = FileBytes(test::RenderDataPath() + L"skin.zip");
  CPaintManagerUI::SetResourceZip(zip.data(), static_cast<unsigned>(zip.size()));
  HZIP first = CPaintManagerUI::GetResourceZipHandle();
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(CPaintManagerUI::GetResourceZip(), L"membuffer");
  std::vector<BYTE> junk(100, 0x55);
  CPaintManagerUI::SetResourceZip(junk.data(), static_cast<unsigned>(junk.size()));
  EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), first);
  // Switching to a file archive replaces it.
  CPaintManagerUI::SetResourcePath(test::RenderDataPath().c_str());
  CPaintManagerUI::SetResourceZip(L"skin.zip", true);
  EXPECT_STREQ(CPaintManagerUI::GetResourceZip(), L"skin.zip");
  EXPECT_NE(CPaintManagerUI::GetResourceZipHandle(), nullptr);
}

TEST_F(Resources, AScaledNameFallsBackToThePlainFileButIsCachedAsRequested) {
  CPaintManagerUI::SetResourcePath((test::RenderDataPath() + L"dir").c_str());
  CPaintManagerUI manager;
  manager.GetDPIObj()->SetScale(144);
  TDrawInfo* info = manager.GetDrawInfo(L"file='orange.png'", nullptr);
  ASSERT_NE(info, nullptr);
  EXPECT_STREQ(info->sImageName, L"orange@.png");
  test::Canvas canvas(8, 8, 0xFF000000);
  EXPECT_TRUE(CRenderEngine::DrawImageInfo(canvas.dc(), &manager, RECT{0, 0, 8, 8}, RECT{0, 0, 0, 0}, info));
  EXPECT_EQ(canvas.Rgb(4, 4), 0xFFFF8000u);
  EXPECT_NE(manager.GetImage(L"orange@.png"), nullptr);
  EXPECT_EQ(manager.GetImage(L"orange.png"), nullptr);
  // An at-sign after the extension's dot is not a scale suffix.
  EXPECT_EQ(manager.GetImageEx(L"orange.png@x"), nullptr);
}

TEST_F(Resources, DrawDescriptionsAreParsedOncePerPair) {
  CPaintManagerUI manager;
  TDrawInfo* a = manager.GetDrawInfo(L"file='a.png'", L"fade='9'");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->uFade, 9);
  EXPECT_EQ(manager.GetDrawInfo(L"file='a.png'", L"fade='9'"), a);
  EXPECT_NE(manager.GetDrawInfo(L"file='a.png'", nullptr), a);
  EXPECT_EQ(manager.GetDrawInfo(nullptr, nullptr), nullptr);
  EXPECT_EQ(manager.GetDrawInfo(L"", L""), nullptr);
  manager.RemoveDrawInfo(L"file='a.png'", L"fade='9'");
  TDrawInfo* again = manager.GetDrawInfo(L"file='a.png'", L"fade='9'");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->uFade, 9);
  manager.RemoveAllDrawInfos();
}

TEST_F(Resources, ListsStylesAndCustomAttributesKeepTheDocumentedEntry) {
  CPaintManagerUI manager, other;
  manager.AddDefaultAttributeList(L"VScrollBar", L"width=\"1\"", true);
  manager.AddDefaultAttributeList(L"VScrollBar", L"width=\"2\"", true);
  EXPECT_STREQ(other.GetDefaultAttributeList(L"VScrollBar"), L"width=\"2\"");
  manager.AddDefaultAttributeList(L"VScrollBar", L"width=\"3\"");
  EXPECT_STREQ(manager.GetDefaultAttributeList(L"VScrollBar"), L"width=\"3\"");
  EXPECT_TRUE(manager.RemoveDefaultAttributeList(L"VScrollBar"));
  EXPECT_FALSE(manager.RemoveDefaultAttributeList(L"VScrollBar"));
  EXPECT_STREQ(manager.GetDefaultAttributeList(L"VScrollBar"), L"width=\"2\"");

  manager.AddStyle(L"big", L"first");
  manager.AddStyle(L"big", L"second");
  EXPECT_STREQ(manager.GetStyle(L"big"), L"first");
  EXPECT_EQ(manager.GetStyles().GetSize(), 1);
  EXPECT_EQ(manager.RemoveStyle(L"big"), 1);
  EXPECT_EQ(manager.RemoveStyle(L"big"), 1);
  EXPECT_EQ(manager.GetStyle(L"big"), nullptr);

  manager.AddWindowCustomAttribute(L"k", L"one");
  manager.AddWindowCustomAttribute(L"k", L"two");
  manager.AddWindowCustomAttribute(L"", L"x");
  manager.AddWindowCustomAttribute(L"e", L"");
  EXPECT_STREQ(manager.GetWindowCustomAttribute(L"k"), L"one");
  EXPECT_EQ(manager.GetWindowCustomAttribute(L"e"), nullptr);
  EXPECT_TRUE(manager.RemoveWindowCustomAttribute(L"k"));
  EXPECT_FALSE(manager.RemoveWindowCustomAttribute(L"k"));
}

TEST_F(Resources, SharedColourChangesFollowManagersThatStillHoldTheOldValue) {
  CPaintManagerUI follows, own;
  own.SetDefaultFontColor(0xFF123456);
  follows.SetDefaultFontColor(0xFF654321, true);
  EXPECT_EQ(follows.GetDefaultFontColor(), 0xFF654321u);
  EXPECT_EQ(own.GetDefaultFontColor(), 0xFF123456u);
  EXPECT_EQ(follows.GetDefaultLinkFontColor(), 0xFF0000FFu);
  EXPECT_EQ(follows.GetDefaultDisabledColor(), 0xFFA7A6AAu);
  // A manager made later starts from the shared colours.
  CPaintManagerUI later;
  EXPECT_EQ(later.GetDefaultFontColor(), 0xFF654321u);
  follows.SetDefaultFontColor(0xFF000000, true);
}

TEST_F(Resources, HslOfIdentityRestoresTheUnadjustedPixels) {
  CPaintManagerUI::SetResourcePath((test::RenderDataPath() + L"dir").c_str());
  CPaintManagerUI manager;
  const TImageInfo* image = manager.AddImage(L"orange.png", static_cast<const wchar_t*>(nullptr), 0, true);
  ASSERT_NE(image, nullptr);
  CPaintManagerUI::SetHSL(true, 300, 100, 100);
  short h = 0, s = 0, l = 0;
  EXPECT_TRUE(CPaintManagerUI::GetHSL(&h, &s, &l));
  EXPECT_EQ(h, 300);
  // The manager is not in the class-wide list without a window; adjust it directly.
  manager.AdjustImagesHSL();
  EXPECT_NE(PixelOf(image, 0, 0), 0xFFFF8000u);
  CPaintManagerUI::SetHSL(true, 180, 100, 100);
  manager.AdjustImagesHSL();
  EXPECT_EQ(PixelOf(image, 0, 0), 0xFFFF8000u);
  CPaintManagerUI::SetHSL(false, 180, 100, 100);
  EXPECT_FALSE(CPaintManagerUI::GetHSL(nullptr, nullptr, nullptr));
}

TEST_F(Resources, ReloadKeepsRecordsAndDropsImagesThatAreGone) {
  CPaintManagerUI::SetResourcePath((test::RenderDataPath() + L"dir").c_str());
  CPaintManagerUI manager;
  const TImageInfo* image = manager.GetImageEx(L"orange.png");
  ASSERT_NE(image, nullptr);
  HBITMAP made = CRenderEngine::CreateARGB32Bitmap(nullptr, 2, 2, nullptr);
  ASSERT_NE(manager.AddImage(L"not-a-file.png", made, 2, 2, false), nullptr);
  manager.ReloadImages();
  EXPECT_EQ(manager.GetImage(L"orange.png"), image);
  EXPECT_NE(image->hBitmap, nullptr);
  EXPECT_EQ(PixelOf(image, 0, 0), 0xFFFF8000u);
  EXPECT_EQ(manager.GetImage(L"not-a-file.png"), nullptr);
}

TEST_F(Resources, TermReleasesTheSharedResourcesAndTheResourceManager) {
  CPaintManagerUI::SetResourcePath((test::RenderDataPath() + L"dir").c_str());
  CPaintManagerUI manager;
  manager.AddFont(1, L"Tahoma", 12, false, false, false, false, true);
  ASSERT_NE(manager.AddImage(L"orange.png", static_cast<const wchar_t*>(nullptr), 0, false, false, true), nullptr);
  manager.AddStyle(L"s", L"v", true);
  CResourceManager::GetInstance();
  ASSERT_NE(CResourceManager::PeekInstance(), nullptr);
  CPaintManagerUI::Term();
  EXPECT_EQ(manager.GetCustomFontCount(true), 0u);
  EXPECT_EQ(manager.GetImage(L"orange.png"), nullptr);
  EXPECT_EQ(manager.GetStyle(L"s"), nullptr);
  EXPECT_EQ(CResourceManager::PeekInstance(), nullptr);
  EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), nullptr);
}

TEST(ResourceManager, AliasesLanguagesAndTexts) {
  CResourceManager* resources = CResourceManager::GetInstance();
  ASSERT_TRUE(resources->LoadResource(
      L"<Res><Image id=\"logo\" path=\"public/sub/orange.png\"/><Group><Image id=\"logo\" path=\"other.png\"/>"
      L"<Xml id=\"main\" path=\"1.xml\"/></Group></Res>"));
  EXPECT_STREQ(resources->GetImagePath(L"logo"), L"public/sub/orange.png");
  EXPECT_STREQ(resources->GetXmlPath(L"main"), L"1.xml");
  EXPECT_EQ(resources->GetImagePath(L"none"), nullptr);
  EXPECT_FALSE(resources->LoadResource(L"<broken"));
  ASSERT_TRUE(resources->LoadLanguage(L"<Lang><Text id=\"hi\" value=\"one\"/><Text id=\"hi\" value=\"two\"/></Lang>"));
  EXPECT_STREQ(resources->GetText(L"hi"), L"two");
  EXPECT_STREQ(resources->GetText(L"unknown"), L"unknown");
  EXPECT_TRUE(resources->GetText(nullptr).IsEmpty());
  resources->SetLanguage(L"zh-CN");
  EXPECT_STREQ(resources->GetLanguage(), L"zh-CN");

  // An image alias is followed by the loader.
  test::ResetSkinState();
  resources = CResourceManager::GetInstance();
  resources->LoadResource(L"<Res><Image id=\"logo\" path=\"public/sub/orange.png\"/></Res>");
  std::vector<BYTE> zip = FileBytes(test::RenderDataPath() + L"skin.zip");
  CPaintManagerUI::SetResourceZip(zip.data(), static_cast<unsigned>(zip.size()));
  TImageInfo* logo = CRenderEngine::LoadImage(L"logo");
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->nX, 4);
  CRenderEngine::FreeImage(logo);
  resources->ResetResourceMap();
  EXPECT_EQ(resources->GetImagePath(L"logo"), nullptr);
  test::ResetSkinState();
}

}  // namespace
}  // namespace ZQUI
