#include "TManual_Document.h"

#include <QFile>
#include <QFontDatabase>
#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextTable>

#include <stdexcept>

namespace {
constexpr qreal BODY_POINTS = 10;
constexpr qreal HEADING_POINTS[] = {20, 15, 12, 11};  // levels 1 to 4

QFont Body_Font() {
  QFont font(QFontDatabase::hasFamily("Liberation Sans") ? "Liberation Sans" : "DejaVu Sans");
  font.setPointSizeF(BODY_POINTS);
  return font;
}

// Qt's Markdown reader can leave an empty paragraph at the top of the first cell of a table that
// follows a code block; the header row is bold whatever the reader made of it.
void Tidy_Header_Cell(const QTextTableCell& cell) {
  QTextCursor cursor = cell.firstCursorPosition();
  while (cursor.block().length() == 1 && cursor.position() + 1 < cell.lastPosition()) cursor.deleteChar();
  cursor.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  cursor.mergeCharFormat(bold);
}

QString Sharp_Name(const QString& name) {
  const qsizetype dot = name.lastIndexOf('.');
  return dot < 0 ? name : name.left(dot) + "@2x" + name.mid(dot);
}
}  // namespace

TManual_Document::TManual_Document(const std::filesystem::path& markdown)
    : Folder_(markdown.parent_path()), Document_(std::make_unique<QTextDocument>()) {
  QFile file(QString::fromStdString(markdown.string()));
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error(markdown.string() + ": " + file.errorString().toStdString());
  Document_->setDefaultFont(Body_Font());
  Document_->setMarkdown(QString::fromUtf8(file.readAll()), QTextDocument::MarkdownDialectGitHub);
  Style_Blocks();
  Load_Pictures();
}

// Chapters (level 1) begin on a new page; headings get their sizes; code keeps a fixed font; a
// table's header row repeats on every page it spans, and its cells get room to breathe.
void TManual_Document::Style_Blocks() {
  QTextCursor cursor(Document_.get());
  bool first_chapter = true;
  for (QTextBlock block = Document_->begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().hasProperty(QTextFormat::BlockCodeFence)) {
      cursor.setPosition(block.position());
      QTextBlockFormat format = block.blockFormat();
      format.setBackground(QColor(0xf0, 0xf0, 0xf0));
      format.setLeftMargin(8);
      cursor.setBlockFormat(format);
      continue;
    }
    const int level = block.blockFormat().headingLevel();
    if (level < 1 || level > 4) continue;
    cursor.setPosition(block.position());
    QTextBlockFormat format = block.blockFormat();
    format.setTopMargin(level == 1 ? 0 : 14);
    format.setBottomMargin(6);
    if (level == 1 && !first_chapter) format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    if (level == 1) first_chapter = false;
    cursor.setBlockFormat(format);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat characters;
    characters.setFontPointSize(HEADING_POINTS[level - 1]);
    characters.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(characters);
  }
  for (QTextFrame* frame : Document_->rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (!table) continue;
    QTextTableFormat format = table->format();
    format.setHeaderRowCount(1);
    format.setCellPadding(3);
    format.setCellSpacing(0);
    format.setBorder(1);
    format.setBorderBrush(QColor(0xa0, 0xa0, 0xa0));
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    table->setFormat(format);
    for (int column = 0; column < table->columns(); ++column) Tidy_Header_Cell(table->cellAt(0, column));
  }
}

void TManual_Document::Load_Pictures() {
  for (QTextBlock block = Document_->begin(); block.isValid(); block = block.next())
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      const QTextCharFormat format = fragment.fragment().charFormat();
      if (!format.isImageFormat()) continue;
      const QString name = format.toImageFormat().name();
      const std::filesystem::path file = Folder_ / name.toStdString();
      if (!std::filesystem::is_regular_file(file)) throw std::runtime_error("no picture " + file.string());
      Pictures_.emplace_back(name, file);
    }
}

void TManual_Document::Fit_Pictures(qreal text_width, bool sharp) {
  QTextCursor cursor(Document_.get());
  for (QTextBlock block = Document_->begin(); block.isValid(); block = block.next())
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      const QTextFragment part = fragment.fragment();
      if (!part.charFormat().isImageFormat()) continue;
      QTextImageFormat format = part.charFormat().toImageFormat();
      const std::filesystem::path file = Folder_ / format.name().toStdString();
      const std::filesystem::path sharp_file = Folder_ / Sharp_Name(format.name()).toStdString();
      const QImage size_of(QString::fromStdString(file.string()));
      const bool use_sharp = sharp && std::filesystem::is_regular_file(sharp_file);
      const QImage image(QString::fromStdString((use_sharp ? sharp_file : file).string()));
      if (image.isNull() || size_of.isNull()) throw std::runtime_error("cannot read the picture " + file.string());
      Document_->addResource(QTextDocument::ImageResource, QUrl(format.name()), image);
      const qreal scale = std::min<qreal>(1, text_width / size_of.width());
      format.setWidth(size_of.width() * scale);
      format.setHeight(size_of.height() * scale);
      cursor.setPosition(part.position());
      cursor.setPosition(part.position() + part.length(), QTextCursor::KeepAnchor);
      cursor.setCharFormat(format);
    }
}

namespace {
int Page_Of(qreal y, qreal page_height) { return static_cast<int>(y / page_height); }

// The first table or heading that a page break cuts off from what belongs with it; it is then
// moved to the next page. Each move shifts what follows, so the search starts again each time.
bool Keep_Together(QTextDocument& document, qreal page_height) {
  QAbstractTextDocumentLayout* layout = document.documentLayout();
  for (QTextFrame* frame : document.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (!table || table->format().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
    const QRectF bounds = layout->frameBoundingRect(table);
    if (bounds.height() >= page_height || Page_Of(bounds.top(), page_height) == Page_Of(bounds.bottom() - 1, page_height))
      continue;
    // A table under a heading moves with it.
    if (QTextBlock heading = document.findBlock(table->firstPosition() - 1); heading.blockFormat().headingLevel() > 0) {
      if (heading.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
      QTextBlockFormat format = heading.blockFormat();
      format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      QTextCursor(heading).setBlockFormat(format);
      return true;
    }
    QTextTableFormat format = table->format();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    table->setFormat(format);
    return true;
  }
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() == 0 || !block.next().isValid()) continue;
    if (block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
    const QTextBlock next = block.next();
    // What follows a heading starts at its next block, or in the frame (a table) that begins there.
    QRectF following = layout->blockBoundingRect(next);
    if (QTextFrame* frame = QTextCursor(next).currentFrame(); frame && frame != document.rootFrame())
      following = layout->frameBoundingRect(frame);
    if (Page_Of(layout->blockBoundingRect(block).top(), page_height) == Page_Of(following.top() + 20, page_height)) continue;
    QTextCursor cursor(block);
    QTextBlockFormat format = block.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.setBlockFormat(format);
    return true;
  }
  return false;
}
}  // namespace

void TManual_Document::Paginate(QSizeF page) {
  QTextFrameFormat root = Document_->rootFrame()->frameFormat();
  root.setMargin(0);
  Document_->rootFrame()->setFrameFormat(root);
  Document_->setPageSize(page);
  while (Keep_Together(*Document_, page.height())) {
  }
}
