#include "fake_window_system.h"

#include <cassert>
#include <cstdint>
#include <cstring>

namespace tapsmith {

namespace {

// Handles are small numbers dressed as pointers, never dereferenced: the main
// window is 1, control k (in creation order) is k + 2.
constexpr uintptr_t kMainWindowToken = 1;
constexpr uintptr_t kFirstControlToken = 2;

WindowHandle HandleOf(uintptr_t token) { return reinterpret_cast<WindowHandle>(token); }
uintptr_t TokenOf(WindowHandle handle) { return reinterpret_cast<uintptr_t>(handle); }

const char* KindName(FakeCallKind kind) {
  switch (kind) {
    case FakeCallKind::CreateMainWindow: return "CreateMainWindow";
    case FakeCallKind::ShowMainWindow: return "ShowMainWindow";
    case FakeCallKind::RunMessageLoop: return "RunMessageLoop";
    case FakeCallKind::PostQuit: return "PostQuit";
    case FakeCallKind::SendDestroy: return "SendDestroy";
    case FakeCallKind::CreateControl: return "CreateControl";
    case FakeCallKind::SetText: return "SetText";
    case FakeCallKind::GetText: return "GetText";
    case FakeCallKind::SetCheck: return "SetCheck";
    case FakeCallKind::EnableControl: return "EnableControl";
    case FakeCallKind::GetTextMetrics: return "GetTextMetrics";
    case FakeCallKind::InvalidateClientArea: return "InvalidateClientArea";
    case FakeCallKind::UpdateWindow: return "UpdateWindow";
    case FakeCallKind::SetScrollRange: return "SetScrollRange";
    case FakeCallKind::SetScrollPosition: return "SetScrollPosition";
    case FakeCallKind::GetScrollBar: return "GetScrollBar";
    case FakeCallKind::ScrollClientArea: return "ScrollClientArea";
    case FakeCallKind::MoveWindow: return "MoveWindow";
    case FakeCallKind::ResizeWindow: return "ResizeWindow";
    case FakeCallKind::GetWindowRect: return "GetWindowRect";
    case FakeCallKind::GetVirtualScreenOrigin: return "GetVirtualScreenOrigin";
    case FakeCallKind::GetVirtualScreenSize: return "GetVirtualScreenSize";
    case FakeCallKind::AskYesNo: return "AskYesNo";
    case FakeCallKind::ShowError: return "ShowError";
  }
  return "?";
}

const char* BarName(ScrollBarKind bar) { return bar == ScrollBarKind::Vertical ? "V" : "H"; }

}  // namespace

std::string Describe(const FakeCall& call) {
  std::string out = KindName(call.kind);
  auto add = [&out](long long value) { out += ' '; out += std::to_string(value); };
  switch (call.kind) {
    case FakeCallKind::CreateControl:
    case FakeCallKind::SetText:
    case FakeCallKind::GetText:
      add(call.id);
      break;
    case FakeCallKind::SetCheck:
    case FakeCallKind::EnableControl:
      add(call.id);
      add(call.flag);
      break;
    case FakeCallKind::InvalidateClientArea:
      add(call.flag);
      break;
    case FakeCallKind::SetScrollRange:
      out += ' ';
      out += BarName(call.bar);
      add(call.values[0]);
      add(call.values[1]);
      add(call.values[2]);
      break;
    case FakeCallKind::SetScrollPosition:
    case FakeCallKind::GetScrollBar:
      out += ' ';
      out += BarName(call.bar);
      if (call.kind == FakeCallKind::SetScrollPosition) add(call.values[0]);
      break;
    case FakeCallKind::ScrollClientArea:
      add(call.values[0]);
      add(call.values[1]);
      break;
    case FakeCallKind::MoveWindow:
      add(call.rect.left);
      add(call.rect.top);
      add(call.rect.right - call.rect.left);
      add(call.rect.bottom - call.rect.top);
      break;
    case FakeCallKind::ResizeWindow:
      add(call.values[0]);
      add(call.values[1]);
      break;
    case FakeCallKind::PostQuit:
    case FakeCallKind::ShowMainWindow:
      add(call.values[0]);
      break;
    case FakeCallKind::AskYesNo:
    case FakeCallKind::ShowError:
      out += " \"" + call.caption + "\"";
      break;
    default:
      break;
  }
  return out;
}

FakeWindowSystem::FakeWindowSystem() = default;

// --- Driving ----------------------------------------------------------------

void FakeWindowSystem::SendSize(int clientWidth, int clientHeight) {
  assert(events_ && "SendSize before the main window exists");
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  events_->OnSize(mainWindow_, clientWidth, clientHeight);
}

void FakeWindowSystem::Click(int id) {
  assert(events_ && "Click before the main window exists");
  events_->OnCommand(mainWindow_, id);
}

void FakeWindowSystem::SendScroll(ScrollBarKind bar, int code) {
  assert(events_ && "SendScroll before the main window exists");
  if (bar == ScrollBarKind::Vertical)
    events_->OnVScroll(mainWindow_, code);
  else
    events_->OnHScroll(mainWindow_, code);
}

void FakeWindowSystem::Paint(PaintSurface& surface) {
  assert(events_ && "Paint before the main window exists");
  events_->OnPaint(mainWindow_, surface);
}

void FakeWindowSystem::TypeText(int id, const std::string& text) {
  for (FakeControl& control : controls_)
    if (control.id == id) control.text = text;
}

void FakeWindowSystem::SetTrackPosition(ScrollBarKind bar, int pos) {
  bars_[static_cast<int>(bar)].Track(pos);
}

// --- Inspection -------------------------------------------------------------

std::vector<std::string> FakeWindowSystem::Described(FakeCallKind kind) const {
  std::vector<std::string> out;
  for (const FakeCall& call : calls_)
    if (call.kind == kind) out.push_back(Describe(call));
  return out;
}

std::vector<std::string> FakeWindowSystem::DescribedSince(size_t from) const {
  std::vector<std::string> out;
  for (size_t i = from; i < calls_.size(); ++i) out.push_back(Describe(calls_[i]));
  return out;
}

const FakeControl* FakeWindowSystem::Control(int id) const {
  for (const FakeControl& control : controls_)
    if (control.id == id) return &control;
  return nullptr;
}

ScrollBarState FakeWindowSystem::scrollBar(ScrollBarKind bar) const {
  return bars_[static_cast<int>(bar)].State();
}

FakeControl* FakeWindowSystem::ControlOf(WindowHandle control) {
  uintptr_t token = TokenOf(control);
  if (token < kFirstControlToken || token - kFirstControlToken >= controls_.size())
    return nullptr;
  return &controls_[token - kFirstControlToken];
}

bool FakeWindowSystem::IsMainWindow(WindowHandle window) const {
  return window != nullptr && window == mainWindow_;
}

// --- The main window --------------------------------------------------------

WindowHandle FakeWindowSystem::CreateMainWindow(const char* caption, uint32_t style,
                                                WindowEvents* events) {
  FakeCall call{FakeCallKind::CreateMainWindow};
  call.text = caption;
  call.style = style;
  Record(call);
  if (createMainWindowFails) return nullptr;
  mainWindow_ = HandleOf(kMainWindowToken);
  events_ = events;
  if (!events->OnCreate(mainWindow_)) {
    mainWindow_ = nullptr;
    events_ = nullptr;
  }
  return mainWindow_;
}

void FakeWindowSystem::ShowMainWindow(WindowHandle window, int showCommand) {
  if (!IsMainWindow(window)) return;
  FakeCall call{FakeCallKind::ShowMainWindow};
  call.values[0] = showCommand;
  Record(call);
  showCommand_ = showCommand;
}

int FakeWindowSystem::RunMessageLoop() {
  Record(FakeCall{FakeCallKind::RunMessageLoop});
  if (userScript) userScript();
  return quitCode_;
}

void FakeWindowSystem::PostQuit(int exitCode) {
  FakeCall call{FakeCallKind::PostQuit};
  call.values[0] = exitCode;
  Record(call);
  quitPosted_ = true;
  quitCode_ = exitCode;
}

void FakeWindowSystem::SendDestroy(WindowHandle window) {
  if (!IsMainWindow(window)) return;
  Record(FakeCall{FakeCallKind::SendDestroy});
  events_->OnDestroy(window);
}

// --- Child controls ---------------------------------------------------------

WindowHandle FakeWindowSystem::CreateControl(ControlClass controlClass, const char* text,
                                             uint32_t style, int x, int y, int width,
                                             int height, WindowHandle parent, int id) {
  FakeCall call{FakeCallKind::CreateControl};
  call.id = id;
  call.text = text;
  call.controlClass = controlClass;
  call.style = style;
  call.rect = PixelRect{x, y, x + width, y + height};
  Record(call);
  if (!IsMainWindow(parent) || id == failingControlId) return nullptr;
  controls_.push_back(FakeControl{controlClass, text, style, call.rect, id});
  return HandleOf(kFirstControlToken + controls_.size() - 1);
}

void FakeWindowSystem::SetText(WindowHandle control, const char* text) {
  FakeControl* target = ControlOf(control);
  if (target == nullptr) return;
  FakeCall call{FakeCallKind::SetText};
  call.id = target->id;
  call.text = text;
  Record(call);
  target->text = text;
}

int FakeWindowSystem::GetText(WindowHandle control, char* buffer, int capacity) {
  FakeControl* target = ControlOf(control);
  if (target == nullptr || capacity <= 0) return 0;
  FakeCall call{FakeCallKind::GetText};
  call.id = target->id;
  Record(call);
  size_t length = target->text.size();
  if (length > static_cast<size_t>(capacity - 1)) length = capacity - 1;
  std::memcpy(buffer, target->text.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

void FakeWindowSystem::SetCheck(WindowHandle control, bool checked) {
  FakeControl* target = ControlOf(control);
  if (target == nullptr) return;
  FakeCall call{FakeCallKind::SetCheck};
  call.id = target->id;
  call.flag = checked;
  Record(call);
  target->checked = checked;
}

void FakeWindowSystem::EnableControl(WindowHandle control, bool enabled) {
  FakeControl* target = ControlOf(control);
  if (target == nullptr) return;
  FakeCall call{FakeCallKind::EnableControl};
  call.id = target->id;
  call.flag = enabled;
  Record(call);
  target->enabled = enabled;
}

// --- Metrics and painting ---------------------------------------------------

bool FakeWindowSystem::GetTextMetrics(WindowHandle window, TextMetrics* metrics) {
  if (!IsMainWindow(window)) return false;
  FakeCall call{FakeCallKind::GetTextMetrics};
  call.flag = !textMetricsFail;
  Record(call);
  if (textMetricsFail) return false;
  *metrics = textMetrics;
  return true;
}

void FakeWindowSystem::InvalidateClientArea(WindowHandle window, bool erase) {
  if (!IsMainWindow(window)) return;
  FakeCall call{FakeCallKind::InvalidateClientArea};
  call.flag = erase;
  Record(call);
}

void FakeWindowSystem::UpdateWindow(WindowHandle window) {
  if (!IsMainWindow(window)) return;
  Record(FakeCall{FakeCallKind::UpdateWindow});
}

// --- Scrolling --------------------------------------------------------------

void FakeWindowSystem::SetScrollRange(WindowHandle window, ScrollBarKind bar, int min,
                                      int max, int page) {
  if (!IsMainWindow(window)) return;
  FakeCall call{FakeCallKind::SetScrollRange};
  call.bar = bar;
  call.values[0] = min;
  call.values[1] = max;
  call.values[2] = page;
  Record(call);
  ScrollBarModel& model = bars_[static_cast<int>(bar)];
  const bool wasShown = model.Visible();
  model.SetRangeAndPage(min, max, page);
  const bool shown = model.Visible();
  if (scrollBarThickness <= 0 || shown == wasShown || events_ == nullptr) return;
  const int change = shown ? -scrollBarThickness : scrollBarThickness;
  if (bar == ScrollBarKind::Vertical) {
    clientWidth_ += change;
  } else {
    clientHeight_ += change;
  }
  events_->OnSize(mainWindow_, clientWidth_, clientHeight_);
}

void FakeWindowSystem::SetScrollPosition(WindowHandle window, ScrollBarKind bar, int pos) {
  if (!IsMainWindow(window)) return;
  FakeCall call{FakeCallKind::SetScrollPosition};
  call.bar = bar;
  call.values[0] = pos;
  Record(call);
  bars_[static_cast<int>(bar)].SetPosition(pos);
}

bool FakeWindowSystem::GetScrollBar(WindowHandle window, ScrollBarKind bar,
                                    ScrollBarState* state) {
  if (!IsMainWindow(window)) return false;
  FakeCall call{FakeCallKind::GetScrollBar};
  call.bar = bar;
  call.flag = !scrollBarsFail;
  Record(call);
  if (scrollBarsFail) return false;
  *state = bars_[static_cast<int>(bar)].State();
  return true;
}

void FakeWindowSystem::ScrollClientArea(WindowHandle window, int dx, int dy) {
  if (!IsMainWindow(window)) return;
  FakeCall call{FakeCallKind::ScrollClientArea};
  call.values[0] = dx;
  call.values[1] = dy;
  Record(call);
  for (FakeControl& control : controls_) {
    control.rect.left += dx;
    control.rect.right += dx;
    control.rect.top += dy;
    control.rect.bottom += dy;
  }
}

// --- Placement --------------------------------------------------------------

void FakeWindowSystem::MoveWindow(WindowHandle window, int x, int y, int width, int height) {
  if (!IsMainWindow(window)) return;
  FakeCall call{FakeCallKind::MoveWindow};
  call.rect = PixelRect{x, y, x + width, y + height};
  Record(call);
  windowRect_ = call.rect;
}

void FakeWindowSystem::ResizeWindow(WindowHandle window, int width, int height) {
  if (!IsMainWindow(window)) return;
  FakeCall call{FakeCallKind::ResizeWindow};
  call.values[0] = width;
  call.values[1] = height;
  Record(call);
  windowRect_.right = windowRect_.left + width;
  windowRect_.bottom = windowRect_.top + height;
}

bool FakeWindowSystem::GetWindowRect(WindowHandle window, PixelRect* rect) {
  if (!IsMainWindow(window)) return false;
  FakeCall call{FakeCallKind::GetWindowRect};
  call.flag = !windowRectFails;
  Record(call);
  if (windowRectFails) return false;
  *rect = windowRect_;
  return true;
}

void FakeWindowSystem::GetVirtualScreenOrigin(int* x, int* y) {
  Record(FakeCall{FakeCallKind::GetVirtualScreenOrigin});
  *x = virtualScreenX;
  *y = virtualScreenY;
}

void FakeWindowSystem::GetVirtualScreenSize(int* width, int* height) {
  Record(FakeCall{FakeCallKind::GetVirtualScreenSize});
  *width = virtualScreenWidth;
  *height = virtualScreenHeight;
}

// --- Message boxes ----------------------------------------------------------

bool FakeWindowSystem::AskYesNo(WindowHandle owner, const char* text, const char* caption,
                                const char* yesLabel, const char* noLabel) {
  FakeCall call{FakeCallKind::AskYesNo};
  call.text = text;
  call.caption = caption;
  call.buttons[0] = yesLabel;
  call.buttons[1] = noLabel;
  call.hasOwner = IsMainWindow(owner);
  call.flag = answerYes;
  Record(call);
  return answerYes;
}

void FakeWindowSystem::ShowError(WindowHandle owner, const char* text, const char* caption) {
  FakeCall call{FakeCallKind::ShowError};
  call.text = text;
  call.caption = caption;
  call.hasOwner = IsMainWindow(owner);
  Record(call);
}

}  // namespace tapsmith
