#include "list_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "app_state.h"
#include "fake_file_system.h"
#include "text_encoding.h"

namespace tapsmith {
namespace {

using testing::FakeFileSystem;

const char kPath[] = "/home/list.txt";

// One value a line with bare LF ends, `tail` after the last: each line
// grows by its CR in the list.
std::string LfLines(int lines, const std::string& tail) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "1\n";
  return text + tail;
}

TEST(ListFile, ReadsUtf8TextAsTheListSlotHoldsIt) {
  FakeFileSystem files;
  files.largestTransfer = 5;  // a character and a line end split between reads
  files.AddFile(kPath, "\xEF\xBB\xBF" "100\n110\r\n抵抗\n");
  std::string list;
  Localized error;
  ASSERT_TRUE(ReadListFile(files, kPath, &list, &error)) << error.In(1);
  EXPECT_EQ(list, "100\r\n110\r\n" + LiteralToCp932("抵抗") + "\r\n");
  EXPECT_EQ(files.openFiles(), 0);

  // The slot's length is counted with the CR each lone LF gains.
  const int lines = kSlotMaxLength / 3;
  files.AddFile(kPath, LfLines(lines, std::string(kSlotMaxLength - 3 * lines, '2')));
  ASSERT_TRUE(ReadListFile(files, kPath, &list, &error)) << error.In(1);
  EXPECT_EQ(list.size(), size_t{kSlotMaxLength});
}

// Each refusal names the file and why, and leaves the list as it was.
TEST(ListFile, RefusesWhatIsNoFittingListAndSaysWhy) {
  const int lines = kSlotMaxLength / 3;
  const std::string longest = LfLines(lines, std::string(kSlotMaxLength - 3 * lines, '2'));
  const std::string path = kPath;
  struct Case {
    std::string path;
    std::string bytes;  // the file's; none for "<none>"
    int failAt;         // the operation to fail with EACCES or EIO; 0: none
    std::string error;
  };
  const Case cases[] = {
      {path, "<none>", 0, "cannot read " + path + ": " + std::strerror(ENOENT)},
      {"/home", "<none>", 0, "cannot read /home: " + std::string(std::strerror(EISDIR))},
      {path, "100\n", 1, "cannot read " + path + ": " + std::strerror(EACCES)},
      {path, std::string(9000, '1'), 3, "cannot read " + path + ": " + std::strerror(EIO)},
      {path, std::string("1\0\n", 3), 0, path + " holds NUL bytes: it is not UTF-8 text (UTF-16?)"},
      {path, longest + "2", 0,
       path + " is too long for a stock list: at most 32759 bytes with CR LF line ends"},
      {path, std::string(1 << 20, '1'), 0,
       path + " is too long for a stock list: at most 32759 bytes with CR LF line ends"},
  };
  for (const Case& c : cases) {
    FakeFileSystem files;
    if (c.bytes != "<none>") files.AddFile(c.path, c.bytes);
    if (c.failAt != 0) files.FailOperation(c.failAt, c.failAt == 1 ? EACCES : EIO);
    std::string list = "kept";
    Localized error;
    EXPECT_FALSE(ReadListFile(files, c.path, &list, &error)) << c.error;
    EXPECT_EQ(error.In(1), c.error);
    EXPECT_EQ(list, "kept") << c.error;
    EXPECT_EQ(files.openFiles(), 0) << c.error;
    // A file of any size is read no further than a fitting list could reach.
    EXPECT_LE(std::count_if(files.log.begin(), files.log.end(),
                            [](const std::string& call) { return call.rfind("Read", 0) == 0; }),
              3 * kSlotMaxLength / 4096 + 2)
        << c.error;
  }
}

}  // namespace
}  // namespace tapsmith
