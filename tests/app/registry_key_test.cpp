// RegistryKey against the real registry, under a fresh per-run key of HKEY_CURRENT_USER.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/registry_key.h"

namespace {

class RegistryKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = L"Software\\QuilloInstallerTests\\RegistryKey_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(GetTickCount64());
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }

  // Stores raw bytes, as another program might have written them.
  void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                             &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
  }

  std::wstring key_;
};

TEST_F(RegistryKeyTest, WrittenStringReadsBackWithItsTerminatorStored) {
  RegistryKey registry;
  ASSERT_TRUE(registry.WriteString(key_, L"DisplayName", L"QuilloPDF转换器", REG_SZ, 0));
  std::wstring text;
  DWORD type = 99;
  ASSERT_TRUE(registry.ReadString(key_, L"DisplayName", &text, &type, 0));
  EXPECT_EQ(L"QuilloPDF转换器", text);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);

  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key));
  DWORD size = 0;
  RegQueryValueExW(key, L"DisplayName", nullptr, nullptr, nullptr, &size);
  RegCloseKey(key);
  EXPECT_EQ((wcslen(L"QuilloPDF转换器") + 1) * sizeof(wchar_t), size);
}

TEST_F(RegistryKeyTest, UnterminatedAndOddSizedStringsStayInsideTheirData) {
  const wchar_t data[] = {L'a', L'b', L'c', L'X', L'Y'};
  SetRaw(L"unterminated", REG_SZ, data, 3 * sizeof(wchar_t));
  SetRaw(L"odd", REG_SZ, data, 3 * sizeof(wchar_t) + 1);
  RegistryKey registry;
  std::wstring text;
  DWORD type = 0;
  ASSERT_TRUE(registry.ReadString(key_, L"unterminated", &text, &type, 0));
  EXPECT_EQ(L"abc", text);
  ASSERT_TRUE(registry.ReadString(key_, L"odd", &text, &type, 0));
  // The half character is the low byte of 'X', completed by the zeroed spare bytes.
  EXPECT_EQ(L"abcX", text);
}

TEST_F(RegistryKeyTest, ExpandAndMultiStringsComeBackUnexpandedWithoutTrailingNulls) {
  const wchar_t expand[] = L"%TEMP%\\quillo";
  SetRaw(L"expand", REG_EXPAND_SZ, expand, sizeof(expand));
  const wchar_t multi[] = L"one\0two\0";
  SetRaw(L"multi", REG_MULTI_SZ, multi, sizeof(multi));
  RegistryKey registry;
  std::wstring text;
  DWORD type = 0;
  ASSERT_TRUE(registry.ReadString(key_, L"expand", &text, &type, 0));
  EXPECT_EQ(L"%TEMP%\\quillo", text);
  EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
  ASSERT_TRUE(registry.ReadString(key_, L"multi", &text, &type, 0));
  EXPECT_EQ(std::wstring(L"one\0two", 7), text);
  EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
}

TEST_F(RegistryKeyTest, OtherTypesLeaveTheTextAndReportTheirType) {
  DWORD number = 42;
  SetRaw(L"number", REG_DWORD, &number, sizeof(number));
  RegistryKey registry;
  std::wstring text = L"unchanged";
  DWORD type = 0;
  ASSERT_TRUE(registry.ReadString(key_, L"number", &text, &type, 0));
  EXPECT_EQ(L"unchanged", text);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
}

TEST_F(RegistryKeyTest, LongValuesAreReadWhole) {
  std::wstring long_text(20000, L'q');
  long_text += L"end";
  RegistryKey registry;
  ASSERT_TRUE(registry.WriteString(key_, L"long", long_text, REG_SZ, 0));
  std::wstring text;
  DWORD type = 0;
  ASSERT_TRUE(registry.ReadString(key_, L"long", &text, &type, 0));
  EXPECT_EQ(long_text, text);
}

TEST_F(RegistryKeyTest, MissingKeyOrValueIsAFailure) {
  RegistryKey registry;
  std::wstring text = L"kept";
  DWORD type = 7;
  EXPECT_FALSE(registry.ReadString(key_ + L"\\absent", L"x", &text, &type, 0));
  ASSERT_TRUE(registry.WriteString(key_, L"present", L"1", REG_SZ, 0));
  EXPECT_FALSE(registry.ReadString(key_, L"absent", &text, &type, 0));
  EXPECT_EQ(L"kept", text);
}

TEST_F(RegistryKeyTest, SetRootSelectsTheHive) {
  RegistryKey registry;
  EXPECT_EQ(HKEY_CURRENT_USER, registry.root());
  registry.SetRoot(HKEY_CLASSES_ROOT);
  std::wstring text;
  DWORD type = 0;
  // The key exists under HKEY_CURRENT_USER only.
  ASSERT_TRUE(RegistryKey().WriteString(key_, L"here", L"1", REG_SZ, 0));
  EXPECT_FALSE(registry.ReadString(key_, L"here", &text, &type, 0));
}

}  // namespace
