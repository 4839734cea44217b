#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "form_fixture.h"
#include "main_window.h"
#include "settings_file.h"

namespace tapsmith::testing {
namespace {

using Strings = std::vector<std::string>;

// The main window on the fake, in an empty working directory.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { fake_.textMetrics = TextMetrics{10, 16, 0, 0}; }

  void Create() {
    ASSERT_NE(fake_.CreateMainWindow("Tapsmith", kMainWindowStyle, &window_), nullptr);
  }

  std::unique_ptr<AppState> LoadWrittenFile() {
    auto loaded = NewDefaultState();
    LoadSettingsFile(loaded.get(), directory_.File("Tapsmith.ini").c_str());
    return loaded;
  }

  TemporaryWorkingDirectory directory_;
  FakeWindowSystem fake_;
  std::unique_ptr<AppState> state_ = std::make_unique<AppState>();
  MainWindow window_{state_.get(), &fake_};
};

TEST_F(MainWindowTest, CreationMeasuresLoadsBuildsLabelsAndPlaces) {
  Create();
  const std::vector<FakeCall>& calls = fake_.calls();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[1].kind, FakeCallKind::GetTextMetrics);
  EXPECT_EQ(calls[2].kind, FakeCallKind::CreateControl);
  EXPECT_EQ(Describe(calls.back()), "MoveWindow 0 0 550 696");
  EXPECT_EQ(calls[calls.size() - 2].kind, FakeCallKind::GetVirtualScreenSize);
  // Labels come after every control has its initial state.
  size_t lastCreate = 0;
  size_t firstLabel = 0;
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].kind == FakeCallKind::CreateControl) lastCreate = i;
    if (firstLabel == 0 && calls[i].kind == FakeCallKind::SetText && calls[i].id == 0) firstLabel = i;
  }
  EXPECT_LT(lastCreate, firstLabel);
  EXPECT_EQ(window_.form().metrics.cellWidth, 10);
  EXPECT_STREQ(SlotText(*state_, SlotVoMinTyp), "1.35");
  EXPECT_EQ(fake_.Control(1)->text, "English");
  EXPECT_EQ(std::filesystem::path(state_->settingsPath), directory_.File("Tapsmith.ini"));
}

TEST_F(MainWindowTest, CreationAppliesTheSettingsFile) {
  auto saved = NewDefaultState();
  SetSetting(saved.get(), Language, 1);
  SetSetting(saved.get(), Configuration, 3);
  SetSetting(saved.get(), WindowLeft, 100);
  SetSetting(saved.get(), WindowTop, 50);
  SetSetting(saved.get(), WindowRight, 700);
  SetSetting(saved.get(), WindowBottom, 600);
  SetSlotText(saved.get(), SlotStatus, "3 set(s) found.");
  std::string error;
  ASSERT_TRUE(SaveSettingsFile(*saved, "Tapsmith.ini", &error)) << error;

  Create();
  EXPECT_EQ(fake_.Control(1)->text, "Japanese");
  EXPECT_TRUE(fake_.Control(7)->checked);
  EXPECT_FALSE(fake_.Control(4)->checked);
  EXPECT_EQ(Describe(fake_.calls().back()), "MoveWindow 100 50 600 550");
  FakePaintSurface surface;
  fake_.Paint(surface);
  ASSERT_EQ(surface.texts.size(), 1u);
  EXPECT_EQ(surface.texts[0].text, "3 set(s) found.");
}

TEST_F(MainWindowTest, DestroySavesEditTextsAndTheWindowRectangle) {
  Create();
  fake_.TypeText(11, "2.5V");
  fake_.TypeText(46, "1k\r\n2k\r\n");
  fake_.SetWindowRect(PixelRect{30, 40, 630, 740});
  fake_.Click(41);
  fake_.SendDestroy(fake_.mainWindow());

  EXPECT_EQ(fake_.Described(FakeCallKind::PostQuit), Strings{"PostQuit 0"});
  EXPECT_TRUE(fake_.Described(FakeCallKind::ShowError).empty());
  auto loaded = LoadWrittenFile();
  EXPECT_STREQ(SlotText(*loaded, SlotVoMinTyp), "2.5V");
  EXPECT_STREQ(SlotText(*loaded, SlotList1), "1k\r\n2k\r\n");
  EXPECT_EQ(GetSetting(*loaded, WindowLeft), 30);
  EXPECT_EQ(GetSetting(*loaded, WindowTop), 40);
  EXPECT_EQ(GetSetting(*loaded, WindowRight), 630);
  EXPECT_EQ(GetSetting(*loaded, WindowBottom), 740);
  EXPECT_EQ(GetSetting(*loaded, SortByResistors), 1);
}

TEST_F(MainWindowTest, UnreadableRectangleLeavesTheSavedOneAlone) {
  Create();
  fake_.SetWindowRect(PixelRect{1, 2, 3, 4});
  SetSetting(state_.get(), WindowLeft, 10);
  SetSetting(state_.get(), WindowBottom, 777);
  fake_.windowRectFails = true;
  fake_.SendDestroy(fake_.mainWindow());
  auto loaded = LoadWrittenFile();
  EXPECT_EQ(GetSetting(*loaded, WindowLeft), 10);
  EXPECT_EQ(GetSetting(*loaded, WindowBottom), 777);
}

TEST_F(MainWindowTest, FailedSaveIsReportedAndTheProgramStillEnds) {
  std::filesystem::create_directory("Tapsmith.ini");
  Create();
  fake_.SendDestroy(fake_.mainWindow());
  Strings errors = fake_.Described(FakeCallKind::ShowError);
  ASSERT_EQ(errors, Strings{"ShowError \"Tapsmith\""});
  const FakeCall* error = nullptr;
  for (const FakeCall& call : fake_.calls())
    if (call.kind == FakeCallKind::ShowError) error = &call;
  EXPECT_NE(error->text.find(state_->settingsPath), std::string::npos) << error->text;
  EXPECT_EQ(error->text.rfind(Cp932("設定ファイルを保存できませんでした。"), 0), 0u);
  EXPECT_TRUE(error->hasOwner);
  EXPECT_EQ(fake_.Described(FakeCallKind::PostQuit), Strings{"PostQuit 0"});
}

TEST_F(MainWindowTest, WithoutAPathNothingIsSavedTheUserIsToldAndTheLoopEnds) {
  Create();
  state_->settingsPath[0] = '\0';
  SetSetting(state_.get(), Language, 1);
  fake_.SendDestroy(fake_.mainWindow());
  EXPECT_FALSE(std::filesystem::exists("Tapsmith.ini"));
  EXPECT_TRUE(fake_.Described(FakeCallKind::GetText).empty());
  std::string told;
  for (const FakeCall& call : fake_.calls())
    if (call.kind == FakeCallKind::ShowError) told = call.text;
  EXPECT_EQ(told,
            "The settings file could not be saved.\r\n"
            "The working folder's path is too long to place Tapsmith.ini in it.");
  EXPECT_EQ(fake_.Described(FakeCallKind::PostQuit), Strings{"PostQuit 0"});
}

TEST_F(MainWindowTest, ExitAnsweredYesSavesAndEnds) {
  Create();
  fake_.answerYes = true;
  fake_.Click(kRowExit);
  EXPECT_TRUE(std::filesystem::exists("Tapsmith.ini"));
  EXPECT_TRUE(fake_.quitPosted());
}

TEST_F(MainWindowTest, ExitAnsweredNoKeepsRunning) {
  Create();
  fake_.answerYes = false;
  fake_.Click(kRowExit);
  EXPECT_FALSE(std::filesystem::exists("Tapsmith.ini"));
  EXPECT_FALSE(fake_.quitPosted());
}

TEST_F(MainWindowTest, EventsReachTheFormEngineAndTheScrolling) {
  Create();
  fake_.SendSize(500, 640);
  EXPECT_EQ(fake_.scrollBar(ScrollBarKind::Horizontal).page, 50);
  fake_.SendScroll(ScrollBarKind::Horizontal, kScrollLineDown);
  EXPECT_EQ(window_.form().origin.x, -1);
  EXPECT_EQ(fake_.Control(11)->rect.left, 200);
  fake_.Click(5);
  EXPECT_EQ(GetSetting(*state_, Configuration), 1);
}

TEST(RunTapsmith, CreatesShowsAndRunsUntilTheUserLeaves) {
  TemporaryWorkingDirectory directory;
  FakeWindowSystem fake;
  fake.answerYes = true;
  fake.userScript = [&fake] {
    fake.Click(kRowExecute);
    fake.Click(kRowExit);
  };
  EXPECT_EQ(RunTapsmith(&fake, 5), 0);

  const FakeCall& creation = fake.calls().front();
  EXPECT_EQ(creation.kind, FakeCallKind::CreateMainWindow);
  EXPECT_EQ(creation.text, Cp932("Tapsmith : 電圧設定抵抗の探索 R1.50"));
  EXPECT_EQ(creation.style, 0x00FF0000u);
  EXPECT_EQ(fake.showCommand(), 5);
  EXPECT_TRUE(fake.quitPosted());
  auto loaded = NewDefaultState();
  LoadSettingsFile(loaded.get(), directory.File("Tapsmith.ini").c_str());
  EXPECT_EQ(CountCrLfLines(SlotText(*loaded, SlotResult)), 10);
}

TEST(RunTapsmith, WindowThatCannotBeCreatedIsReported) {
  TemporaryWorkingDirectory directory;
  FakeWindowSystem fake;
  fake.createMainWindowFails = true;
  EXPECT_EQ(RunTapsmith(&fake, 1), 0);
  const FakeCall& error = fake.calls().back();
  EXPECT_EQ(Describe(error), "ShowError \"Tapsmith\"");
  EXPECT_EQ(error.text, "Few resource or Wrong coding");
  EXPECT_FALSE(error.hasOwner);
  EXPECT_TRUE(fake.Described(FakeCallKind::RunMessageLoop).empty());
}

}  // namespace
}  // namespace tapsmith::testing
