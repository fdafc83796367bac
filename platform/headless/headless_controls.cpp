#include "platform/headless/headless_controls.h"

#include <algorithm>

namespace zeb::platform {

void HeadlessButton::Press() {
  if (type_ == ButtonType::PushOnPushOff) on_ = !on_;
  if (target_ != nullptr) target_->ControlAction(*this);
}

Size HeadlessLabel::FittingSize() const {
  size_t widest = 0;
  size_t lines = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i <= text_.size(); ++i) {
    if (i == text_.size() || text_[i] == u'\n') {
      widest = std::max(widest, i - lineStart);
      if (i < text_.size()) ++lines;
      lineStart = i + 1;
    }
  }
  return {static_cast<double>(widest) * kHeadlessCharacterWidth, static_cast<double>(lines) * kHeadlessLineHeight};
}

}  // namespace zeb::platform
