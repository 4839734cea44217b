// Shared helpers of the tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "app_state.h"

namespace tapsmith::testing {

// An AppState is 650 kB: tests keep theirs on the heap.
inline std::unique_ptr<AppState> NewDefaultState() {
  auto state = std::make_unique<AppState>();
  InitialiseState(state.get());
  return state;
}

// The lines of a CR LF text, without their line ends.
inline int CountCrLfLines(const std::string& text) {
  int lines = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  return lines;
}

// The lines of `text`, each ended by `end` (CR LF unless told otherwise),
// without their ends. Every line the program writes is whole: text after the
// last line end fails the test.
inline std::vector<std::string> SplitLines(const std::string& text, const std::string& end = "\r\n") {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t at = text.find(end); at != std::string::npos; at = text.find(end, start)) {
    lines.push_back(text.substr(start, at - start));
    start = at + end.size();
  }
  EXPECT_EQ(start, text.size()) << "text after the last line end";
  return lines;
}

// A fresh empty directory of the test's own, removed with its files at the end.
class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / ("tapsmith-test-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
    }
    if (path_.empty()) ADD_FAILURE() << "cannot create a temporary directory";
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

 private:
  std::filesystem::path path_;
};

// Runs the test in a fresh empty directory, so that the settings file of one
// test never meets another.
class TemporaryWorkingDirectory : public TemporaryDirectory {
 public:
  TemporaryWorkingDirectory() : previous_(std::filesystem::current_path()) {
    if (!path().empty()) std::filesystem::current_path(path());
  }
  ~TemporaryWorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }

 private:
  std::filesystem::path previous_;
};

}  // namespace tapsmith::testing
