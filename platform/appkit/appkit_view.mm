#import "platform/appkit/appkit_view.h"

#include <algorithm>

// A flipped view (origin top-left) that tells its delegate of drawing and of the
// mouse buttons' releases.
@interface ZebFlippedView : NSView {
  zeb::platform::ViewDelegate* delegate_;
}
- (void)setViewDelegate:(zeb::platform::ViewDelegate*)delegate;
@end

@implementation ZebFlippedView

- (void)setViewDelegate:(zeb::platform::ViewDelegate*)delegate {
  delegate_ = delegate;
}

- (BOOL)isFlipped {
  return YES;
}

// A click in a window that is not key reaches the view too.
- (BOOL)acceptsFirstMouse:(NSEvent*)event {
  return YES;
}

- (void)drawRect:(NSRect)rect {
  if (delegate_ != nullptr) delegate_->DrawRect({rect.origin.x, rect.origin.y, rect.size.width, rect.size.height});
}

- (void)mouseUp:(NSEvent*)event {
  if (delegate_ != nullptr) delegate_->MouseUp(static_cast<int>([event clickCount]));
}

- (void)rightMouseUp:(NSEvent*)event {
  if (delegate_ != nullptr) delegate_->RightMouseUp(static_cast<int>([event clickCount]));
}

@end

namespace zeb::platform {

AppKitView::AppKitView(NSView* view, std::unique_ptr<ViewDelegate> delegate)
    : view_([view retain]), delegate_(std::move(delegate)) {
  if ([view_ isKindOfClass:[ZebFlippedView class]]) [static_cast<ZebFlippedView*>(view_) setViewDelegate:delegate_.get()];
}

AppKitView::~AppKitView() {
  subviews_.clear();
  if ([view_ isKindOfClass:[ZebFlippedView class]]) [static_cast<ZebFlippedView*>(view_) setViewDelegate:nullptr];
  [view_ removeFromSuperview];
  [view_ release];
}

Rect AppKitView::Frame() const {
  const NSRect frame = [view_ frame];
  return {frame.origin.x, frame.origin.y, frame.size.width, frame.size.height};
}

void AppKitView::SetFrame(const Rect& frame) {
  [view_ setFrame:NSMakeRect(frame.x, frame.y, std::max(frame.width, 0.0), std::max(frame.height, 0.0))];
}

void AppKitView::SetNeedsDisplay() { [view_ setNeedsDisplay:YES]; }

void AppKitView::AddSubview(std::unique_ptr<View> subview) {
  auto* appKit = dynamic_cast<AppKitView*>(subview.get());
  if (appKit == nullptr) return;
  [view_ addSubview:appKit->view_];
  appKit->superview_ = this;
  subviews_.push_back(std::move(subview));
}

void AppKitView::RemoveFromSuperview() {
  if (superview_ == nullptr) return;
  auto& siblings = superview_->subviews_;
  const auto found = std::find_if(siblings.begin(), siblings.end(), [this](const auto& view) { return view.get() == this; });
  if (found == siblings.end()) return;
  const std::unique_ptr<View> self = std::move(*found);
  siblings.erase(found);
}

std::unique_ptr<AppKitView> MakeFlippedView(std::unique_ptr<ViewDelegate> delegate) {
  ZebFlippedView* view = [[ZebFlippedView alloc] initWithFrame:NSMakeRect(0, 0, 0, 0)];
  auto made = std::make_unique<AppKitView>(view, std::move(delegate));
  [view release];
  return made;
}

}  // namespace zeb::platform
