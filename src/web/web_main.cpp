// The page's ways into the core: a whole tapsmith-cli run with its two
// streams (run), the same run as one structured answer (answer), and a list
// file's bytes checked as the console checks them. Each result is kept
// until the next call for the script that asked (web/src/core.ts) to read
// from the module's memory.
#include <emscripten/emscripten.h>

#include <nlohmann/json.hpp>

#include <cstddef>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli_answer.h"
#include "cli_app.h"
#include "list_file.h"

namespace {

struct LastCall {
  std::string output[2];  // standard output and error of a run; an answer in [0]
  int status = 0;
};

LastCall last;

// A fresh workspace per call, as a fresh process has: no run sees another's.
std::unique_ptr<tapsmith::ConsoleWorkspace> FreshWorkspace() { return std::make_unique<tapsmith::ConsoleWorkspace>(); }

std::string RequestRefused(const char* why) {
  nlohmann::ordered_json answer;
  answer["exit"] = tapsmith::kExitUsage;
  answer["error"] = {{"kind", "usage"}, {"message", why}, {"options", nlohmann::json::array()}};
  return answer.dump();
}

}  // namespace

extern "C" {

/// Runs tapsmith-cli with `argv` (argv[0] the program's name, each argument
/// UTF-8) as the native program runs it, without a disk: --settings, --save
/// and --list-file are usage errors here. Returns its exit status; its
/// standard output and error wait in tapsmith_output.
EMSCRIPTEN_KEEPALIVE int tapsmith_run(int argc, const char* const* argv) {
  auto workspace = FreshWorkspace();
  std::ostringstream out, err;
  last.status = tapsmith::RunCli(argc, argv, out, err, workspace.get(), nullptr);
  last.output[0] = out.str();
  last.output[1] = err.str();
  return last.status;
}

/// The bytes the last call gave: a run's standard output (stream 1) or
/// standard error (stream 2), or an answer (stream 1), `*size` of them;
/// valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* tapsmith_output(int stream, size_t* size) {
  const std::string& text = last.output[stream == 2 ? 1 : 0];
  *size = text.size();
  return text.data();
}

/// The structured answer of one run (ConsoleAnswer) for a request of
/// `length` bytes, a JSON object: "args", tapsmith-cli's arguments without
/// the program's name; "text", "csv", "json", the renderings to hold; and
/// "space", the whole design space. Returns the answer's length; the answer
/// waits in tapsmith_output's stream 1.
EMSCRIPTEN_KEEPALIVE size_t tapsmith_answer(const char* request, size_t length) {
  const nlohmann::json asked = nlohmann::json::parse(request, request + length, nullptr, false);
  last.output[1].clear();
  if (!asked.is_object() || !asked.contains("args") || !asked["args"].is_array()) {
    last.output[0] = RequestRefused("the request is no object with an array of arguments");
    return last.output[0].size();
  }
  std::vector<std::string> args;
  for (const auto& arg : asked["args"]) {
    if (!arg.is_string()) {
      last.output[0] = RequestRefused("every argument must be a string");
      return last.output[0].size();
    }
    args.push_back(arg.get<std::string>());
  }
  tapsmith::AnswerRequest wanted;
  wanted.text = asked.value("text", false);
  wanted.csv = asked.value("csv", false);
  wanted.json = asked.value("json", false);
  wanted.space = asked.value("space", false);
  auto workspace = FreshWorkspace();
  last.output[0] = tapsmith::ConsoleAnswer(args, wanted, nullptr, workspace.get());
  return last.output[0].size();
}

/// Checks `size` bytes of a list file named `name` as the console checks a
/// --list-file (NUL bytes, a byte order mark, the most a list holds; at
/// most tapsmith_list_read_limit() + 1 of them are needed), the reason in
/// `language` (0 Japanese, 1 English). Returns the length of a JSON object
/// waiting in stream 1: "values", the list's UTF-8 text, or "message", why
/// it is refused.
EMSCRIPTEN_KEEPALIVE size_t tapsmith_check_list(const char* bytes, size_t size, const char* name, int language) {
  std::string values;
  tapsmith::Localized error;
  nlohmann::ordered_json answer;
  if (tapsmith::CheckListBytes(std::string_view(bytes, size), name, &values, &error)) {
    answer["values"] = values;
  } else {
    answer["message"] = error.In(language);
  }
  last.output[0] = answer.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  last.output[1].clear();
  return last.output[0].size();
}

/// The most bytes of a list file the check needs: one more is too long.
EMSCRIPTEN_KEEPALIVE size_t tapsmith_list_read_limit() { return tapsmith::kListReadLimit; }

}  // extern "C"
