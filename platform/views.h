// Views of the toolkit contract: rectangles in a window, in flipped coordinates
// (origin top-left), that own the views placed inside them, and the delegates
// through which they report.
#pragma once

#include <memory>

#include "platform/drops.h"
#include "platform/geometry.h"

namespace zeb::platform {

// What a view reports. A view owns its delegate and deletes it as the view goes,
// so the delegate's destructor is the view's last word. Each kind of view reports
// what it does; the defaults ignore the rest.
class ViewDelegate {
 public:
  virtual ~ViewDelegate() = default;
  virtual void DrawRect(const Rect&) {}
  virtual void MouseUp(int /*clickCount*/) {}
  virtual void RightMouseUp(int /*clickCount*/) {}
  // The view took, or gave up, the keyboard focus of its window.
  virtual void BecameFirstResponder() {}
  virtual void ResignedFirstResponder() {}

  // Drags reach only views whose kind registers the dragged types (text views).
  // Entered and updated answer the operation the drop would make, or none.
  virtual uint32_t DraggingEntered(const DraggingInfo&) { return DragNone; }
  virtual uint32_t DraggingUpdated(const DraggingInfo&) { return DragNone; }
  virtual bool PrepareForDragOperation(const DraggingInfo&) { return false; }
  // True takes the drop; the delegate may take the contents with it.
  virtual bool PerformDragOperation(DraggingInfo&) { return false; }
};

class View {
 public:
  virtual ~View() = default;
  virtual Rect Frame() const = 0;
  // Sizes below 0 count as 0.
  virtual void SetFrame(const Rect& frame) = 0;
  virtual void SetNeedsDisplay() = 0;
  // Places `subview` inside this view, which owns it from then on.
  virtual void AddSubview(std::unique_ptr<View> subview) = 0;
  // Takes the view out of its superview, which destroys it; a view without a
  // superview stays.
  virtual void RemoveFromSuperview() = 0;
};

// A view that shows part of a larger document view and scrolls over it.
class ScrollView : public virtual View {
 public:
  // The scroll view owns the document view.
  virtual void SetDocumentView(std::unique_ptr<View> view) = 0;
  virtual View* DocumentView() const = 0;
  // Which scroll bars it has, and whether they hide while the document fits.
  virtual void SetScrollers(bool vertical, bool horizontal, bool autohides) = 0;
  // A sunken bezel around the view, or no border.
  virtual void SetBezelBorder(bool bezel) = 0;
};

}  // namespace zeb::platform
