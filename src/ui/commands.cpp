#include "commands.h"

#include <cstdint>
#include <string>

#include "message_table.h"
#include "search.h"
#include "text_encoding.h"

namespace tapsmith {

namespace {

enum class CommandKind { SwitchLanguage, DefaultSize, Radio, CheckBox, Execute, Exit };

struct CommandRoute {
  int firstId;
  int lastId;
  CommandKind kind;
};

static const CommandRoute kCommandRoutes[] = {
    {kRowLanguage, kRowLanguage, CommandKind::SwitchLanguage},
    {kRowDefaultSize, kRowDefaultSize, CommandKind::DefaultSize},
    {4, 7, CommandKind::Radio},
    {25, 30, CommandKind::Radio},
    {kRowExecute, kRowExecute, CommandKind::Execute},
    {35, 35, CommandKind::CheckBox},
    {kRowExit, kRowExit, CommandKind::Exit},
    {kRowSortByPrecision, kRowSortByPrecision, CommandKind::CheckBox},
    {kRowSortByResistors, kRowSortByResistors, CommandKind::CheckBox},
    {49, 49, CommandKind::CheckBox},
};

// The Exit question's buttons, Japanese and English, as a Japanese system
// and an English one label them.
struct QuestionButtons {
  const char* yes;
  const char* no;
};
static const QuestionButtons kQuestionButtons[2] = {
    {"はい", "いいえ"},
    {"Yes", "No"},
};

// The controls that Execute disables and enables again, in this order.
static const int kInputRows[] = {4, 5, 11, 13, 15, 17, 19, 21, 41, 49, 34, 36, 46, 47, 48};

void SwitchLanguage(const Form& form) {
  // Acting on the language in use keeps a hand-edited value (negative, say)
  // from needing two clicks before the labels change.
  SetSetting(form.state, Language, LanguageInUse(*form.state) == 0 ? 1 : 0);
  RelabelControls(form);
}

void RestoreDefaultSize(const Form& form) {
  PixelSize size = DefaultWindowSize(form.metrics);
  form.system->ResizeWindow(form.window, size.width, size.height);
}

// The row of the radio group starting at `firstRow` and bound to `setting`
// that `value` selects, or -1 when the value names no button of the group
// (only a hand-edited settings file can make it so).
int RadioRowOf(int firstRow, int setting, int32_t value) {
  int64_t row = static_cast<int64_t>(firstRow) + value;
  if (row < 0 || row >= kLayoutRowCount) return -1;
  const LayoutRow& layout = LayoutTable(static_cast<int>(row));
  if (layout.type != RadioButton || layout.aux != firstRow || layout.index != setting)
    return -1;
  return static_cast<int>(row);
}

void ApplyRadioRule(const Form& form, int row) {
  const LayoutRow& layout = LayoutTable(row);
  const int selected = RadioRowOf(layout.aux, layout.index, GetSetting(*form.state, layout.index));
  if (selected >= 0) form.system->SetCheck(form.controls.handles[selected], false);
  SetSetting(form.state, layout.index, row - layout.aux);
  form.system->SetCheck(form.controls.handles[row], true);
}

void ApplyCheckBoxRule(const Form& form, int row) {
  const int setting = LayoutTable(row).index;
  const bool checked = GetSetting(*form.state, setting) == 0;
  SetSetting(form.state, setting, checked ? 1 : 0);
  form.system->SetCheck(form.controls.handles[row], checked);
  // The two ordering boxes exclude each other when one is switched on.
  if (row == kRowSortByResistors && GetSetting(*form.state, SortByResistors) == 1) {
    form.system->SetCheck(form.controls.handles[kRowSortByPrecision], false);
    SetSetting(form.state, SortByPrecision, 0);
  }
  if (row == kRowSortByPrecision && GetSetting(*form.state, SortByPrecision) == 1) {
    form.system->SetCheck(form.controls.handles[kRowSortByResistors], false);
    SetSetting(form.state, SortByResistors, 0);
  }
}

void RunExecute(Form* form) {
  CollectEditTexts(form);
  DisableInputs(*form);
  CollectEditTexts(form);
  Execute(form->state);
  form->system->SetText(form->controls.handles[kRowResult], SlotText(*form->state, SlotResult));
  EnableInputs(*form);
}

void ConfirmExit(const Form& form) {
  const char* question = MessageText(Message::ExitConfirmation, *form.state);
  const QuestionButtons& buttons = kQuestionButtons[LanguageInUse(*form.state)];
  const std::string yes = LiteralToCp932(buttons.yes);
  const std::string no = LiteralToCp932(buttons.no);
  if (form.system->AskYesNo(form.window, question, "Exit", yes.c_str(), no.c_str()))
    form.system->SendDestroy(form.window);
}

void EnableInputRows(const Form& form, bool enabled) {
  for (int row : kInputRows) form.system->EnableControl(form.controls.handles[row], enabled);
}

}  // namespace

void OnCommand(Form* form, int id) {
  for (const CommandRoute& route : kCommandRoutes) {
    if (id < route.firstId || id > route.lastId) continue;
    switch (route.kind) {
      case CommandKind::SwitchLanguage: SwitchLanguage(*form); break;
      case CommandKind::DefaultSize: RestoreDefaultSize(*form); break;
      case CommandKind::Radio: ApplyRadioRule(*form, id); break;
      case CommandKind::CheckBox: ApplyCheckBoxRule(*form, id); break;
      case CommandKind::Execute: RunExecute(form); break;
      case CommandKind::Exit: ConfirmExit(*form); break;
    }
    break;
  }
  form->system->InvalidateClientArea(form->window, true);
}

void DisableInputs(const Form& form) { EnableInputRows(form, false); }

void EnableInputs(const Form& form) { EnableInputRows(form, true); }

}  // namespace tapsmith
