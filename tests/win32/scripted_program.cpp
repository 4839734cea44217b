#include "scripted_program.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "form.h"

namespace tapsmith {

namespace {

// More messages than a handful of clicks can ever queue.
constexpr int kMaxPendingMessages = 10000;

class RecordingSurface : public PaintSurface {
 public:
  RecordingSurface(PaintSurface& surface, std::vector<DrawnText>* drawn)
      : surface_(surface), drawn_(drawn) {}
  void SetTextColor(SystemColor color) override { surface_.SetTextColor(color); }
  void SetBackgroundColor(SystemColor color) override { surface_.SetBackgroundColor(color); }
  void DrawText(const char* text, const PixelRect& rect, uint32_t format) override {
    drawn_->push_back(DrawnText{text, rect});
    surface_.DrawText(text, rect, format);
  }
  void DrawEdge(const PixelRect& rect, uint32_t edge, uint32_t flags) override {
    surface_.DrawEdge(rect, edge, flags);
  }

 private:
  PaintSurface& surface_;
  std::vector<DrawnText>* drawn_;
};

}  // namespace

void ScriptedProgram::RecordingEvents::OnDestroy(WindowHandle window) {
  destroyed = true;
  form->OnDestroy(window);
}

void ScriptedProgram::RecordingEvents::OnPaint(WindowHandle window, PaintSurface& surface) {
  RecordingSurface recording(surface, &drawn);
  form->OnPaint(window, recording);
}

ScriptedProgram::ScriptedProgram(Script script)
    : Win32WindowSystem(GetModuleHandleA(nullptr)), script_(std::move(script)) {}

int ScriptedProgram::Run() {
  int exitCode = RunTapsmith(this, SW_SHOWNORMAL);
  if (!errorsExpected_) {
    for (const std::string& error : errors_) ADD_FAILURE() << "the program showed: " << error;
  }
  return exitCode;
}

void ScriptedProgram::ShowError(WindowHandle, const char* text, const char* caption) {
  errors_.push_back(std::string(caption) + ": " + text + " (last error " +
                    std::to_string(GetLastError()) + ")");
}

WindowHandle ScriptedProgram::CreateMainWindow(const char* caption, uint32_t style,
                                               WindowEvents* events) {
  events_.form = events;
  return Win32WindowSystem::CreateMainWindow(caption, style, &events_);
}

int ScriptedProgram::RunMessageLoop() {
  HandlePendingMessages();
  script_(*this, mainWindow());
  if (!events_.destroyed && mainWindow() != nullptr) {
    SendMessageA(mainWindow(), WM_CLOSE, 0, 0);
  }
  return Win32WindowSystem::RunMessageLoop();
}

void ScriptedProgram::HandlePendingMessages() {
  MSG message;
  for (int i = 0; i < kMaxPendingMessages; ++i) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  std::fprintf(stderr, "more than %d messages waiting: the window does not settle\n",
               kMaxPendingMessages);
}

std::vector<DrawnText> ScriptedProgram::PaintNow(HWND mainWindow) {
  events_.drawn.clear();
  ::UpdateWindow(mainWindow);
  return events_.drawn;
}

ScratchDirectory::ScratchDirectory() {
  char buffer[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
  previous_.assign(buffer, length < MAX_PATH ? length : 0);
  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  static int serial = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::snprintf(buffer, sizeof buffer, "%stapsmith-win32-test-%lu-%d", temporary,
                  GetCurrentProcessId(), ++serial);
    if (CreateDirectoryA(buffer, nullptr)) break;
  }
  path_ = buffer;
  SetCurrentDirectoryA(path_.c_str());
}

ScratchDirectory::~ScratchDirectory() {
  SetCurrentDirectoryA(previous_.c_str());
  WIN32_FIND_DATAA found;
  std::string pattern = path_ + "\\*";
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA((path_ + "\\" + found.cFileName).c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

std::string ScratchDirectory::ReadFile(const char* name) const {
  std::string bytes;
  std::FILE* file = std::fopen((path_ + "\\" + name).c_str(), "rb");
  if (file == nullptr) return bytes;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  std::fclose(file);
  return bytes;
}

}  // namespace tapsmith
