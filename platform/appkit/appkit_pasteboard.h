// The system clipboard of the AppKit backend: the general pasteboard's plain
// text. The pasteboard's server keeps what is put there, beyond the process too,
// so nothing is left to hand over as the process ends.
#pragma once

#include <mutex>
#include <optional>

#include "platform/toolkit.h"

namespace zeb::platform {

// Any thread may use it; one call at a time talks to the server.
class AppKitPasteboard : public Pasteboard {
 public:
  // Nothing when the server holds no text or cannot be reached.
  std::optional<ToolkitString> Text() override;
  // A server that cannot be reached keeps what it had.
  void SetText(const ToolkitString& text) override;
  void Close() override {}

 private:
  std::mutex mutex_;
};

}  // namespace zeb::platform
