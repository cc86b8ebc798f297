#include "support/TScripted_Dialogs.h"

#include <gtest/gtest.h>

std::optional<QString> TScripted_Dialogs::File_Answer(const TFile_Dialog& dialog) {
  File_Dialogs.push_back(dialog);
  if (While_Open) While_Open();
  if (File_Answers.empty()) {
    ADD_FAILURE() << "unexpected file dialog " << dialog.Title.toStdString();
    return std::nullopt;
  }
  const QString answer = File_Answers.front();
  File_Answers.pop_front();
  if (answer.isEmpty()) return std::nullopt;
  return answer;
}

std::optional<QString> TScripted_Dialogs::Open_File(QWidget*, const TFile_Dialog& dialog) { return File_Answer(dialog); }

std::optional<QString> TScripted_Dialogs::Save_File(QWidget*, const TFile_Dialog& dialog) { return File_Answer(dialog); }

bool TScripted_Dialogs::Ask_Yes_No(QWidget*, const QString& question) {
  Questions << question;
  if (While_Open) While_Open();
  if (Yes_No_Answers.empty()) {
    ADD_FAILURE() << "unexpected question " << question.toStdString();
    return true;
  }
  const bool answer = Yes_No_Answers.front();
  Yes_No_Answers.pop_front();
  return answer;
}

void TScripted_Dialogs::Show_Error(QWidget*, const QString& text) {
  Errors << text;
  if (While_Open) While_Open();
}
