#include "ui/TMemo_Log.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {
struct TLog_Test : testing::Test {
  QPlainTextEdit* Memo = Make_Log_Memo(nullptr, "Memo1", {0, 0, 400, 200});
  std::unique_ptr<TMemo_Log> Log = std::make_unique<TMemo_Log>(*Memo, "program");
  ~TLog_Test() override {
    Log.reset();
    delete Memo;
  }
};
}  // namespace

TEST_F(TLog_Test, Lines_Are_Added_Appended_To_And_Cleared) {
  Log->Add("Update firmware");
  Log->Add("");
  Log->Append(".");
  Log->Append(".");
  Log->Add("Update firmware finish");
  EXPECT_EQ(Log->Lines(), (QStringList{"Update firmware", "..", "Update firmware finish"}));
  Log->Clear();
  EXPECT_TRUE(Log->Lines().isEmpty());
  Log->Append("Firmware version: 2.3");
  EXPECT_EQ(Log->Lines(), QStringList{"Firmware version: 2.3"});
}

TEST_F(TLog_Test, Standard_Error_Gets_Each_Line_Once_It_Is_Complete) {
  testing::internal::CaptureStderr();
  Log->Add("Search");
  Log->Add("");
  Log->Append(".");
  Log->Append(".");
  const std::string while_dots_come = testing::internal::GetCapturedStderr();
  testing::internal::CaptureStderr();
  Log->Add("Update firmware finish");
  QCoreApplication::processEvents();  // the event loop runs: the last line is complete too
  const std::string after = testing::internal::GetCapturedStderr();

  EXPECT_EQ(while_dots_come, "program: Search\n");
  EXPECT_EQ(after, "program: ..\nprogram: Update firmware finish\n");
}
