// What the fuzz targets share: a property check that stops the run with a message, and a private
// file for the readers that take a path.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// A broken property is a finding: libFuzzer saves the input that broke it.
inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz: property broken: %s\n", property);
  std::abort();
}

// `name` in a folder of this process's own, holding exactly `data`.
inline std::filesystem::path Fuzz_File(const char* name, const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path folder = [] {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("yeli-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  const std::filesystem::path file = folder / name;
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                 static_cast<std::streamsize>(size));
  return file;
}
