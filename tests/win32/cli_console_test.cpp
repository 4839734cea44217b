// tapsmith-cli.exe on a console and redirected: this program makes a console
// of its own, starts tapsmith-cli.exe with its standard handles on that
// console or on files, and reads the console's screen back.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// tapsmith-cli.exe in the build's bin folder, beside this program's tests.
std::wstring CliPath() {
  std::vector<wchar_t> path(MAX_PATH);
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
  std::wstring folder(path.data(), length);
  folder.resize(folder.find_last_of(L'\\'));
  folder.resize(folder.find_last_of(L'\\') + 1);
  return folder + L"bin\\tapsmith-cli.exe";
}

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                        wide.data(), static_cast<int>(wide.size()));
  wide.resize(units > 0 ? units : 0);
  return wide;
}

// A list of 108 values whose every name ends in Japanese, so that a long
// report holds Japanese on every line.
std::string JapaneseList() {
  static const char* const kValues[] = {
      "1",   "1.2", "1.5", "2.2", "2.7", "3.3", "3.9", "4.7", "5.6", "6.8", "8.2", "9.1",
      "10",  "12",  "15",  "22",  "27",  "33",  "39",  "47",  "56",  "68",  "82",  "91",
      "100", "120", "150", "220", "270", "330", "390", "470", "560", "680", "820", "910",
  };
  std::string list;
  for (const char* prefix : {"", "k", "M"})
    for (const char* value : kValues) list += std::string(value) + prefix + "抵抗\n";
  return list;
}

class CliConsole : public ::testing::Test {
 protected:
  void SetUp() override {
    // A console of this program's own, whose screen it can read.
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    console_ =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inheritable, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(console_, INVALID_HANDLE_VALUE);
    // Room for a long report (Wine's console has a screen only on a display).
    ASSERT_TRUE(SetConsoleScreenBufferSize(console_, COORD{200, 1200}));
    // A code page without Japanese: what the console shows must not need it.
    SetConsoleOutputCP(437);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ =
        std::wstring(temp) + L"tapsmith-cli-console-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::wstring& file : files_) DeleteFileW(file.c_str());
    RemoveDirectoryW(folder_.c_str());
    CloseHandle(console_);
    FreeConsole();
  }

  // A file of the test's own, for tapsmith-cli.exe to inherit.
  HANDLE NewFile(const std::wstring& name) {
    files_.push_back(folder_ + L"\\" + name);
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    return CreateFileW(files_.back().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  std::string Read(const std::wstring& name) {
    std::ifstream in(std::filesystem::path(folder_ + L"\\" + name), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  std::wstring WriteList(const std::string& utf8) {
    HANDLE file = NewFile(L"list.txt");
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
    return files_.back();
  }

  // Runs tapsmith-cli.exe with `arguments`, standard output and error on
  // `out` and `err`, and returns its exit code.
  DWORD Run(const std::wstring& arguments, HANDLE out, HANDLE err) {
    std::wstring commandLine = L"\"" + CliPath() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
      ADD_FAILURE() << "cannot start tapsmith-cli.exe, error " << GetLastError();
      return ~DWORD{0};
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = ~DWORD{0};
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
  }

  // What the console's screen shows above the cursor, a "\n" after each
  // line, the blanks at the lines' ends left out.
  std::wstring Screen() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(console_, &info);
    std::wstring screen;
    std::wstring line(info.dwSize.X, L' ');
    for (SHORT row = 0; row < info.dwCursorPosition.Y; ++row) {
      DWORD read = 0;
      ReadConsoleOutputCharacterW(console_, line.data(), info.dwSize.X, COORD{0, row}, &read);
      const size_t end = line.find_last_not_of(L' ', read == 0 ? 0 : read - 1);
      screen += (end == std::wstring::npos ? std::wstring() : line.substr(0, end + 1)) + L"\n";
    }
    return screen;
  }

  HANDLE console_ = INVALID_HANDLE_VALUE;
  std::wstring folder_;
  std::vector<std::wstring> files_;
};

TEST_F(CliConsole, RedirectedOutputStaysUtf8AndTheConsoleShowsItWhateverItsCodePage) {
  const std::wstring list = WriteList(JapaneseList());
  const std::wstring arguments =
      L"--list-file \"" + list + L"\" --vo 3.3 --vo2 2% --r1-min 1k --r1-max 10k --lang ja";
  HANDLE out = NewFile(L"out.txt");
  HANDLE err = NewFile(L"err.txt");
  EXPECT_EQ(Run(arguments, out, err), 0u);
  CloseHandle(out);
  CloseHandle(err);
  EXPECT_EQ(Screen(), L"");
  const std::string report = Read(L"out.txt");
  EXPECT_GT(report.size(), 8192u);
  EXPECT_NE(report.find("k抵抗"), std::string::npos);
  EXPECT_EQ(Read(L"err.txt"), "381組見つかりました。\r\n");

  // The same report on the console, with the status after it: 381 lines,
  // long enough that the console writes cut three characters in two.
  EXPECT_EQ(Run(arguments, console_, console_), 0u);
  std::wstring expected = Wide(report + Read(L"err.txt"));
  for (size_t at = expected.find(L"\r\n"); at != std::wstring::npos;
       at = expected.find(L"\r\n", at))
    expected.erase(at, 1);
  EXPECT_EQ(Screen(), expected);
}

}  // namespace
