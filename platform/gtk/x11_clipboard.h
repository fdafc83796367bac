// The system clipboard as the X11 CLIPBOARD selection holding UTF-8 text, served
// from a display connection of its own: other programs can paste what we set while
// the host sits idle and never pumps its toolkit's events.
#pragma once

#include <memory>
#include <optional>

#include "platform/toolkit.h"

namespace zeb::platform {

class X11Clipboard : public Pasteboard {
 public:
  // A clipboard on a new connection to the display (null: $DISPLAY), or null when
  // the display cannot be opened. Prints nothing and installs no process-wide
  // handler.
  static std::unique_ptr<X11Clipboard> Connect(const char* displayName);
  // While we own the clipboard and a clipboard manager runs, hands the text to the
  // manager (a bounded wait), then closes the connection.
  ~X11Clipboard() override;

  X11Clipboard(const X11Clipboard&) = delete;
  X11Clipboard& operator=(const X11Clipboard&) = delete;

  // Our own text while we own the clipboard; otherwise the owner's, asked for as
  // UTF-8 and then as Latin-1. Nothing when nobody owns it, the owner offers no
  // text, or it does not answer within a few seconds.
  std::optional<ToolkitString> Text() override;
  // Takes the clipboard with the text and returns once the server has made us the
  // owner. A lone surrogate becomes U+FFFD.
  void SetText(const ToolkitString& text) override;
  // What the destructor does, as the process ends: the serving thread stops after
  // handing the text to a clipboard manager, and the connection closes.
  void Close() override;

 private:
  class Server;
  explicit X11Clipboard(std::unique_ptr<Server> server);

  std::unique_ptr<Server> server_;
};

}  // namespace zeb::platform
