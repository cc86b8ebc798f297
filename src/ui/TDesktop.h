// Opening a document in the desktop's default application for its type.
#pragma once

#include <filesystem>

class TDesktop {
public:
  virtual ~TDesktop() = default;
  // A missing document or viewer is no error: nothing visible happens.
  virtual void Open_Document(const std::filesystem::path& document) = 0;
};

class TQt_Desktop final : public TDesktop {
public:
  void Open_Document(const std::filesystem::path& document) override;
};
