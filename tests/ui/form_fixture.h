// Fixtures of the form's tests: a form on the recording window system, and a
// temporary working directory for the tests that read or write the settings
// file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <random>
#include <system_error>

#include "commands.h"
#include "fake_window_system.h"
#include "form.h"
#include "scrolling.h"
#include "test_util.h"
#include "text_encoding.h"

namespace tapsmith::testing {

// A main window that does nothing of its own: the tests drive the form
// functions directly.
class SilentEvents : public WindowEvents {
 public:
  bool OnCreate(WindowHandle) override { return true; }
  void OnDestroy(WindowHandle) override {}
  void OnSize(WindowHandle, int, int) override {}
  void OnPaint(WindowHandle, PaintSurface&) override {}
  void OnCommand(WindowHandle, int) override {}
  void OnHScroll(WindowHandle, int) override {}
  void OnVScroll(WindowHandle, int) override {}
};

// A form on the fake with cells of 10 x 16 pixels and the default state,
// controls not yet created.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_.CreateMainWindow("test", kMainWindowStyle, &events_);
    form_.window = fake_.mainWindow();
    form_.metrics = FormMetrics{10, 16};
  }

  // Creates and labels the controls, then forgets the calls that made them.
  void BuildForm() {
    CreateFormControls(&form_);
    RelabelControls(form_);
    fake_.ClearCalls();
  }

  const FakeControl& ControlOfRow(int row) {
    const FakeControl* control = fake_.Control(row);
    EXPECT_NE(control, nullptr) << "row " << row << " has no control";
    static const FakeControl kNone{ControlClass::Static, "", 0, {0, 0, 0, 0}, -1};
    return control ? *control : kNone;
  }

  int Setting(int index) const { return GetSetting(*state_, index); }

  FakeWindowSystem fake_;
  SilentEvents events_;
  std::unique_ptr<AppState> state_ = NewDefaultState();
  Form form_{state_.get(), &fake_};
};

// Runs the test in a fresh empty directory, so that the settings file of one
// test never meets another.
class TemporaryWorkingDirectory {
 public:
  TemporaryWorkingDirectory() {
    previous_ = std::filesystem::current_path();
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      std::filesystem::path candidate = std::filesystem::temp_directory_path() /
                                        ("tapsmith-ui-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
    }
    if (path_.empty()) {
      ADD_FAILURE() << "cannot create a temporary directory";
      return;
    }
    std::filesystem::current_path(path_);
  }
  ~TemporaryWorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TemporaryWorkingDirectory(const TemporaryWorkingDirectory&) = delete;
  TemporaryWorkingDirectory& operator=(const TemporaryWorkingDirectory&) = delete;

  std::filesystem::path File(const char* name) const { return path_ / name; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

inline std::string Cp932(const char* utf8) { return LiteralToCp932(utf8); }

}  // namespace tapsmith::testing
