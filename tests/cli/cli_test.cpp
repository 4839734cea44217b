#include "cli_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli_options.h"
#include "cli_output.h"
#include "settings_file.h"
#include "test_util.h"

namespace tapsmith {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing::TemporaryDirectory;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun RunCliWith(std::vector<std::string> args) {
  args.insert(args.begin(), "tapsmith-cli");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

// The run with the messages in English.
CliRun RunCliInEnglish(std::vector<std::string> args) {
  args.insert(args.end(), {"--lang", "en"});
  return RunCliWith(std::move(args));
}

std::vector<std::string> Lines(const std::string& text) { return testing::SplitLines(text, "\n"); }


TEST(Cli, DefaultsPrintTheTenMatchesByVoltage) {
  CliRun run = RunCliWith({"--lang", "en"});
  EXPECT_EQ(run.status, kExitFound);
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "8.2k + (9.1k // 300k) = 1.349903 (-0.007%)");
  EXPECT_EQ(run.out.find('\r'), std::string::npos) << "LF line ends on the console";
  EXPECT_EQ(run.err, "10 set(s) found.\n");
}

TEST(Cli, StatusIsJapaneseByDefault) {
  CliRun run = RunCliWith({});
  EXPECT_EQ(run.err, "10組見つかりました。\n");
}

TEST(Cli, SerialListsFourteenMatchesInNameOrder) {
  CliRun run = RunCliWith({"--serial", "--lang", "en"});
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[0], "1.3k + (100 + 1.3k) = 1.350000 (0.000%)");
  EXPECT_EQ(lines[3], "3.9k + (1.2k + 3k) = 1.350000 (0.000%)");
  EXPECT_EQ(lines[12], "5.6k + (430 + 5.6k) = 1.350083 (0.006%)");
  EXPECT_EQ(lines[13], "4.3k + (330 + 4.3k) = 1.350108 (0.008%)");
}

TEST(Cli, ConfigurationsGiveTheirCounts) {
  EXPECT_EQ(Lines(RunCliWith({"--config", "b"}).out).size(), 6u);
  EXPECT_EQ(Lines(RunCliWith({"--config", "b", "--serial"}).out).size(), 4u);
  for (const char* config : {"c", "d"}) {
    CliRun run = RunCliWith({"--config", config, "--lang", "en"});
    EXPECT_EQ(run.status, kExitNothingFound) << config;
    EXPECT_EQ(run.out, "") << config;
    EXPECT_EQ(run.err, "Can not be able to fined.\n") << config;
  }
  EXPECT_THAT(RunCliWith({"--config", "b"}).out, StartsWith("("));
}

TEST(Cli, DigitFilterKeepsTheFiveNamedMatches) {
  std::vector<std::string> lines = Lines(RunCliWith({"--digits", "9", "--sort", "resistors"}).out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_THAT(lines[0], StartsWith("1k + (1.1k // 51k) = "));
  EXPECT_THAT(lines[4], StartsWith("4.7k + (5.1k // 680k) = "));
}

TEST(Cli, FieldTextsAreReadAsTheWindowReadsThem) {
  CliRun run = RunCliWith({"--vo", "1.2", "--vo2", "1300m", "--r1-min", "1k", "--r1-max", "1k",
                    "--vfb", "0.5 V", "--list", "e12", "--lang", "en"});
  EXPECT_EQ(run.status, kExitFound);
  for (const std::string& line : Lines(run.out)) EXPECT_THAT(line, StartsWith("1k + ("));
}

TEST(Cli, FormatErrorReportsTheFieldAndExitsWithTwo) {
  CliRun run = RunCliWith({"--vfb", "0.7x", "--lang", "en"});
  EXPECT_EQ(run.status, kExitInputError);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Format error\n0.7x\n");
}

TEST(Cli, EmptyListIsAStockListError) {
  TemporaryDirectory dir;
  dir.Write("empty.txt", "");
  CliRun run = RunCliWith({"--list-file", dir.File("empty.txt"), "--lang", "en"});
  EXPECT_EQ(run.status, kExitInputError);
  EXPECT_EQ(run.err, "Stock list error\n");
}

TEST(Cli, ListFileBecomesListOneUnlessAnotherListIsNamed) {
  TemporaryDirectory dir;
  dir.Write("list.txt", "1k\n1.2k\r\n2.7k\n");
  CliRun run = RunCliWith({"--list-file", dir.File("list.txt"), "--vo", "1.54", "--vo2", "1%",
                    "--vfb", "0.7", "--r1-min", "1k", "--r1-max", "10k"});
  EXPECT_EQ(run.status, kExitFound);
  EXPECT_THAT(run.out, HasSubstr("1.2k + (1k // DNM) = 1.540000 (0.000%)"));
  // A named list wins over the file's List1.
  CliRun e12 = RunCliWith({"--list-file", dir.File("list.txt"), "--list", "E12"});
  EXPECT_EQ(Lines(e12.out).size(), Lines(RunCliWith({"--list", "E12"}).out).size());
}

TEST(Cli, UsageErrorsExitWithSixtyFour) {
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"--bogus"},
           {"--config", "e"},
           {"--list", "List4"},
           {"--vo"},
           {"--format", "xml"},
           {"--serial", "--parallel"},
           {"--save"},
           {"--tolerance", "1", "--tolerance", "2"},
           {"3.3"}}) {
    CliRun run = RunCliInEnglish(args);
    EXPECT_EQ(run.status, kExitUsage) << args[0];
    EXPECT_THAT(run.err, ::testing::MatchesRegex("tapsmith-cli: [^\n]+\n"
                                                 "Run 'tapsmith-cli --help' for the options\\.\n"))
        << "one line and the hint, not the whole usage";
    EXPECT_EQ(run.out, "");
  }
  // The console's own words, the limits named as the user wrote them.
  EXPECT_THAT(RunCliInEnglish({"--tolerance", "1", "--tolerance", "2"}).err,
              StartsWith("tapsmith-cli: --tolerance is given more than once\n"));
  EXPECT_THAT(RunCliInEnglish({"--vo", "--vfb", "0.8"}).err, StartsWith("tapsmith-cli: --vo needs a value: VOLTS\n"));
  EXPECT_THAT(RunCliInEnglish({"--current-min", "1m", "--current-max", "10u"}).err,
              StartsWith("tapsmith-cli: --current-min 1m lies above --current-max 10u\n"));
  EXPECT_THAT(RunCliInEnglish({"--serial=1"}).err, StartsWith("tapsmith-cli: --serial takes no value\n"));
  EXPECT_EQ(RunCliWith({"--vo", "", "--lang", "en"}).status, kExitNothingFound) << "an empty field is 0 V";
}

TEST(Cli, HelpListsTheOptionsUnderHeadingsWithTheirUnits) {
  const std::string help = RunCliWith({"--help"}).out;
  size_t at = 0;
  for (const char* heading : {"The window's fields and choices:", "The designer's search:",
                              "The board: every rail's divider at once:", "Output:", "Settings file:"}) {
    at = help.find(std::string("\n") + heading + "\n", at);
    EXPECT_NE(at, std::string::npos) << heading;
  }
  for (const char* option : {"--vo VOLTS", "--r1-min OHMS", "--vfb-min VOLTS", "--current-max AMPS",
                             "--values LIST"}) {
    EXPECT_THAT(help, HasSubstr(option));
  }
  EXPECT_THAT(help, ::testing::Not(HasSubstr("Excludes")));
  // The parser's own placeholder for a value never shows; the board's text is named so.
  std::string withoutBoardText = help;
  withoutBoardText.erase(withoutBoardText.find("--board-text TEXT"), 17);
  EXPECT_THAT(withoutBoardText, ::testing::Not(HasSubstr("TEXT")));
}

// What the text output prints reads back as an option: 792mV, 25.61uA.
TEST(Cli, DesignerValuesTakeTheUnitSymbolAfterTheirPrefix) {
  const CliRun plain = RunCliWith({"--vfb-min", "0.792", "--current-max", "0.0001", "--format", "json"});
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"--vfb-min", "792mV", "--current-max", "100uA"},
           {"--vfb-min", "0.792V", "--current-max", "0.1mA"},
           {"--vfb-min", "792 mv", "--current-max", "100000nA"}}) {
    args.insert(args.end(), {"--format", "json"});
    EXPECT_EQ(RunCliWith(args).out, plain.out) << args[1];
  }
  for (const char* current : {"10uAA", "10uV", "1Au", "10 u A"}) {
    CliRun run = RunCliInEnglish({"--current-max", current});
    EXPECT_EQ(run.status, kExitUsage) << current;
    EXPECT_THAT(run.err, HasSubstr("is no current")) << current;
  }
}

// A file that cannot be read is the input's fault: status 2, nothing
// searched, nothing written.
TEST(Cli, UnreadableFilesAreInputErrorsAndWriteNothing) {
  TemporaryDirectory dir;
  const std::string ini = dir.File("Tapsmith.ini");
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"--list-file", "/nonexistent/list.txt", "--settings", ini, "--save"},
           {"--list-file", dir.File(""), "--settings", ini, "--save"},
           {"--settings", dir.File("")}}) {
    CliRun run = RunCliWith(args);
    EXPECT_EQ(run.status, kExitInputError) << args[1];
    EXPECT_THAT(run.err, ::testing::MatchesRegex("tapsmith-cli: --[a-z-]+: [^\n]+\n")) << args[1];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(access(ini.c_str(), F_OK), -1) << args[1] << ": nothing is written";
  }
  EXPECT_THAT(RunCliWith({"--settings", dir.File("")}).err, HasSubstr("directory"));
}

TEST(Cli, ValuesMakeListOneAsTheLinesOfAFileWould) {
  TemporaryDirectory dir;
  dir.Write("list.txt", "1k\n1.2k\n2.7k\n");
  const std::vector<std::string> search = {"--vo", "1.54", "--vo2", "1%", "--r1-min", "1k", "--r1-max", "10k"};
  std::vector<std::string> fromFile = search, fromValues = search;
  fromFile.insert(fromFile.end(), {"--list-file", dir.File("list.txt")});
  fromValues.insert(fromValues.end(), {"--values", "1k, 1.2k\n2.7k"});
  const CliRun file = RunCliWith(fromFile);
  EXPECT_THAT(file.out, HasSubstr("1.2k + (1k // DNM)"));
  EXPECT_EQ(RunCliWith(fromValues).out, file.out);
  EXPECT_EQ(RunCliWith({"--values", "1k", "--list-file", dir.File("list.txt")}).status, kExitUsage);
  EXPECT_EQ(RunCliWith({"--values", "1k", "--list", "E96"}).status, kExitUsage);
}

// Where the run has no files (the page in the browser), the options that
// need one are usage errors.
TEST(Cli, ARunWithoutFilesRefusesTheOptionsThatNeedThem) {
  auto workspace = std::make_unique<ConsoleWorkspace>();
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"--settings", "Tapsmith.ini"}, {"--list-file", "list.txt"}}) {
    args.insert(args.begin(), "tapsmith-cli");
    args.insert(args.end(), {"--lang", "en"});
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), out, err, workspace.get(), nullptr),
              kExitUsage);
    EXPECT_THAT(err.str(), HasSubstr("no files")) << args[1];
  }
}

TEST(Cli, HelpAndVersionGoToStandardOutput) {
  CliRun help = RunCliWith({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, HasSubstr("--list-file"));
  CliRun version = RunCliWith({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tapsmith-cli 1.50\n");
}

TEST(Cli, CsvQuotesNamesAndLeavesDeviationEmptyWithoutTypical) {
  MatchTable matches{};
  MatchRecord& a = matches.records[0];
  std::snprintf(a.r1, sizeof a.r1, "4,7");
  std::snprintf(a.r2, sizeof a.r2, "say \"10\"");
  std::snprintf(a.r3, sizeof a.r3, "DNM");
  a.serial = 0;
  a.vout = 1.349902564;
  a.deviation = -0.0072;
  matches.count = 1;
  ExecuteResult result{ExecuteOutcome::Found, 1, 1, 1, false, -1};
  EXPECT_EQ(ReportAsCsv({matches, result, 0, true, {}}),
            "r1,r2,r3,connection,vout,deviation_percent\n"
            "\"4,7\",\"say \"\"10\"\"\",DNM,parallel,1.349902564,-0.007200\n");
  EXPECT_EQ(ReportAsCsv({matches, result, 0, false, {}}),
            "r1,r2,r3,connection,vout,deviation_percent\n"
            "\"4,7\",\"say \"\"10\"\"\",DNM,parallel,1.349902564,\n");
}

TEST(Cli, CsvRowsFollowTheReportOrder) {
  CliRun text = RunCliWith({"--serial", "--format", "text"});
  CliRun csv = RunCliWith({"--serial", "--format", "csv"});
  std::vector<std::string> rows = Lines(csv.out);
  ASSERT_EQ(rows.size(), 15u);
  EXPECT_EQ(rows[1], "1.3k,100,1.3k,series,1.350000000,0.000000");
  EXPECT_EQ(rows[14], "4.3k,330,4.3k,series,1.350107991,0.007999");
  EXPECT_EQ(csv.err, text.err);
}

TEST(Cli, JsonCarriesStatusCountAndMatches) {
  CliRun run = RunCliWith({"--format", "json", "--lang", "en"});
  EXPECT_EQ(run.status, kExitFound);
  nlohmann::json report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["status"], "10 set(s) found.");
  EXPECT_EQ(report["count"], 10);
  EXPECT_EQ(report["too_many"], false);
  ASSERT_EQ(report["matches"].size(), 10u);
  EXPECT_EQ(report["matches"][0]["r1"], "8.2k");
  EXPECT_EQ(report["matches"][0]["r3"], "300k");
  EXPECT_EQ(report["matches"][0]["connection"], "parallel");
  EXPECT_NEAR(report["matches"][0]["vout"].get<double>(), 1.349902564, 1e-12);
  EXPECT_TRUE(report["matches"][0]["deviation_percent"].is_number());
  EXPECT_EQ(run.err, "");
}

TEST(Cli, JsonReportsTooManyAndMissingDeviation) {
  // A window of 0 V with a reference of 0 V: every combination matches.
  CliRun run = RunCliWith({"--format", "json", "--vo", "0", "--vo2", "0", "--vfb", "0", "--lang", "en"});
  EXPECT_EQ(run.status, kExitFound);
  nlohmann::json report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["status"], "Break off because of too many matches.");
  EXPECT_EQ(report["count"], 1000);
  EXPECT_EQ(report["too_many"], true);
  ASSERT_FALSE(report["matches"].empty());
  EXPECT_TRUE(report["matches"][0]["deviation_percent"].is_null());
}

TEST(Cli, JsonNamesAreValidUtf8WhateverTheListHolds) {
  TemporaryDirectory dir;
  dir.Write("list.txt", "1k\xFF\n\xE6\x8A\xB5\xE6\x8A\x97 2k\n");  // junk, then 抵抗
  CliRun run = RunCliWith({"--format", "json", "--list-file", dir.File("list.txt"), "--vo", "1.4",
                    "--vo2", "50%", "--r1-min", "0", "--r1-max", "1M"});
  nlohmann::json report = nlohmann::json::parse(run.out);
  EXPECT_FALSE(report["matches"].empty());
  std::string all = report.dump();
  EXPECT_THAT(all, HasSubstr("抵抗 2k"));
}

// A list file that cannot be a list is refused with its reason, before any
// search: a directory, UTF-16 (NUL bytes), or more than a list holds.
TEST(Cli, ListFileThatIsNoListIsRefusedWithTheReason) {
  TemporaryDirectory dir;
  dir.Write("utf16.txt", std::string("1\0k\0\r\0\n\0" "2\0k\0\r\0\n\0", 16));
  std::string longLines;
  for (int n = 1; longLines.size() < 40000; ++n) {
    longLines += std::to_string(n) + "k, drawer 3, left, next to the capacitors\n";
  }
  dir.Write("long.txt", longLines);
  dir.Write("huge.txt", std::string(20 << 20, '7'));
  const std::pair<std::string, std::string> cases[] = {
      {dir.File(""), "cannot read " + dir.File("") + ": Is a directory"},
      {dir.File("utf16.txt"), dir.File("utf16.txt") + " holds NUL bytes"},
      {dir.File("long.txt"), dir.File("long.txt") + " is too long for a stock list: at most 32759 bytes"},
      {dir.File("huge.txt"), dir.File("huge.txt") + " is too long for a stock list"},
  };
  for (const auto& [path, reason] : cases) {
    CliRun run = RunCliInEnglish({"--list-file", path});
    EXPECT_EQ(run.status, kExitInputError) << path;
    EXPECT_THAT(run.err, StartsWith("tapsmith-cli: --list-file: " + reason)) << path;
    EXPECT_EQ(run.out, "") << path;
  }
}

TEST(Cli, ListFileUpToTheSlotSizeIsReadWholeAndAByteOrderMarkIsSkipped) {
  TemporaryDirectory dir;
  // 8189 lines "1k" and one "1": exactly 32759 bytes with CR LF line ends.
  std::string full;
  for (int n = 0; n < 8189; ++n) full += "1k\n";
  dir.Write("full.txt", full + "1\n");
  dir.Write("over.txt", full + "12\n");
  CliRun fits = RunCliWith({"--list-file", dir.File("full.txt"), "--lang", "en"});
  EXPECT_NE(fits.status, kExitInputError) << fits.err;
  CliRun over = RunCliInEnglish({"--list-file", dir.File("over.txt")});
  EXPECT_EQ(over.status, kExitInputError);
  EXPECT_THAT(over.err, HasSubstr("too long"));

  dir.Write("plain.txt", "1k\n1.2k\n2.7k\n");
  dir.Write("bom.txt", "\xEF\xBB\xBF" "1k\n1.2k\n2.7k\n");
  std::vector<std::string> args = {"--vo", "1.54", "--vo2", "1%", "--r1-min", "1k", "--r1-max", "10k", "--list-file"};
  auto plainArgs = args, bomArgs = args;
  plainArgs.push_back(dir.File("plain.txt"));
  bomArgs.push_back(dir.File("bom.txt"));
  CliRun plain = RunCliWith(plainArgs);
  CliRun bom = RunCliWith(bomArgs);
  EXPECT_THAT(bom.out, HasSubstr("1.2k + (1k // DNM) = 1.540000 (0.000%)"));
  EXPECT_EQ(bom.out, plain.out);
}

// 501 values with names of the full 23 characters: the first 501 are used, no
// DNM, and the report of the too-many search keeps every name whole.
TEST(Cli, FullListOfLongestNamesReportsWholeLinesWithinTheBudget) {
  TemporaryDirectory dir;
  std::string list;
  for (int n = 0; n < 520; ++n) {
    std::string name = std::to_string(1000 + n) + "-ohm-metal-film-";
    name.resize(23, 'x');
    list += name + "\n";
  }
  dir.Write("list.txt", list);
  CliRun run = RunCliWith({"--list-file", dir.File("list.txt"), "--vo", "0", "--vo2", "1e9",
                           "--r1-min", "0", "--r1-max", "1M", "--lang", "en", "--sort", "resistors"});
  EXPECT_EQ(run.status, kExitFound);
  EXPECT_EQ(run.err, "Break off because of too many matches.\n");
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_FALSE(lines.empty());
  size_t reportBytes = 0;
  for (const std::string& line : lines) {
    EXPECT_THAT(line, ::testing::MatchesRegex("[0-9]{4}-ohm-metal-film-xxx \\+ \\([0-9]{4}-ohm-metal-film-xxx // "
                                              "[0-9]{4}-ohm-metal-film-xxx\\) = [0-9.]+ \\([-0-9.]+%\\)"))
        << line;
    reportBytes += line.size() + 2;  // CR LF in the result box
  }
  EXPECT_LE(reportBytes, 32758u);
  EXPECT_EQ(run.out.find("DNM"), std::string::npos) << "501 entries leave no room for DNM";
}

TEST(Cli, InvalidUtf8InAFieldIsAFormatErrorShownAsValidUtf8) {
  CliRun run = RunCliWith({"--vo", "1.3\xFF\xE3\x81", "--lang", "en"});
  EXPECT_EQ(run.status, kExitInputError);
  EXPECT_EQ(run.err, "Format error\n1.3??\n");
  EXPECT_EQ(run.out, "");
}

TEST(Cli, SettingsFileIsLoadedThenOverriddenAndSaved) {
  TemporaryDirectory dir;
  std::string ini = dir.File("Tapsmith.ini");
  CliRun first = RunCliWith({"--settings", ini, "--config", "b", "--lang", "en", "--save"});
  EXPECT_EQ(first.status, kExitFound);
  std::string saved = dir.Read("Tapsmith.ini");
  EXPECT_THAT(saved, StartsWith("20\r\n1\r\n"));
  EXPECT_THAT(saved, HasSubstr("6 set(s) found."));
  // The next run starts from the file: configuration [b], English.
  CliRun second = RunCliWith({"--settings", ini});
  EXPECT_EQ(Lines(second.out).size(), 6u);
  EXPECT_EQ(second.err, "6 set(s) found.\n");
  EXPECT_EQ(dir.Read("Tapsmith.ini"), saved) << "no --save, no write";
}

TEST(Cli, MissingSettingsFileLeavesTheDefaults) {
  TemporaryDirectory dir;
  CliRun run = RunCliWith({"--settings", dir.File("none.ini"), "--lang", "en"});
  EXPECT_EQ(run.err, "10 set(s) found.\n");
  EXPECT_EQ(access(dir.File("none.ini").c_str(), F_OK), -1);
}

TEST(Cli, FailedSaveExitsWithThreeAndKeepsTheOutput) {
  CliRun run = RunCliWith({"--settings", "/nonexistent-dir/Tapsmith.ini", "--save", "--lang", "en"});
  EXPECT_EQ(run.status, kExitSaveFailed);
  EXPECT_EQ(Lines(run.out).size(), 10u);
  EXPECT_THAT(run.err, HasSubstr("settings not saved"));
  EXPECT_THAT(run.err, HasSubstr("/nonexistent-dir/Tapsmith.ini"));
}

TEST(Cli, DesignOptionErrorsExitWithSixtyFourAndWriteNothing) {
  TemporaryDirectory dir;
  dir.Write("list.txt", "1k\n");
  const std::string ini = dir.File("Tapsmith.ini");
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"--tolerance", "abc"},
           {"--tolerance", "-1"},
           {"--tolerance", "100%"},
           {"--tolerance", "1%%"},
           {"--best", "0"},
           {"--best", "1001"},
           {"--best", "2.5"},
           {"--vfb-max", "0.8x"},
           {"--vfb-min", "0.81", "--vfb-max", "0.79"},
           {"--current-min", "10uAx"},
           {"--current-min", "1m", "--current-max", "10u"},
           {"--range", "1k..2k"},
           {"--range", "10-1M", "--list", "E96"},
           {"--range", "1M..10", "--list", "E96"},
           {"--range", "0..1M", "--list", "E96"},
           {"--range", "1.001k..1.009k", "--list", "E48"},
           {"--list", "E96", "--list-file", dir.File("list.txt")}}) {
    const std::string option = args[0];
    args.insert(args.end(), {"--settings", ini, "--save"});
    CliRun run = RunCliInEnglish(args);
    EXPECT_EQ(run.status, kExitUsage) << option;
    EXPECT_THAT(Lines(run.err)[0], StartsWith("tapsmith-cli: --")) << option;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(access(ini.c_str(), F_OK), -1) << option << ": nothing is written";
  }

}

TEST(Cli, SeriesBecomesListOneOverItsRangeAndIsSaved) {
  TemporaryDirectory dir;
  const std::string ini = dir.File("Tapsmith.ini");
  dir.Write("Tapsmith.ini", "20\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
                            "0\r\n0\r\n0\r\n3\r\n");  // E24 chosen
  EXPECT_EQ(RunCliWith({"--list", "e96", "--settings", ini, "--save"}).status, kExitFound);
  std::vector<std::string> lines = Lines(dir.Read("Tapsmith.ini"));
  ASSERT_GT(lines.size(), 32u);
  EXPECT_EQ(lines[15], "0\r") << "List1 chosen";
  const std::string& list1 = lines[32];  // slot 10
  EXPECT_THAT(list1, StartsWith("10\a\a10.2\a\a10.5\a\a"));
  EXPECT_THAT(list1, HasSubstr("\a\a976k\a\a1M\a\a\r"));
  EXPECT_EQ(std::count(list1.begin(), list1.end(), '\a'), 2 * 481);

  CliRun narrow = RunCliWith({"--list", "E48", "--range", "1k..100k", "--r1-min", "1k",
                              "--r1-max", "1k", "--best", "1000", "--format", "json"});
  nlohmann::json report = nlohmann::json::parse(narrow.out);
  for (const auto& match : report["matches"]) {
    EXPECT_EQ(match["r1"], "1k");
    EXPECT_NE(match["r2"], "976") << "below the range";
  }
}

// The designer's series is read whole, far beyond a list's 501 values; the
// window reading the List1 it saves takes the first 501, as it always has.
TEST(Cli, DesignersSeriesIsSearchedWholeAndSavedAsListOne) {
  TemporaryDirectory dir;
  const std::string ini = dir.File("Tapsmith.ini");
  CliRun whole = RunCliWith({"--list", "E192", "--range", "10..10M", "--r1-min", "9M", "--r1-max", "10M",
                             "--vfb", "0.65", "--vo2", "1%", "--best", "3", "--format", "json",
                             "--settings", ini, "--save"});
  ASSERT_EQ(whole.status, kExitFound) << whole.err;
  nlohmann::json report = nlohmann::json::parse(whole.out);
  EXPECT_EQ(report["matches"][0]["r1"], "9.09M") << "the 1100th value of the series";
  std::vector<std::string> lines = Lines(dir.Read("Tapsmith.ini"));
  ASSERT_GT(lines.size(), 32u);
  EXPECT_EQ(std::count(lines[32].begin(), lines[32].end(), '\a'), 2 * 1153);
  auto state = std::make_unique<AppState>();
  InitialiseState(state.get());
  LoadSettingsFile(state.get(), ini.c_str());
  auto table = std::make_unique<StockTable>();
  ASSERT_TRUE(ParseStockList(state.get(), table.get()));
  EXPECT_EQ(table->count, kListEntryLimit);
}

TEST(Cli, BestShowsTheClosestOfAllThatQualify) {
  // The defaults find 10: the best 3 are the window's first 3 by precision.
  CliRun best = RunCliWith({"--best", "3", "--lang", "en"});
  CliRun precision = RunCliWith({"--sort", "precision", "--lang", "en"});
  EXPECT_EQ(best.status, kExitFound);
  std::vector<std::string> lines = Lines(precision.out);
  lines.resize(3);
  EXPECT_EQ(Lines(best.out), lines);
  EXPECT_EQ(best.err, "10 set(s) found; the 3 closest shown.\n");
  EXPECT_EQ(RunCliWith({"--best", "3"}).err, "10組見つかりました。近い順に3組を表示します。\n");
  CliRun byVoltage = RunCliWith({"--best", "3", "--sort", "voltage", "--format", "json"});
  nlohmann::json report = nlohmann::json::parse(byVoltage.out);
  EXPECT_EQ(report["count"], 10);
  ASSERT_EQ(report["matches"].size(), 3u);
  EXPECT_LE(report["matches"][0]["vout"], report["matches"][1]["vout"]);

  // Beyond the window's 1000 and its report budget, every line is printed.
  CliRun all = RunCliWith({"--list", "E96", "--vo", "3.3", "--vo2", "5%", "--vfb", "0.8",
                           "--r1-min", "10", "--r1-max", "1M", "--best", "1000", "--lang", "en"});
  EXPECT_EQ(all.status, kExitFound);
  EXPECT_EQ(Lines(all.out).size(), 1000u);
  EXPECT_THAT(all.err, HasSubstr(" set(s) found; the 1000 closest shown."));
  CliRun none = RunCliWith({"--best", "3", "--config", "c", "--lang", "en"});
  EXPECT_EQ(none.status, kExitNothingFound);
  EXPECT_EQ(none.err, "Can not be able to fined.\n");
}

TEST(Cli, WorstCaseAndCurrentAreAddedToEveryOutputWhenAsked) {
  const std::vector<std::string> design = {"--tolerance", "1%", "--vfb-min", "0.693",
                                           "--current-min", "0", "--lang", "en"};
  std::vector<std::string> args = design;
  CliRun text = RunCliWith(args);
  EXPECT_EQ(Lines(text.out).size(), 10u);
  EXPECT_THAT(Lines(text.out)[0],
              ::testing::MatchesRegex("8\\.2k \\+ \\(9\\.1k // 300k\\) = 1\\.349903 \\(-0\\.007%\\) "
                                      "\\[1\\.3[0-9]{5} \\.\\. 1\\.3[0-9]{5}\\] I=[0-9.]+uA"));
  args.insert(args.end(), {"--format", "csv"});
  std::vector<std::string> rows = Lines(RunCliWith(args).out);
  EXPECT_EQ(rows[0], "r1,r2,r3,connection,vout,deviation_percent,vout_min,vout_max,current_a");
  EXPECT_EQ(rows.size(), 11u);
  args = design;
  args.insert(args.end(), {"--format", "json"});
  nlohmann::json report = nlohmann::json::parse(RunCliWith(args).out);
  for (const auto& match : report["matches"]) {
    EXPECT_LT(match["vout_min"], match["vout"]);
    EXPECT_GT(match["vout_max"], match["vout"]);
    EXPECT_GT(match["current_a"], 0.0);
  }
  // The worst-case filter keeps those whose corners all lie in a 2 % window.
  report = nlohmann::json::parse(
      RunCliWith({"--vo2", "2%", "--tolerance", "0.5", "--worst-case", "--format", "json"}).out);
  EXPECT_GT(report["count"], 0);
  for (const auto& match : report["matches"]) {
    EXPECT_GE(match["vout_min"], 1.35 * 0.98 - 1e-9);
    EXPECT_LE(match["vout_max"], 1.35 * 1.02 + 1e-9);
  }
}

TEST(Cli, PinCurrentAndYieldOptionsAreCheckedBeforeAnySearch) {
  TemporaryDirectory dir;
  const std::string ini = dir.File("Tapsmith.ini");
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"--pin-current", "5x"},
           {"--pin-current-min", "10n", "--pin-current-max", "5n"},
           {"--pin-current", "60n", "--pin-current-max", "50n"},
           {"--pin-current-min", "1n"},
           {"--sigma", "0"},
           {"--sigma", "-3"},
           {"--yield-min", "0"},
           {"--yield-min", "101%"},
           {"--yield-min", "1.5"},
           {"--rank", "yield"},
           {"--rank", "best", "--best", "3"}}) {
    const std::string option = args[0];
    args.insert(args.end(), {"--settings", ini, "--save"});
    CliRun run = RunCliWith(args);
    EXPECT_EQ(run.status, kExitUsage) << option;
    EXPECT_EQ(Lines(run.err).size(), 2u) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(access(ini.c_str(), F_OK), -1) << option << ": nothing is written";
  }
  EXPECT_THAT(RunCliInEnglish({"--pin-current-min", "1n"}).err,
              HasSubstr("--pin-current-min 1n lies above --pin-current 0 (not given)"));
  EXPECT_THAT(RunCliInEnglish({"--rank", "yield"}).err, HasSubstr("--rank requires --best"));
}

TEST(Cli, YieldIsPrintedInEveryFormatAndRanksTheBest) {
  const std::vector<std::string> design = {"--vo2", "0.05%", "--tolerance", "0.1", "--pin-current", "5p",
                                           "--lang", "en"};
  std::vector<std::string> args = design;
  args.push_back("--yield");
  for (const std::string& line : Lines(RunCliWith(args).out)) {
    EXPECT_THAT(line, ::testing::MatchesRegex(".* \\[[0-9.]+ \\.\\. [0-9.]+\\] yield=[0-9]+\\.[0-9]{4}%"));
  }
  args.insert(args.end(), {"--format", "csv"});
  EXPECT_EQ(Lines(RunCliWith(args).out)[0],
            "r1,r2,r3,connection,vout,deviation_percent,vout_min,vout_max,yield");

  args = design;
  args.insert(args.end(), {"--best", "5", "--rank", "yield", "--format", "json"});
  nlohmann::json ranked = nlohmann::json::parse(RunCliWith(args).out);
  ASSERT_EQ(ranked["matches"].size(), 5u);
  for (size_t m = 1; m < 5; ++m) EXPECT_GE(ranked["matches"][m - 1]["yield"], ranked["matches"][m]["yield"]);
  const double fifth = ranked["matches"][4]["yield"];
  args = design;
  char bound[32];
  std::snprintf(bound, sizeof bound, "%.17g", fifth);
  args.insert(args.end(), {"--yield-min", bound, "--format", "json"});
  nlohmann::json kept = nlohmann::json::parse(RunCliWith(args).out);
  EXPECT_GE(kept["count"], 5);
  EXPECT_LT(kept["count"], ranked["count"]);
  for (const auto& match : kept["matches"]) EXPECT_GE(match["yield"], fifth);
}

}  // namespace
}  // namespace tapsmith

namespace tapsmith {
namespace {

// One language a run: --lang, else the settings file's, else Japanese, as
// for the status.
TEST(Cli, ReasonsAndTheirHintAreInTheRunsLanguage) {
  EXPECT_EQ(RunCliWith({"--config", "e"}).err,
            "tapsmith-cli: --config: 「e」は構成ではありません (「a」、「b」、「c」、「d」のいずれか)\n"
            "オプションの一覧は 'tapsmith-cli --help' で表示されます。\n");
  EXPECT_EQ(RunCliWith({"--config", "e", "--lang", "en"}).err,
            "tapsmith-cli: --config: \"e\" is no configuration: \"a\", \"b\", \"c\" or \"d\"\n"
            "Run 'tapsmith-cli --help' for the options.\n");
  TemporaryDirectory dir;
  dir.Write("Tapsmith.ini", "20\r\n1\r\n");  // English
  EXPECT_THAT(RunCliWith({"--settings", dir.File("Tapsmith.ini"), "--bogus"}).err,
              StartsWith("tapsmith-cli: unknown option --bogus\n"));
  EXPECT_THAT(RunCliWith({"--list-file", dir.File("none.txt")}).err, HasSubstr("を読めません"));
}

TEST(Cli, StatusSaysTheBestAreChosenByTheirYield) {
  const std::vector<std::string> args = {"--vo2", "0.05%", "--tolerance", "0.1", "--best", "3", "--rank", "yield"};
  std::vector<std::string> english = args;
  english.insert(english.end(), {"--lang", "en"});
  EXPECT_THAT(RunCliWith(english).err, ::testing::EndsWith(" set(s) found; the 3 of the highest yield shown.\n"));
  EXPECT_THAT(RunCliWith(args).err, ::testing::EndsWith("組見つかりました。歩留まりの高い順に3組を表示します。\n"));
  english.insert(english.end(), {"--format", "json"});
  EXPECT_THAT(nlohmann::json::parse(RunCliWith(english).out)["status"].get<std::string>(),
              HasSubstr("of the highest yield"));
}

TEST(Cli, ReferenceOutsideItsLimitsIsAUsageErrorNamingBoth) {
  TemporaryDirectory dir;
  const std::string ini = dir.File("Tapsmith.ini");
  EXPECT_EQ(RunCliInEnglish({"--vfb", "0.8", "--vfb-max", "0.79", "--settings", ini, "--save"}).err,
            "tapsmith-cli: --vfb 0.8 lies above --vfb-max 0.79\nRun 'tapsmith-cli --help' for the options.\n");
  EXPECT_EQ(access(ini.c_str(), F_OK), -1) << "nothing is written";
  const CliRun below = RunCliInEnglish({"--vfb-min", "0.75", "--yield"});
  EXPECT_EQ(below.status, kExitUsage);
  EXPECT_THAT(below.err, StartsWith("tapsmith-cli: --vfb-min 0.75 lies above --vfb 0.7 (not given)\n"));
  EXPECT_EQ(RunCliInEnglish({"--vfb", "0.7", "--vfb-min", "0.7", "--vfb-max", "0.71"}).status, kExitFound);
}

TEST(Cli, PinCurrentOfZeroAndNegativeValuesReadAsTheyAre) {
  const std::vector<std::string> args = {"--current-min", "0", "--tolerance", "1", "--yield", "--format", "csv"};
  std::vector<std::string> zero = args;
  zero.insert(zero.end(), {"--pin-current", "0"});
  EXPECT_EQ(RunCliWith(zero).out, RunCliWith(args).out) << "every column, the current included";
  const CliRun spaced = RunCliWith({"--pin-current", "-.5u", "--format", "json"});
  EXPECT_EQ(spaced.status, kExitFound) << spaced.err;
  EXPECT_EQ(spaced.out, RunCliWith({"--pin-current=-0.5uA", "--format", "json"}).out);
  EXPECT_EQ(RunCliWith({"--vo", "-x", "--lang", "en"}).err, "Format error\n-x\n") << "a field's value, not an option";
}

TEST(Cli, ValuesAlsoSplitWhereAJapaneseInputMethodSeparates) {
  const std::vector<std::string> search = {"--vo", "1.54", "--vo2", "1%", "--r1-min", "1k", "--r1-max", "10k"};
  std::vector<std::string> ascii = search, wide = search;
  ascii.insert(ascii.end(), {"--values", "1k, 1.2k 2.7k"});
  wide.insert(wide.end(), {"--values", "1k、1.2k，2.7k\u30003.3k"});
  ascii.back() += " 3.3k";
  EXPECT_EQ(RunCliWith(wide).out, RunCliWith(ascii).out);
  EXPECT_THAT(RunCliWith(ascii).out, HasSubstr("1.2k + (1k // DNM)"));
  // A text far beyond what a list holds is refused, not converted whole.
  const CliRun huge = RunCliInEnglish({"--values", std::string(64 << 20, '7')});
  EXPECT_EQ(huge.status, kExitInputError);
  EXPECT_EQ(huge.err, "tapsmith-cli: --values: the list is too long for a stock list: at most 32759 bytes "
                      "with CR LF line ends\n");
}

}  // namespace
}  // namespace tapsmith

namespace tapsmith {
namespace {

// R4 beside R1: the leg written as the pair is, R1 alone where R4 is DNM in
// parallel, and the CSV's and JSON's r4 columns only when R4 is asked for.
TEST(Cli, FourthResistorIsWrittenWithRoneAndGetsItsColumns) {
  const std::vector<std::string> search = {"--values", "1k 2k", "--vfb", "1", "--r1-min", "0", "--r1-max", "10k",
                                           "--lang", "en"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = search;
    args.insert(args.end(), more.begin(), more.end());
    return RunCliWith(args);
  };
  EXPECT_EQ(with({"--vo", "2.3333", "--vo2", "0.01%", "--r4", "parallel"}).out,
            "(1k // 2k) + (1k // 1k) = 2.333333 (0.001%)\n");
  // [b] writes the pair first: here R2 // R3 is 1k // 2k, the leg 1k // 1k.
  EXPECT_EQ(with({"--vo", "2.3333", "--vo2", "0.01%", "--r4", "parallel", "--config", "b"}).out,
            "(1k // 2k) + (1k // 1k) = 2.333333 (0.001%)\n");
  EXPECT_THAT(with({"--vo", "1.2222", "--vo2", "0.01%", "--r4", "series", "--config", "b"}).out,
              HasSubstr("(1k // 2k) + (1k + 2k) = 1.222222"));
  const std::vector<std::string> csv = Lines(with({"--vo", "3", "--vo2", "1%", "--r4", "parallel", "--format", "csv"}).out);
  ASSERT_GE(csv.size(), 2u);
  EXPECT_EQ(csv[0], "r1,r2,r3,connection,r4,r4_connection,vout,deviation_percent");
  EXPECT_EQ(csv[1], "1k,1k,1k,parallel,,,3.000000000,0.000000") << "R4 = DNM in parallel: R1 alone";
  nlohmann::json json = nlohmann::json::parse(with({"--vo", "2.3333", "--vo2", "0.01%", "--r4", "parallel",
                                                    "--format", "json"}).out);
  EXPECT_EQ(json["matches"][0]["r4"], "2k");
  EXPECT_EQ(json["matches"][0]["r4_connection"], "parallel");
  EXPECT_EQ(Lines(with({"--vo", "3", "--vo2", "1%", "--format", "csv"}).out)[0],
            "r1,r2,r3,connection,vout,deviation_percent") << "without R4 as before";
  EXPECT_THAT(with({"--r4", "both"}).err,
              StartsWith("tapsmith-cli: --r4: \"both\" is no connection of R4: \"parallel\" or \"series\"\n"));
}

}  // namespace
}  // namespace tapsmith
