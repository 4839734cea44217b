// <windows.h> for the backend. Two of its ANSI/Unicode switch macros carry the
// names of window-system operations (DrawText, GetTextMetrics) and would
// rename them in every file that sees both headers; the backend calls the "A"
// functions by their full names instead.
#pragma once

#include <windows.h>

#undef DrawText
#undef GetTextMetrics
