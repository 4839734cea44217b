// The console program's save, killed with SIGKILL at random moments: the
// settings file is each time the old one or the new one byte for byte, and
// the killed saves leave no pile of temporary files behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "test_util.h"

namespace tapsmith {
namespace {

constexpr int kKills = 100;

// Starts `tapsmith-cli --settings <file> --save --lang en` with its output
// thrown away; kills it after `delay` unless it is negative. Returns its
// wait status.
int RunSave(const std::string& file, std::chrono::microseconds delay) {
  pid_t child = fork();
  if (child == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execl(TAPSMITH_CLI_PROGRAM, "tapsmith-cli", "--settings", file.c_str(), "--save", "--lang", "en",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  if (delay.count() >= 0) {
    usleep(static_cast<useconds_t>(delay.count()));
    kill(child, SIGKILL);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

TEST(CliSave, KilledAtRandomMomentsLeavesTheOldFileOrTheNewAndNoPile) {
  testing::TemporaryDirectory directory;
  const std::string file = directory.File("Tapsmith.ini");
  const std::string old = "1\r\n0\r\n";  // Japanese; the run switches to English
  directory.Write("Tapsmith.ini", old);
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(WIFEXITED(RunSave(file, std::chrono::microseconds(-1))));
  auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  const std::string saved = directory.Read("Tapsmith.ini");
  ASSERT_NE(saved, old);

  std::mt19937 random(20240613);
  std::uniform_int_distribution<long> moment(0, runTime.count() * 5 / 4);
  int keptOld = 0;
  int leftovers = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    directory.Write("Tapsmith.ini", old);
    RunSave(file, std::chrono::microseconds(moment(random)));
    std::string now = directory.Read("Tapsmith.ini");
    ASSERT_TRUE(now == old || now == saved) << "kill " << kill << ": " << now.substr(0, 80);
    keptOld += now == old;
    auto entries = std::distance(std::filesystem::directory_iterator(directory.path()), {});
    ASSERT_LE(entries, 2) << "kill " << kill << ": temporary files pile up";
    leftovers += entries == 2;
  }
  RunSave(file, std::chrono::microseconds(-1));
  EXPECT_EQ(directory.Read("Tapsmith.ini"), saved);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()), {}), 1);
  std::printf("%d kills within %ld us: %d left the old file, %d the new; %d a temporary file\n", kKills,
              static_cast<long>(runTime.count() * 5 / 4), keptOld, kKills - keptOld, leftovers);
}

}  // namespace
}  // namespace tapsmith
