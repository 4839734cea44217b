// Pictures of the real window for the README: runs the program, presses
// Execute and writes the whole window (frame included) as a 24-bit BMP, once
// in Japanese and once in English.
//
//   window_screenshot.exe FOLDER   writes FOLDER\window-win32-ja.bmp and -en.bmp
#include <cstdio>
#include <string>
#include <vector>

#include "form.h"
#include "scripted_program.h"

namespace {

bool SaveWindowBitmap(HWND window, const std::string& path) {
  RECT outer;
  GetWindowRect(window, &outer);
  int width = outer.right - outer.left;
  int height = outer.bottom - outer.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, outer.left, outer.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as BMP files are
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                 std::fwrite(&info, sizeof info, 1, out) == 1 &&
                 std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_screenshot FOLDER\n");
    return 64;
  }
  std::string folder = argv[1];
  tapsmith::ScratchDirectory directory;
  bool saved = true;
  tapsmith::ScriptedProgram program([&](tapsmith::ScriptedProgram& program, HWND main) {
    SendMessageA(GetDlgItem(main, tapsmith::kRowExecute), BM_CLICK, 0, 0);
    for (const char* language : {"ja", "en"}) {
      program.HandlePendingMessages();
      RedrawWindow(main, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      program.HandlePendingMessages();
      saved = SaveWindowBitmap(main, folder + "\\window-win32-" + language + ".bmp") && saved;
      SendMessageA(GetDlgItem(main, tapsmith::kRowLanguage), BM_CLICK, 0, 0);
    }
  });
  program.Run();
  if (!saved) std::fprintf(stderr, "window_screenshot: cannot write into %s\n", folder.c_str());
  return saved ? 0 : 1;
}
