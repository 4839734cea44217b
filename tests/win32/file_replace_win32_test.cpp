// Replacing the settings file on Windows, and where its path points.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "app_state.h"
#include "file_replace.h"
#include "list_file.h"
#include "scripted_program.h"
#include "settings_file.h"
#include "settings_path.h"
#include "test_util.h"

namespace tapsmith {
namespace {

bool WriteBytes(const char* name, const std::string& bytes) {
  std::string error;
  return ReplaceFileContents(name, bytes, &error);
}

int FilesIn(const ScratchDirectory& directory) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((directory.path() + "\\*").c_str(), &found);
  int files = 0;
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return files;
}

TEST(FileReplaceWin32, CreatesAndReplacesLeavingNoTemporaryFile) {
  ScratchDirectory directory;
  ASSERT_TRUE(WriteBytes("Tapsmith.ini", "first\r\n"));
  ASSERT_TRUE(WriteBytes("Tapsmith.ini", std::string("second\r\n\x07\x07\x93\x64", 12)));
  EXPECT_EQ(directory.ReadFile("Tapsmith.ini"), std::string("second\r\n\x07\x07\x93\x64", 12));
  EXPECT_EQ(FilesIn(directory), 1);
}

TEST(FileReplaceWin32, ReadOnlyFileAndFolderAreRefusedAndLeftAsTheyWere) {
  ScratchDirectory directory;
  ASSERT_TRUE(WriteBytes("Tapsmith.ini", "old\r\n"));
  SetFileAttributesA("Tapsmith.ini", FILE_ATTRIBUTE_READONLY);
  std::string error;
  EXPECT_FALSE(ReplaceFileContents("Tapsmith.ini", "new\r\n", &error));
  EXPECT_EQ(error.rfind("Tapsmith.ini: ", 0), 0u) << error;
  SetFileAttributesA("Tapsmith.ini", FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(directory.ReadFile("Tapsmith.ini"), "old\r\n");

  ASSERT_TRUE(CreateDirectoryA("folder.ini", nullptr));
  EXPECT_FALSE(ReplaceFileContents("folder.ini", "new\r\n", &error));
  EXPECT_FALSE(ReplaceFileContents("missing\\Tapsmith.ini", "new\r\n", &error));
  RemoveDirectoryA("folder.ini");
  EXPECT_EQ(FilesIn(directory), 1);
}

// What a killed save left is taken over; a save still writing (here a
// handle held open as a save holds it) is waited for, never taken over.
TEST(FileReplaceWin32, TakesOverALeftoverAndWaitsForALiveSave) {
  ScratchDirectory directory;
  HANDLE leftover = CreateFileA("Tapsmith.ini.tmp", GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(leftover, "half a file", 11, &written, nullptr));
  CloseHandle(leftover);  // as the system closes it when a save is killed
  ASSERT_TRUE(WriteBytes("Tapsmith.ini", "taken over\r\n"));
  EXPECT_EQ(directory.ReadFile("Tapsmith.ini"), "taken over\r\n");
  EXPECT_EQ(FilesIn(directory), 1);

  HANDLE held = CreateFileA("Tapsmith.ini.tmp", GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::thread other([held] {
    Sleep(300);
    DWORD written = 0;
    WriteFile(held, "other\r\n", 7, &written, nullptr);
    MoveFileExA("Tapsmith.ini.tmp", "Tapsmith.ini", MOVEFILE_REPLACE_EXISTING);
    CloseHandle(held);
  });
  EXPECT_TRUE(WriteBytes("Tapsmith.ini", "this save\r\n"));
  other.join();
  EXPECT_EQ(directory.ReadFile("Tapsmith.ini"), "this save\r\n");
  EXPECT_EQ(FilesIn(directory), 1);
}

// The console's loads: a missing file or folder is no file, while a folder, or
// a file that another program holds without sharing, is refused with its
// reason and changes nothing.
TEST(SettingsFileWin32, TheConsolesLoadsTellWhatIsMissingFromWhatCannotBeRead) {
  ScratchDirectory directory;
  auto state = testing::NewDefaultState();
  std::string error;
  EXPECT_TRUE(LoadSettingsFile(state.get(), "missing.ini", &error)) << error;
  EXPECT_TRUE(LoadSettingsFile(state.get(), "missing\\Tapsmith.ini", &error)) << error;

  ASSERT_TRUE(CreateDirectoryA("folder.ini", nullptr));
  ASSERT_TRUE(WriteBytes("held.ini", "1\r\n1\r\n"));
  HANDLE held = CreateFileA("held.ini", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  auto before = std::make_unique<AppState>(*state);
  EXPECT_FALSE(LoadSettingsFile(state.get(), "folder.ini", &error));
  EXPECT_EQ(error, "folder.ini: is a folder");
  EXPECT_FALSE(LoadSettingsFile(state.get(), "held.ini", &error));
  EXPECT_GT(error.size(), sizeof "held.ini: ") << error;
  EXPECT_EQ(error.rfind("held.ini: ", 0), 0u) << error;
  EXPECT_EQ(std::memcmp(state.get(), before.get(), sizeof(AppState)), 0);
  std::string list;
  Localized listError;
  EXPECT_FALSE(ReadListFile(SystemFileSystem(), "folder.ini", &list, &listError));
  EXPECT_EQ(listError.In(1), "cannot read folder.ini: is a folder");
  CloseHandle(held);
  RemoveDirectoryA("folder.ini");
}

TEST(SettingsPathWin32, NamesTapsmithIniInTheWorkingDirectory) {
  ScratchDirectory directory;
  auto state = testing::NewDefaultState();
  ASSERT_TRUE(ResolveSettingsPath(state.get()));
  char expected[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, expected);
  EXPECT_EQ(std::string(state->settingsPath), std::string(expected) + "\\Tapsmith.ini");
}

}  // namespace
}  // namespace tapsmith
