#include "platform/headless/headless_toolkit.h"

#include <algorithm>
#include <utility>

#include "platform/headless/headless_bitmap.h"
#include "platform/headless/headless_fonts.h"
#include "platform/headless/headless_text_view.h"
#include "platform/closed_windows.h"
#include "platform/key_window.h"

namespace zeb::platform {
namespace {

// The decoration of a titled window: a title bar and a one-pixel border. Non-zero
// on every side, so the frame and content arithmetic of the runtime is exercised.
constexpr FrameExtents kTitledExtents{1, 22, 1, 1};
constexpr FrameExtents kBorderExtents{1, 1, 1, 1};

// An alert: the message and the informative text above a row of buttons.
constexpr Rect kAlertContent{0, 0, 420, 130};
constexpr Size kAlertButton{90, 25};

// Whether the event concerns a window other than the modal one.
bool AimedElsewhere(const HeadlessEvent& event, const HeadlessWindow& modal) {
  switch (event.action) {
    case HeadlessAction::WakeUp:
    case HeadlessAction::Key:
    case HeadlessAction::PressButton:
    case HeadlessAction::PickColor:
    case HeadlessAction::ChooseFiles:
      return false;
    default:
      return event.window != modal.serial();
  }
}

}  // namespace

HeadlessToolkit::HeadlessToolkit(std::optional<Size> screen) : screen_(screen) {}

HeadlessToolkit::~HeadlessToolkit() = default;

Capabilities HeadlessToolkit::capabilities() const {
  const bool screen = screen_.has_value();
  return {.windows = screen, .zoom = screen, .miniaturize = screen};
}

std::unique_ptr<ToolkitEvent> HeadlessToolkit::NextEvent(Deadline until) {
  for (;;) {
    // The simulated user acts while nothing is queued, outside the lock: what it
    // does is queued like any other input.
    std::optional<Deadline> userWake;
    if (idleUser_ && !HasPendingEvent()) userWake = idleUser_();
    std::unique_lock lock(queueLock_);
    const Deadline limit = userWake ? std::min(until, *userWake) : until;
    const auto queued = [this] { return !queue_.empty(); };
    if (limit == Deadline::max()) {
      queueChanged_.wait(lock, queued);
    } else if (!queueChanged_.wait_until(lock, limit, queued)) {
      if (Clock::now() >= until) return nullptr;
      continue;
    }
    std::unique_ptr<HeadlessEvent> event = std::move(queue_.front());
    queue_.pop_front();
    return event;
  }
}

bool HeadlessToolkit::HasPendingEvent() {
  std::lock_guard lock(queueLock_);
  return !queue_.empty();
}

void HeadlessToolkit::PostWakeUpEvent() {
  {
    std::lock_guard lock(queueLock_);
    queue_.push_front(std::make_unique<HeadlessEvent>());
  }
  queueChanged_.notify_all();
}

void HeadlessToolkit::Queue(std::unique_ptr<HeadlessEvent> event) {
  {
    std::lock_guard lock(queueLock_);
    queue_.push_back(std::move(event));
  }
  queueChanged_.notify_all();
}

void HeadlessToolkit::SendEvent(const ToolkitEvent& toolkitEvent) {
  const auto* event = dynamic_cast<const HeadlessEvent*>(&toolkitEvent);
  if (event == nullptr) return;
  switch (event->action) {
    case HeadlessAction::Key:
      if (key_ != nullptr) key_->KeyDown(*event);
      return;
    case HeadlessAction::PressButton:
      if (HeadlessWindow* target = modal_ != nullptr ? modal_ : key_) target->PressButton(event->characters);
      return;
    case HeadlessAction::PickColor:
      if (colorPanel_ != nullptr && colorPanel_->window().IsVisible()) colorPanel_->SetColor(event->color);
      return;
    case HeadlessAction::ChooseFiles:
      if (filePanel_ != nullptr) filePanel_->Choose(event->paths);
      return;
    case HeadlessAction::Drop:
      if (HeadlessWindow* window = FindWindow(event->window)) window->Drop(*event);
      return;
    case HeadlessAction::ChooseMenuItem:
      ChooseMenuItem(event->paths);
      return;
    case HeadlessAction::DismissMenu:
      popUp_ = nullptr;
      return;
    case HeadlessAction::MovePointer:
      pointer_ = event->point;
      return;
    default:
      break;
  }
  HeadlessWindow* window = FindWindow(event->window);
  if (window == nullptr) return;
  const uint32_t style = window->Style();
  switch (event->action) {
    case HeadlessAction::WakeUp:
    case HeadlessAction::Key:
    case HeadlessAction::PressButton:
    case HeadlessAction::PickColor:
    case HeadlessAction::ChooseFiles:
    case HeadlessAction::Drop:
    case HeadlessAction::ChooseMenuItem:
    case HeadlessAction::DismissMenu:
    case HeadlessAction::MovePointer:
      return;
    case HeadlessAction::CloseButton:
      window->PressCloseButton();
      return;
    case HeadlessAction::ZoomButton:
      if ((style & StyleResizable) != 0 && window->IsVisible()) window->Zoom();
      return;
    case HeadlessAction::MiniaturizeButton:
      if ((style & StyleMiniaturizable) != 0 && window->IsVisible()) window->Miniaturize();
      return;
    case HeadlessAction::Deminiaturize:
      window->Deminiaturize();
      return;
    case HeadlessAction::Resize:
      if ((style & StyleResizable) != 0 && window->IsVisible()) {
        const FrameExtents e = window->Extents();
        const Rect frame = window->Frame();
        window->SetFrame({frame.x, frame.y, event->size.width + e.left + e.right,
                          event->size.height + e.top + e.bottom});
      }
      return;
    case HeadlessAction::Move:
      if (window->IsVisible()) {
        const Rect frame = window->Frame();
        window->SetFrame({event->point.x, event->point.y, frame.width, frame.height});
      }
      return;
    case HeadlessAction::Activate:
      BringToFront(window);
      window->MakeKey();
      return;
    case HeadlessAction::LeftMouseUp:
    case HeadlessAction::RightMouseUp:
      window->MouseUp(event->point, event->clickCount, event->action == HeadlessAction::RightMouseUp);
      return;
  }
}

bool HeadlessToolkit::SendAction(EditingAction action) {
  if (key_ == nullptr) return false;
  HeadlessView* focused = key_->FirstResponder();
  if (auto* text = dynamic_cast<HeadlessTextView*>(focused)) return text->Perform(action);
  auto* field = dynamic_cast<HeadlessTextField*>(focused);
  if (field == nullptr) return false;
  field->Perform(action);
  return true;
}

void HeadlessToolkit::UpdateWindows() {
  for (const auto& window : windows_) {
    if (window->IsVisible() && window->content() != nullptr) window->content()->Display();
  }
}

std::optional<Rect> HeadlessToolkit::MainScreenFrame() const {
  if (!screen_) return std::nullopt;
  return Rect{0, 0, screen_->width, screen_->height};
}

FrameExtents HeadlessToolkit::ExtentsForStyle(uint32_t style) const {
  if (style == 0) return {};
  return (style & StyleTitled) != 0 ? kTitledExtents : kBorderExtents;
}

Window* HeadlessToolkit::CreateWindow(const Rect& content, uint32_t style) {
  if (!screen_) return nullptr;
  const FrameExtents e = ExtentsForStyle(style);
  const Rect frame{content.x - e.left, content.y - e.top, content.width + e.left + e.right,
                   content.height + e.top + e.bottom};
  windows_.push_back(std::make_unique<HeadlessWindow>(*this, nextSerial_++, frame, style));
  return windows_.back().get();
}

std::unique_ptr<View> HeadlessToolkit::CreateView(std::unique_ptr<ViewDelegate> delegate) {
  return std::make_unique<HeadlessView>(std::move(delegate));
}

std::unique_ptr<TextField> HeadlessToolkit::CreateTextField(bool secure) {
  return std::make_unique<HeadlessTextField>(pasteboard_, secure);
}

std::unique_ptr<Button> HeadlessToolkit::CreateButton(ButtonType type, std::unique_ptr<ViewDelegate> delegate) {
  return std::make_unique<HeadlessButton>(type, std::move(delegate));
}

std::unique_ptr<TextView> HeadlessToolkit::CreateTextView(std::unique_ptr<ViewDelegate> delegate) {
  return std::make_unique<HeadlessTextView>(pasteboard_, std::move(delegate));
}

std::unique_ptr<ScrollView> HeadlessToolkit::CreateScrollView() { return std::make_unique<HeadlessScrollView>(); }

SharedFont HeadlessToolkit::FontWithFamily(const ToolkitString& family, uint32_t traits, double size) {
  return HeadlessFontWithFamily(family, traits, size);
}

SharedFont HeadlessToolkit::SystemFont(double size) { return HeadlessSystemFont(size); }

int64_t HeadlessToolkit::RunModal(Window& window) {
  auto* modal = dynamic_cast<HeadlessWindow*>(&window);
  if (modal == nullptr) return 0;
  HeadlessWindow* outer = modal_;
  const std::optional<int64_t> outerCode = stopCode_;
  modal_ = modal;
  stopCode_.reset();
  modal->MakeKeyAndOrderFront();
  if (std::function<void()> user = std::exchange(nextModalUser_, nullptr)) user();
  // A modal window the user closes ends its loop as cancelled.
  while (!stopCode_ && modal->IsVisible()) {
    const Deadline until = modalTimeLimit_ ? Clock::now() + *modalTimeLimit_ : Deadline::max();
    const std::unique_ptr<ToolkitEvent> event = NextEvent(until);
    if (event == nullptr) {
      ++timeLimitEndings_;
      stopCode_ = 0;
      break;
    }
    if (!AimedElsewhere(static_cast<const HeadlessEvent&>(*event), *modal)) SendEvent(*event);
  }
  const int64_t code = stopCode_.value_or(0);
  modal_ = outer;
  stopCode_ = outerCode;
  return code;
}

int64_t HeadlessToolkit::RunAlert(const ToolkitString& message, const ToolkitString& informative,
                                  const std::vector<AlertButton>& buttons) {
  Window* window = CreateWindow(kAlertContent, StyleTitled | StyleClosable);
  if (window == nullptr) return 0;
  auto content = std::make_unique<HeadlessView>();
  content->SetFrame(kAlertContent);
  int line = 0;
  for (const ToolkitString* text : {&message, &informative}) {
    auto label = std::make_unique<HeadlessLabel>();
    label->SetText(*text);
    label->SetFrame({20, 20.0 + 30 * line++, kAlertContent.width - 40, 20});
    content->AddSubview(std::move(label));
  }
  // The first button is the default, rightmost; the others follow to its left.
  std::vector<AlertButton> shown = buttons;
  if (shown.empty()) shown.push_back({u"OK", kAlertDefaultButtonTag});
  std::vector<std::unique_ptr<StopModalButton>> targets;
  HeadlessButton* first = nullptr;
  double right = kAlertContent.width - 20;
  for (const AlertButton& choice : shown) {
    targets.push_back(std::make_unique<StopModalButton>(*this, choice.tag));
    auto button = std::make_unique<HeadlessButton>();
    button->SetTitle(choice.title);
    button->SetTarget(targets.back().get());
    right -= kAlertButton.width;
    button->SetFrame({right, kAlertContent.height - 20 - kAlertButton.height, kAlertButton.width, kAlertButton.height});
    right -= 10;
    if (first == nullptr) first = button.get();
    content->AddSubview(std::move(button));
  }
  window->SetContentView(std::move(content));
  window->SetDefaultButton(first);
  window->Center();
  const int64_t tag = RunModal(*window);
  window->Close();
  return tag != 0 ? tag : ClosedAlertTag(buttons);
}

std::unique_ptr<FilePanel> HeadlessToolkit::CreateFilePanel(FilePanelMode mode) {
  if (!screen_) return nullptr;
  return std::make_unique<HeadlessFilePanel>(*this, mode);
}

ColorPanel* HeadlessToolkit::SharedColorPanel() {
  if (colorPanel_ == nullptr) {
    auto* window = static_cast<HeadlessWindow*>(
        CreateWindow({0, 0, HeadlessColorPanel::kPickerSize.width, HeadlessColorPanel::kPickerSize.height},
                     StyleTitled | StyleClosable));
    if (window == nullptr) return nullptr;
    colorPanel_ = std::make_unique<HeadlessColorPanel>(*window);
  }
  return colorPanel_.get();
}

std::unique_ptr<Bitmap> HeadlessToolkit::CreateBitmap(int width, int height) {
  if (width < 1 || height < 1 || int64_t{width} * height * 4 > kLargestBitmapBytes) return nullptr;
  return std::make_unique<HeadlessBitmap>(width, height);
}

HeadlessWindow* HeadlessToolkit::FindWindow(uint64_t serial) const {
  for (const auto& window : windows_) {
    if (window->serial() == serial) return window.get();
  }
  return nullptr;
}

void HeadlessToolkit::SetKeyWindow(HeadlessWindow* window) { MoveKeyWindow(key_, window); }

void HeadlessToolkit::BringToFront(HeadlessWindow* window) {
  const auto found = std::find_if(windows_.begin(), windows_.end(), [window](const auto& w) { return w.get() == window; });
  if (found != windows_.end()) std::rotate(windows_.begin(), found, found + 1);
}

void HeadlessToolkit::WindowClosed(HeadlessWindow* window) {
  if (key_ == window) key_ = nullptr;
  SetClosedWindowAside(windows_, closed_, window);
}

}  // namespace zeb::platform
