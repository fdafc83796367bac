#import "platform/appkit/appkit_color_panel.h"

#import "platform/appkit/appkit_view.h"

// The shared colour panel, made of this class: Escape that no view takes presses
// its close button while it runs the modal loop, as in the backend's own windows.
@interface ZebColorPanel : NSColorPanel
@end

@implementation ZebColorPanel

- (void)cancelOperation:(id)sender {
  zeb::platform::CancelModalWindow(self);
}

#ifdef GNUSTEP
- (BOOL)performKeyEquivalent:(NSEvent*)event {
  return [super performKeyEquivalent:event] || (zeb::platform::IsEscape(event) && zeb::platform::CancelModalWindow(self));
}
#endif

@end

namespace zeb::platform {

// The panel first shows in the middle of the screen, and then where the user left it.
AppKitColorPanel::AppKitColorPanel(AppKitToolkit& toolkit) : window_(toolkit, [ZebColorPanel sharedColorPanel]) {
  window_.Center();
}

void AppKitColorPanel::SetColor(const ColorComponents& color) {
  [nsPanel() setColor:[NSColor colorWithDeviceRed:color.red green:color.green blue:color.blue alpha:color.alpha]];
}

std::optional<ColorComponents> AppKitColorPanel::Color() const {
  NSColor* color = [[nsPanel() color] colorUsingColorSpaceName:NSDeviceRGBColorSpace];
  if (color == nil) return std::nullopt;
  CGFloat red = 0, green = 0, blue = 0, alpha = 0;
  [color getRed:&red green:&green blue:&blue alpha:&alpha];
  return ColorComponents{red, green, blue, alpha};
}

void AppKitColorPanel::SetShowsAlpha(bool shows) { [nsPanel() setShowsAlpha:shows ? YES : NO]; }

// A default button inside the old accessory view goes with it.
void AppKitColorPanel::SetAccessoryView(std::unique_ptr<View> view) {
  window_.SetDefaultButton(nullptr);
  auto* appKit = dynamic_cast<AppKitView*>(view.get());
  [nsPanel() setAccessoryView:appKit != nullptr ? appKit->nsView() : nil];
#ifdef GNUSTEP
  // GNUstep places the accessory view below the pickers in a split view, which
  // lays out its views as it is first drawn: a view set later showed over them.
  NSView* holder = appKit != nullptr ? [appKit->nsView() superview] : nil;
  if ([holder isKindOfClass:[NSSplitView class]]) [(NSSplitView*)holder adjustSubviews];
#endif
  accessory_ = appKit != nullptr ? std::move(view) : nullptr;
}

}  // namespace zeb::platform
