// The shell and file-system helpers against the real Wine system: folders, files, processes,
// shortcuts, DLL registration and the DLL search restriction.
#include <gtest/gtest.h>

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "app/file_util.h"
#include "app/process_util.h"
#include "app/registration.h"
#include "app/registry_key.h"
#include "app/shell_folders.h"
#include "app/shortcuts.h"
#include "tests/app/app_test_support.h"

namespace {

using apptest::TempFolder;

bool Copy(const std::wstring& from, const std::wstring& to) { return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0; }

TEST(QueryFileSize, ReportsMissingEmptyAndBeyondFourGigabytes) {
  TempFolder folder(L"size");
  EXPECT_EQ(-1, QueryFileSize(folder / L"missing.bin"));
  ASSERT_TRUE(apptest::WriteFileBytes(folder / L"empty.bin", ""));
  EXPECT_EQ(0, QueryFileSize(folder / L"empty.bin"));
  EXPECT_TRUE(FileExists(folder / L"empty.bin"));
  EXPECT_FALSE(FileExists(folder / L"missing.bin"));

  // A sparse file past 4 GiB: the high half of the size counts.
  HANDLE file = CreateFileW((folder / L"large.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  LARGE_INTEGER size;
  size.QuadPart = 5368709123ll;
  ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  EXPECT_EQ(5368709123ll, QueryFileSize(folder / L"large.bin"));
}

TEST(CreateDirectoryTree, CreatesEveryLevelAndAcceptsAnExistingFolder) {
  TempFolder folder(L"tree");
  std::wstring deep = folder / L"a\\b\\c\\d";
  EXPECT_TRUE(CreateDirectoryTree(deep));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(deep.c_str()));
  EXPECT_TRUE(CreateDirectoryTree(deep));
  ASSERT_TRUE(apptest::WriteFileBytes(folder / L"file", "x"));
  EXPECT_FALSE(CreateDirectoryTree(folder / L"file\\sub"));
}

struct InsideCase {
  const wchar_t* name;
  bool inside;
};

TEST(IsPathInsideFolder, AcceptsOnlyNamesBelowTheFolder) {
  TempFolder folder(L"inside");
  std::wstring base = folder.path() + L"\\VADIZUredizadi\\";
  const InsideCase cases[] = {
      {L"docweave.exe", true},       {L"Rtf/beconv.dll", true},     {L"a\\..\\b.txt", true},
      {L"..\\escape.txt", false},    {L"../escape.txt", false},     {L"a/../../escape.txt", false},
      {L"..", false},                {L"", false},                  {L"d/..", false},
      {L"file.txt:stream", false},   {L"C:\\Windows\\x.txt", false},
  };
  for (const InsideCase& c : cases) {
    EXPECT_EQ(c.inside, app::IsPathInsideFolder(base, base + c.name)) << apptest::Narrow(c.name);
  }
  EXPECT_FALSE(app::IsPathInsideFolder(base, L"C:\\Windows\\x.txt"));
  // Case differences of the folder part do not matter on Windows.
  std::wstring upper = base;
  for (wchar_t& ch : upper) ch = static_cast<wchar_t>(towupper(ch));
  EXPECT_TRUE(app::IsPathInsideFolder(base, upper + L"x.txt"));
}

TEST(KnownFolders, ResolveWithoutTrailingSeparator) {
  std::wstring desktop = GetDesktopFolder();
  ASSERT_FALSE(desktop.empty());
  EXPECT_NE(L'\\', desktop.back());
  EXPECT_EQ(desktop, GetKnownFolderDynamic(FOLDERID_Desktop));
  std::wstring roaming = GetDefaultBaseFolder();
  ASSERT_FALSE(roaming.empty());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(roaming.c_str()));
  std::wstring temp = GetTempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(L'\\', temp.back());
}

// The "Programs" value of Shell Folders, restored after the test.
class ProgramsFolderTest : public ::testing::Test {
 protected:
  static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  void SetUp() override {
    DWORD type = 0;
    had_value_ = RegistryKey().ReadString(kKey, L"Programs", &saved_, &type, 0) && type == REG_SZ;
  }
  void TearDown() override {
    if (had_value_) {
      RegistryKey().WriteString(kKey, L"Programs", saved_, REG_SZ, 0);
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Programs");
    }
  }
  bool had_value_ = false;
  std::wstring saved_;
};

TEST_F(ProgramsFolderTest, UsesShellFoldersThenFallsBackToTheStartMenuItself) {
  ASSERT_TRUE(RegistryKey().WriteString(kKey, L"Programs", L"C:\\QuilloTestPrograms", REG_SZ, 0));
  EXPECT_EQ(L"C:\\QuilloTestPrograms", GetProgramsFolder());
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Programs"));
  std::wstring start_menu = app::GetKnownFolder(FOLDERID_StartMenu);
  ASSERT_FALSE(start_menu.empty());
  EXPECT_EQ(start_menu, GetProgramsFolder());
}

TEST(RunProcessHidden, WaitsTwoSecondsAtMost) {
  std::wstring probe = L"\"" + apptest::ProbePath() + L"\"";
  EXPECT_TRUE(RunProcessHidden(probe + L" exit 0"));
  EXPECT_TRUE(RunProcessHidden(probe + L" exit 5"));  // ended in time; its code is not judged
  ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(RunProcessHidden(probe + L" sleep 6000"));
  ULONGLONG waited = GetTickCount64() - start;
  EXPECT_GE(waited, 1900u);
  EXPECT_LT(waited, 5000u);
  EXPECT_FALSE(RunProcessHidden(L"\"C:\\no\\such\\program.exe\""));
}

TEST(ShellOpen, WaitingReportsTheExitCode) {
  EXPECT_TRUE(ShellOpen(apptest::ProbePath(), L"exit 0", true));
  EXPECT_FALSE(ShellOpen(apptest::ProbePath(), L"exit 3", true));
  EXPECT_TRUE(ShellOpen(apptest::ProbePath(), L"exit 3", false));
  EXPECT_FALSE(ShellOpen(L"C:\\no\\such\\file.exe", L"", false));
}

TEST(LaunchProcess, StartsTheProgramInItsOwnFolder) {
  TempFolder folder(L"launch");
  std::wstring exe = folder / L"docweave.exe";
  ASSERT_TRUE(Copy(apptest::FixtureDir() + L"\\docweave.exe", exe));
  LaunchProcess(exe);
  ASSERT_TRUE(apptest::WaitForFile(exe + L".launched", 20000));
  Sleep(200);  // the record is written right after the file is created
  EXPECT_EQ(L"cwd=" + folder.path() + L"\r\n", apptest::ReadUtf16File(exe + L".launched"));
}

TEST(CreateShortcut, WritesALinkThatResolvesToItsTarget) {
  TempFolder folder(L"link");
  std::wstring target = folder / L"app\\docweave.exe";
  ASSERT_TRUE(CreateDirectoryTree(folder / L"app"));
  ASSERT_TRUE(Copy(apptest::FixtureDir() + L"\\docweave.exe", target));
  std::wstring link_path = folder / L"快捷方式.lnk";
  ASSERT_EQ(S_OK, CreateShortcut(target, link_path, L"QuilloPDF转换器"));
  // Saving again replaces the file.
  ASSERT_EQ(S_OK, CreateShortcut(target, link_path, L""));

  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  {
    IShellLinkW* link = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link)));
    IPersistFile* file = nullptr;
    ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    ASSERT_EQ(S_OK, file->Load(link_path.c_str(), STGM_READ));
    wchar_t text[MAX_PATH] = {};
    ASSERT_EQ(S_OK, link->GetPath(text, MAX_PATH, nullptr, 0));
    EXPECT_EQ(target, text);
    text[0] = L'\0';
    link->GetWorkingDirectory(text, MAX_PATH);
    EXPECT_EQ(folder / L"app", text);
    text[0] = L'x';
    text[1] = L'\0';
    link->GetDescription(text, MAX_PATH);
    EXPECT_EQ(L"", std::wstring(text));
    file->Release();
    link->Release();
  }
  CoUninitialize();
}

TEST(CreateShortcut, LeavesTheCallersComApartmentAsItWas) {
  // A thread of the multi-threaded apartment: the helper's own single-threaded initialisation
  // fails there, and must then not be balanced by an uninitialisation of the caller's.
  struct Result {
    HRESULT before = E_FAIL;
    HRESULT link = E_FAIL;
    HRESULT after = E_FAIL;
  } result;
  apptest::TempFolder folder(L"comlink");
  std::wstring link_path = folder / L"mta.lnk";
  std::wstring target = apptest::FixtureDir() + L"\\docweave.exe";
  struct Context {
    Result* result;
    const std::wstring* target;
    const std::wstring* link;
  } context{&result, &target, &link_path};
  struct Body {
    static DWORD WINAPI Run(void* parameter) {
      Context* c = static_cast<Context*>(parameter);
      c->result->before = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      c->result->link = CreateShortcut(*c->target, *c->link, L"");
      // Still initialised: a second initialisation only counts up.
      c->result->after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      if (SUCCEEDED(c->result->after)) CoUninitialize();
      if (SUCCEEDED(c->result->before)) CoUninitialize();
      return 0;
    }
  };
  HANDLE thread = CreateThread(nullptr, 0, &Body::Run, &context, 0, nullptr);
  ASSERT_NE(nullptr, thread);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 30000));
  CloseHandle(thread);
  EXPECT_EQ(S_OK, result.before);
  EXPECT_EQ(S_OK, result.link);
  EXPECT_EQ(S_FALSE, result.after);
  EXPECT_TRUE(FileExists(link_path));
}

TEST(ShortcutPaths, FollowTheProductName) {
  EXPECT_EQ(L"D:\\Desk\\QuilloPDF转换器.lnk", app::DesktopShortcutPath(L"D:\\Desk"));
  EXPECT_EQ(L"P:\\QuilloPDF转换器\\", app::StartMenuFolderPath(L"P:"));
  EXPECT_EQ(L"P:\\QuilloPDF转换器\\QuilloPDF转换器.lnk", app::StartMenuProgramShortcutPath(L"P:"));
  EXPECT_EQ(L"P:\\QuilloPDF转换器\\卸载.lnk", app::StartMenuUninstallShortcutPath(L"P:"));
  // An unresolved folder leaves a path from the root of the current drive.
  EXPECT_EQ(L"\\QuilloPDF转换器.lnk", app::DesktopShortcutPath(L""));
}

TEST(RegisterDll, RunsTheSystemRegsvr32OnBothBitnesses) {
  TempFolder folder(L"regsvr");
  ASSERT_TRUE(CreateDirectoryTree(folder / L"Rtf"));
  std::wstring dll32 = folder / L"Rtf\\beconv.dll";
  std::wstring dll64 = folder / L"docfoldMenu64.dll";
  ASSERT_TRUE(Copy(apptest::FixtureDir() + L"\\beconv.dll", dll32));
  ASSERT_TRUE(Copy(apptest::FixtureDir() + L"\\docfoldMenu64.dll", dll64));

  // The result only says whether regsvr32 ended within its two seconds; on a loaded machine a cold
  // Wine process start can take longer, so the mark the DLL leaves is what is checked.
  // Each DLL is registered by the regsvr32 of its own bitness: the regsvr32 this program starts
  // hands a DLL of the other bitness to its counterpart.
  RegisterDll(dll32, true);
  ASSERT_TRUE(apptest::WaitForFile(dll32 + L".registered", 10000));
  Sleep(100);
  std::wstring mark32 = apptest::ReadUtf16File(dll32 + L".registered");
  EXPECT_EQ(0u, mark32.find(apptest::BeconvBits() == 32 ? L"bits=32\r\n" : L"bits=64\r\n")) << apptest::Narrow(mark32);
  EXPECT_NE(std::wstring::npos, mark32.find(L"regsvr32.exe")) << apptest::Narrow(mark32);

  RegisterDll(dll64, true);
  ASSERT_TRUE(apptest::WaitForFile(dll64 + L".registered", 10000));
  Sleep(100);
  std::wstring mark64 = apptest::ReadUtf16File(dll64 + L".registered");
  EXPECT_EQ(0u, mark64.find(L"bits=64\r\n")) << apptest::Narrow(mark64);
}

TEST(RegisterDll, NeverRunsARegsvr32PlantedBesideTheInstaller) {
  // The normal executable search would look in this program's own folder first.
  std::wstring planted = GetOwnDirectory() + L"regsvr32.exe";
  ASSERT_TRUE(Copy(apptest::FixtureDir() + L"\\docweave.exe", planted));
  DeleteFileW((planted + L".launched").c_str());
  TempFolder folder(L"planted");
  std::wstring dll = folder / L"beconv.dll";
  ASSERT_TRUE(Copy(apptest::FixtureDir() + L"\\beconv.dll", dll));

  std::wstring command = app::RegisterDllCommandLine(dll, true);
  EXPECT_EQ(L"\"" + app::GetSystemFolder() + L"\\regsvr32.exe\" /s \"" + dll + L"\"", command);
  EXPECT_EQ(L"\"" + app::GetSystemFolder() + L"\\regsvr32.exe\" \"" + dll + L"\"",
            app::RegisterDllCommandLine(dll, false));
  EXPECT_TRUE(RegisterDll(dll, true));
  EXPECT_TRUE(FileExists(dll + L".registered"));
  Sleep(300);
  EXPECT_FALSE(FileExists(planted + L".launched"));

  // The control: started by its bare name, the planted program is what runs.
  EXPECT_TRUE(RunProcessHidden(L"regsvr32.exe /s \"" + dll + L"\""));
  bool planted_ran = apptest::WaitForFile(planted + L".launched", 5000);
  DeleteFileW((planted + L".launched").c_str());
  DeleteFileW(planted.c_str());
  EXPECT_TRUE(planted_ran);
}

TEST(RestrictDllSearchPath, KeepsADllBesideTheProgramFromLoadingByName) {
  TempFolder folder(L"dllsearch");
  std::wstring probe = folder / L"Setup_17_A5.exe";
  ASSERT_TRUE(Copy(apptest::ProbePath(), probe));
  ASSERT_TRUE(Copy(apptest::LoadableFixtureDll(), folder / L"quillo_planted.dll"));

  apptest::ProbeRun restricted =
      apptest::RunProbe(L"dll-search quillo_planted.dll \"" + (folder / L"r1.txt") + L"\"", folder / L"r1.txt",
                        60000, probe);
  ASSERT_EQ(0u, restricted.run.exit_code);
  EXPECT_EQ((std::vector<std::string>{"restricted 1", "loaded 0", "system 1", "ended"}), restricted.report);

  apptest::ProbeRun open = apptest::RunProbe(
      L"dll-search quillo_planted.dll \"" + (folder / L"r2.txt") + L"\" unrestricted", folder / L"r2.txt", 60000, probe);
  ASSERT_EQ(0u, open.run.exit_code);
  EXPECT_EQ((std::vector<std::string>{"restricted 0", "loaded 1", "system 1", "ended"}), open.report);
}

// Paths beyond MAX_PATH: created through the "\\?\" form.
bool CreateLongFolder(const std::wstring& base, std::wstring* path) {
  std::wstring current = base;
  for (int i = 0; i < 6; ++i) {
    current += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
    if (!CreateDirectoryW((L"\\\\?\\" + current).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return false;
    }
  }
  *path = current;
  return true;
}

// (GetTempFolder grows its buffer the same way; Wine itself fails GetTempPathW for a TMP near
// MAX_PATH, so only the module path can be checked here.)
TEST(ModulePath, IsReadWholeBeyondMaxPath) {
  TempFolder folder(L"longpath");
  std::wstring deep;
  ASSERT_TRUE(CreateLongFolder(folder.path(), &deep));
  ASSERT_GT(deep.size(), 300u);

  // A module loaded from the long folder: its path does not fit the first buffer.
  std::wstring dll = deep + L"\\beconv.dll";
  ASSERT_TRUE(CopyFileW(apptest::LoadableFixtureDll().c_str(), (L"\\\\?\\" + dll).c_str(), FALSE));
  HMODULE module = LoadLibraryW((L"\\\\?\\" + dll).c_str());
  ASSERT_NE(nullptr, module);
  const void* inside = reinterpret_cast<const void*>(GetProcAddress(module, "DllRegisterServer"));
  ASSERT_NE(nullptr, inside);
  std::wstring path = app::ModulePathOf(inside);
  FreeLibrary(module);
  // Some systems report the long form with its "\\?\" prefix.
  if (path.compare(0, 4, L"\\\\?\\") == 0) path.erase(0, 4);
  EXPECT_EQ(dll, path);
  EXPECT_EQ(deep + L"\\", app::DirectoryPart(path));
  EXPECT_EQ(L"beconv.dll", app::FileNamePart(path));

  DeleteFileW((L"\\\\?\\" + dll).c_str());
  for (std::wstring level = deep; level.size() > folder.path().size();) {
    RemoveDirectoryW((L"\\\\?\\" + level).c_str());
    level = level.substr(0, level.rfind(L'\\'));
  }
}

}  // namespace
