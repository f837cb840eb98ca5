#include "ui/core/markup.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "ui/core/paint_manager.h"

namespace ZQUI {
namespace {

std::wstring Message(const CMarkup& m) {
  wchar_t buffer[100];
  m.GetLastErrorMessage(buffer, 100);
  return buffer;
}

std::wstring Location(const CMarkup& m) {
  wchar_t buffer[50];
  m.GetLastErrorLocation(buffer, 50);
  return buffer;
}

struct ErrorCase {
  const wchar_t* xml;
  const wchar_t* message;
  const wchar_t* location;
};

class MarkupErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(MarkupErrors, FailWithTheirMessageAndLocation) {
  const ErrorCase& c = GetParam();
  CMarkup m;
  EXPECT_FALSE(m.Load(c.xml));
  EXPECT_FALSE(m.IsValid());
  EXPECT_FALSE(m.GetRoot().IsValid());
  EXPECT_EQ(Message(m), c.message);
  EXPECT_EQ(Location(m), c.location);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MarkupErrors,
    ::testing::Values(
        ErrorCase{L"x<a/>", L"Expected start tag", L"x<a/>"},
        ErrorCase{L"<a/>junk", L"Expected start tag", L"junk"},
        ErrorCase{L"<a><b/>x</a>", L"Expected start tag", L"x</a>"},
        ErrorCase{L"<a><b><c><d/>", L"Expected start tag", L""},
        ErrorCase{L"<abc", L"Error parsing element name", L""},
        ErrorCase{L"<a b=\"1\"/ >", L"Expected start-tag closing", L"/ >"},
        ErrorCase{L"<a b=\"1\"", L"Expected start-tag closing", L""},
        ErrorCase{L"<a><b><c>text", L"Expected end-tag start", L""},
        ErrorCase{L"<a></A>", L"Unmatched closing tag", L"A>"},
        ErrorCase{L"<a>x</b >", L"Unmatched closing tag", L"b >"},
        ErrorCase{L"<a></ab>", L"Unmatched closing tag", L">"},
        ErrorCase{L"<a></a", L"Unmatched closing tag", L""},
        ErrorCase{L"<a b>", L"Error while parsing attributes", L">"},
        ErrorCase{L"<a b=\"1\" c d=\"2\"/>", L"Error while parsing attributes", L"d=\"2\"/>"},
        ErrorCase{L"<a b='1'/>", L"Expected attribute value", L"1'/>"},
        ErrorCase{L"<a b=", L"Expected attribute value", L""},
        ErrorCase{L"<a b=\"1", L"Error while parsing attribute string", L""}));

TEST(Markup, ErrorTextsAreCutToTheirBuffersAndZeroSizesWriteNothing) {
  CMarkup m;
  std::wstring junk(80, L'j');
  ASSERT_FALSE(m.Load(junk.c_str()));
  wchar_t location[50];
  m.GetLastErrorLocation(location, 50);
  EXPECT_EQ(std::wstring(location), std::wstring(49, L'j'));

  wchar_t small[6];
  m.GetLastErrorMessage(small, 6);
  EXPECT_STREQ(small, L"Expec");
  wchar_t untouched[4] = {L'!', L'!', L'!', L'\0'};
  m.GetLastErrorMessage(untouched, 0);
  m.GetLastErrorLocation(untouched, 0);
  EXPECT_STREQ(untouched, L"!!!");
  m.GetLastErrorMessage(untouched, 1);
  EXPECT_STREQ(untouched, L"");
}

TEST(Markup, DocumentsNestedTooDeeplyFailInsteadOfExhaustingTheStack) {
  auto nested = [](int depth) {
    std::wstring xml;
    for (int i = 0; i < depth; ++i) xml += L"<e>";
    for (int i = 0; i < depth; ++i) xml += L"</e>";
    return xml;
  };
  CMarkup ok;
  EXPECT_TRUE(ok.Load(nested(CMarkup::kMaxNestingDepth - 1).c_str()));
  CMarkup deep;
  EXPECT_FALSE(deep.Load(nested(100000).c_str()));
  EXPECT_EQ(Message(deep), L"Elements nested too deeply");
}

TEST(Markup, EmptyAndCommentOnlyTextsLoadWithoutARoot) {
  const wchar_t* texts[] = {L"", L"  \r\n\t ", L"<?xml version=\"1.0\"?>  <!-- nothing here -->",
                            L"<!DOCTYPE skin -> "};
  for (const wchar_t* text : texts) {
    CMarkup m;
    EXPECT_TRUE(m.Load(text)) << static_cast<const void*>(text);
    EXPECT_TRUE(m.IsValid());
    EXPECT_FALSE(m.GetRoot().IsValid());
  }
}

TEST(Markup, NavigatesElementsAndAttributes) {
  CMarkup m(L"<Window a=\"1\"><Font/></Window>");
  ASSERT_TRUE(m.IsValid());
  CMarkupNode root = m.GetRoot();
  ASSERT_TRUE(root.IsValid());
  EXPECT_STREQ(root.GetName(), L"Window");
  EXPECT_EQ(root.GetAttributeCount(), 1);
  EXPECT_STREQ(root.GetAttributeValue(L"A"), L"1");
  EXPECT_TRUE(root.HasChildren());
  EXPECT_FALSE(root.HasSiblings());
  EXPECT_FALSE(root.GetParent().IsValid());
  CMarkupNode font = root.GetChild(L"font");
  ASSERT_TRUE(font.IsValid());
  EXPECT_STREQ(font.GetName(), L"Font");
  EXPECT_STREQ(font.GetValue(), L"");
  EXPECT_FALSE(font.HasAttributes());
  EXPECT_STREQ(font.GetParent().GetName(), L"Window");
  EXPECT_FALSE(root.GetChild(L"Image").IsValid());

  CMarkupNode invalid;
  EXPECT_FALSE(invalid.IsValid());
  EXPECT_EQ(invalid.GetName(), nullptr);
  EXPECT_EQ(invalid.GetAttributeCount(), 0);
  EXPECT_FALSE(invalid.GetChild().IsValid());
}

TEST(Markup, AttributeLookupsAndCopies) {
  CMarkup m(L"<a first=\"one\" Second = \"two\" first=\"again\" empty=\"\"/>");
  CMarkupNode a = m.GetRoot();
  ASSERT_EQ(a.GetAttributeCount(), 4);
  EXPECT_STREQ(a.GetAttributeName(0), L"first");
  EXPECT_STREQ(a.GetAttributeName(1), L"Second");
  EXPECT_STREQ(a.GetAttributeValue(1), L"two");
  EXPECT_STREQ(a.GetAttributeValue(2), L"again");
  EXPECT_STREQ(a.GetAttributeValue(L"FIRST"), L"one");  // the first of duplicates wins by name
  EXPECT_STREQ(a.GetAttributeValue(L"empty"), L"");
  EXPECT_TRUE(a.HasAttribute(L"empty"));
  EXPECT_FALSE(a.HasAttribute(L"missing"));
  EXPECT_STREQ(a.GetAttributeValue(L"missing"), L"");
  EXPECT_STREQ(a.GetAttributeName(4), L"");
  EXPECT_STREQ(a.GetAttributeValue(-1), L"");

  wchar_t buffer[4];
  EXPECT_TRUE(a.GetAttributeValue(L"second", buffer, 4));
  EXPECT_STREQ(buffer, L"two");
  EXPECT_TRUE(a.GetAttributeValue(2, buffer, 4));
  EXPECT_STREQ(buffer, L"aga");  // cut to fit
  EXPECT_FALSE(a.GetAttributeValue(9, buffer, 4));
  EXPECT_FALSE(a.GetAttributeValue(L"missing", buffer, 4));
}

TEST(Markup, OnlyTheFirst64AttributesAreMapped) {
  std::wstring xml = L"<a";
  for (int i = 0; i < 65; ++i) xml += L" n" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
  xml += L"/>";
  CMarkup m(xml.c_str());
  CMarkupNode a = m.GetRoot();
  EXPECT_EQ(a.GetAttributeCount(), 64);
  EXPECT_STREQ(a.GetAttributeValue(63), L"63");
  EXPECT_FALSE(a.HasAttribute(L"n64"));
}

struct EntityCase {
  const wchar_t* xml;
  const wchar_t* value;      // character data of the root
  const wchar_t* attribute;  // value of attribute t
};

class MarkupEntities : public ::testing::TestWithParam<EntityCase> {};

TEST_P(MarkupEntities, DecodeTheFiveNamedEntitiesOnly) {
  const EntityCase& c = GetParam();
  CMarkup m;
  ASSERT_TRUE(m.Load(c.xml)) << Message(m);
  CMarkupNode root = m.GetRoot();
  EXPECT_STREQ(root.GetValue(), c.value);
  EXPECT_STREQ(root.GetAttributeValue(L"t"), c.attribute);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MarkupEntities,
    ::testing::Values(
        EntityCase{L"<a t=\"&lt;&amp;&gt;&apos;&quot;\">&lt;&amp;&gt;&apos;&quot;</a>", L"<&>'\"", L"<&>'\""},
        EntityCase{L"<a t=\"&lt;\x8FD4\x56DE\">&nbsp;&#65;</a>", L"&nbsp;&#65;", L"<\x8FD4\x56DE"},
        EntityCase{L"<a t=\"&&x\">&&x</a>", L"&&x", L"&&x"},
        EntityCase{L"<a t=\"x&amp;\">tail&amp;</a>", L"tail&", L"x&"},
        EntityCase{L"<a t=\"&LT;\">&Amp;</a>", L"&Amp;", L"&LT;"}));

TEST(Markup, DecodedEntityDoesNotCorruptTheNextAttribute) {
  CMarkup m(L"<a t=\"&lt;x\" f=\"7\"/>");
  CMarkupNode a = m.GetRoot();
  ASSERT_EQ(a.GetAttributeCount(), 2);
  EXPECT_STREQ(a.GetAttributeValue(L"t"), L"<x");
  EXPECT_STREQ(a.GetAttributeName(1), L"f");
  EXPECT_STREQ(a.GetAttributeValue(L"f"), L"7");

  CMarkup skin(L"<Button name=\"opt_back\" width=\"40\" text=\"&lt;\x8FD4\x56DE\" font=\"7\" textcolor=\"0xff333333\"/>");
  CMarkupNode button = skin.GetRoot();
  ASSERT_EQ(button.GetAttributeCount(), 5);
  EXPECT_STREQ(button.GetAttributeValue(L"text"), L"<\x8FD4\x56DE");
  EXPECT_STREQ(button.GetAttributeValue(L"font"), L"7");
  EXPECT_STREQ(button.GetAttributeValue(L"textcolor"), L"0xff333333");
}

TEST(Markup, ElementsLeftOpenAtTheEndLoadOnlyAtTheTopTwoLevels) {
  CMarkup m(L"<a><b>text");
  ASSERT_TRUE(m.IsValid()) << Message(m);
  CMarkupNode b = m.GetRoot().GetChild();
  EXPECT_STREQ(m.GetRoot().GetName(), L"a");
  EXPECT_STREQ(b.GetName(), L"b");
  EXPECT_STREQ(b.GetValue(), L"text");

  CMarkup decoded(L"<a><b>x&amp;y");
  ASSERT_TRUE(decoded.IsValid());
  EXPECT_STREQ(decoded.GetRoot().GetChild().GetValue(), L"x&y");
}

TEST(Markup, StrayClosingTagAtTheTopEndsTheDocument) {
  CMarkup m(L"<a/></b>junk");
  ASSERT_TRUE(m.IsValid()) << Message(m);
  EXPECT_STREQ(m.GetRoot().GetName(), L"a");
  EXPECT_FALSE(m.GetRoot().HasSiblings());

  CMarkup two(L"<a/><b x=\"1\"/>");
  ASSERT_TRUE(two.IsValid());
  EXPECT_STREQ(two.GetRoot().GetSibling().GetName(), L"b");
}

TEST(Markup, WhitespaceIsPreservedUnlessSwitchedOff) {
  CMarkup kept(L"<a t=\"x  y\">p  q</a>");
  EXPECT_STREQ(kept.GetRoot().GetAttributeValue(L"t"), L"x  y");
  EXPECT_STREQ(kept.GetRoot().GetValue(), L"p  q");

  CMarkup collapsed;
  collapsed.SetPreserveWhitespace(false);
  ASSERT_TRUE(collapsed.Load(L"<a t=\"x  y\">p \t\r\nq\tr</a>"));
  EXPECT_STREQ(collapsed.GetRoot().GetAttributeValue(L"t"), L"x y");
  EXPECT_STREQ(collapsed.GetRoot().GetValue(), L"p q\tr");
}

TEST(Markup, CharacterDataIsKeptBeforeTheFirstChild) {
  CMarkup m(L"<a>lead<b>inner</b>  </a>");
  ASSERT_TRUE(m.IsValid()) << Message(m);
  EXPECT_STREQ(m.GetRoot().GetValue(), L"lead");
  EXPECT_STREQ(m.GetRoot().GetChild().GetValue(), L"inner");
}

// --- encodings ---------------------------------------------------------------------------------

std::vector<BYTE> Utf8(const char* text, bool bom) {
  std::vector<BYTE> bytes;
  if (bom) bytes = {0xEF, 0xBB, 0xBF};
  for (const char* p = text; *p; ++p) bytes.push_back(static_cast<BYTE>(*p));
  return bytes;
}

std::vector<BYTE> Utf16(const std::wstring& text, bool bigEndian, bool bom) {
  std::vector<BYTE> bytes;
  if (bom) {
    bytes.push_back(bigEndian ? 0xFE : 0xFF);
    bytes.push_back(bigEndian ? 0xFF : 0xFE);
  }
  for (wchar_t ch : text) {
    BYTE lo = static_cast<BYTE>(ch & 0xFF);
    BYTE hi = static_cast<BYTE>(ch >> 8);
    bytes.push_back(bigEndian ? hi : lo);
    bytes.push_back(bigEndian ? lo : hi);
  }
  return bytes;
}

const char kUtf8Doc[] = "<a t=\"\xE7\xAB\x8B\xE5\x8D\xB3\">\xE5\xAE\x89\xE8\xA3\x85</a>";  // t = 立即, value = 安装
const wchar_t kWideDoc[] = L"<a t=\"\x7ACB\x5373\">\x5B89\x88C5</a>";

TEST(Markup, Utf8WithAndWithoutByteOrderMarkLoadTheSameText) {
  for (bool bom : {false, true}) {
    std::vector<BYTE> bytes = Utf8(kUtf8Doc, bom);
    CMarkup m;
    ASSERT_TRUE(m.LoadFromMem(bytes.data(), static_cast<DWORD>(bytes.size()), XmlEncoding::Utf8)) << Message(m);
    EXPECT_STREQ(m.GetRoot().GetAttributeValue(L"t"), L"\x7ACB\x5373");
    EXPECT_STREQ(m.GetRoot().GetValue(), L"\x5B89\x88C5");
  }
}

TEST(Markup, Utf16LittleAndBigEndianLoadAndBigEndianIsSwappedInPlace) {
  std::vector<BYTE> little = Utf16(kWideDoc, false, true);
  CMarkup le;
  ASSERT_TRUE(le.LoadFromMem(little.data(), static_cast<DWORD>(little.size()), XmlEncoding::Utf16));
  EXPECT_STREQ(le.GetRoot().GetValue(), L"\x5B89\x88C5");

  std::vector<BYTE> big = Utf16(kWideDoc, true, true);
  CMarkup be;
  ASSERT_TRUE(be.LoadFromMem(big.data(), static_cast<DWORD>(big.size()), XmlEncoding::Utf16));
  EXPECT_STREQ(be.GetRoot().GetAttributeValue(L"t"), L"\x7ACB\x5373");
  // The caller's buffer now holds little-endian characters after the untouched mark.
  EXPECT_EQ(big[0], 0xFE);
  EXPECT_EQ(big[1], 0xFF);
  EXPECT_EQ(big[2], '<');
  EXPECT_EQ(big[3], 0);

  std::vector<BYTE> bare = Utf16(kWideDoc, false, false);
  CMarkup noMark;
  ASSERT_TRUE(noMark.LoadFromMem(bare.data(), static_cast<DWORD>(bare.size()), XmlEncoding::Utf16));
  EXPECT_STREQ(noMark.GetRoot().GetValue(), L"\x5B89\x88C5");

  BYTE one = '<';
  CMarkup tiny;
  EXPECT_TRUE(tiny.LoadFromMem(&one, 1, XmlEncoding::Utf16));
  EXPECT_FALSE(tiny.GetRoot().IsValid());
}

TEST(Markup, AnsiUsesTheSystemCodePage) {
  const char doc[] = "<a t=\"plain\">ascii</a>";
  CMarkup m;
  ASSERT_TRUE(m.LoadFromMem(reinterpret_cast<BYTE*>(const_cast<char*>(doc)), sizeof(doc) - 1, XmlEncoding::Ansi));
  EXPECT_STREQ(m.GetRoot().GetValue(), L"ascii");
  EXPECT_STREQ(m.GetRoot().GetAttributeValue(L"t"), L"plain");
}

TEST(Markup, ReloadingReplacesTheDocumentAndFailureReleasesIt) {
  CMarkup m(L"<first/>");
  EXPECT_STREQ(m.GetRoot().GetName(), L"first");
  ASSERT_TRUE(m.Load(L"<second/>"));
  EXPECT_STREQ(m.GetRoot().GetName(), L"second");
  EXPECT_FALSE(m.Load(L"<broken"));
  EXPECT_FALSE(m.IsValid());
  EXPECT_EQ(Message(m), L"Error parsing element name");
  ASSERT_TRUE(m.Load(L"<third/>"));
  EXPECT_EQ(Message(m), L"");  // cleared by the next parse
  m.Release();
  EXPECT_FALSE(m.IsValid());
}

// --- files and the resource archive -------------------------------------------------------------

class MarkupFiles : public ::testing::Test {
 protected:
  void SetUp() override { m_folder = test::MakeTempFolder(); }
  void TearDown() override {
    CPaintManagerUI::Term();
    CPaintManagerUI::SetResourcePath(L"");
    test::RemoveFolder(m_folder);
  }
  std::wstring m_folder;
};

TEST_F(MarkupFiles, DiskFilesLoadUpToTheSizeLimit) {
  std::string exact = "<a>" + std::string(CMarkup::kMaxFileSize - 7, ' ') + "</a>";
  ASSERT_EQ(exact.size(), CMarkup::kMaxFileSize);
  ASSERT_TRUE(test::WriteFileBytes(m_folder + L"\\exact.xml", exact.data(), exact.size()));
  std::string big = exact + " ";
  ASSERT_TRUE(test::WriteFileBytes(m_folder + L"\\big.xml", big.data(), big.size()));
  ASSERT_TRUE(test::WriteFileBytes(m_folder + L"\\empty.xml", "", 0));
  CPaintManagerUI::SetResourcePath(m_folder.c_str());

  CMarkup m;
  EXPECT_TRUE(m.LoadFromFile(L"exact.xml")) << Message(m);
  EXPECT_STREQ(m.GetRoot().GetName(), L"a");
  EXPECT_FALSE(m.LoadFromFile(L"big.xml"));
  EXPECT_EQ(Message(m), L"File too large");
  EXPECT_EQ(Location(m), L"");
  EXPECT_FALSE(m.LoadFromFile(L"empty.xml"));
  EXPECT_EQ(Message(m), L"File is empty");
  EXPECT_FALSE(m.LoadFromFile(L"missing.xml"));
  EXPECT_EQ(Message(m), L"Error opening file");
  EXPECT_FALSE(m.IsValid());
}

TEST_F(MarkupFiles, ResourceArchiveItemsAreFoundWithBackslashesAndAnyCase) {
  std::wstring data = test::DataPath(L"");
  CPaintManagerUI::SetResourcePath(data.c_str());
  CPaintManagerUI::SetResourceZip(L"skin.zip", false);

  CMarkup m;
  EXPECT_TRUE(m.LoadFromFile(L"skin\\1.xml")) << Message(m);
  EXPECT_STREQ(m.GetRoot().GetName(), L"Window");
  EXPECT_TRUE(m.LoadFromFile(L"SKIN/1.XML")) << Message(m);
  EXPECT_TRUE(m.LoadFromFile(L"exact.xml")) << Message(m);
  EXPECT_FALSE(m.LoadFromFile(L"big.xml"));
  EXPECT_EQ(Message(m), L"File too large");
  EXPECT_FALSE(m.LoadFromFile(L"empty.xml"));
  EXPECT_EQ(Message(m), L"File is empty");
  EXPECT_FALSE(m.LoadFromFile(L"2.xml"));
  EXPECT_EQ(Message(m), L"Could not find ziped file");
  EXPECT_FALSE(m.LoadFromFile(L"bzip2.xml"));
  EXPECT_EQ(Message(m), L"Could not unzip file");
  EXPECT_EQ(Location(m), L"");

  CPaintManagerUI::SetResourceZip(L"no-such.zip", false);
  EXPECT_FALSE(m.LoadFromFile(L"1.xml"));
  EXPECT_EQ(Message(m), L"Error opening zip file");
}

TEST_F(MarkupFiles, InMemoryArchiveServesLoadsAndOnlyTheFirstIsKept) {
  std::string zip = test::ReadFileBytes(test::DataPath(L"skin.zip"));
  ASSERT_FALSE(zip.empty());
  CPaintManagerUI::SetResourceZip(zip.data(), static_cast<unsigned>(zip.size()));
  EXPECT_TRUE(CPaintManagerUI::GetResourceZip() == L"membuffer");
  EXPECT_TRUE(CPaintManagerUI::IsCachedResourceZip());
  EXPECT_NE(CPaintManagerUI::GetResourceZipHandle(), nullptr);
  HZIP first = CPaintManagerUI::GetResourceZipHandle();
  std::string other = "not an archive";
  CPaintManagerUI::SetResourceZip(other.data(), static_cast<unsigned>(other.size()));
  EXPECT_EQ(CPaintManagerUI::GetResourceZipHandle(), first);

  CMarkup m;
  ASSERT_TRUE(m.LoadFromFile(L"1.xml")) << Message(m);
  EXPECT_STREQ(m.GetRoot().GetChild(L"VerticalLayout").GetAttributeValue(L"name"), L"maintab");
}

// --- the installer's skin ----------------------------------------------------------------------

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

void Collect(CMarkupNode node, int depth, std::vector<std::wstring>& out) {
  for (; node.IsValid(); node = node.GetSibling()) {
    out.push_back(L"E\t" + std::to_wstring(depth) + L"\t" + node.GetName());
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
      out.push_back(std::wstring(L"A\t") + node.GetAttributeName(i) + L"\t" + node.GetAttributeValue(i));
    }
    Collect(node.GetChild(), depth + 1, out);
  }
}

TEST(MarkupSkin, InstallerSkinParsesIntoEveryNodeWithEveryAttribute) {
  std::string bytes = test::ReadFileBytes(test::DataPath(L"installer_skin.xml"));
  std::wstring expectedText = FromUtf8(test::ReadFileBytes(test::DataPath(L"installer_skin.txt")));
  ASSERT_FALSE(bytes.empty());
  ASSERT_FALSE(expectedText.empty());
  std::vector<std::wstring> expected;
  size_t start = 0;
  for (size_t end; (end = expectedText.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
    expected.push_back(expectedText.substr(start, end - start));
  }

  CMarkup m;
  ASSERT_TRUE(m.LoadFromMem(reinterpret_cast<BYTE*>(&bytes[0]), static_cast<DWORD>(bytes.size()))) << Message(m);
  std::vector<std::wstring> actual;
  Collect(m.GetRoot(), 0, actual);
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "line " << i;

  // A few landmarks the window controller depends on.
  CMarkupNode window = m.GetRoot();
  EXPECT_STREQ(window.GetAttributeValue(L"size"), L"600,400");
  CMarkupNode maintab = window.GetChild(L"VerticalLayout");
  int pages = 0;
  for (CMarkupNode page = maintab.GetChild(); page.IsValid(); page = page.GetSibling()) ++pages;
  EXPECT_EQ(pages, 5);
  CMarkupNode row = maintab.GetChild().GetChild().GetSibling().GetSibling().GetSibling();
  CMarkupNode option = row.GetChild(L"Option");
  EXPECT_STREQ(option.GetAttributeValue(L"name"), L"progresss_ag");
  EXPECT_STREQ(option.GetAttributeName(2), L"selected");
  EXPECT_STREQ(option.GetAttributeName(option.GetAttributeCount() - 1), L"selected");
  CMarkupNode scrollDefault = window.GetChild(L"Default");
  EXPECT_EQ(std::wstring(scrollDefault.GetAttributeValue(L"value")).substr(0, 20), L"width=\"14\" range=\"14");
}

}  // namespace
}  // namespace ZQUI
