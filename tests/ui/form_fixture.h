// Fixtures of the form's tests: a form on the recording window system, and a
// temporary working directory for the tests that read or write the settings
// file.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

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


inline std::string Cp932(const char* utf8) { return LiteralToCp932(utf8); }

}  // namespace tapsmith::testing
