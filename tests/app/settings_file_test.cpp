#include "settings_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fake_file_system.h"
#include "message_table.h"
#include "test_util.h"
#include "text_encoding.h"

namespace tapsmith {
namespace {

namespace fs = std::filesystem;
using testing::NewDefaultState;
using testing::SplitLines;

std::string Slot(const AppState& state, int slot) { return SlotText(state, slot); }

// A settings file: the counts and lines given, joined with `end`.
std::string FileOf(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + end;
  return bytes;
}

// The 20 settings lines "0" .. "19" and the count before them.
std::vector<std::string> NumberedSettings() {
  std::vector<std::string> lines = {"20"};
  for (int i = 0; i < kSettingCount; ++i) lines.push_back(std::to_string(i));
  return lines;
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tapsmith-settings-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
    path_ = (directory_ / "Tapsmith.ini").string();
  }
  void TearDown() override { fs::remove_all(directory_); }

  void Write(const std::string& bytes, const std::string& path = "") {
    std::ofstream(path.empty() ? path_ : path, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& path = "") {
    std::ifstream in(path.empty() ? path_ : path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::unique_ptr<AppState> Load(const std::string& bytes) {
    Write(bytes);
    auto state = NewDefaultState();
    LoadSettingsFile(state.get(), path_.c_str());
    return state;
  }
  std::unique_ptr<AppState> SaveAndLoad(const AppState& state) {
    std::string error;
    EXPECT_TRUE(SaveSettingsFile(state, path_.c_str(), &error)) << error;
    auto loaded = NewDefaultState();
    for (int slot = 0; slot < kSlotCount; ++slot) SetSlotText(loaded.get(), slot, "stale");
    LoadSettingsFile(loaded.get(), path_.c_str());
    return loaded;
  }
  size_t EntriesInDirectory() {
    return std::distance(fs::directory_iterator(directory_), fs::directory_iterator());
  }

  fs::path directory_;
  std::string path_;
};

TEST_F(SettingsFile, FirstSaveFromDefaultsHasTheLayout) {
  auto state = NewDefaultState();
  const int32_t rectangle[] = {-8, 40, 1017, 760};
  for (int i = 0; i < 4; ++i) SetSetting(state.get(), WindowLeft + i, rectangle[i]);
  std::string error;
  ASSERT_TRUE(SaveSettingsFile(*state, path_.c_str(), &error)) << error;

  std::string bytes = Read();
  std::vector<std::string> lines = SplitLines(bytes);
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 42) << "a line end inside a line";
  EXPECT_EQ(lines[0], "20");
  EXPECT_EQ(lines[1], "0");
  EXPECT_EQ(lines[2], "-8");
  EXPECT_EQ(lines[4], "1017");
  EXPECT_EQ(lines[21], "20");
  EXPECT_EQ(lines[22], "");  // slot 0
  EXPECT_EQ(lines[23], "1.35");
  EXPECT_EQ(lines[24], "0.01%");
  for (int slot = SlotList1; slot <= SlotE6; ++slot) {
    const std::string& line = lines[22 + slot];
    std::string expected = Slot(*state, slot);
    for (size_t at = expected.find("\r\n"); at != std::string::npos; at = expected.find("\r\n", at))
      expected.replace(at, 2, "\x07\x07");
    EXPECT_EQ(line, expected) << slot;
    EXPECT_EQ(line.substr(line.size() - 2), "\x07\x07") << slot;
    EXPECT_EQ(line.find('\r'), std::string::npos) << slot;
  }
  EXPECT_EQ(lines[22 + SlotList1].substr(0, 10), "100\x07\x07" "110\x07\x07");
}

TEST_F(SettingsFile, LoadAfterSaveRestoresEverySettingAndSlotByteForByte) {
  auto state = NewDefaultState();
  for (int i = 0; i < kSettingCount; ++i) SetSetting(state.get(), i, i * 1000 - 7000);
  SetSetting(state.get(), Language, 1);
  SetSetting(state.get(), 17, INT32_MIN);
  SetSetting(state.get(), 18, INT32_MAX);
  SetSlotText(state.get(), 0, LiteralToCp932("抵抗リスト\r\n表").c_str());
  SetSlotText(state.get(), SlotResult, "1k + 2k\r\n\r\n\r\n");
  SetSlotText(state.get(), SlotList2, "10\r\n\r\n-\r\nlone\rCR\r");
  SetSlotText(state.get(), 16, "\t tabs and blanks \t");
  SetSlotText(state.get(), 17, std::string(kSlotMaxLength, 'x').c_str());
  SetSlotText(state.get(), 19, "last\r\n");

  auto loaded = SaveAndLoad(*state);
  for (int i = 0; i < kSettingCount; ++i) EXPECT_EQ(GetSetting(*loaded, i), GetSetting(*state, i)) << i;
  for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(Slot(*loaded, slot), Slot(*state, slot)) << slot;
}

TEST_F(SettingsFile, SevenToTenDeclaredTextLinesCopySlotSevenIntoList1) {
  for (int declared : {6, 7, 8, 10, 11}) {
    std::vector<std::string> lines = NumberedSettings();
    lines.push_back(std::to_string(declared));
    for (int i = 0; i < declared; ++i) lines.push_back("text" + std::to_string(i));
    auto state = Load(FileOf(lines));
    std::string slot7 = declared >= 8 ? "text7" : "";
    std::string expected = declared >= 11 ? "text10" : Slot(*NewDefaultState(), SlotList1);
    if (declared >= 7 && declared <= 10) expected = slot7;
    EXPECT_EQ(Slot(*state, SlotList1), expected) << declared;
    EXPECT_EQ(Slot(*state, SlotReserved7), slot7) << declared;
  }
  // The rule counts the declared lines, not those present.
  auto truncated = Load(FileOf({"0", "8", "a", "b"}));
  EXPECT_EQ(Slot(*truncated, SlotList1), "");
}

TEST_F(SettingsFile, TruncatedSettingsKeepWhatWasReadAndReadNoText) {
  auto state = Load(FileOf({"3", "1", "-6"}));
  EXPECT_EQ(GetSetting(*state, Language), 1);
  EXPECT_EQ(GetSetting(*state, WindowLeft), -6);
  EXPECT_EQ(GetSetting(*state, WindowTop), 0);
  auto defaults = NewDefaultState();
  for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(Slot(*state, slot), Slot(*defaults, slot)) << slot;

  auto partial = Load(FileOf({"2", "1", "2", "20", "zero", "one"}));
  EXPECT_EQ(Slot(*partial, 0), "zero");
  EXPECT_EQ(Slot(*partial, 1), "one");
  EXPECT_EQ(Slot(*partial, SlotR1Min), "1k");
}

TEST_F(SettingsFile, FormatErrorStatusKeepsEveryListInPlace) {
  for (int language : {0, 1}) {
    auto state = NewDefaultState();
    SetSetting(state.get(), Language, language);
    SetSlotText(state.get(), SlotStatus, (MessageText(Message::FormatError, language) + std::string("1.3x")).c_str());
    SetSlotText(state.get(), SlotList1, "47\r\n");
    std::string error;
    ASSERT_TRUE(SaveSettingsFile(*state, path_.c_str(), &error)) << error;
    EXPECT_EQ(SplitLines(Read()).size(), 42u);

    auto loaded = SaveAndLoad(*state);
    std::string message = MessageText(Message::FormatError, language);
    EXPECT_EQ(Slot(*loaded, SlotStatus), message.substr(0, message.size() - 1) + "\r\n1.3x");
    for (int slot = SlotList1; slot < kSlotCount; ++slot) EXPECT_EQ(Slot(*loaded, slot), Slot(*state, slot)) << slot;
  }
}

TEST_F(SettingsFile, StatusSplitByOtherWritersIsJoinedBack) {
  for (int language : {0, 1}) {
    std::string message = MessageText(Message::FormatError, language);
    std::vector<std::string> lines = NumberedSettings();
    lines[1] = "1";
    lines.push_back("20");
    for (int slot = 0; slot < kSlotCount; ++slot) {
      lines.push_back(slot == SlotStatus ? message + "1.3x" : "slot" + std::to_string(slot));
    }
    // Written as such a writer did: the line feed inside the status left bare.
    // It is joined with CR LF, as a save and load of the joined status gives.
    auto state = Load(FileOf(lines));
    std::string heading = message.substr(0, message.size() - 1);
    EXPECT_EQ(Slot(*state, SlotStatus), heading + "\r\n1.3x") << language;
    EXPECT_EQ(Slot(*SaveAndLoad(*state), SlotStatus), Slot(*state, SlotStatus)) << language;
    for (int slot = SlotList1; slot < kSlotCount; ++slot) {
      EXPECT_EQ(Slot(*state, slot), "slot" + std::to_string(slot)) << slot;
    }
  }
}

TEST_F(SettingsFile, StatusThatOnlyLooksSplitIsLeftAsRead) {
  std::vector<std::string> lines = NumberedSettings();
  lines.push_back("20");
  for (int slot = 0; slot < kSlotCount; ++slot) lines.push_back(slot == SlotStatus ? "Format error" : "s");
  auto exact = Load(FileOf(lines));  // no line beyond the declared 20
  EXPECT_EQ(Slot(*exact, SlotStatus), "Format error");

  lines.push_back("extra1");
  lines.push_back("extra2");
  auto twoMore = Load(FileOf(lines));  // not the shape a split status leaves
  EXPECT_EQ(Slot(*twoMore, SlotStatus), "Format error");
  EXPECT_EQ(Slot(*twoMore, SlotList1), "s");
  EXPECT_EQ(Slot(*twoMore, 19), "s");
}

TEST_F(SettingsFile, LongestSlotSurvivesAndLongerLinesShiftNothing) {
  auto state = NewDefaultState();
  std::string longest(kSlotMaxLength, 'y');
  SetSlotText(state.get(), SlotResult, longest.c_str());
  auto loaded = SaveAndLoad(*state);
  EXPECT_EQ(Slot(*loaded, SlotResult), longest);
  EXPECT_EQ(Slot(*loaded, SlotStatus), "");
  EXPECT_EQ(Slot(*loaded, SlotList1), Slot(*state, SlotList1));

  // A hand-made line beyond the slot size is cut; a BEL BEL pair on the cut
  // leaves its CR.
  auto cut = Load(FileOf({"0", "3", std::string(kSlotMaxLength - 1, 'z') + "\x07\x07tail", std::string(100000, 'w'), "two"}));
  EXPECT_EQ(Slot(*cut, 0), std::string(kSlotMaxLength - 1, 'z') + "\r");
  EXPECT_EQ(Slot(*cut, 1), std::string(kSlotMaxLength, 'w'));
  EXPECT_EQ(Slot(*cut, 2), "two");
}

// Lines of megabytes, as a careless paste into the file can make: a number
// line saturates, a text line keeps the first 32759 bytes of the slot, and
// every later line still lands in its own slot.
TEST_F(SettingsFile, MegabyteLinesAreCutAndShiftNothing) {
  const size_t kMegabytes = 8 << 20;
  std::string digits(kMegabytes, '9');
  std::string text(kMegabytes, 't');
  text[kSlotMaxLength] = 'X';  // the first byte past what a slot holds
  auto state = Load(FileOf({"3", "1", digits, "-" + digits, "3", text, "after", std::string(kMegabytes, '\x07')}));
  EXPECT_EQ(GetSetting(*state, Language), 1);
  EXPECT_EQ(GetSetting(*state, WindowLeft), INT32_MAX);
  EXPECT_EQ(GetSetting(*state, WindowTop), INT32_MIN);
  EXPECT_EQ(Slot(*state, 0), std::string(kSlotMaxLength, 't'));
  EXPECT_EQ(Slot(*state, 1), "after");
  std::string breaks;
  while (breaks.size() + 2 <= static_cast<size_t>(kSlotMaxLength)) breaks += "\r\n";
  EXPECT_EQ(Slot(*state, 2), breaks + "\r") << "BEL BEL pairs become CR LF, the last one cut";
}

TEST_F(SettingsFile, HandEditedCountsAreToleratedWithoutLoopingForever) {
  auto zero = Load(FileOf({"0", "2", "a", "b"}));
  EXPECT_EQ(Slot(*zero, 0), "a");
  EXPECT_EQ(Slot(*zero, 1), "b");

  std::vector<std::string> many = {"25"};
  for (int i = 0; i < 25; ++i) many.push_back(std::to_string(-i));
  many.push_back("25");
  for (int i = 0; i < 25; ++i) many.push_back("t" + std::to_string(i));
  auto surplus = Load(FileOf(many));
  EXPECT_EQ(GetSetting(*surplus, 19), -19);
  EXPECT_EQ(Slot(*surplus, 19), "t19");

  auto negative = Load(FileOf({"-5", "2", "a", "b"}));
  EXPECT_EQ(Slot(*negative, 1), "b");
  auto negativeTexts = Load(FileOf({"0", "-1", "a"}));
  EXPECT_EQ(Slot(*negativeTexts, 0), "");

  auto notNumbers = Load(FileOf({"abc", "x1", "a"}));  // 0 settings, 0 texts
  EXPECT_EQ(Slot(*notNumbers, 0), "");

  auto huge = Load(FileOf({"99999999999999999999999", "1", "2", "-99999999999999999999"}));
  EXPECT_EQ(GetSetting(*huge, Language), 1);
  EXPECT_EQ(GetSetting(*huge, WindowLeft), 2);
  EXPECT_EQ(GetSetting(*huge, WindowTop), INT32_MIN);
  auto hugeTexts = Load(FileOf({"0", "2147483648", "only"}));
  EXPECT_EQ(Slot(*hugeTexts, 0), "only");

  auto spelled = Load(FileOf({"4", " \t+42xyz", "2147483647", "-2147483648", "-0"}));
  EXPECT_EQ(GetSetting(*spelled, Language), 0);  // 42 is reset
  EXPECT_EQ(GetSetting(*spelled, WindowLeft), INT32_MAX);
  EXPECT_EQ(GetSetting(*spelled, WindowTop), INT32_MIN);
  auto blanks = Load(FileOf({"1", std::string(50000, ' ') + "1"}));
  EXPECT_EQ(GetSetting(*blanks, Language), 1);
}

TEST_F(SettingsFile, LanguageAboveOneIsResetAfterEveryLoad) {
  EXPECT_EQ(GetSetting(*Load(FileOf({"1", "2"})), Language), 0);
  EXPECT_EQ(GetSetting(*Load(FileOf({"1", "-3"})), Language), -3);
  auto state = NewDefaultState();
  SetSetting(state.get(), Language, 7);
  LoadSettingsFile(state.get(), (directory_ / "missing.ini").c_str());
  EXPECT_EQ(GetSetting(*state, Language), 0);
  SetSetting(state.get(), Language, 7);
  LoadSettings(state.get());  // no path: no file
  EXPECT_EQ(GetSetting(*state, Language), 0);
}

TEST_F(SettingsFile, BareLineFeedsLoneCarriageReturnsAndAnUnendedLastLine) {
  auto state = Load(FileOf({"1", "1", "3", "a\x07\x07\x07" "b", "c\rd", "\x07\x07\x07\x07"}, "\n") + "ignored");
  EXPECT_EQ(GetSetting(*state, Language), 1);
  EXPECT_EQ(Slot(*state, 0), "a\r\n\x07" "b");
  EXPECT_EQ(Slot(*state, 1), "c\rd");
  EXPECT_EQ(Slot(*state, 2), "\r\n\r\n");

  auto unended = Load("0\r\n2\r\nfirst\r\nlast");
  EXPECT_EQ(Slot(*unended, 1), "last");
  auto crCrLf = Load("0\r\n1\r\nx\r\r\n");
  EXPECT_EQ(Slot(*crCrLf, 0), "x\r");
}

TEST_F(SettingsFile, NulBytesAndJunkNeverShiftOrCrash) {
  auto state = Load(std::string("1\r\n1\0 9\r\n2\r\nab\0cd\r\nnext\r\n", 26));
  EXPECT_EQ(GetSetting(*state, Language), 1);
  EXPECT_EQ(Slot(*state, 0), "ab");
  EXPECT_EQ(Slot(*state, 1), "next");

  std::mt19937 random(12345);
  const char alphabet[] = "0123456789-+ \r\n\x07\x07\x00\x81\x9f\xff" "abc";
  for (int round = 0; round < 200; ++round) {
    std::string junk;
    size_t length = random() % 4000;
    for (size_t i = 0; i < length; ++i) junk.push_back(alphabet[random() % (sizeof alphabet - 1)]);
    auto loaded = Load(junk);
    for (int slot = 0; slot < kSlotCount; ++slot) ASSERT_LE(Slot(*loaded, slot).size(), size_t{kSlotMaxLength});
    ASSERT_LE(GetSetting(*loaded, Language), 1);
  }
}

// The in-memory loader reads through the same line reader as the file
// loader: for any bytes the two give the very same state.
TEST_F(SettingsFile, BytesInMemoryLoadExactlyAsTheFile) {
  std::vector<std::string> files = {"", "20\r\n", FileOf({"0", "2", std::string(40000, 'x') + "\x07\x07", "tail\r"}),
                                    FileOf(NumberedSettings(), "\n") + "21\r\na\x07\x07\x07b\r\n\r"};
  std::mt19937 random(777);
  const char alphabet[] = "0123456789-+ \r\n\x07\x07\x00\x81\xff" "ab";
  for (int round = 0; round < 100; ++round) {
    std::string junk;
    size_t length = random() % 3000;
    for (size_t i = 0; i < length; ++i) junk.push_back(alphabet[random() % (sizeof alphabet - 1)]);
    files.push_back(junk);
  }
  for (const std::string& bytes : files) {
    auto fromFile = Load(bytes);
    auto fromMemory = NewDefaultState();
    LoadSettingsBytes(fromMemory.get(), bytes.data(), bytes.size());
    ASSERT_EQ(std::memcmp(fromFile.get(), fromMemory.get(), sizeof(AppState)), 0) << ::testing::PrintToString(bytes.substr(0, 200));
  }
}

// The file is read in pieces: wherever a piece ends (inside a CR LF, a
// number or a BEL BEL pair), the state is the one the bytes give; a read
// error ends the file where it happens.
TEST_F(SettingsFile, AnyReadSizeGivesTheStateTheBytesGive) {
  std::mt19937 random(4242);
  const char alphabet[] = "0123456789-+ \r\n\x07\x07\x00\x81" "ab";
  for (int round = 0; round < 40; ++round) {
    std::string bytes = FileOf({"3", "1", "-1234567890123", "7", "2", "a\x07\x07" "b\r", "c"});
    for (size_t i = random() % 600; i > 0; --i) bytes.push_back(alphabet[random() % (sizeof alphabet - 1)]);
    testing::FakeFileSystem files;
    files.AddFile("/home/Tapsmith.ini", bytes);
    files.largestTransfer = 1 + round % 9;
    auto fromFile = NewDefaultState();
    LoadSettingsFile(files, fromFile.get(), "/home/Tapsmith.ini");
    auto fromMemory = NewDefaultState();
    LoadSettingsBytes(fromMemory.get(), bytes.data(), bytes.size());
    ASSERT_EQ(std::memcmp(fromFile.get(), fromMemory.get(), sizeof(AppState)), 0) << round;
    EXPECT_EQ(files.openFiles(), 0);
  }

  testing::FakeFileSystem files;
  files.AddFile("/home/Tapsmith.ini", FileOf({"2", "1", "5", "1", "slot zero"}));
  files.largestTransfer = 6;
  files.FailOperation(3, EIO);  // the second read: after "2\r\n1\r\n"
  auto state = NewDefaultState();
  LoadSettingsFile(files, state.get(), "/home/Tapsmith.ini");
  EXPECT_EQ(GetSetting(*state, Language), 1);
  EXPECT_EQ(GetSetting(*state, WindowLeft), 0);
  EXPECT_EQ(files.openFiles(), 0);
}

TEST_F(SettingsFile, MissingFileDirectoryOrPipeLoadsNothing) {
  auto defaults = NewDefaultState();
  // A named pipe with no writer: opening it for reading would wait forever.
  const std::string pipe = (directory_ / "pipe.ini").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {(directory_ / "missing.ini").string(), directory_.string(), pipe}) {
    auto state = NewDefaultState();
    LoadSettingsFile(state.get(), path.c_str());
    EXPECT_EQ(std::memcmp(state.get(), defaults.get(), sizeof(AppState)), 0) << path;
  }
}

// The console's load: no file keeps the defaults, a file read whole loads as
// the window's does, and anything that is there but cannot be read whole is
// reported with the state left exactly as it was, nothing half-loaded.
TEST_F(SettingsFile, TheConsolesLoadReportsWhatCannotBeReadWholeAndThenChangesNothing) {
  auto state = NewDefaultState();
  SetSetting(state.get(), Language, 7);
  std::string error;
  EXPECT_TRUE(LoadSettingsFile(state.get(), (directory_ / "missing.ini").c_str(), &error)) << error;
  EXPECT_EQ(GetSetting(*state, Language), 0);

  const std::string bytes = FileOf({"2", "1", "-5", "20", "zero"});
  auto whole = Load(bytes);
  auto reported = NewDefaultState();
  ASSERT_TRUE(LoadSettingsFile(reported.get(), path_.c_str(), &error)) << error;
  EXPECT_EQ(std::memcmp(reported.get(), whole.get(), sizeof(AppState)), 0);

  const std::string pipe = (directory_ / "pipe.ini").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  testing::FakeFileSystem files;
  files.AddFile("/home/Tapsmith.ini", bytes);
  files.largestTransfer = 4;
  struct Case {
    const char* what;
    std::string path;
    int failAt;  // the operation of the fake's load to fail; 0: the real disk
    int errorNumber;
    std::string reason;
  };
  const Case cases[] = {
      {"folder", directory_.string(), 0, 0, std::strerror(EISDIR)},
      {"pipe", pipe, 0, 0, kNotARegularFile},
      {"no name", "", 0, 0, ""},
      {"folder on the way", "/home/Tapsmith.ini", 1, EACCES, std::strerror(EACCES)},
      {"no permission", "/home/Tapsmith.ini", 2, EACCES, std::strerror(EACCES)},
      {"read error part way", "/home/Tapsmith.ini", 4, EIO, std::strerror(EIO)},
  };
  for (const Case& c : cases) {
    SetSlotText(state.get(), 0, c.what);
    auto before = std::make_unique<AppState>(*state);
    bool loaded;
    if (c.failAt == 0) {
      loaded = LoadSettingsFile(state.get(), c.path.c_str(), &error);
    } else {
      files.FailOperation(c.failAt, c.errorNumber);
      loaded = LoadSettingsFile(files, state.get(), c.path.c_str(), &error);
    }
    EXPECT_FALSE(loaded) << c.what;
    EXPECT_EQ(error, c.path.empty() ? "no settings file name" : c.path + ": " + c.reason) << c.what;
    EXPECT_EQ(std::memcmp(state.get(), before.get(), sizeof(AppState)), 0) << c.what;
  }
  EXPECT_EQ(files.openFiles(), 0);
}

TEST_F(SettingsFile, SavingOverADirectoryOrIntoNoDirectoryFailsWithAReason) {
  auto state = NewDefaultState();
  std::string error;
  fs::create_directory(path_);
  EXPECT_FALSE(SaveSettingsFile(*state, path_.c_str(), &error));
  EXPECT_NE(error.find(path_), std::string::npos) << error;
  EXPECT_TRUE(fs::is_directory(path_));
  EXPECT_EQ(EntriesInDirectory(), 1u);

  std::string nowhere = (directory_ / "missing" / "Tapsmith.ini").string();
  error.clear();
  EXPECT_FALSE(SaveSettingsFile(*state, nowhere.c_str(), &error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;

  error.clear();
  EXPECT_FALSE(SaveSettingsFile(*state, "", &error));
  EXPECT_FALSE(error.empty());
}

// A full disk, simulated by a file-size limit that binds root too: the write
// fails part way and the old file must come through untouched.
TEST_F(SettingsFile, FailedWriteLeavesTheOldFileIntact) {
  Write("old contents\r\n");
  auto state = NewDefaultState();
  SetSlotText(state.get(), SlotResult, std::string(kSlotMaxLength, 'r').c_str());

  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 16384;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  bool saved_ok = SaveSettingsFile(*state, path_.c_str(), &error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, savedSignal);

  EXPECT_FALSE(saved_ok);
  EXPECT_NE(error.find(path_ + ": "), std::string::npos) << error;
  EXPECT_EQ(Read(), "old contents\r\n");
  EXPECT_EQ(EntriesInDirectory(), 1u) << "temporary file left behind";
}

TEST_F(SettingsFile, SaveKeepsPermissionsLinksAndTakesOverALeftover) {
  Write("old");
  ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
  Write("half a file from a save that died", path_ + ".tmp");
  auto state = NewDefaultState();
  std::string error;
  ASSERT_TRUE(SaveSettingsFile(*state, path_.c_str(), &error)) << error;
  struct stat info;
  ASSERT_EQ(stat(path_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(Read(), SettingsFileBytes(*state));
  EXPECT_EQ(EntriesInDirectory(), 1u);

  std::string link = (directory_ / "link.ini").string();
  ASSERT_EQ(symlink(path_.c_str(), link.c_str()), 0);
  SetSetting(state.get(), Language, 1);
  ASSERT_TRUE(SaveSettingsFile(*state, link.c_str(), &error)) << error;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(), SettingsFileBytes(*state));

  std::string device = (directory_ / "device.ini").string();
  ASSERT_EQ(symlink("/dev/null", device.c_str()), 0);
  EXPECT_FALSE(SaveSettingsFile(*state, device.c_str(), &error));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// Another process's save that is still writing keeps its temporary file:
// this save waits for it instead of taking the file over half-way.
TEST_F(SettingsFile, ASaveWaitsForAnotherProcessStillWritingItsTemporaryFile) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const std::string temporary = path_ + ".tmp";
  pid_t child = fork();
  if (child == 0) {
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = fd >= 0 && flock(fd, LOCK_EX) == 0 && write(fd, "first ", 6) == 6;
    ok = write(ready[1], "x", 1) == 1 && ok;
    usleep(300000);
    ok = ok && write(fd, "half\r\n", 6) == 6 && rename(temporary.c_str(), path_.c_str()) == 0;
    _exit(ok ? 0 : 1);
  }
  ASSERT_GT(child, 0);
  char byte;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  auto state = NewDefaultState();
  std::string error;
  EXPECT_TRUE(SaveSettingsFile(*state, path_.c_str(), &error)) << error;
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  close(ready[0]);
  close(ready[1]);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other save was disturbed";
  EXPECT_EQ(Read(), SettingsFileBytes(*state));
  EXPECT_EQ(EntriesInDirectory(), 1u);
}

}  // namespace
}  // namespace tapsmith
