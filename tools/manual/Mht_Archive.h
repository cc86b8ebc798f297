// A web archive (MIME multipart/related, RFC 2557): one HTML page with its pictures inside, so the
// manual is a single file that a browser opens as it is.
#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <utility>
#include <vector>

// `html` refers to each picture by the name paired with its file.
QByteArray Mht_Archive(const QString& title, QString html,
                       const std::vector<std::pair<QString, std::filesystem::path>>& pictures);
