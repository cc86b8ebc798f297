// The manual as a laid-out document: Markdown read by Qt, given the look of a printed manual
// (fonts, headings, tables with a repeated header row, pictures as wide as the text).
#pragma once

#include <QString>
#include <QTextDocument>

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

class TManual_Document {
public:
  // The Markdown file; its pictures are looked up relative to its folder. Throws when a file
  // cannot be read.
  explicit TManual_Document(const std::filesystem::path& markdown);

  // For print: pictures are taken at twice their size where a "@2x" file lies beside them, and
  // every picture is scaled to `text_width` (in the document's units) when it is wider.
  void Fit_Pictures(qreal text_width, bool sharp);

  // Lays the document out on pages of `page` (in the units of the layout's paint device), with no
  // table that fits on a page broken across two, and no heading left alone at the foot of a page.
  void Paginate(QSizeF page);

  QTextDocument& Document() { return *Document_; }
  // Each picture's name as the Markdown gives it, with its file.
  const std::vector<std::pair<QString, std::filesystem::path>>& Pictures() const { return Pictures_; }

private:
  void Style_Blocks();
  void Load_Pictures();

  std::filesystem::path Folder_;
  std::unique_ptr<QTextDocument> Document_;
  std::vector<std::pair<QString, std::filesystem::path>> Pictures_;
};
