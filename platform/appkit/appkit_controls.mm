#import "platform/appkit/appkit_controls.h"

#include <algorithm>

#import "platform/appkit/appkit_fonts.h"
#import "platform/appkit/appkit_strings.h"

// A button's target in AppKit's terms: its action reaches the contract's target
// with the C++ button as the sender.
@interface ZebControlAction : NSObject {
  zeb::platform::ControlTarget* target_;
  zeb::platform::View* sender_;
}
- (instancetype)initWithSender:(zeb::platform::View*)sender;
- (void)setControlTarget:(zeb::platform::ControlTarget*)target;
- (void)act:(id)control;
@end

@implementation ZebControlAction

- (instancetype)initWithSender:(zeb::platform::View*)sender {
  if ((self = [super init]) != nil) sender_ = sender;
  return self;
}

- (void)setControlTarget:(zeb::platform::ControlTarget*)target {
  target_ = target;
}

- (void)act:(id)control {
  if (target_ != nullptr) target_->ControlAction(*sender_);
}

@end

namespace zeb::platform {
namespace {

NSButton* MakeButton(ButtonType type) {
  NSButton* button = [[[NSButton alloc] initWithFrame:NSMakeRect(0, 0, 0, 0)] autorelease];
  [button setButtonType:type == ButtonType::PushOnPushOff ? NSButtonTypePushOnPushOff : NSButtonTypeMomentaryPushIn];
  [button setBezelStyle:NSBezelStyleRounded];
  [button setAlignment:NSTextAlignmentCenter];
  [button setFont:NSFontOf(nullptr)];
  return button;
}

NSTextField* MakeLabel() {
  NSTextField* label = [[[NSTextField alloc] initWithFrame:NSMakeRect(0, 0, 0, 0)] autorelease];
  [label setEditable:NO];
  [label setSelectable:NO];
  [label setBezeled:NO];
  [label setBordered:NO];
  [label setDrawsBackground:NO];
  return label;
}

NSTextField* MakeField(bool secure) {
  NSTextField* field = secure ? [NSSecureTextField alloc] : [NSTextField alloc];
  field = [[field initWithFrame:NSMakeRect(0, 0, 0, 0)] autorelease];
  [field setEditable:YES];
  [field setSelectable:YES];
  [field setBezeled:YES];
  [[field cell] setScrollable:YES];
  return field;
}

NSTextAlignment AlignmentOf(TextAlignment alignment) {
  switch (alignment) {
    case TextAlignment::Natural: return NSTextAlignmentCenter;
    case TextAlignment::Left: return NSTextAlignmentLeft;
    case TextAlignment::Right: return NSTextAlignmentRight;
  }
  return NSTextAlignmentCenter;
}

}  // namespace

AppKitButton::AppKitButton(ButtonType type, std::unique_ptr<ViewDelegate> delegate)
    : AppKitView(MakeButton(type), std::move(delegate)), type_(type) {
  action_ = [[ZebControlAction alloc] initWithSender:this];
  [nsButton() setTarget:action_];
  [nsButton() setAction:@selector(act:)];
}

AppKitButton::~AppKitButton() {
  [nsButton() setTarget:nil];
  [action_ release];
}

void AppKitButton::SetTarget(ControlTarget* target) { [action_ setControlTarget:target]; }

void AppKitButton::SetFont(SharedFont font) {
  font_ = std::move(font);
  [nsButton() setFont:NSFontOf(font_)];
}

void AppKitButton::SetTitle(const ToolkitString& title) { [nsButton() setTitle:ToNSString(title)]; }

ToolkitString AppKitButton::Title() const { return FromNSString([nsButton() title]); }

// A button's natural alignment is its centre.
void AppKitButton::SetAlignment(TextAlignment alignment) {
  alignment_ = alignment;
  [nsButton() setAlignment:AlignmentOf(alignment)];
}

void AppKitButton::SetBezelStyle(BezelStyle style) {
  bezel_ = style;
  [nsButton() setBezelStyle:style == BezelStyle::Rounded ? NSBezelStyleRounded : NSBezelStyleRegularSquare];
}

bool AppKitButton::IsOn() const { return [nsButton() state] == NSControlStateValueOn; }

double AppKitButton::FittingHeight() const { return [[nsButton() cell] cellSize].height; }

AppKitLabel::AppKitLabel() : AppKitView(MakeLabel(), nullptr) {}

void AppKitLabel::SetText(const ToolkitString& text) {
  [static_cast<NSTextField*>(nsView()) setStringValue:ToNSString(text)];
}

Size AppKitLabel::FittingSize() const {
  const NSSize size = [[static_cast<NSTextField*>(nsView()) cell] cellSize];
  return {size.width, size.height};
}

AppKitTextField::AppKitTextField(bool secure) : AppKitView(MakeField(secure), nullptr) {}

// While the field is edited its text is the field editor's.
ToolkitString AppKitTextField::Text() const {
  NSText* editor = [static_cast<NSTextField*>(nsView()) currentEditor];
  return FromNSString(editor != nil ? [editor string] : [static_cast<NSTextField*>(nsView()) stringValue]);
}

void AppKitTextField::SetText(const ToolkitString& text) {
  [static_cast<NSTextField*>(nsView()) setStringValue:ToNSString(text)];
}

void AppKitTextField::SetSelection(int64_t start, int64_t end) {
  NSTextField* field = static_cast<NSTextField*>(nsView());
  NSText* editor = [field currentEditor];
  if (editor == nil) return;
  const auto length = static_cast<int64_t>([[editor string] length]);
  start = std::clamp<int64_t>(start, 0, length);
  end = std::clamp<int64_t>(end, start, length);
  [editor setSelectedRange:NSMakeRange(static_cast<NSUInteger>(start), static_cast<NSUInteger>(end - start))];
}

std::pair<int64_t, int64_t> AppKitTextField::Selection() const {
  NSText* editor = [static_cast<NSTextField*>(nsView()) currentEditor];
  if (editor == nil) return {0, 0};
  const NSRange range = [editor selectedRange];
  return {static_cast<int64_t>(range.location), static_cast<int64_t>(NSMaxRange(range))};
}

double AppKitTextField::FittingHeight() const { return [[static_cast<NSTextField*>(nsView()) cell] cellSize].height; }

}  // namespace zeb::platform
