// Views of the AppKit backend: an NSView that the C++ view owns (retains), with the
// views placed inside it. A plain view is a flipped NSView that reports drawing and
// mouse clicks to its delegate.
#pragma once

#include <memory>
#include <vector>

#import "platform/appkit/appkit_compat.h"
#include "platform/views.h"

namespace zeb::platform {

class AppKitView : public virtual View {
 public:
  // Retains the NSView; the delegate (null for none) hears what a flipped view reports.
  AppKitView(NSView* view, std::unique_ptr<ViewDelegate> delegate);
  ~AppKitView() override;
  AppKitView(const AppKitView&) = delete;
  AppKitView& operator=(const AppKitView&) = delete;

  Rect Frame() const override;
  void SetFrame(const Rect& frame) override;
  void SetNeedsDisplay() override;
  void AddSubview(std::unique_ptr<View> subview) override;
  void RemoveFromSuperview() override;

  NSView* nsView() const { return view_; }
  ViewDelegate* delegate() const { return delegate_.get(); }

 private:
  NSView* view_;
  std::unique_ptr<ViewDelegate> delegate_;
  std::vector<std::unique_ptr<View>> subviews_;
  AppKitView* superview_ = nullptr;
};

// A plain view: flipped, reporting to the delegate.
std::unique_ptr<AppKitView> MakeFlippedView(std::unique_ptr<ViewDelegate> delegate);

}  // namespace zeb::platform
