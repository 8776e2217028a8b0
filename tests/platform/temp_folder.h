#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/code_page.h"
#include "platform/streams.h"

// An empty folder of its own, unique per process and test, removed with it.
class TempFolder {
 public:
  TempFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() / ("kestx_" + std::to_string(::getpid()) + "_" +
                                                     test->test_suite_name() + "_" + test->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~TempFolder() { std::filesystem::remove_all(dir_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string File(const std::string& name) const { return (dir_ / name).string(); }
  std::string Path() const { return dir_.string(); }

 private:
  std::filesystem::path dir_;
};

// Writes UTF-8 text as the Windows-1250 bytes the system's files hold.
inline void WriteCp1250File(const std::string& fileName, const std::string& utf8) {
  const std::string bytes = platform::Utf8ToCp1250(utf8);
  platform::TFileStream file(fileName, platform::TFileStream::Mode::Create);
  if (!bytes.empty()) file.Write(bytes.data(), bytes.size());
}

// The file's bytes as they lie on disk; empty when it cannot be read.
inline std::string FileBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class TempFolderTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name) const { return folder_.File(name); }
  std::string Folder() const { return folder_.Path(); }

 private:
  TempFolder folder_;
};
