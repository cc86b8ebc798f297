// The baseline of yeli-bench's start-up and memory figures: the least a Qt Widgets program does to
// show a window.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QLabel window("Hello");
  window.show();
  return application.exec();
}
