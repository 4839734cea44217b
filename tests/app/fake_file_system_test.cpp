// The handle type, and the fake's promise that it keeps through a power cut
// no more than a POSIX disk does: the save's crash test is worth what this is.
#include "fake_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace tapsmith {
namespace {

using testing::FakeFileSystem;

const std::string kBadHandle = std::strerror(EBADF);

bool WriteText(FakeFileSystem& files, File& file, const std::string& text, std::string* error) {
  size_t written = 0;
  return files.Write(file, text.data(), text.size(), &written, error) && written == text.size();
}

TEST(FakeFileSystem, AHandleClosesOnceAndIsRefusedOnceClosed) {
  FakeFileSystem files;
  files.AddFile("/home/a", "abc");
  std::string error;
  char buffer[8];
  size_t got = 0;
  {
    File reading;
    ASSERT_TRUE(files.OpenForReading("/home/a", &reading, &error));
    File moved = std::move(reading);
    EXPECT_FALSE(reading.IsOpen());
    EXPECT_FALSE(files.Read(reading, buffer, sizeof buffer, &got, &error));
    EXPECT_EQ(error, kBadHandle);
    EXPECT_TRUE(files.Read(moved, buffer, sizeof buffer, &got, &error) && got == 3);
    EXPECT_FALSE(WriteText(files, moved, "x", &error)) << "written through a reading handle";
    ASSERT_TRUE(files.OpenForReading("/home/a", &reading, &error));
    moved = std::move(reading);  // closes what it held
    EXPECT_EQ(files.openFiles(), 1);
  }
  EXPECT_EQ(files.openFiles(), 0);
  EXPECT_EQ(std::count(files.log.begin(), files.log.end(), "Close 3"), 1);

  // An explicit close reports a late error, and the file is gone all the same.
  File writing;
  ASSERT_TRUE(files.CreateTemporary("/home/b", &writing, &error));
  files.FailOperation(1, EIO);
  EXPECT_FALSE(writing.Close(&error));
  EXPECT_EQ(error, std::strerror(EIO));
  EXPECT_EQ(files.openFiles(), 0);
  EXPECT_FALSE(writing.Close(&error));
  EXPECT_EQ(error, kBadHandle);

  files.FailFrom(2, ENOSPC);
  File again;
  EXPECT_TRUE(files.OpenForReading("/home/a", &again, &error));
  EXPECT_FALSE(files.Read(again, buffer, sizeof buffer, &got, &error));
  EXPECT_FALSE(files.Read(again, buffer, sizeof buffer, &got, &error)) << "failed only once";
}

TEST(FakeFileSystem, APowerCutKeepsSyncedBytesAndSyncedNamesOnly) {
  FakeFileSystem files;
  files.AddFile("/home/kept", "kept");
  files.AddFile("/home/removed", "removed");
  std::string error;
  File synced;
  File unsynced;
  ASSERT_TRUE(files.CreateTemporary("/home/synced", &synced, &error));
  ASSERT_TRUE(WriteText(files, synced, "synced", &error) && files.Sync(synced, &error));
  ASSERT_TRUE(WriteText(files, synced, " and a tail", &error));
  ASSERT_TRUE(files.CreateTemporary("/home/unsynced", &unsynced, &error));
  ASSERT_TRUE(WriteText(files, unsynced, "lost", &error));
  ASSERT_TRUE(files.SyncDirectory("/home/synced", &error));
  // Names changed after the folder's sync.
  ASSERT_TRUE(files.Rename("/home/kept", "/home/renamed", &error));
  ASSERT_TRUE(files.Remove("/home/removed", &error));
  File late;
  ASSERT_TRUE(files.CreateTemporary("/home/late", &late, &error));
  ASSERT_TRUE(files.Sync(late, &error));

  files.CutPower();
  EXPECT_EQ(files.Bytes("/home/synced"), "synced");
  EXPECT_EQ(files.Bytes("/home/unsynced"), "") << "a synced name with bytes that were not";
  EXPECT_EQ(files.Bytes("/home/kept"), "kept");
  EXPECT_EQ(files.Bytes("/home/removed"), "removed");
  EXPECT_EQ(files.fileCount(), 4u) << "the rename and the late file survived";
  EXPECT_EQ(files.openFiles(), 0);
  EXPECT_FALSE(WriteText(files, synced, "x", &error));
  EXPECT_EQ(error, kBadHandle);
}

}  // namespace
}  // namespace tapsmith
