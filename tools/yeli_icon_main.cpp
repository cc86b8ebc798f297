// yeli-icon: renders the launcher's SVG icon as PNG files of the sizes a desktop asks for.
//
//   yeli-icon ICON.svg OUTPUT_FOLDER SIZE...   writes OUTPUT_FOLDER/SIZExSIZE/apps/<icon name>.png
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <iostream>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: yeli-icon ICON.svg OUTPUT_FOLDER SIZE...\n";
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QString svg = QString::fromLocal8Bit(argv[1]);
  QSvgRenderer renderer(svg);
  if (!renderer.isValid()) {
    std::cerr << "yeli-icon: " << argv[1] << " is no SVG image that Qt can draw\n";
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    const int size = QString(argv[i]).toInt();
    if (size <= 0) {
      std::cerr << "yeli-icon: " << argv[i] << " is no size\n";
      return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    const QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
    const QString file = folder + "/" + QFileInfo(svg).completeBaseName() + ".png";
    if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
      std::cerr << "yeli-icon: cannot write " << file.toStdString() << "\n";
      return 1;
    }
  }
  return 0;
}
