#include "ui/Carbon_Style.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>

TEST(Carbon_Style, The_Carried_Palette_Is_Dark_With_Readable_Text) {
  Q_INIT_RESOURCE(style);
  QFile file(":/styles/CARBON.palette");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QString problem;
  const auto palette = Parse_Carbon_Palette(QString::fromUtf8(file.readAll()), problem);
  ASSERT_TRUE(palette) << problem.toStdString();
  EXPECT_LT(palette->color(QPalette::Active, QPalette::Window).lightness(), 64);
  EXPECT_GT(palette->color(QPalette::Active, QPalette::WindowText).lightness(), 192);
  EXPECT_LT(palette->color(QPalette::Disabled, QPalette::ButtonText).lightness(),
            palette->color(QPalette::Active, QPalette::ButtonText).lightness());
}

TEST(Carbon_Style, A_Line_That_Is_No_Colour_Role_Is_Named) {
  const std::pair<const char*, const char*> cases[] = {
      {"# ok\nWindow = #2b2b2b\nNonsense = #ffffff\n", "line 3 is no colour role: Nonsense = #ffffff"},
      {"Window = not-a-colour\n", "line 1 is no colour role: Window = not-a-colour"},
      {"Window #2b2b2b\n", "line 1 is no colour role: Window #2b2b2b"}};
  for (auto [text, expected] : cases) {
    QString problem;
    EXPECT_FALSE(Parse_Carbon_Palette(text, problem));
    EXPECT_EQ(problem.toStdString(), expected);
  }
}
