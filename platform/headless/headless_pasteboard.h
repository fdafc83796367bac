// The headless toolkit's pasteboard: an in-process store of plain text (or of an
// image, which holds no text).
#pragma once

#include <optional>

#include "platform/toolkit.h"

namespace zeb::platform {

class HeadlessPasteboard : public Pasteboard {
 public:
  std::optional<ToolkitString> Text() override { return text_; }
  void SetText(const ToolkitString& text) override { text_ = text; }
  // The text ends with the process.
  void Close() override {}
  // What another program does when it copies an image: the text is gone.
  void SetImage() { text_.reset(); }

 private:
  std::optional<ToolkitString> text_;
};

}  // namespace zeb::platform
