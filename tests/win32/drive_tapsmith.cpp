// Drives a running tapsmith.exe from another process, as a user would: waits
// (at most 30 s) for its window, presses Execute, prints the first line of
// the result box, and closes the window with WM_CLOSE, as the close button
// does. Exit status 0 when all of that worked.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kExecuteId = 34;
constexpr int kResultId = 42;
constexpr int kPolls = 300;  // of 100 ms each
char result[32760];

}  // namespace

int main() {
  HWND window = nullptr;
  for (int poll = 0; poll < kPolls && window == nullptr; ++poll) {
    HWND found = FindWindowA("Tapsmith", nullptr);
    if (found != nullptr && IsWindowVisible(found)) {
      window = found;
    } else {
      Sleep(100);
    }
  }
  if (window == nullptr) {
    std::fprintf(stderr, "drive_tapsmith: no visible Tapsmith window within 30 s\n");
    return 1;
  }
  HWND execute = GetDlgItem(window, kExecuteId);
  HWND resultBox = GetDlgItem(window, kResultId);
  if (execute == nullptr || resultBox == nullptr) {
    std::fprintf(stderr, "drive_tapsmith: the window has no Execute button or result box\n");
    return 1;
  }
  SendMessageA(execute, BM_CLICK, 0, 0);
  SendMessageA(resultBox, WM_GETTEXT, sizeof result, reinterpret_cast<LPARAM>(result));
  const char* lineEnd = std::strstr(result, "\r\n");
  int length = lineEnd != nullptr ? static_cast<int>(lineEnd - result)
                                  : static_cast<int>(std::strlen(result));
  std::printf("first result line: %.*s\n", length, result);
  PostMessageA(window, WM_CLOSE, 0, 0);
  return length > 0 ? 0 : 1;
}
