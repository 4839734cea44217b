#include "cli_answer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tapsmith {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Json = nlohmann::json;

Json AnswerOf(const std::vector<std::string>& args, AnswerRequest request = {}) {
  auto workspace = std::make_unique<ConsoleWorkspace>();
  return Json::parse(ConsoleAnswer(args, request, nullptr, workspace.get()));
}

struct Printed {
  int exit;
  std::string out;
  std::string err;
};

Printed PrintedBy(std::vector<std::string> args) {
  auto workspace = std::make_unique<ConsoleWorkspace>();
  args.insert(args.begin(), "tapsmith-cli");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  const int exit = RunCli(static_cast<int>(argv.size()), argv.data(), out, err, workspace.get(), nullptr);
  return {exit, out.str(), err.str()};
}

const std::vector<std::string> kDesigner = {"--list", "E96", "--vo", "3.3", "--vo2", "3%", "--vfb", "0.8",
                                            "--tolerance", "1%", "--r1-min", "10k", "--r1-max", "100k",
                                            "--current-max", "100u", "--best", "5",
                                            "--yield", "--lang", "en"};

TEST(ConsoleAnswer, HoldsWhatTheConsolePrintsInEveryFormat) {
  const Json answer = AnswerOf(kDesigner, {true, true, true, false});
  const Printed text = PrintedBy(kDesigner);
  std::vector<std::string> csv = kDesigner, json = kDesigner;
  csv.insert(csv.end(), {"--format", "csv"});
  json.insert(json.end(), {"--format", "json"});
  EXPECT_EQ(answer["exit"], text.exit);
  EXPECT_EQ(answer["status"].get<std::string>() + "\n", text.err);
  EXPECT_EQ(answer["text"], text.out);
  EXPECT_EQ(answer["csv"], PrintedBy(csv).out);
  EXPECT_EQ(answer["json"], PrintedBy(json).out);
  EXPECT_EQ(answer["count"], Json::parse(PrintedBy(json).out)["count"]);
  ASSERT_EQ(answer["matches"].size(), 5u);
  // Each match with its numbers and the texts the report writes, a
  // current with its unit as a page shows it.
  const Json& first = answer["matches"][0];
  EXPECT_THAT(text.out, HasSubstr(first["r1"].get<std::string>() + " + (" + first["r2"].get<std::string>()));
  EXPECT_THAT(text.out, HasSubstr("= " + first["texts"]["vout"].get<std::string>() + " (" +
                                  first["texts"]["deviation_percent"].get<std::string>() + "%) [" +
                                  first["texts"]["vout_min"].get<std::string>()));
  EXPECT_THAT(first["texts"]["current_a"].get<std::string>(), ::testing::MatchesRegex("[0-9.]+ (µA|mA)"));
  EXPECT_EQ(first["current_a"], first["current_upper_a"]) << "without a pin current both legs carry it";
  EXPECT_THAT(first["texts"]["yield"].get<std::string>(), ::testing::MatchesRegex("[0-9]+\\.[0-9]{4}"));
  EXPECT_EQ(first["r1_ohms"], 97600.0);
  EXPECT_TRUE(AnswerOf({"--dnm-only", "--vo", "1.54", "--vo2", "1%", "--values", "1k 1.2k"})["matches"][0]["r3_ohms"].is_null())
      << "an open position has no ohms";
  EXPECT_THAT(AnswerOf({"--version"}, {true, false, false, false})["text"].get<std::string>(), HasSubstr("tapsmith-cli"));
  EXPECT_FALSE(answer.contains("text") && AnswerOf(kDesigner).contains("text")) << "renderings only when asked";
}

TEST(ConsoleAnswer, NamesTheOptionsAtFaultWithTheReasonInTheRunsLanguage) {
  const Json usage = AnswerOf({"--vfb-min", "0.81", "--vfb-max", "0.79"});
  EXPECT_EQ(usage["exit"], kExitUsage);
  EXPECT_EQ(usage["error"]["kind"], "usage");
  EXPECT_THAT(usage["error"]["options"], ElementsAre("--vfb-min", "--vfb-max"));
  EXPECT_EQ(usage["error"]["message"], "--vfb-min 0.81 が --vfb-max 0.79 を超えています");
  EXPECT_EQ(usage["hint"], "オプションの一覧は 'tapsmith-cli --help' で表示されます。");
  EXPECT_TRUE(usage["window"].is_null());

  const Json field = AnswerOf({"--r1-max", "9.1x", "--lang", "en"});
  EXPECT_EQ(field["exit"], kExitInputError);
  EXPECT_THAT(field["error"]["options"], ElementsAre("--r1-max"));
  EXPECT_EQ(field["status"], "Format error\n9.1x");
  EXPECT_THAT(AnswerOf({"--values", "-"})["error"]["options"], ElementsAre("--values"));
  EXPECT_THAT(AnswerOf({"--list", "List2", "--vfb", "-1"})["exit"], kExitNothingFound);
  // A C string would end at the NUL and search the rest as if it were all.
  const Json nul = AnswerOf({"--values", std::string("1k\0 2k", 6), "--lang", "en"});
  EXPECT_EQ(nul["exit"], kExitUsage);
  EXPECT_EQ(nul["error"]["message"], "\"1k\" holds a NUL character");
}

TEST(ConsoleAnswer, GivesTheWindowSearchedAsEitherFormOfItsFields) {
  const Json tolerance = AnswerOf({"--vo", "3.3", "--vo2", "3%"})["window"];
  EXPECT_EQ(tolerance["least_text"], "3.201");
  EXPECT_EQ(tolerance["greatest_text"], "3.399");
  EXPECT_EQ(tolerance["typical_text"], "3.3");
  EXPECT_EQ(tolerance["tolerance_text"], "3");
  EXPECT_LT(tolerance["least"].get<double>(), 3.201) << "widened as the search tests it";
  const Json range = AnswerOf({"--vo", "3201m", "--vo2", "3.399"})["window"];
  EXPECT_EQ(range["typical_text"], "3.3");
  EXPECT_EQ(range["tolerance_text"], "3");
}

TEST(ConsoleAnswer, SaysWhyNothingWasFound) {
  auto messages = [](const Json& answer) {
    std::vector<std::string> all;
    for (const Json& note : answer["notes"]) all.push_back(note["message"]);
    return all;
  };
  EXPECT_THAT(messages(AnswerOf({"--vo", "3.31", "--vo2", "3", "--lang", "en"})),
              ElementsAre("The minimum 3.310 V lies above the maximum 3.000 V: only 3.310 V was searched."));
  EXPECT_THAT(messages(AnswerOf({"--vfb", "", "--lang", "en"})),
              ElementsAre("Empty: read as 0 V.", "Searched 1.349865 V to 1.350135 V."));
  EXPECT_THAT(messages(AnswerOf({"--r1-min", "920k", "--r1-max", "930k", "--lang", "en"})),
              ElementsAre("Searched 1.349865 V to 1.350135 V.",
                          "No value of the list lies in R1's range, 920k to 930k ohm."));
  const Json below = AnswerOf({"--config", "c", "--lang", "en"});
  EXPECT_EQ(below["notes"][1]["message"],
            "Configuration [c] never gives more than Vfb (0.700 V), and the window lies above it.");
  EXPECT_THAT(below["notes"][1]["options"], ElementsAre("--config", "--vfb"));
  EXPECT_TRUE(AnswerOf({})["notes"].empty()) << "nothing to say when matches are found";

  // The filter that leaves none of what the window holds, or all together.
  const std::vector<std::string> tight = {"--list", "E96", "--range", "1k..1M", "--vo", "3.3", "--vo2", "1.5%",
                                          "--vfb", "0.8", "--vfb-min", "0.792", "--vfb-max", "0.808",
                                          "--tolerance", "1%", "--r1-min", "10k", "--r1-max", "100k",
                                          "--best", "3", "--lang", "en"};
  std::vector<std::string> worst = tight;
  worst.push_back("--worst-case");
  const Json aloneNotes = AnswerOf(worst)["notes"];
  ASSERT_FALSE(aloneNotes.empty());
  const Json alone = aloneNotes.back();
  EXPECT_THAT(alone["message"].get<std::string>(),
              ::testing::MatchesRegex("Of the [0-9]+ combinations in the window, none passes --worst-case\\."));
  EXPECT_THAT(alone["options"], ElementsAre("--worst-case"));
  std::vector<std::string> together = tight;
  together.insert(together.end(), {"--current-max", "24.9u", "--yield-min", "99.9%"});
  const Json notes = AnswerOf(together)["notes"];
  ASSERT_FALSE(notes.empty());
  EXPECT_THAT(notes.back()["message"].get<std::string>(),
              ::testing::EndsWith("none passes --current-max and --yield-min together."));
}

TEST(ConsoleAnswer, PicturesTheWholeDesignSpaceWithTheShownAmongIt) {
  AnswerRequest space;
  space.space = true;
  const Json all = AnswerOf(kDesigner, space);
  const Json shown = AnswerOf(kDesigner);
  ASSERT_EQ(all["matches"].size(), 1000u);
  for (size_t m = 0; m < shown["matches"].size(); ++m) {
    EXPECT_EQ(all["matches"][m]["id"], shown["matches"][m]["id"]) << "the same rank, the N first";
  }
}

}  // namespace
}  // namespace tapsmith
