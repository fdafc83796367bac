// Controls of the toolkit contract: push buttons, labels and one-line text fields.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/fonts.h"
#include "platform/views.h"

namespace zeb::platform {

// Where a control sends its action: the runtime's handlers of buttons.
class ControlTarget {
 public:
  virtual ~ControlTarget() = default;
  virtual void ControlAction(View& sender) = 0;
};

// A view that sends an action to its target and shows its text in a font.
class Control : public virtual View {
 public:
  // The target hears of each action; it must outlive the control or be replaced.
  virtual void SetTarget(ControlTarget* target) = 0;
  // Null goes back to the toolkit's standard font.
  virtual void SetFont(SharedFont font) = 0;
  virtual SharedFont Font() const = 0;
};

enum class BezelStyle { Rounded, Square };
enum class ButtonType { MomentaryPush, PushOnPushOff };
enum class TextAlignment { Natural, Left, Right };

// The height of a standard push button, the one height a rounded bezel fits.
inline constexpr double kStandardButtonHeight = 25;

// A push button of a type chosen when it is made: rounded and centred unless
// told otherwise.
class Button : public Control {
 public:
  virtual void SetTitle(const ToolkitString& title) = 0;
  virtual ToolkitString Title() const = 0;
  virtual ButtonType Type() const = 0;
  virtual void SetAlignment(TextAlignment alignment) = 0;
  virtual TextAlignment Alignment() const = 0;
  virtual void SetBezelStyle(BezelStyle style) = 0;
  virtual BezelStyle Bezel() const = 0;
  // A push-on/push-off button's state: pushed on or not.
  virtual bool IsOn() const = 0;
  // The height the button needs for its title in this toolkit's look.
  virtual double FittingHeight() const = 0;
};

// A text that cannot be selected or edited, drawn without border or background.
class Label : public virtual View {
 public:
  virtual void SetText(const ToolkitString& text) = 0;
  // The size the text needs, on as many lines as it has.
  virtual Size FittingSize() const = 0;
};

// A one-line editable text, and a responder to the editing actions.
class TextField : public virtual View {
 public:
  virtual ToolkitString Text() const = 0;
  virtual void SetText(const ToolkitString& text) = 0;
  // The selection as a range of units [start, end).
  virtual void SetSelection(int64_t start, int64_t end) = 0;
  virtual std::pair<int64_t, int64_t> Selection() const = 0;
  // The height one line of text needs in this toolkit's look.
  virtual double FittingHeight() const = 0;
};

}  // namespace zeb::platform
