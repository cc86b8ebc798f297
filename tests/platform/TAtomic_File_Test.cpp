#include "platform/TAtomic_File.h"
#include "support/TTest_Folder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <string>

namespace fs = std::filesystem;

namespace {
constexpr uid_t NOBODY = 65534;

std::span<const std::uint8_t> Bytes_Of(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string Content(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

mode_t Mode(const fs::path& file) {
  struct stat status {};
  stat(file.c_str(), &status);
  return status.st_mode & 07777;
}

// Runs `work` in a child process, so that the limits it sets end with it; with `drop_root`, as a
// user without root's right to write anywhere. Returns what `work` returns, an errno.
int In_Child(const std::function<int()>& work, bool drop_root = false) {
  const pid_t child = fork();
  if (child == 0) {
    if (drop_root && geteuid() == 0 && (setgid(NOBODY) != 0 || setuid(NOBODY) != 0)) _exit(255);
    _exit(work() & 0xFF);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 254;
}

struct TAtomic_File_Test : testing::Test {
  TTest_Folder Folder;
  const fs::path Target = Folder / "site.cnf";

  void Write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
  // What the folder holds besides the files a test made itself.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder.Path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};
}  // namespace

TEST_F(TAtomic_File_Test, Replaces_The_Target_And_Leaves_Nothing_Else) {
  Write(Target, std::string(500, 'o'));
  EXPECT_EQ(TAtomic_File::Replace(Target, Bytes_Of("new")), 0);
  EXPECT_EQ(Content(Target), "new");
  EXPECT_EQ(Names(), std::vector<std::string>{"site.cnf"});
}

// A link planted where an earlier version put its temporary file leads nowhere now.
TEST_F(TAtomic_File_Test, A_Planted_Link_Beside_The_Target_Is_Not_Followed) {
  const fs::path victim = Folder / "victim";
  Write(victim, "precious");
  for (const char* planted : {"site.cnf.part", "site.cnf.tmp"}) fs::create_symlink(victim, Folder / planted);
  EXPECT_EQ(TAtomic_File::Replace(Target, Bytes_Of("new")), 0);
  EXPECT_EQ(Content(Target), "new");
  EXPECT_EQ(Content(victim), "precious");
  EXPECT_FALSE(fs::is_symlink(Target));
}

TEST_F(TAtomic_File_Test, A_Replaced_File_Keeps_Its_Mode_And_A_Linked_One_Its_Link) {
  struct TCase {
    const char* Name;
    bool Linked;
    mode_t Mode;
  };
  for (const TCase& row : {TCase{"plain", false, 0604}, TCase{"linked", true, 0640}, TCase{"chain", true, 0751}}) {
    SCOPED_TRACE(row.Name);
    const fs::path real = Folder / (std::string(row.Name) + ".real");
    const fs::path target = row.Linked ? Folder / row.Name : real;
    Write(real, "old");
    chmod(real.c_str(), row.Mode);
    if (row.Linked) {
      fs::create_symlink(real.filename(), Folder / (std::string(row.Name) + ".hop"));
      fs::create_symlink(std::string(row.Name) + ".hop", target);
    }
    ASSERT_EQ(TAtomic_File::Replace(target, Bytes_Of("new")), 0);
    EXPECT_EQ(Content(real), "new");
    EXPECT_EQ(Mode(real), row.Mode);
    EXPECT_EQ(fs::is_symlink(target), row.Linked);
  }
}

TEST_F(TAtomic_File_Test, A_Read_Only_Folder_Refuses_And_Keeps_The_Old_File) {
  Write(Target, "old");
  chmod(Target.c_str(), 0644);
  chmod(Folder.Path().c_str(), 0555);
  const int error = In_Child([&] { return TAtomic_File::Replace(Target, Bytes_Of("new")); }, true);
  chmod(Folder.Path().c_str(), 0755);
  EXPECT_EQ(error, EACCES);
  EXPECT_EQ(Content(Target), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"site.cnf"});
}

// The file size limit makes the write stop part of the way through, as a full disk would.
TEST_F(TAtomic_File_Test, A_Write_That_Fails_Half_Way_Leaves_The_Old_File) {
  Write(Target, "old");
  const int error = In_Child([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    return TAtomic_File::Replace(Target, Bytes_Of(std::string(10000, 'n')));
  });
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(Content(Target), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"site.cnf"});
}

// Two programs writing the same file at once: each has a temporary file of its own, and the target
// ends as one of the two, whole.
TEST_F(TAtomic_File_Test, Two_Writers_Of_One_Target_Do_Not_Share_A_Temporary_File) {
  TAtomic_File first(Target), second(Target);
  ASSERT_EQ(first.Error(), 0);
  ASSERT_EQ(second.Error(), 0);
  ASSERT_TRUE(first.Write(Bytes_Of(std::string(3000, '1'))));
  ASSERT_TRUE(second.Write(Bytes_Of(std::string(2000, '2'))));
  ASSERT_TRUE(second.Commit());
  ASSERT_TRUE(first.Commit());
  EXPECT_EQ(Content(Target), std::string(3000, '1'));
  EXPECT_EQ(Names(), std::vector<std::string>{"site.cnf"});
}

TEST_F(TAtomic_File_Test, What_Is_Not_Committed_Goes_And_The_Old_File_Stays) {
  Write(Target, "old");
  {
    TAtomic_File file(Target);
    ASSERT_TRUE(file.Write(Bytes_Of("half")));
    EXPECT_EQ(Names().size(), 2u);
  }
  EXPECT_EQ(Content(Target), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"site.cnf"});
}

TEST_F(TAtomic_File_Test, A_Missing_Folder_Is_Reported) {
  EXPECT_EQ(TAtomic_File::Replace(Folder / "no-such-folder" / "a.cnf", Bytes_Of("new")), ENOENT);
}
