// The command handler: what a click on each control of the form does.
#pragma once

#include "form.h"

namespace tapsmith {

/// The reaction to a click on the control with id `id` (its row number):
/// language switch, default size, radio groups, check boxes, Execute, Exit;
/// other ids do nothing. Every command, with or without an action, ends by
/// invalidating the whole client area with erase so the status line is
/// redrawn.
void OnCommand(Form* form, int id);

/// Disables the input controls for the duration of Execute: rows 4, 5, 11,
/// 13, 15, 17, 19, 21, 41, 49, 34, 36, 46, 47, 48, in this order.
void DisableInputs(const Form& form);

/// Enables the same rows again, in the same order.
void EnableInputs(const Form& form);

}  // namespace tapsmith
