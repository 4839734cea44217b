#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "search.h"
#include "test_util.h"

namespace tapsmith {
namespace {

class SearchInputsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_ = testing::NewDefaultState();
    SetSetting(state_.get(), Language, 1);
  }
  bool Parse() { return ParseSearchRequest(state_.get(), &request_); }
  void Set(int slot, const char* text) { SetSlotText(state_.get(), slot, text); }
  std::string Status() const { return SlotText(*state_, SlotStatus); }

  std::unique_ptr<AppState> state_;
  SearchRequest request_{};
};

TEST_F(SearchInputsTest, PercentToleranceAroundTheTypicalVoltage) {
  ASSERT_TRUE(Parse());
  double d = 0.01 * 1.35 * 0.01;
  EXPECT_EQ(request_.Vtyp, 1.35);
  EXPECT_EQ(request_.Vmin, (1.35 - d) - 5e-10);
  EXPECT_EQ(request_.Vmax, (1.35 + d) + 5e-10);
  EXPECT_EQ(request_.Vfb, 0.7);
  EXPECT_EQ(request_.R1min, 1000.0 - 5e-10);
  EXPECT_EQ(request_.R1max, 9100.0 + 5e-10);
  EXPECT_EQ(request_.DigitCount, 0);
}

TEST_F(SearchInputsTest, MinimumAndMaximumGiveTheMiddleAsTypical) {
  Set(SlotVoMinTyp, "1.2");
  Set(SlotVoMaxPercent, "1300m");
  ASSERT_TRUE(Parse());
  EXPECT_EQ(request_.Vmin, 1.2 - 5e-10);
  EXPECT_EQ(request_.Vmax, 1.3 + 5e-10);
  EXPECT_EQ(request_.Vtyp, (1.2 + 1.3) * 0.5);
}

TEST_F(SearchInputsTest, MaximumBelowMinimumCollapsesTheWindow) {
  Set(SlotVoMinTyp, "1.3");
  Set(SlotVoMaxPercent, "1.2");
  ASSERT_TRUE(Parse());
  EXPECT_EQ(request_.Vmin, 1.3 - 5e-10);
  EXPECT_EQ(request_.Vmax, 1.3 + 5e-10);
  EXPECT_EQ(request_.Vtyp, 1.3);
}

TEST_F(SearchInputsTest, EmptyMaximumEqualsTheMinimum) {
  Set(SlotVoMaxPercent, "");
  ASSERT_TRUE(Parse());
  EXPECT_EQ(request_.Vmax, 1.35 + 5e-10);
}

TEST_F(SearchInputsTest, VoltageUnits) {
  for (const char* text : {"500m", "0.5 V", "0.5v", "0.5  m0", "0.5\r\n", "0.5V typ"}) {
    Set(SlotVfb, text);
    ASSERT_TRUE(Parse()) << text;
  }
  Set(SlotVfb, "500m");
  Parse();
  EXPECT_EQ(request_.Vfb, 0.5);
  Set(SlotVfb, "1.2V typ");
  Parse();
  EXPECT_EQ(request_.Vfb, 1.2);
}

TEST_F(SearchInputsTest, ResistanceUnits) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {{"4.7k", 4700.0}, {"4k7", 4000.0}, {"4.7K", 4700.0}, {"2M", 2e6},
                        {"470m", 0.47},   {"3u", 3e-6},    {"10 k", 10000.0}, {"", 0.0}};
  for (const Case& c : cases) {
    Set(SlotR1Min, c.text);
    Set(SlotR1Max, "0");
    ASSERT_TRUE(Parse()) << c.text;
    EXPECT_EQ(request_.R1min, c.value - 5e-10) << c.text;
  }
}

TEST_F(SearchInputsTest, R1MaximumBelowMinimumIsRaised) {
  Set(SlotR1Min, "10k");
  Set(SlotR1Max, "1k");
  ASSERT_TRUE(Parse());
  EXPECT_EQ(request_.R1min, 10000.0 - 5e-10);
  EXPECT_EQ(request_.R1max, 10000.0 + 5e-10);
}

TEST_F(SearchInputsTest, FormatErrorsNameTheFirstFailingField) {
  struct Case {
    int slot;
    const char* text;
  };
  const Case cases[] = {{SlotVoMinTyp, "1.35%"}, {SlotVoMinTyp, "1.35x"}, {SlotVoMaxPercent, "2k"},
                        {SlotVfb, "0.7%"},       {SlotVfb, "\t"},      {SlotR1Min, "V1"},
                        {SlotR1Min, "1V"},       {SlotR1Max, "9.1%"},     {SlotVfb, "0.7\n"}};
  for (const Case& c : cases) {
    state_ = testing::NewDefaultState();
    SetSetting(state_.get(), Language, 1);
    Set(c.slot, c.text);
    EXPECT_FALSE(Parse()) << c.text;
    EXPECT_EQ(Status(), std::string("Format error\n") + c.text);
  }
}

TEST_F(SearchInputsTest, DigitCountIsStoredBeforeAnR1Error) {
  Set(SlotDigits, " 12 places");
  Set(SlotR1Min, "x");
  EXPECT_FALSE(Parse());
  EXPECT_EQ(GetSetting(*state_, DigitCount), 12);
}

TEST_F(SearchInputsTest, OptionsFromOutOfRangeSettings) {
  SetSetting(state_.get(), Configuration, 7);
  SetSetting(state_.get(), SerialMode, 2);
  SetSetting(state_.get(), R3DnmOnly, 2);
  SearchOptions options = SearchOptionsFromState(*state_);
  EXPECT_EQ(options.configuration, 3);
  EXPECT_TRUE(options.serial);
  EXPECT_FALSE(options.r3DnmOnly);
  SetSetting(state_.get(), Configuration, -4);
  SetSetting(state_.get(), R3DnmOnly, 1);
  options = SearchOptionsFromState(*state_);
  EXPECT_EQ(options.configuration, 0);
  EXPECT_TRUE(options.r3DnmOnly);
}

}  // namespace
}  // namespace tapsmith
