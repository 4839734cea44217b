// tapsmith-cli.exe: the console search on Windows. Its output is UTF-8, as on
// every other platform (JSON must be, and files compare alike), wherever it
// goes to a file or a pipe. Where standard output or standard error is a
// console, the text goes to it through the console's wide-character call
// instead, so that the Japanese status reads right whatever the console's
// code page. Arguments stay in the ANSI code page, the one the file
// functions take paths in.
#include <windows.h>

#include <cstring>
#include <iostream>
#include <streambuf>
#include <vector>

#include "cli_app.h"

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// The bytes at the end of `bytes` that begin a UTF-8 character without
// finishing it: they wait for the rest of it.
size_t UnfinishedTail(const char* bytes, size_t length) {
  for (size_t back = 1; back <= 3 && back <= length; ++back) {
    const auto byte = static_cast<unsigned char>(bytes[length - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return needed > back ? back : 0;
  }
  return 0;
}

// Writes the UTF-8 text streamed into it to a console as UTF-16.
class ConsoleBuffer final : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {
    setp(buffer_, buffer_ + sizeof buffer_);
  }
  ~ConsoleBuffer() override { Write(true); }
  ConsoleBuffer(const ConsoleBuffer&) = delete;
  ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

 protected:
  int_type overflow(int_type c) override {
    if (!Write(false)) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Write(false) ? 0 : -1; }

 private:
  // Writes what the buffer holds; a character cut short at its end stays
  // for the next write, unless this is the last (`all`).
  bool Write(bool all) {
    const size_t held = static_cast<size_t>(pptr() - pbase());
    const size_t kept = all ? 0 : UnfinishedTail(pbase(), held);
    const int bytes = static_cast<int>(held - kept);
    bool written = true;
    if (bytes > 0) {
      // Bytes that are no UTF-8 become U+FFFD, as a terminal shows them.
      const int units = MultiByteToWideChar(CP_UTF8, 0, pbase(), bytes, nullptr, 0);
      wide_.resize(static_cast<size_t>(units));
      MultiByteToWideChar(CP_UTF8, 0, pbase(), bytes, wide_.data(), units);
      for (DWORD done = 0; written && done < static_cast<DWORD>(units);) {
        DWORD now = 0;
        written = WriteConsoleW(console_, wide_.data() + done, units - done, &now, nullptr) != 0;
        done += now;
      }
    }
    std::memmove(buffer_, pbase() + bytes, kept);
    setp(buffer_, buffer_ + sizeof buffer_);
    pbump(static_cast<int>(kept));
    return written;
  }

  HANDLE console_;
  char buffer_[4096];
  std::vector<wchar_t> wide_;
};

}  // namespace

int main(int argc, char** argv) {
  const HANDLE outHandle = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE errHandle = GetStdHandle(STD_ERROR_HANDLE);
  ConsoleBuffer outConsole(outHandle);
  ConsoleBuffer errConsole(errHandle);
  std::ostream out(IsConsole(outHandle) ? &outConsole : std::cout.rdbuf());
  std::ostream err(IsConsole(errHandle) ? &errConsole : std::cerr.rdbuf());
  // As with cout and cerr: a message comes after the output before it, at once.
  err.tie(&out);
  err.setf(std::ios::unitbuf);
  const int status = tapsmith::RunCli(argc, argv, out, err, IsConsole(errHandle) ? &err : nullptr);
  out.flush();
  err.flush();
  return status;
}
