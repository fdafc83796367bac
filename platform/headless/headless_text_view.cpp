#include "platform/headless/headless_text_view.h"

#include <algorithm>

#include "platform/headless/headless_fonts.h"
#include "platform/headless/headless_pasteboard.h"

namespace zeb::platform {
namespace {

constexpr double kStandardFontSize = 12;

}  // namespace

HeadlessTextView::HeadlessTextView(HeadlessPasteboard& pasteboard, std::unique_ptr<ViewDelegate> delegate)
    : HeadlessView(std::move(delegate)), pasteboard_(pasteboard), font_(HeadlessSystemFont(kStandardFontSize)) {}

void HeadlessTextView::SetString(const ToolkitString& text) {
  text_ = text;
  start_ = end_ = 0;
}

void HeadlessTextView::SetFont(SharedFont font) {
  if (font != nullptr) font_ = std::move(font);
}

void HeadlessTextView::SetSelection(int64_t start, int64_t end) {
  const auto length = static_cast<int64_t>(text_.size());
  start_ = std::clamp<int64_t>(std::min(start, end), 0, length);
  end_ = std::clamp<int64_t>(std::max(start, end), 0, length);
}

void HeadlessTextView::ReplaceSelection(const ToolkitString& characters) {
  text_.replace(static_cast<size_t>(start_), static_cast<size_t>(end_ - start_), characters);
  start_ = end_ = start_ + static_cast<int64_t>(characters.size());
  if (textDelegate_ != nullptr) textDelegate_->TextDidChange();
}

// Backspace ("\b") deletes the selection, or the character before the caret.
void HeadlessTextView::Insert(const ToolkitString& characters) {
  if (!editable_) return;
  if (characters == u"\b") {
    if (start_ == end_) start_ = BackspaceStart(text_, start_);
    ReplaceSelection(u"");
    return;
  }
  ToolkitString typed = characters;
  std::replace(typed.begin(), typed.end(), u'\r', u'\n');
  ReplaceSelection(typed);
}

void HeadlessTextView::PlaceInsertionPoint(Point local) {
  const auto line = static_cast<int64_t>(std::max(local.y, 0.0) / kHeadlessLineHeight);
  const auto column = static_cast<int64_t>(std::max(local.x, 0.0) / kHeadlessCharacterWidth + 0.5);
  // A click below the last line lands on the last line.
  size_t lineStart = 0;
  for (int64_t i = 0; i < line; ++i) {
    const size_t next = text_.find(u'\n', lineStart);
    if (next == ToolkitString::npos) break;
    lineStart = next + 1;
  }
  const size_t lineEnd = std::min(text_.find(u'\n', lineStart), text_.size());
  start_ = end_ = static_cast<int64_t>(std::min(lineStart + static_cast<size_t>(column), lineEnd));
}

bool HeadlessTextView::Perform(EditingAction action) {
  const ToolkitString selected = text_.substr(static_cast<size_t>(start_), static_cast<size_t>(end_ - start_));
  switch (action) {
    case EditingAction::Cut:
      if (!editable_) return false;
      if (start_ != end_) {
        pasteboard_.SetText(selected);
        ReplaceSelection(u"");
      }
      return true;
    case EditingAction::Copy:
      if (start_ != end_) pasteboard_.SetText(selected);
      return true;
    case EditingAction::Paste:
      if (!editable_) return false;
      if (auto text = pasteboard_.Text()) ReplaceSelection(*text);
      return true;
    case EditingAction::SelectAll:
      SetSelection(0, static_cast<int64_t>(text_.size()));
      return true;
    case EditingAction::Undo:
    case EditingAction::Redo:
      // The editor keeps no undo.
      return false;
  }
  return false;
}

void HeadlessScrollView::SetFrame(const Rect& frame) {
  HeadlessView::SetFrame(frame);
  if (document_ != nullptr) document_->SetFrame({0, 0, Frame().width, Frame().height});
}

void HeadlessScrollView::SetDocumentView(std::unique_ptr<View> view) {
  auto* document = dynamic_cast<HeadlessView*>(view.get());
  if (document == nullptr) return;
  if (document_ != nullptr) RemoveSubview(document_);
  document_ = document;
  AddSubview(std::move(view));
}

}  // namespace zeb::platform
