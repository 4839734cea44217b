#include "cli_command.h"

#include "e_series.h"
#include "list_file.h"
#include "text_encoding.h"

namespace tapsmith {

namespace {

// List1 as the command makes it: from the file, the values or the series.
// False with the reason when it cannot be had.
bool MakeListOne(const CliCommand& command, FileSystem* files, std::string* list, CliError* error) {
  Localized reason;
  if (command.listFile) {
    if (ReadListFile(*files, *command.listFile, list, &reason)) return true;
  } else if (command.values) {
    if (ListFromValues(*command.values, list, &reason)) return true;
  } else {
    const SeriesList& series = command.series;
    SeriesValues(series.step, series.minOhms, series.maxOhms, list);
    return true;
  }
  *error = {Fill(Message::OptionReason, {command.listOption, reason}), {command.listOption}};
  return false;
}

}  // namespace

bool AsksDesignSearch(const CliCommand& command) {
  const DesignRequest& design = command.design;
  const DesignReports reports = ReportsOf(design);
  return reports.worstCase || reports.current || reports.yield || design.pinCurrent.value_or(0.0) != 0.0 ||
         design.bestCount > 0;
}

bool ApplyCommand(const CliCommand& command, FileSystem* files, AppState* state, CliError* error) {
  const bool makesListOne = command.listOption != nullptr;
  std::string list;
  if (makesListOne && !MakeListOne(command, files, &list, error)) return false;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (command.slotTexts[slot]) {
      SetSlotText(state, slot, Utf8ToCp932(*command.slotTexts[slot]).c_str());
    }
  }
  if (makesListOne) {
    SetSlotBytes(state, SlotList1, list.data(), list.size());
    // A list named with --list is set among the settings below.
    if (!command.settings[ListChoice]) SetSetting(state, ListChoice, 0);
  }
  for (int index = 0; index < kSettingCount; ++index) {
    if (command.settings[index]) SetSetting(state, index, *command.settings[index]);
  }
  return true;
}

}  // namespace tapsmith
