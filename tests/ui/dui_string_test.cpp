#include "ui/core/dui_string.h"

#include <string>

#include <gtest/gtest.h>

namespace ZQUI {
namespace {

std::wstring Repeat(wchar_t ch, int count) { return std::wstring(static_cast<size_t>(count), ch); }

struct ThresholdCase {
  int length;
  bool onHeap;
};

class StringThreshold : public ::testing::TestWithParam<ThresholdCase> {};

TEST_P(StringThreshold, TextsUpTo62CharactersStayInline) {
  const ThresholdCase& c = GetParam();
  std::wstring text = Repeat(L'x', c.length);
  CDuiString fromText(text.c_str());
  EXPECT_EQ(fromText.IsOnHeap(), c.onHeap);
  EXPECT_EQ(fromText.GetLength(), c.length);
  EXPECT_EQ(std::wstring(fromText.GetData()), text);

  CDuiString appended;
  for (int i = 0; i < c.length; ++i) appended += L'x';
  EXPECT_EQ(appended.IsOnHeap(), c.onHeap);
  EXPECT_EQ(std::wstring(appended.GetData()), text);

  CDuiString assigned(L"a much longer text that certainly lives on the heap because it is long");
  ASSERT_TRUE(assigned.IsOnHeap());
  assigned = text.c_str();
  EXPECT_EQ(assigned.IsOnHeap(), c.onHeap);
  EXPECT_EQ(std::wstring(assigned.GetData()), text);
}

INSTANTIATE_TEST_SUITE_P(Lengths, StringThreshold,
                         ::testing::Values(ThresholdCase{0, false}, ThresholdCase{1, false}, ThresholdCase{61, false},
                                           ThresholdCase{62, false}, ThresholdCase{63, true}, ThresholdCase{64, true},
                                           ThresholdCase{200, true}));

TEST(DuiString, TrimmedHeapTextMovesInlineAndAppendsCorrectly) {
  std::wstring text = L"0123456789" + Repeat(L' ', 60);
  CDuiString s(text.c_str());
  ASSERT_TRUE(s.IsOnHeap());
  s.TrimRight();
  EXPECT_FALSE(s.IsOnHeap());
  EXPECT_EQ(s.GetLength(), 10);
  s += L"abcde";
  EXPECT_STREQ(s.GetData(), L"0123456789abcde");
}

TEST(DuiString, TrimLeftOfLongTextKeepsTheCharactersAfterTheBlanks) {
  std::wstring tail = Repeat(L'q', 60);
  std::wstring text = Repeat(L' ', 10) + tail;
  CDuiString s(text.c_str());
  ASSERT_EQ(s.GetLength(), 70);
  s.TrimLeft();
  EXPECT_EQ(std::wstring(s.GetData()), tail);
  EXPECT_FALSE(s.IsOnHeap());

  CDuiString both(L" \t\r\n middle \n\t ");
  EXPECT_STREQ(both.Trim().GetData(), L"middle");
  CDuiString blanks(L"    ");
  EXPECT_TRUE(blanks.Trim().IsEmpty());
}

TEST(DuiString, AppendingAcrossTheThresholdKeepsEveryCharacter) {
  CDuiString s(Repeat(L'a', 60).c_str());
  s.Append(L"bcd");  // 63: crosses onto the heap
  EXPECT_TRUE(s.IsOnHeap());
  EXPECT_EQ(std::wstring(s.GetData()), Repeat(L'a', 60) + L"bcd");
  s += s;  // appending itself
  EXPECT_EQ(s.GetLength(), 126);
  s.Append(s.GetData() + 120);  // a source inside the own buffer
  EXPECT_EQ(s.GetLength(), 132);
  EXPECT_EQ(std::wstring(s.GetData()).substr(126), std::wstring(L"aaabcd"));
}

TEST(DuiString, AssignClampsItsLengthAndAcceptsItsOwnBuffer) {
  CDuiString s;
  s.Assign(L"hello", 3);
  EXPECT_STREQ(s.GetData(), L"hel");
  s.Assign(L"hello", 100);
  EXPECT_STREQ(s.GetData(), L"hello");
  s.Assign(L"hello", -7);
  EXPECT_STREQ(s.GetData(), L"hello");
  s.Assign(nullptr);
  EXPECT_TRUE(s.IsEmpty());

  std::wstring longText = Repeat(L'z', 50) + Repeat(L'y', 50);
  CDuiString own(longText.c_str());
  own.Assign(own.GetData() + 50);
  EXPECT_EQ(std::wstring(own.GetData()), Repeat(L'y', 50));
}

struct SliceCase {
  const wchar_t* text;
  int start;
  int count;
  const wchar_t* mid;
  const wchar_t* left;
  const wchar_t* right;
};

class StringSlices : public ::testing::TestWithParam<SliceCase> {};

TEST_P(StringSlices, LeftMidRightStayWithinTheText) {
  const SliceCase& c = GetParam();
  CDuiString s(c.text);
  EXPECT_STREQ(s.Mid(c.start, c.count).GetData(), c.mid);
  EXPECT_STREQ(s.Left(c.count).GetData(), c.left);
  EXPECT_STREQ(s.Right(c.count).GetData(), c.right);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, StringSlices,
    ::testing::Values(SliceCase{L"abcde", 2, 100, L"cde", L"abcde", L"abcde"},
                      SliceCase{L"abcde", 1, 2, L"bc", L"ab", L"de"},
                      SliceCase{L"abcde", 0, -1, L"abcde", L"", L""},
                      SliceCase{L"abcde", 5, 1, L"", L"a", L"e"},
                      SliceCase{L"abcde", 9, 2, L"", L"ab", L"de"},
                      SliceCase{L"abcde", -3, 2, L"ab", L"ab", L"de"},
                      SliceCase{L"abcde", 1, 0, L"", L"", L""},
                      SliceCase{L"abcde", 1, -5, L"", L"", L""}));

TEST(DuiString, FindRespectsTheStartPosition) {
  CDuiString s(L"a,b,c");
  EXPECT_EQ(s.Find(L','), 1);
  EXPECT_EQ(s.Find(L',', 2), 3);
  EXPECT_EQ(s.Find(L'x'), -1);
  EXPECT_EQ(s.Find(L'c', s.GetLength()), -1);
  EXPECT_EQ(s.Find(L'a', -1), -1);
  EXPECT_EQ(s.Find(L"b,c"), 2);
  EXPECT_EQ(s.Find(L"c", s.GetLength()), -1);
  EXPECT_EQ(s.Find(L"", s.GetLength()), s.GetLength());
  EXPECT_EQ(s.Find(L"c", s.GetLength() + 1), -1);
  EXPECT_EQ(s.ReverseFind(L','), 3);
  EXPECT_EQ(s.ReverseFind(L'q'), -1);
}

struct ReplaceCase {
  const wchar_t* text;
  const wchar_t* from;
  const wchar_t* to;
  const wchar_t* result;
  int count;
};

class StringReplace : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(StringReplace, ReplacesLeftToRightWithoutRescanningInsertedText) {
  const ReplaceCase& c = GetParam();
  CDuiString s(c.text);
  EXPECT_EQ(s.Replace(c.from, c.to), c.count);
  EXPECT_STREQ(s.GetData(), c.result);
}

INSTANTIATE_TEST_SUITE_P(Cases, StringReplace,
                         ::testing::Values(ReplaceCase{L"aaa", L"a", L"aa", L"aaaaaa", 3},
                                           ReplaceCase{L"a{\\n}b", L"{\\n}", L"\n", L"a\nb", 1},
                                           ReplaceCase{L"abc", L"", L"x", L"abc", 0},
                                           ReplaceCase{L"abc", nullptr, L"x", L"abc", 0},
                                           ReplaceCase{L"abab", L"ab", nullptr, L"", 2},
                                           ReplaceCase{L"xyz", L"q", L"r", L"xyz", 0}));

TEST(DuiString, ComparesByCodeUnitAndIgnoringCase) {
  CDuiString s(L"Button");
  EXPECT_EQ(s.Compare(L"Button"), 0);
  EXPECT_EQ(s.Compare(L"button"), -1);
  EXPECT_EQ(s.Compare(L"Butto"), 1);
  EXPECT_EQ(s.CompareNoCase(L"BUTTON"), 0);
  EXPECT_TRUE(s == L"Button");
  EXPECT_TRUE(s != L"button");
  EXPECT_TRUE(s < L"C");
  CDuiString high(L"\xFFFF");
  EXPECT_EQ(high.Compare(L"a"), 1);  // unsigned code units
  s.MakeUpper();
  EXPECT_STREQ(s.GetData(), L"BUTTON");
  s.MakeLower();
  EXPECT_STREQ(s.GetData(), L"button");
}

TEST(DuiString, FormatHandlesAnyLengthAndSmallFormatAlwaysTerminates) {
  CDuiString s;
  std::wstring longArg = Repeat(L'w', 500);
  EXPECT_EQ(s.Format(L"[%ls]-%d", longArg.c_str(), 42), 505);
  EXPECT_EQ(std::wstring(s.GetData()), L"[" + longArg + L"]-42");
  EXPECT_EQ(s.Format(nullptr), 0);
  EXPECT_TRUE(s.IsEmpty());

  CDuiString small;
  small.SmallFormat(L"%ls", longArg.c_str());
  EXPECT_EQ(small.GetLength(), 63);
  EXPECT_EQ(std::wstring(small.GetData()), Repeat(L'w', 63));
  EXPECT_EQ(small.SmallFormat(L"%d%%", 97), 3);
  EXPECT_STREQ(small.GetData(), L"97%");
}

TEST(DuiString, NarrowTextsComeFromTheAnsiCodePage) {
  CDuiString s;
  s = "plain ascii";
  EXPECT_STREQ(s.GetData(), L"plain ascii");
  s += " more";
  EXPECT_STREQ(s.GetData(), L"plain ascii more");
  s = static_cast<const char*>(nullptr);
  EXPECT_TRUE(s.IsEmpty());
  CDuiString ch(L'Q');
  EXPECT_STREQ(ch.GetData(), L"Q");
  ch = L'\0';
  EXPECT_TRUE(ch.IsEmpty());
  EXPECT_STREQ((CDuiString(L"ab") + L"cd").GetData(), L"abcd");
}

}  // namespace
}  // namespace ZQUI
