// Every requester gives the keyboard back to the window that had it: this keeps
// the key window of the moment it is made and makes it key again when it ends.
#pragma once

#include "platform/toolkit.h"

namespace zeb {

class KeyWindowKeeper {
 public:
  KeyWindowKeeper() : window_(platform::CurrentToolkit().KeyWindow()) {}
  ~KeyWindowKeeper() {
    if (window_ != nullptr) window_->MakeKey();
  }
  KeyWindowKeeper(const KeyWindowKeeper&) = delete;
  KeyWindowKeeper& operator=(const KeyWindowKeeper&) = delete;

 private:
  platform::Window* window_;
};

}  // namespace zeb
