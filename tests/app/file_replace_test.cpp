#include "file_replace.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "fake_file_system.h"
#include "settings_file.h"
#include "test_util.h"

namespace tapsmith {
namespace {

using testing::FakeFileSystem;

const char kPath[] = "/home/Tapsmith.ini";
const char kTemporary[] = "/home/Tapsmith.ini.tmp";

// The name of a logged call: its first word.
std::string CallName(const std::string& line) { return line.substr(0, line.find(' ')); }

// A settings file of several writes' worth.
std::string NewBytes() {
  auto state = testing::NewDefaultState();
  SetSlotText(state.get(), SlotResult, std::string(10000, 'r').c_str());
  return SettingsFileBytes(*state);
}

TEST(FileReplace, WritesATemporaryFileSyncsItAndRenamesItOverTheOld) {
  FakeFileSystem files;
  files.AddFile(kPath, "old contents\r\n");
  std::string bytes = NewBytes();
  std::string error;
  ASSERT_TRUE(ReplaceFileContents(files, kPath, bytes, &error)) << error;
  EXPECT_EQ(files.Bytes(kPath), bytes);
  EXPECT_EQ(files.fileCount(), 1u);

  std::vector<std::string> expected = {"LinkTarget /home/Tapsmith.ini", "Inspect /home/Tapsmith.ini",
                                       "CreateTemporary /home/Tapsmith.ini.tmp"};
  for (size_t left = bytes.size(); left > 0; left -= std::min(left, files.largestTransfer)) {
    expected.push_back("Write 3 " + std::to_string(left));
  }
  for (const char* call : {"KeepAttributes 3", "Sync 3", "Rename /home/Tapsmith.ini.tmp /home/Tapsmith.ini",
                           "Close 3", "SyncDirectory /home/Tapsmith.ini"}) {
    expected.push_back(call);
  }
  EXPECT_EQ(files.log, expected);
}

// Every operation of a save, a first one and one over an old file, failed in
// turn: up to the rename the old file (or none) stays byte for byte and the
// reason is reported; from the rename on, the new file is whole and in place.
// No temporary file is left either way.
TEST(FileReplace, AFailureAtAnyStepLeavesTheOldFileOrTheWholeNewOne) {
  const std::string bytes = NewBytes();
  const int errors[] = {ENOSPC, EIO, EACCES, EROFS, EDQUOT};
  for (const char* old : {"old contents\r\n", ""}) {
    FakeFileSystem counted;
    if (*old != '\0') counted.AddFile(kPath, old);
    std::string error;
    ASSERT_TRUE(ReplaceFileContents(counted, kPath, bytes, &error));
    ASSERT_GT(counted.operations(), 8);

    bool renamed = false;
    for (int n = 1; n <= counted.operations(); ++n) {
      const std::string call = counted.log[n - 1];
      const int errorNumber = errors[n % 5];
      FakeFileSystem files;
      if (*old != '\0') files.AddFile(kPath, old);
      files.FailOperation(n, errorNumber);
      error.clear();
      bool saved = ReplaceFileContents(files, kPath, bytes, &error);

      // A failed link look-up keeps the path; the attributes are best effort.
      bool harmless = CallName(call) == "LinkTarget" || CallName(call) == "KeepAttributes";
      renamed = renamed || CallName(call) == "Rename";
      if (harmless || (renamed && CallName(call) != "Rename")) {
        EXPECT_TRUE(saved) << call;
        EXPECT_EQ(files.Bytes(kPath), bytes) << call;
      } else {
        EXPECT_FALSE(saved) << call;
        EXPECT_EQ(error, std::string(kPath) + ": " + std::strerror(errorNumber)) << call;
        EXPECT_EQ(files.Bytes(kPath), *old != '\0' ? old : "<none>") << call;
      }
      EXPECT_EQ(files.Bytes(kTemporary), "<none>") << call;
      EXPECT_EQ(files.openFiles(), 0) << call;
    }
  }
}

// The power cut before each operation of a save in turn, a first one and one
// over an old file: the cut operation and every later one fail, as nothing
// reaches a disk without power. After the cut the disk holds the old file
// (or none) or the whole new one, and once the new one it stays; a save that
// ran to its end has made the new one durable.
TEST(FileReplace, APowerCutAtAnyStepLeavesTheOldFileOrTheWholeNewOne) {
  const std::string bytes = NewBytes();
  for (const char* old : {"old contents\r\n", ""}) {
    const std::string before = *old != '\0' ? old : "<none>";
    FakeFileSystem counted;
    if (*old != '\0') counted.AddFile(kPath, old);
    std::string error;
    ASSERT_TRUE(ReplaceFileContents(counted, kPath, bytes, &error));

    bool replaced = false;
    for (int n = 1; n <= counted.operations() + 1; ++n) {
      FakeFileSystem files;
      if (*old != '\0') files.AddFile(kPath, old);
      files.FailFrom(n, EIO);
      bool saved = ReplaceFileContents(files, kPath, bytes, &error);
      files.CutPower();
      const std::string after = files.Bytes(kPath);
      const std::string step = n <= counted.operations() ? counted.log[n - 1] : "after the save";
      if (!replaced) {
        replaced = after == bytes;
        EXPECT_TRUE(replaced || after == before) << step << ": " << after.substr(0, 40);
      } else {
        EXPECT_EQ(after, bytes) << step;
      }
      if (n > counted.operations()) {
        EXPECT_TRUE(saved && after == bytes);
      }
    }
  }
}

TEST(FileReplace, AFileThatMayNotBeReplacedIsNotTouched) {
  FakeFileSystem files;
  files.refusals[kPath] = "Permission denied";
  std::string error;
  EXPECT_FALSE(ReplaceFileContents(files, kPath, "new", &error));
  EXPECT_EQ(error, std::string(kPath) + ": Permission denied");
  EXPECT_EQ(files.log.size(), 2u) << "nothing created";

  EXPECT_FALSE(ReplaceFileContents(files, "/nowhere/Tapsmith.ini", "new", &error));
  EXPECT_EQ(error, "/nowhere/Tapsmith.ini: No such file or directory");
  EXPECT_EQ(files.fileCount(), 0u);
}

// A save killed part way leaves its temporary file; the next save takes it
// over, so there is never more than that one.
TEST(FileReplace, TheNextSaveTakesOverWhatAKilledSaveLeft) {
  FakeFileSystem files;
  files.AddFile(kPath, "old");
  files.AddFile(kTemporary, "half a file from a save that died");
  std::string error;
  ASSERT_TRUE(ReplaceFileContents(files, kPath, "new\r\n", &error)) << error;
  EXPECT_EQ(files.Bytes(kPath), "new\r\n");
  EXPECT_EQ(files.fileCount(), 1u);
}

}  // namespace
}  // namespace tapsmith
