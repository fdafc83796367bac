// The editor gadget: a multi-line plain-text editor in a scroll view. Its items
// are the lines of its text; it reports focus changes and the user's edits as
// gadget events, and has a read-only and a word-wrap attribute and a text and a
// background colour.
#pragma once

#include <cstdint>

#include "runtime/events/event_queue.h"
#include "runtime/gadgets/gadget_functions.h"

namespace zeb {

// EditorGadget flags, and the attributes of the same numbers.
inline constexpr int32_t EditorReadOnly = 1;
inline constexpr int32_t EditorWordWrap = 2;
inline constexpr int32_t EditorAttributeReadOnly = 1;
inline constexpr int32_t EditorAttributeWordWrap = 2;

// Colour types.
inline constexpr int32_t FrontColor = 1;
inline constexpr int32_t BackColor = 2;

// The role of the editor's text view: focus changes become gadget events.
class ZebEditorGadgetTextView : public ZebGadgetView {
 public:
  void BecameFirstResponder() override { PostFocus(FocusEventType); }
  void ResignedFirstResponder() override { PostFocus(LostFocusEventType); }

 private:
  void PostFocus(int64_t kind) const;
};

class ZebEditorGadgetFunctions : public ZebGadgetFunctions, public platform::TextDelegate {
 public:
  explicit ZebEditorGadgetFunctions(platform::TextView& view) : view_(view) {}

  void SetGadgetFont(platform::SharedFont font) override;
  platform::SharedFont GetGadgetFont() override { return view_.Font(); }
  int64_t AddGadgetItem(int32_t position, const platform::ToolkitString& text) override;
  void RemoveGadgetItem(int32_t position) override;
  void ClearGadgetItems() override { SetText(u""); }
  int64_t CountGadgetItems() override;
  void SetGadgetText(const platform::ToolkitString& text) override { SetText(text); }
  platform::ToolkitString GetGadgetText() override { return view_.String(); }
  void SetGadgetItemText(int32_t position, const platform::ToolkitString& text, int32_t column) override;
  platform::ToolkitString GetGadgetItemText(int32_t position, int32_t column) override;
  void SetGadgetAttribute(int32_t attribute, int64_t value) override;
  int64_t GetGadgetAttribute(int32_t attribute) override;
  void SetGadgetColor(int32_t type, const platform::ColorComponents& color) override;
  std::optional<platform::ColorComponents> GetGadgetColor(int32_t type) override;
  void TextDidChange() override { SendEvent(ChangeEventType); }

 private:
  void SetText(const platform::ToolkitString& text);

  platform::TextView& view_;
};

// An editor at (x, y) of the current gadget container. Returns the record's
// address for -1, a non-zero value for a chosen number, 0 when there is no gadget
// container or no record could be had.
int64_t EditorGadget(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags);

}  // namespace zeb
