#include "settings_path.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_util.h"

namespace tapsmith {
namespace {

namespace fs = std::filesystem;

// Runs each test in a fresh temporary directory and returns to the original
// working directory afterwards.
class SettingsPath : public ::testing::Test {
 protected:
  void SetUp() override {
    original_ = open(".", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(original_, 0);
    std::string pattern = (fs::temp_directory_path() / "tapsmith-path-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = fs::canonical(pattern).string();
    ASSERT_EQ(chdir(directory_.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(fchdir(original_), 0);
    close(original_);
    fs::remove_all(directory_);
  }

  // Descends into new subdirectories until the working directory is exactly
  // `length` bytes long.
  void DescendToLength(size_t length) {
    char buffer[4096];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    size_t current = std::string(buffer).size();
    ASSERT_GT(length, current + 1);
    while (current < length) {
      size_t name = std::min<size_t>(length - current - 1, 200);
      if (length - current - 1 - name == 1) --name;  // leave room for "/x"
      std::string part(name, 'd');
      ASSERT_EQ(mkdir(part.c_str(), 0755), 0);
      ASSERT_EQ(chdir(part.c_str()), 0);
      current += 1 + name;
    }
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    ASSERT_EQ(std::string(buffer).size(), length);
  }

  int original_ = -1;
  std::string directory_;
};

TEST_F(SettingsPath, NamesTapsmithIniInTheWorkingDirectory) {
  auto state = testing::NewDefaultState();
  ASSERT_TRUE(ResolveSettingsPath(state.get()));
  EXPECT_EQ(std::string(state->settingsPath), directory_ + "/Tapsmith.ini");

  ASSERT_EQ(chdir("/"), 0);
  ASSERT_TRUE(ResolveSettingsPath(state.get()));
  EXPECT_EQ(std::string(state->settingsPath), "/Tapsmith.ini");
}

TEST_F(SettingsPath, PathMustFitInAThousandBytesWithItsTerminator) {
  const size_t kNameLength = sizeof "/Tapsmith.ini" - 1;
  auto state = testing::NewDefaultState();
  DescendToLength(kSettingsPathSize - 1 - kNameLength);
  ASSERT_TRUE(ResolveSettingsPath(state.get()));
  EXPECT_EQ(std::string(state->settingsPath).size(), size_t{kSettingsPathSize - 1});

  ASSERT_EQ(mkdir("e", 0755), 0);
  ASSERT_EQ(chdir("e"), 0);  // now the path would need 1001 bytes
  EXPECT_FALSE(ResolveSettingsPath(state.get()));
  EXPECT_STREQ(state->settingsPath, "");

  DescendToLength(3000);  // beyond the buffer getcwd is given
  strcpy(state->settingsPath, "stale");
  EXPECT_FALSE(ResolveSettingsPath(state.get()));
  EXPECT_STREQ(state->settingsPath, "");
}

}  // namespace
}  // namespace tapsmith
