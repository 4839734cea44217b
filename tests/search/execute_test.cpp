#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "message_table.h"
#include "search.h"
#include "test_util.h"

namespace tapsmith {
namespace {

using testing::NewDefaultState;

std::vector<std::string> ReportLines(const AppState& state) {
  return testing::SplitLines(SlotText(state, SlotResult));
}

class ExecuteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_ = NewDefaultState();
    SetSetting(state_.get(), Language, 1);
    workspace_ = std::make_unique<SearchWorkspace>();
  }
  ExecuteResult Run() { return Execute(state_.get(), workspace_.get()); }
  std::string Status() const { return SlotText(*state_, SlotStatus); }

  std::unique_ptr<AppState> state_;
  std::unique_ptr<SearchWorkspace> workspace_;
};

TEST_F(ExecuteTest, DefaultStateFindsTenMatches) {
  ExecuteResult result = Run();
  EXPECT_EQ(result.outcome, ExecuteOutcome::Found);
  EXPECT_EQ(result.reportedLines, 10);
  EXPECT_EQ(Status(), "10 set(s) found.");
  EXPECT_EQ(GetSetting(*state_, MatchCount), 10);
  std::vector<std::string> lines = ReportLines(*state_);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "8.2k + (9.1k // 300k) = 1.349903 (-0.007%)");
  for (int m = 1; m < workspace_->matches.count; ++m)
    EXPECT_LE(workspace_->matches.records[m - 1].vout, workspace_->matches.records[m].vout);
}

TEST_F(ExecuteTest, DefaultStatusInJapanese) {
  SetSetting(state_.get(), Language, 0);
  Run();
  EXPECT_EQ(Status(), "10" + std::string(MessageText(Message::CountSuffix, 0)));
}

TEST_F(ExecuteTest, SerialDefaultsComeInVoltageThenNameOrder) {
  SetSetting(state_.get(), SerialMode, 1);
  Run();
  const std::vector<std::string> expected = {
      "1.3k + (100 + 1.3k) = 1.350000 (0.000%)",
      "1.3k + (200 + 1.2k) = 1.350000 (0.000%)",
      "1.3k + (300 + 1.1k) = 1.350000 (0.000%)",
      "3.9k + (1.2k + 3k) = 1.350000 (0.000%)",
      "3.9k + (1.5k + 2.7k) = 1.350000 (0.000%)",
      "3.9k + (1.8k + 2.4k) = 1.350000 (0.000%)",
      "3.9k + (2k + 2.2k) = 1.350000 (0.000%)",
      "3.9k + (300 + 3.9k) = 1.350000 (0.000%)",
      "9.1k + (1.6k + 8.2k) = 1.350000 (0.000%)",
      "9.1k + (3.6k + 6.2k) = 1.350000 (0.000%)",
      "9.1k + (3k + 6.8k) = 1.350000 (0.000%)",
      "9.1k + (4.7k + 5.1k) = 1.350000 (0.000%)",
      "5.6k + (430 + 5.6k) = 1.350083 (0.006%)",
      "4.3k + (330 + 4.3k) = 1.350108 (0.008%)",
  };
  EXPECT_EQ(ReportLines(*state_), expected);
  EXPECT_EQ(Status(), "14 set(s) found.");
}

TEST_F(ExecuteTest, MatchCountsPerConfiguration) {
  struct Case {
    int configuration;
    int serial;
    int expected;
  };
  const Case cases[] = {{0, 0, 10}, {0, 1, 14}, {1, 0, 6}, {1, 1, 4},
                        {2, 0, 0},  {2, 1, 0},  {3, 0, 0}, {3, 1, 0}};
  for (const Case& c : cases) {
    SetSetting(state_.get(), Configuration, c.configuration);
    SetSetting(state_.get(), SerialMode, c.serial);
    ExecuteResult result = Run();
    EXPECT_EQ(workspace_->matches.count, c.expected)
        << "configuration " << c.configuration << " serial " << c.serial;
    if (c.expected == 0) {
      EXPECT_EQ(result.outcome, ExecuteOutcome::NothingFound);
      EXPECT_EQ(Status(), "Can not be able to fined.");
      EXPECT_EQ(SlotText(*state_, SlotResult), std::string());
    }
  }
}

TEST_F(ExecuteTest, PairFirstLinesInConfigurationB) {
  SetSetting(state_.get(), Configuration, 1);
  Run();
  std::vector<std::string> lines = ReportLines(*state_);
  ASSERT_FALSE(lines.empty());
  for (const std::string& line : lines) {
    EXPECT_EQ(line[0], '(') << line;
    EXPECT_NE(line.find(" // "), std::string::npos) << line;
  }
}

TEST_F(ExecuteTest, DigitCountNineKeepsTheFiveNamedMatches) {
  SetSlotText(state_.get(), SlotDigits, "9");
  SetSetting(state_.get(), SortByResistors, 1);
  Run();
  EXPECT_EQ(GetSetting(*state_, DigitCount), 9);
  const std::vector<std::string> expected = {"1k 1.1k 51k", "1.1k 1.2k 91k", "2k 3.3k 6.2k",
                                             "3k 4.3k 13k", "4.7k 5.1k 680k"};
  std::vector<std::string> found;
  for (int m = 0; m < workspace_->matches.count; ++m) {
    const MatchRecord& record = workspace_->matches.records[m];
    found.push_back(std::string(record.r1) + " " + record.r2 + " " + record.r3);
  }
  EXPECT_EQ(found, expected);
}

TEST_F(ExecuteTest, DigitCountThreeFindsNothing) {
  SetSlotText(state_.get(), SlotDigits, "3");
  EXPECT_EQ(Run().outcome, ExecuteOutcome::NothingFound);
}

TEST_F(ExecuteTest, R3DnmOnlyFindsNothingOnDefaults) {
  SetSetting(state_.get(), R3DnmOnly, 1);
  SetSetting(state_.get(), SerialMode, 1);
  EXPECT_EQ(Run().outcome, ExecuteOutcome::NothingFound);
}

TEST_F(ExecuteTest, FormatErrorNamesTheFieldAndKeepsTheMatchCount) {
  SetSetting(state_.get(), MatchCount, 7);
  SetSlotText(state_.get(), SlotR1Max, "9.1x");
  ExecuteResult result = Run();
  EXPECT_EQ(result.outcome, ExecuteOutcome::InputError);
  EXPECT_EQ(Status(), "Format error\n9.1x");
  EXPECT_EQ(SlotText(*state_, SlotResult), std::string());
  EXPECT_EQ(GetSetting(*state_, MatchCount), 7);
}

TEST_F(ExecuteTest, OverlongFieldTextIsCutAtTheSlotEnd) {
  std::string field(kSlotMaxLength, 'x');
  SetSlotText(state_.get(), SlotVoMinTyp, field.c_str());
  Run();
  std::string status = Status();
  EXPECT_EQ(status.size(), static_cast<size_t>(kSlotMaxLength));
  EXPECT_EQ(status.substr(0, 13), "Format error\n");
}

TEST_F(ExecuteTest, StockListErrorClearsThePreviousReport) {
  Run();
  SetSlotText(state_.get(), SlotList1, "");
  EXPECT_EQ(Run().outcome, ExecuteOutcome::InputError);
  EXPECT_EQ(Status(), "Stock list error");
  EXPECT_EQ(SlotText(*state_, SlotResult), std::string());
}

TEST_F(ExecuteTest, ThousandthMatchStopsTheSearch) {
  // Every combination lands in a window from 0 to 10 V.
  SetSlotText(state_.get(), SlotVoMinTyp, "0");
  SetSlotText(state_.get(), SlotVoMaxPercent, "1e9");
  SetSlotText(state_.get(), SlotR1Min, "0");
  SetSlotText(state_.get(), SlotR1Max, "1e9");
  ExecuteResult result = Run();
  EXPECT_EQ(workspace_->matches.count, kMatchCapacity);
  EXPECT_EQ(GetSetting(*state_, MatchCount), kMatchCapacity);
  EXPECT_EQ(result.outcome, ExecuteOutcome::TooMany);
  EXPECT_EQ(Status(), "Break off because of too many matches.");
  EXPECT_EQ(static_cast<int>(ReportLines(*state_).size()), result.reportedLines);
}

TEST_F(ExecuteTest, BudgetOverflowBelowAThousandMatchesIsTooMany) {
  // 43 values and DNM: one R1 with every unordered pair gives 44 * 45 / 2 - 1
  // = 989 matches, and with long names their lines need far more than the
  // report budget.
  std::string list;
  for (int n = 0; n < 43; ++n) {
    char line[64];
    std::snprintf(line, sizeof line, "%d-long-name-padding-xxxxxxxxxxxx\r\n", 1000 + n);
    list += line;
  }
  SetSlotText(state_.get(), SlotList1, list.c_str());
  SetSetting(state_.get(), SortByResistors, 1);
  SetSlotText(state_.get(), SlotVoMinTyp, "0");
  SetSlotText(state_.get(), SlotVoMaxPercent, "1e9");
  SetSlotText(state_.get(), SlotR1Min, "1000");
  SetSlotText(state_.get(), SlotR1Max, "1000");
  ExecuteResult result = Run();
  ASSERT_EQ(workspace_->matches.count, 989);
  EXPECT_EQ(result.outcome, ExecuteOutcome::TooMany);
  EXPECT_EQ(Status(), "Break off because of too many matches.");
  std::string report = SlotText(*state_, SlotResult);
  EXPECT_LE(report.size(), static_cast<size_t>(kReportBudget));
  std::vector<std::string> lines = ReportLines(*state_);
  EXPECT_EQ(static_cast<int>(lines.size()), result.reportedLines);
  ASSERT_LT(result.reportedLines, 989);
  // The next line would not have fitted.
  char next[kLineBufferSize];
  int next_length =
      FormatReportLine(workspace_->matches.records[result.reportedLines], 0,
                       workspace_->request.Vtyp != 0.0, next);
  EXPECT_GT(report.size() + static_cast<size_t>(next_length), static_cast<size_t>(kReportBudget));
}

}  // namespace
}  // namespace tapsmith
