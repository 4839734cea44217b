#include "main_window.h"

#include <string>

#include "commands.h"
#include "scrolling.h"
#include "settings_file.h"
#include "settings_path.h"
#include "text_encoding.h"

namespace tapsmith {

namespace {

// The heading of the message shown when the settings cannot be written at
// exit, Japanese and English; the save's own "<path>: <reason>" follows on a
// line of its own.
static const char* const kSaveFailedHeading[2] = {
    "設定ファイルを保存できませんでした。",
    "The settings file could not be saved.",
};

// Why nothing could be saved when the settings file's path could not be
// formed at start (a working directory too deep for the path's limit).
static const char* const kNoSettingsPath[2] = {
    "作業フォルダのパスが長すぎるため、Tapsmith.iniの場所を決められません。",
    "The working folder's path is too long to place Tapsmith.ini in it.",
};

constexpr char kProgramCaption[] = "Tapsmith";

}  // namespace

MainWindow::MainWindow(AppState* state, WindowSystem* system) : form_(state, system) {}

bool MainWindow::OnCreate(WindowHandle window) {
  form_.window = window;
  MeasureCell(&form_);
  InitialiseState(form_.state);
  ResolveSettingsPath(form_.state);
  LoadSettings(form_.state);
  CreateFormControls(&form_);
  RelabelControls(form_);
  PlaceMainWindow(&form_);
  return true;
}

void MainWindow::OnDestroy(WindowHandle window) {
  AppState* state = form_.state;
  if (state->settingsPath[0] != '\0') {
    CollectEditTexts(&form_);
    PixelRect rect{};
    if (form_.system->GetWindowRect(window, &rect)) {
      SetSetting(state, WindowLeft, rect.left);
      SetSetting(state, WindowTop, rect.top);
      SetSetting(state, WindowRight, rect.right);
      SetSetting(state, WindowBottom, rect.bottom);
    }
    std::string reason;
    if (!SaveSettings(*state, &reason)) ReportFailedSave(reason);
  } else {
    // Without a path this run's inputs cannot be kept: say so rather than
    // lose them without a word.
    ReportFailedSave(LiteralToCp932(kNoSettingsPath[LanguageInUse(*state)]));
  }
  form_.system->PostQuit(0);
}

void MainWindow::ReportFailedSave(const std::string& reason) {
  const int language = LanguageInUse(*form_.state);
  std::string text = LiteralToCp932(kSaveFailedHeading[language]);
  text += "\r\n";
  text += reason.empty() ? std::string(form_.state->settingsPath) : reason;
  form_.system->ShowError(form_.window, text.c_str(), kProgramCaption);
}

void MainWindow::OnSize(WindowHandle, int clientWidth, int clientHeight) {
  tapsmith::OnSize(&form_, clientWidth, clientHeight);
}

void MainWindow::OnPaint(WindowHandle, PaintSurface& surface) { PaintForm(form_, surface); }

void MainWindow::OnCommand(WindowHandle, int id) { tapsmith::OnCommand(&form_, id); }

void MainWindow::OnHScroll(WindowHandle, int code) { tapsmith::OnHScroll(&form_, code); }

void MainWindow::OnVScroll(WindowHandle, int code) { tapsmith::OnVScroll(&form_, code); }

int RunTapsmith(WindowSystem* system, int showCommand) {
  // 650 kB and alive for the whole run: static storage, as the program's
  // state always is.
  static AppState state;
  MainWindow mainWindow(&state, system);
  const std::string caption = LiteralToCp932("Tapsmith : 電圧設定抵抗の探索 R" TAPSMITH_VERSION);
  WindowHandle window = system->CreateMainWindow(caption.c_str(), kMainWindowStyle, &mainWindow);
  if (window == nullptr) {
    system->ShowError(nullptr, "Few resource or Wrong coding", kProgramCaption);
    return 0;
  }
  system->ShowMainWindow(window, showCommand);
  return system->RunMessageLoop();
}

}  // namespace tapsmith
