// Text views of the toolkit contract: multi-line plain text that the user edits,
// shown in a font and colours, wrapped at the view's width or not, and a
// responder to the editing actions. Offsets are 16-bit units.
#pragma once

#include <optional>

#include "platform/controls.h"
#include "platform/views.h"

namespace zeb::platform {

// A colour as four components from 0 to 1.
struct ColorComponents {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 0;
};

// Who hears of the user's edits.
class TextDelegate {
 public:
  virtual ~TextDelegate() = default;
  // The user changed the text (typing, cutting, pasting); setting the text from
  // the program tells nothing.
  virtual void TextDidChange() = 0;
};

class TextView : public virtual View {
 public:
  // Not owned; null for none.
  virtual void SetTextDelegate(TextDelegate* delegate) = 0;

  virtual void SetString(const ToolkitString& text) = 0;
  virtual ToolkitString String() const = 0;
  // Appends the text at the end, plain, leaving the selection where it was.
  virtual void AppendString(const ToolkitString& text) = 0;

  // Null keeps the font the view has.
  virtual void SetFont(SharedFont font) = 0;
  virtual SharedFont Font() const = 0;

  // A text that is not editable may still be selectable (and copied from).
  virtual void SetEditable(bool editable) = 0;
  virtual bool IsEditable() const = 0;
  virtual void SetSelectable(bool selectable) = 0;

  // Lines wrap at the view's width, or run on to the right.
  virtual void SetWrapsLines(bool wraps) = 0;
  virtual bool WrapsLines() const = 0;

  virtual void SetTextColor(const ColorComponents& color) = 0;
  virtual ColorComponents TextColor() const = 0;
  virtual void SetBackgroundColor(const ColorComponents& color) = 0;
  virtual ColorComponents BackgroundColor() const = 0;

  // The selection as a range of units [start, end).
  virtual void SetSelection(int64_t start, int64_t end) = 0;
  virtual std::pair<int64_t, int64_t> Selection() const = 0;
};

}  // namespace zeb::platform
