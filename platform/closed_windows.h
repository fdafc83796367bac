// A closed window is set aside, not destroyed: pointers to it stay valid until the
// backend releases its deferred objects at the next wait.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

namespace zeb::platform {

// Moves the window from the backend's open windows to its closed ones.
template <typename BackendWindow>
void SetClosedWindowAside(std::vector<std::unique_ptr<BackendWindow>>& open,
                          std::vector<std::unique_ptr<BackendWindow>>& closed, const BackendWindow* window) {
  const auto found = std::find_if(open.begin(), open.end(), [window](const auto& w) { return w.get() == window; });
  if (found == open.end()) return;
  closed.push_back(std::move(*found));
  open.erase(found);
}

}  // namespace zeb::platform
