#import "platform/appkit/appkit_text_view.h"

#include <algorithm>
#include <cfloat>

#import "platform/appkit/appkit_drops.h"
#import "platform/appkit/appkit_fonts.h"
#import "platform/appkit/appkit_strings.h"
#import "platform/appkit/appkit_text_storage.h"

using zeb::platform::DraggingInfo;
using zeb::platform::DraggingInfoOf;
using zeb::platform::TextDelegate;
using zeb::platform::ViewDelegate;

// A plain-text view that tells its delegates of the user's edits, of the keyboard
// focus and of drags, and covers at least the visible area of its scroll view.
@interface ZebTextView : NSTextView {
  ViewDelegate* viewDelegate_;
  TextDelegate* textDelegate_;
}
- (void)setViewDelegate:(ViewDelegate*)delegate;
- (void)setTextDelegate:(TextDelegate*)delegate;
@end

@implementation ZebTextView

- (void)setViewDelegate:(ViewDelegate*)delegate {
  viewDelegate_ = delegate;
}

- (void)setTextDelegate:(TextDelegate*)delegate {
  textDelegate_ = delegate;
}

// A click in a window that is not key reaches the text too.
- (BOOL)acceptsFirstMouse:(NSEvent*)event {
  return YES;
}

// Sent after each of the user's edits, not for the program's.
- (void)didChangeText {
  [super didChangeText];
  if (textDelegate_ != nullptr) textDelegate_->TextDidChange();
}

- (BOOL)becomeFirstResponder {
  const BOOL became = [super becomeFirstResponder];
  if (became && viewDelegate_ != nullptr) viewDelegate_->BecameFirstResponder();
  return became;
}

- (BOOL)resignFirstResponder {
  const BOOL resigned = [super resignFirstResponder];
  if (resigned && viewDelegate_ != nullptr) viewDelegate_->ResignedFirstResponder();
  return resigned;
}

// Clicks anywhere in the scroll view's visible area land in the text.
- (void)setFrameSize:(NSSize)size {
  NSView* clip = [self superview];
  if ([clip isKindOfClass:[NSClipView class]]) {
    size.width = std::max(size.width, NSWidth([clip bounds]));
    size.height = std::max(size.height, NSHeight([clip bounds]));
  }
  [super setFrameSize:size];
}

// Drags go to the delegate alone: the text does not take what is dropped.
- (NSArray*)acceptableDragTypes {
  return zeb::platform::DroppedTypes();
}

- (NSDragOperation)draggingEntered:(id<NSDraggingInfo>)drag {
  if (viewDelegate_ == nullptr) return NSDragOperationNone;
  return viewDelegate_->DraggingEntered(DraggingInfoOf(drag, self, false));
}

- (NSDragOperation)draggingUpdated:(id<NSDraggingInfo>)drag {
  if (viewDelegate_ == nullptr) return NSDragOperationNone;
  return viewDelegate_->DraggingUpdated(DraggingInfoOf(drag, self, false));
}

- (void)draggingExited:(id<NSDraggingInfo>)drag {
}

- (BOOL)prepareForDragOperation:(id<NSDraggingInfo>)drag {
  return viewDelegate_ != nullptr && viewDelegate_->PrepareForDragOperation(DraggingInfoOf(drag, self, false));
}

- (BOOL)performDragOperation:(id<NSDraggingInfo>)drag {
  if (viewDelegate_ == nullptr) return NO;
  DraggingInfo info = DraggingInfoOf(drag, self, true);
  return viewDelegate_->PerformDragOperation(info);
}

- (void)concludeDragOperation:(id<NSDraggingInfo>)drag {
}

@end

namespace zeb::platform {
namespace {

// A view over a text system of the backend's own: the storage holds the layout
// manager, which holds the container, which holds the view.
ZebTextView* MakeTextView(NSTextStorage* storage) {
  NSLayoutManager* layout = [[[NSLayoutManager alloc] init] autorelease];
  NSTextContainer* container = [[[NSTextContainer alloc] initWithContainerSize:NSMakeSize(FLT_MAX, FLT_MAX)] autorelease];
  [storage addLayoutManager:layout];
  [layout addTextContainer:container];
  ZebTextView* view = [[[ZebTextView alloc] initWithFrame:NSMakeRect(0, 0, 0, 0) textContainer:container] autorelease];
  [view setRichText:NO];
  [view setImportsGraphics:NO];
  [view setEditable:YES];
  [view setSelectable:YES];
  [view setVerticallyResizable:YES];
  [view setAutoresizingMask:NSViewWidthSizable | NSViewHeightSizable];
  [view setMaxSize:NSMakeSize(FLT_MAX, FLT_MAX)];
  [view setFont:NSFontOf(nullptr)];
  return view;
}

NSColor* NSColorOf(const ColorComponents& color) {
  return [NSColor colorWithDeviceRed:color.red green:color.green blue:color.blue alpha:color.alpha];
}

ColorComponents ComponentsOf(NSColor* color) {
  NSColor* rgb = [color colorUsingColorSpaceName:NSDeviceRGBColorSpace];
  if (rgb == nil) return {};
  return {[rgb redComponent], [rgb greenComponent], [rgb blueComponent], [rgb alphaComponent]};
}

}  // namespace

AppKitTextView::AppKitTextView(std::unique_ptr<ViewDelegate> delegate)
    : AppKitTextView([[ZebTextStorage alloc] init], std::move(delegate)) {}

AppKitTextView::AppKitTextView(NSTextStorage* storage, std::unique_ptr<ViewDelegate> delegate)
    : AppKitView(MakeTextView(storage), std::move(delegate)), storage_(storage) {
  [static_cast<ZebTextView*>(nsView()) setViewDelegate:this->delegate()];
  SetWrapsLines(false);
}

// Letting go of the storage lets go of the text system, which lets go of the view.
AppKitTextView::~AppKitTextView() {
  [static_cast<ZebTextView*>(nsView()) setViewDelegate:nullptr];
  [static_cast<ZebTextView*>(nsView()) setTextDelegate:nullptr];
  [storage_ release];
}

void AppKitTextView::SetTextDelegate(TextDelegate* delegate) {
  [static_cast<ZebTextView*>(nsView()) setTextDelegate:delegate];
}

void AppKitTextView::SetString(const ToolkitString& text) {
  [nsTextView() setString:ToNSString(text)];
  [nsTextView() setSelectedRange:NSMakeRange(0, 0)];
}

ToolkitString AppKitTextView::String() const { return FromNSString([nsTextView() string]); }

// In the view's font and colour, as typed text shows.
void AppKitTextView::AppendString(const ToolkitString& text) {
  NSAttributedString* appended = [[NSAttributedString alloc] initWithString:ToNSString(text)
                                                                 attributes:[nsTextView() typingAttributes]];
  [[nsTextView() textStorage] appendAttributedString:appended];
  [appended release];
}

void AppKitTextView::SetFont(SharedFont font) {
  if (font == nullptr) return;
  font_ = std::move(font);
  [nsTextView() setFont:NSFontOf(font_)];
}

void AppKitTextView::SetEditable(bool editable) { [nsTextView() setEditable:editable]; }

bool AppKitTextView::IsEditable() const { return [nsTextView() isEditable]; }

void AppKitTextView::SetSelectable(bool selectable) { [nsTextView() setSelectable:selectable]; }

// Without wrapping the text container is as wide as the largest line wants and the
// view grows to the right with it; with wrapping the container follows the view's
// width.
void AppKitTextView::SetWrapsLines(bool wraps) {
  NSTextView* view = nsTextView();
  NSTextContainer* container = [view textContainer];
  [view setHorizontallyResizable:!wraps];
  // A view grown wide by long lines narrows to its scroll view's visible width.
  NSView* clip = [view superview];
  if (wraps && [clip isKindOfClass:[NSClipView class]]) {
    [view setFrameSize:NSMakeSize(NSWidth([clip bounds]), NSHeight([view frame]))];
  }
  const CGFloat width = wraps ? NSWidth([view frame]) - 2 * [view textContainerInset].width : FLT_MAX;
  [container setContainerSize:NSMakeSize(width, [container containerSize].height)];
  [container setWidthTracksTextView:wraps];
}

bool AppKitTextView::WrapsLines() const { return ![nsTextView() isHorizontallyResizable]; }

void AppKitTextView::SetTextColor(const ColorComponents& color) { [nsTextView() setTextColor:NSColorOf(color)]; }

ColorComponents AppKitTextView::TextColor() const {
  NSColor* color = [nsTextView() textColor];
  return color != nil ? ComponentsOf(color) : ColorComponents{0, 0, 0, 1};
}

void AppKitTextView::SetBackgroundColor(const ColorComponents& color) {
  [nsTextView() setBackgroundColor:NSColorOf(color)];
}

ColorComponents AppKitTextView::BackgroundColor() const { return ComponentsOf([nsTextView() backgroundColor]); }

void AppKitTextView::SetSelection(int64_t start, int64_t end) {
  const auto length = static_cast<int64_t>([[nsTextView() string] length]);
  const int64_t from = std::clamp<int64_t>(std::min(start, end), 0, length);
  const int64_t to = std::clamp<int64_t>(std::max(start, end), 0, length);
  [nsTextView() setSelectedRange:NSMakeRange(static_cast<NSUInteger>(from), static_cast<NSUInteger>(to - from))];
}

std::pair<int64_t, int64_t> AppKitTextView::Selection() const {
  const NSRange range = [nsTextView() selectedRange];
  return {static_cast<int64_t>(range.location), static_cast<int64_t>(NSMaxRange(range))};
}

AppKitScrollView::AppKitScrollView()
    : AppKitView([[[NSScrollView alloc] initWithFrame:NSMakeRect(0, 0, 0, 0)] autorelease], nullptr) {}

void AppKitScrollView::SetDocumentView(std::unique_ptr<View> view) {
  auto* document = dynamic_cast<AppKitView*>(view.get());
  if (document == nullptr) return;
  NSScrollView* scroll = nsScrollView();
  [scroll setDocumentView:document->nsView()];
  const NSSize visible = [scroll contentSize];
  [document->nsView() setFrame:NSMakeRect(0, 0, visible.width, visible.height)];
  document_ = std::move(view);
}

void AppKitScrollView::SetScrollers(bool vertical, bool horizontal, bool autohides) {
  [nsScrollView() setHasVerticalScroller:vertical];
  [nsScrollView() setHasHorizontalScroller:horizontal];
  [nsScrollView() setAutohidesScrollers:autohides];
}

void AppKitScrollView::SetBezelBorder(bool bezel) { [nsScrollView() setBorderType:bezel ? NSBezelBorder : NSNoBorder]; }

}  // namespace zeb::platform
