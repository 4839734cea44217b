// The board through the console: its file, its rails over the command
// line's options, its choice and its outputs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "cli_answer.h"
#include "cli_app.h"
#include "test_util.h"

namespace tapsmith {
namespace {

using ::testing::HasSubstr;

struct BoardRun {
  int status;
  std::string out;
  std::string err;
};

BoardRun Board(const std::string& text, std::vector<std::string> args = {}) {
  args.insert(args.begin(), {"tapsmith-cli", "--board-text", text, "--lang", "en"});
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  const int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

const char kThreeRails[] =
    "# three rails\n"
    "core: --vo 1.0 --vo2 3% --vfb 0.6\n"
    "io: --vo 1.8 --vo2 3% --vfb 0.8 --config b\n"
    "main: --vo 3.3 --vo2 2% --vfb 1.25 --serial\n";

const std::vector<std::string> kCandidates = {"--list", "E48", "--range", "1k..100k", "--r1-min", "1k",
                                              "--r1-max", "100k", "--tolerance", "1%", "--worst-case"};

// The one-rail search of a rail's options over the given values alone.
nlohmann::json SingleRail(std::vector<std::string> args, const std::string& values) {
  args.insert(args.end(), {"--values", values, "--r1-min", "1k", "--r1-max", "100k", "--tolerance", "1%",
                           "--worst-case", "--best", "1000", "--format", "json"});
  auto workspace = std::make_unique<ConsoleWorkspace>();
  return nlohmann::json::parse(ConsoleAnswer(args, {}, nullptr, workspace.get()));
}

TEST(CliBoard, ChoosesFromTheBomFirstAndProvesIt) {
  std::vector<std::string> args = kCandidates;
  // BOM values of the series itself, so that each rail's own search holds them.
  args.insert(args.end(), {"--bom", "1k, 2.15k, 10k, 21.5k", "--format", "json"});
  const BoardRun run = Board(kThreeRails, args);
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json board = nlohmann::json::parse(run.out);
  ASSERT_EQ(board["rails"].size(), 3u);
  EXPECT_TRUE(board["proven"]);
  EXPECT_EQ(board["bound"], board["new_values"].size());
  EXPECT_THAT(board["status"].get<std::string>(), HasSubstr("3 rails, "));
  EXPECT_THAT(board["status"].get<std::string>(), HasSubstr("proven optimal."));
  // Each rail's divider is one its own search finds, within its worst case.
  const std::vector<std::vector<std::string>> rails = {{"--vo", "1.0", "--vo2", "3%", "--vfb", "0.6"},
                                                       {"--vo", "1.8", "--vo2", "3%", "--vfb", "0.8", "--config", "b"},
                                                       {"--vo", "3.3", "--vo2", "2%", "--vfb", "1.25", "--serial"}};
  std::vector<std::string> used;
  for (size_t r = 0; r < rails.size(); ++r) {
    const nlohmann::json& chosen = board["rails"][r];
    bool found = false;
    const std::string values = chosen["r1"].get<std::string>() + " " + chosen["r2"].get<std::string>() + " " +
                               chosen["r3"].get<std::string>();
    const nlohmann::json single = SingleRail(rails[r], values);
    for (const nlohmann::json& match : single["matches"]) {
      found = found || (match["r1"] == chosen["r1"] && match["r2"] == chosen["r2"] && match["r3"] == chosen["r3"] &&
                        match["vout"] == chosen["vout"]);
    }
    EXPECT_TRUE(found) << chosen.dump();
    for (const char* position : {"r1", "r2", "r3"}) used.push_back(chosen[position]);
  }
  for (const nlohmann::json& value : board["new_values"]) {
    EXPECT_NE(std::find(used.begin(), used.end(), value.get<std::string>()), used.end()) << value;
  }
}

TEST(CliBoard, PrintsARailALineThenTheValuesAndTheStatus) {
  std::vector<std::string> args = kCandidates;
  args.insert(args.end(), {"--bom", "1000, 2k"});
  const BoardRun text = Board(kThreeRails, args);
  ASSERT_EQ(text.status, 0) << text.err;
  const std::vector<std::string> lines = testing::SplitLines(text.out, "\n");
  ASSERT_EQ(lines.size(), 5u) << text.out;
  EXPECT_THAT(lines[0], ::testing::StartsWith("core: "));
  EXPECT_THAT(lines[0], HasSubstr(" [0."));  // its worst case
  EXPECT_THAT(lines[3], ::testing::StartsWith("New values ("));
  // A BOM value equal to a candidate is one value, named as the BOM names it.
  EXPECT_THAT(lines[4], ::testing::StartsWith("From the BOM ("));
  EXPECT_THAT(text.out, ::testing::Not(HasSubstr(" 1k ")));
  EXPECT_THAT(text.err, HasSubstr("proven optimal."));
  args.insert(args.end(), {"--format", "csv"});
  const BoardRun csv = Board(kThreeRails, args);
  EXPECT_THAT(csv.out, ::testing::StartsWith("rail,r1,r2,r3,connection,vout,deviation_percent,vout_min,vout_max\ncore,"));
}

TEST(CliBoard, ARailsOwnOptionsOverrideTheCommandLines) {
  // The command line's --serial gives way to the rail's --parallel; the
  // rail's own list replaces the series and its range.
  const BoardRun run = Board("a: --vo 1.0 --vo2 3% --vfb 0.6 --parallel --values \"1k 2k 3k\"\n",
                             {"--list", "E96", "--range", "10k..20k", "--serial"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("//"));
  EXPECT_THAT(run.out, ::testing::ContainsRegex("^a: [123]k"));
  // A rail's --range alone narrows the command line's series.
  const BoardRun narrowed = Board("a: --vo 2.5 --vo2 1% --vfb 1.25 --range 1k..1.1k\n", {"--list", "E96"});
  ASSERT_EQ(narrowed.status, 0) << narrowed.err;
  EXPECT_THAT(narrowed.out, ::testing::ContainsRegex("^a: 1(\\.[0-9]+)?k "));
}

TEST(CliBoard, BadLinesAndFilesNameWhereAndStopBeforeSearching) {
  struct Case {
    std::string text;
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"a: --vo 1\nb: --format csv\n", {}, 64, "tapsmith-cli: --board-text:2: --format does not belong to a rail"},
      {"a: --vo 1\nb: --best 3\n", {}, 64, "--board-text:2: --best does not belong to a rail"},
      {"a: --vo 1 --config x\n", {}, 64, "--board-text:1: --config: \"x\" is no configuration"},
      {"a: --vo 1\na: --vo 2\n", {}, 2, "--board-text:2: rail \"a\" is named on line 1 already"},
      {"a: --vo abc\n", {}, 2, "--board-text:1: Format error"},
      {"a: --vo 1\n", {"--best", "3"}, 64, "--board-text excludes --best"},
      {"a: --vo 1\n", {"--time-limit", "0"}, 64, "--time-limit: \"0\" is no time limit"},
      {"a: --vo 1\n", {"--bom", "-1k"}, 2, "--bom: the BOM holds no value"},
  };
  for (const Case& c : cases) {
    const BoardRun run = Board(c.text, c.args);
    EXPECT_EQ(run.status, c.status) << c.text;
    EXPECT_THAT(run.err, HasSubstr(c.message)) << c.text;
    EXPECT_EQ(run.out, "") << c.text;
  }
  std::vector<const char*> argv = {"tapsmith-cli", "--board", "/nonexistent/board.txt", "--lang", "en"};
  std::ostringstream out, err;
  EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), out, err), 2);
  EXPECT_THAT(err.str(), HasSubstr("--board: cannot read /nonexistent/board.txt"));
}

TEST(CliBoard, ARailNoDividerMeetsLeavesTheBoardUnsolvable) {
  const BoardRun run = Board("ok: --vo 1.0 --vo2 3% --vfb 0.6\nlow: --vo 0.3 --vfb 0.6\nnone: --vo 9 --vo2 9.0000001 --vfb 0.6\n",
                             {"--values", "1k 1.5k 2k", "--r1-min", "1", "--r1-max", "1M", "--format", "json"});
  EXPECT_EQ(run.status, 1);
  const nlohmann::json board = nlohmann::json::parse(run.out);
  EXPECT_EQ(board["unsolvable"], (nlohmann::json{"low", "none"}));
  EXPECT_TRUE(board["rails"].empty());
  EXPECT_EQ(board["status"], "No divider meets low and none.");
}

TEST(CliBoard, TheAnswerGivesThePageEveryRailAndTheLineAtFault) {
  auto workspace = std::make_unique<ConsoleWorkspace>();
  AnswerRequest request;
  request.csv = true;
  const nlohmann::json answer = nlohmann::json::parse(
      ConsoleAnswer({"--board-text", kThreeRails, "--list", "E48", "--range", "1k..100k", "--r1-min", "1k", "--r1-max", "100k", "--bom", "1k 2.15k 10k", "--lang", "en"}, request, nullptr,
                    workspace.get()));
  EXPECT_EQ(answer["exit"], 0);
  ASSERT_EQ(answer["board"]["rails"].size(), 3u);
  EXPECT_EQ(answer["board"]["rails"][1]["name"], "io");
  EXPECT_EQ(answer["board"]["rails"][1]["configuration"], "b");
  EXPECT_THAT(answer["board"]["rails"][1]["text"].get<std::string>(), ::testing::StartsWith("io: "));
  EXPECT_TRUE(answer["board"]["rails"][1]["match"]["r1_ohms"].is_number());
  EXPECT_THAT(answer["csv"].get<std::string>(), ::testing::StartsWith("rail,"));
  EXPECT_THAT(answer["status"].get<std::string>(), HasSubstr("proven optimal."));
  const nlohmann::json bad = nlohmann::json::parse(
      ConsoleAnswer({"--board-text", "a: --vo 1\nb: --vo x --lang en\n"}, request, nullptr, workspace.get()));
  EXPECT_EQ(bad["exit"], 64);
  EXPECT_EQ(bad["error"]["line"], 2);
  EXPECT_EQ(bad["error"]["options"], (nlohmann::json{"--lang"}));
}

}  // namespace
}  // namespace tapsmith
