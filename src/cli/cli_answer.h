// The answer a front end gets from one console run, as one JSON object:
// what the console prints, and what the front end shows beside it, so that
// it never reads the console's text for people.
#pragma once

#include <string>
#include <vector>

#include "cli_app.h"

namespace tapsmith {

// What a front end asks of a run beside its answer.
struct AnswerRequest {
  // The renderings to hold, each as that --format prints it.
  bool text = false;
  bool csv = false;
  bool json = false;
  // The whole design space instead of the N asked: the search keeps the
  // 1000 best by the same rank.
  bool space = false;
};

/// Runs tapsmith-cli with `args` (without the program's name) as
/// RunConsole does and gives its answer: the exit status, the status line,
/// the error with the options at fault, the window and R1's range searched
/// with their texts, the notes that say why nothing was found, the matches
/// shown with their numbers and their texts, and the renderings asked. An
/// argument holding a NUL character is a usage error.
std::string ConsoleAnswer(const std::vector<std::string>& args, const AnswerRequest& request, FileSystem* files,
                          ConsoleWorkspace* workspace);

}  // namespace tapsmith
