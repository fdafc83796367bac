// The key window's hand-over, as every backend tells it: the window that had the
// keyboard hears first, then the one that takes it.
#pragma once

#include "platform/toolkit.h"

namespace zeb::platform {

inline void TellKeyChange(WindowDelegate* delegate, bool becameKey) {
  if (delegate == nullptr) return;
  if (becameKey) {
    delegate->WindowDidBecomeKey();
  } else {
    delegate->WindowDidResignKey();
  }
}

// Makes `next` (or none) the key window of a backend that tracks it in `key`.
template <typename BackendWindow>
void MoveKeyWindow(BackendWindow*& key, BackendWindow* next) {
  if (key == next) return;
  BackendWindow* previous = key;
  key = next;
  if (previous != nullptr) TellKeyChange(previous->Delegate(), false);
  if (next != nullptr) TellKeyChange(next->Delegate(), true);
}

}  // namespace zeb::platform
