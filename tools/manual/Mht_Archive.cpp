#include "Mht_Archive.h"

#include <QFile>

#include <stdexcept>

namespace {
constexpr const char* BOUNDARY = "----=_yeli_manual_part";

// Base64 in lines of 76 characters, as MIME wants.
QByteArray Base64_Lines(const QByteArray& data) {
  const QByteArray text = data.toBase64();
  QByteArray lines;
  for (qsizetype i = 0; i < text.size(); i += 76) lines += text.mid(i, 76) + "\r\n";
  return lines;
}
}  // namespace

QByteArray Mht_Archive(const QString& title, QString html,
                       const std::vector<std::pair<QString, std::filesystem::path>>& pictures) {
  QByteArray parts;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    const auto& [name, file] = pictures[i];
    QFile picture(QString::fromStdString(file.string()));
    if (!picture.open(QIODevice::ReadOnly)) throw std::runtime_error(file.string() + ": " + picture.errorString().toStdString());
    const QString id = QString("picture%1@yeli-manual").arg(i + 1);
    html.replace("src=\"" + name + "\"", "src=\"cid:" + id + "\"");
    parts += QByteArray("--") + BOUNDARY + "\r\nContent-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n" +
             "Content-ID: <" + id.toUtf8() + ">\r\n\r\n" + Base64_Lines(picture.readAll());
  }
  QByteArray archive = "MIME-Version: 1.0\r\nSubject: " + title.toUtf8() +
                       "\r\nContent-Type: multipart/related; type=\"text/html\"; boundary=\"" + BOUNDARY + "\"\r\n\r\n";
  archive += QByteArray("--") + BOUNDARY +
             "\r\nContent-Type: text/html; charset=\"utf-8\"\r\nContent-Transfer-Encoding: base64\r\n"
             "Content-Location: Yeli_Help.html\r\n\r\n" + Base64_Lines(html.toUtf8());
  archive += parts;
  archive += QByteArray("--") + BOUNDARY + "--\r\n";
  return archive;
}
