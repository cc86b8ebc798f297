// yeli-manual: prints the manual, written in Markdown, into the Help documents the program opens: a
// PDF (A4, page numbers, pictures in their sharp versions) and a web archive (.mht).
//
//   yeli-manual MANUAL.md OUTPUT_FOLDER
#include "Mht_Archive.h"
#include "TManual_Document.h"

#include <QFile>
#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPainter>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>

#include <iostream>
#include <stdexcept>

namespace {
constexpr const char* TITLE = "Yeli Service: user manual";
constexpr int PDF_DPI = 300;
constexpr qreal MARGIN_MM = 18;

// Laid out on the PDF itself, so text is measured as it is printed; each page's number stands in
// the room kept free at its foot.
void Write_Pdf(const std::filesystem::path& markdown, const QString& file) {
  TManual_Document manual(markdown);
  QPdfWriter writer(file);
  writer.setTitle(TITLE);
  writer.setCreator("yeli-manual");
  writer.setResolution(PDF_DPI);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(MARGIN_MM, MARGIN_MM, MARGIN_MM, MARGIN_MM), QPageLayout::Millimeter));
  QTextDocument& document = manual.Document();
  document.documentLayout()->setPaintDevice(&writer);
  manual.Fit_Pictures(writer.pageLayout().paintRect(QPageLayout::Inch).width() * 96 - 4, true);
  const qreal footer = writer.resolution() * 0.4;
  const QSizeF page(writer.width(), writer.height() - footer);
  manual.Paginate(page);

  QPainter painter(&writer);
  if (!painter.isActive()) throw std::runtime_error("cannot write " + file.toStdString());
  const int pages = document.pageCount();
  for (int number = 1; number <= pages; ++number) {
    if (number > 1) writer.newPage();
    const QRectF area(0, (number - 1) * page.height(), page.width(), page.height());
    painter.save();
    painter.translate(0, -area.top());
    painter.setClipRect(area);  // the layout draws whatever touches the clip, the next page's top too
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = area;
    context.palette.setColor(QPalette::Text, Qt::black);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
    painter.setFont(QFont(document.defaultFont().family(), 9));
    painter.drawText(QRectF(0, page.height(), page.width(), footer), Qt::AlignRight | Qt::AlignBottom,
                     QString("%1 / %2").arg(number).arg(pages));
  }
}

void Write_Mht(const std::filesystem::path& markdown, const QString& file) {
  TManual_Document manual(markdown);
  manual.Fit_Pictures(1185, false);
  manual.Document().setMetaInformation(QTextDocument::DocumentTitle, TITLE);
  // A browser window narrower than a screenshot shrinks it rather than scrolling sideways.
  const QString html = manual.Document().toHtml().replace("<img ", "<img style=\"max-width: 100%; height: auto;\" ");
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly) || out.write(Mht_Archive(TITLE, html, manual.Pictures())) < 0 ||
      !out.commit())
    throw std::runtime_error(file.toStdString() + ": " + out.errorString().toStdString());
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: yeli-manual MANUAL.md OUTPUT_FOLDER\n";
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const std::filesystem::path markdown = argv[1];
  const QString output = QString::fromLocal8Bit(argv[2]);
  try {
    Write_Pdf(markdown, output + "/Yeli_Help.pdf");
    Write_Mht(markdown, output + "/Yeli_Help.mht");
  } catch (const std::exception& error) {
    std::cerr << "yeli-manual: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
