// Opening a document in the desktop's default application for its type.
#pragma once

#include <filesystem>

class TDesktop {
public:
  virtual ~TDesktop() = default;
  // Whether a viewer could be started for the document.
  virtual bool Open_Document(const std::filesystem::path& document) = 0;
};
