// A fresh folder of its own for one test, removed with everything in it when the test ends, so
// tests that run in parallel never share a file.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class TTest_Folder {
public:
  TTest_Folder() {
    std::string name = (std::filesystem::path(testing::TempDir()) / "yeli-test-XXXXXX").string();
    if (!mkdtemp(name.data())) ADD_FAILURE() << "cannot create a folder from " << name;
    Path_ = name;
  }
  ~TTest_Folder() { std::filesystem::remove_all(Path_); }
  TTest_Folder(const TTest_Folder&) = delete;
  TTest_Folder& operator=(const TTest_Folder&) = delete;

  std::filesystem::path operator/(const std::string& name) const { return Path_ / name; }
  const std::filesystem::path& Path() const { return Path_; }

private:
  std::filesystem::path Path_;
};
