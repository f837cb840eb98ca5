#include "archive/zip_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct SanitiseCase {
  const wchar_t* stored;
  const wchar_t* sanitised;
  bool safe;
};

// Stored names a hostile or careless writer produces, what they become, and whether the result
// may be appended to a target folder.
const SanitiseCase kSanitiseCases[] = {
    {L"a/b.txt", L"a/b.txt", true},
    {L"C:/a/b.txt", L"a/b.txt", true},
    {L"C:\\evil.txt", L"evil.txt", true},
    {L"../evil.txt", L"evil.txt", true},
    {L"/x/../y/z", L"y/z", true},
    {L"dir/../x", L"x", true},
    {L"a/../../x", L"x", true},
    {L"..\\..\\x", L"x", true},
    {L"\\\\server\\share\\x", L"server\\share\\x", true},
    {L"C:x", L"x", true},
    {L"//C:/../x", L"x", true},
    {L"a\\../b/..\\c", L"c", true},
    {L"sub/", L"sub/", true},
    {L"./a.txt", L"./a.txt", true},
    {L"..", L"..", false},
    {L"a/..", L"a/..", false},
    {L"...\\x", L"...\\x", false},
    {L". ./x", L". ./x", false},
    {L"a/ /b", L"a/ /b", false},
    {L"/", L"", false},
    {L"C:", L"", false},
    {L"file.txt:stream", L"file.txt:stream", false},
    {L"a/b:c", L"a/b:c", false},
    {L"ctl\x01.txt", L"ctl\x01.txt", false},
    {L"tab\t.txt", L"tab\t.txt", false},
    {L"what?.txt", L"what?.txt", false},
    {L"sub/CON", L"sub/CON", false},
    {L"nul.txt", L"nul.txt", false},
    {L"COM1", L"COM1", false},
    {L"console.txt", L"console.txt", true},
    {L"COM10", L"COM10", true},
};

TEST(ZipNameTest, SanitisingRemovesEscapesAndTheSafetyCheckRefusesWhatRemains) {
  for (const SanitiseCase& c : kSanitiseCases) {
    const std::wstring sanitised = ZipSanitiseName(c.stored);
    EXPECT_EQ(sanitised, c.sanitised) << "stored: " << testing::PrintToString(std::wstring(c.stored));
    EXPECT_EQ(ZipNameIsSafe(sanitised), c.safe)
        << "sanitised: " << testing::PrintToString(sanitised);
  }
}

TEST(ZipNameTest, EmbeddedNulMakesANameUnsafe) {
  const std::wstring name(L"a\0b.txt", 7);
  EXPECT_FALSE(ZipNameIsSafe(ZipSanitiseName(name)));
}

TEST(ZipNameTest, KeptLengthNeverSplitsAUtf8Sequence) {
  // 258 ASCII bytes, then a three-byte sequence straddling the 259-byte limit.
  std::string euro(258, 'm');
  euro += "\xE2\x82\xAC" "tail";
  EXPECT_EQ(ZipKeptNameLength(euro.data(), euro.size(), kZipNameBytes), 258u);

  // A four-byte sequence starting at 255 ends at the limit: it fits whole.
  std::string fits(255, 'x');
  fits += "\xF0\x9F\x98\x80" "z";
  EXPECT_EQ(ZipKeptNameLength(fits.data(), fits.size(), kZipNameBytes), 259u);

  // A four-byte sequence starting at 257 is left out whole.
  std::string split(257, 'x');
  split += "\xF0\x9F\x98\x80";
  EXPECT_EQ(ZipKeptNameLength(split.data(), split.size(), kZipNameBytes), 257u);

  const std::string ascii(300, 'a');
  EXPECT_EQ(ZipKeptNameLength(ascii.data(), ascii.size(), kZipNameBytes), 259u);
  EXPECT_EQ(ZipKeptNameLength(ascii.data(), 259, kZipNameBytes), 259u);

  // Continuation bytes without a lead byte are malformed; the cut falls at the limit.
  const std::string junk(300, '\x80');
  EXPECT_EQ(ZipKeptNameLength(junk.data(), junk.size(), kZipNameBytes), 259u);
}

TEST(ZipNameTest, DecodingReadsUtf8WhateverTheFlagsAndReplacesMalformedBytes) {
  EXPECT_EQ(ZipDecodeName("caf\xC3\xA9.txt", 9), L"caf\u00E9.txt");
  EXPECT_EQ(ZipDecodeName("bad\xFF.txt", 8), L"bad\uFFFD.txt");
  // An overlong encoding of '.' must not turn into a dot that sanitising would then miss.
  const std::wstring overlong = ZipDecodeName("\xC0\xAE\xC0\xAE/x", 6);
  EXPECT_EQ(overlong.find(L'.'), std::wstring::npos);
  EXPECT_EQ(ZipDecodeName("a\0b", 3), std::wstring(L"a\0b", 3));
  EXPECT_EQ(ZipDecodeName("", 0), L"");
}

}  // namespace
