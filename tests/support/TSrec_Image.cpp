#include "support/TSrec_Image.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

extern char** environ;

std::optional<std::filesystem::path> Srec_Cat_Hex(const std::vector<std::uint8_t>& image, std::uint32_t address,
                                                  int record_size, const std::filesystem::path& hex) {
  std::filesystem::path binary = hex;
  binary.replace_extension(".bin");
  std::ofstream(binary, std::ios::binary).write(reinterpret_cast<const char*>(image.data()),
                                                static_cast<std::streamsize>(image.size()));
  char offset[16];
  std::snprintf(offset, sizeof offset, "0x%08X", address);
  const std::string block = "-output_block_size=" + std::to_string(record_size);
  std::string args[] = {"srec_cat", binary.string(), "-binary", "-offset", offset, "-o", hex.string(), "-intel", block};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int status = 0;
  const bool ran = posix_spawnp(&pid, "srec_cat", nullptr, nullptr, argv.data(), environ) == 0 &&
                   waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  std::filesystem::remove(binary);
  if (!ran) return std::nullopt;
  return hex;
}
