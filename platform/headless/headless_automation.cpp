#include "platform/headless/headless_automation.h"

namespace zeb::platform {
namespace {

// How long a window may stay key after the script's last step, and how soon the
// script looks again for a key window it is waiting for.
constexpr auto kForgottenWindow = std::chrono::seconds(5);
constexpr auto kKeyWindowRetry = std::chrono::milliseconds(20);

}  // namespace

AutomatedBackend MakeHeadlessBackend() {
  auto toolkit = std::make_unique<HeadlessToolkit>(Size{1920, 1080});
  auto automation = std::make_unique<HeadlessAutomation>(*toolkit);
  return {"headless", std::move(toolkit), std::move(automation)};
}

HeadlessAutomation::HeadlessAutomation(HeadlessToolkit& toolkit) : toolkit_(toolkit) {
  // A dialog the test does not answer ends after this long without input.
  toolkit_.SetModalTimeLimit(std::chrono::seconds(5));
  toolkit_.SetIdleUser([this] { return Act(); });
}

void HeadlessAutomation::WhenKey(std::vector<std::function<void()>> steps) {
  steps_.assign(steps.begin(), steps.end());
  watchdog_.reset();
}

// The loop is about to wait with nothing queued, so the input of the step before
// has been handled.
std::optional<Deadline> HeadlessAutomation::Act() {
  if (!steps_.empty()) {
    auto* key = static_cast<HeadlessWindow*>(toolkit_.KeyWindow());
    if (key == nullptr) return Clock::now() + kKeyWindowRetry;
    const std::function<void()> step = std::move(steps_.front());
    steps_.pop_front();
    step();
    if (steps_.empty()) {
      watchdog_ = Clock::now() + kForgottenWindow;
      watchedWindow_ = key->serial();
    }
    return std::nullopt;
  }
  if (!watchdog_) return std::nullopt;
  if (Clock::now() < *watchdog_) return watchdog_;
  watchdog_.reset();
  if (toolkit_.KeyWindow() == toolkit_.FindWindow(watchedWindow_)) {
    auto event = std::make_unique<HeadlessEvent>();
    event->action = HeadlessAction::CloseButton;
    event->window = watchedWindow_;
    toolkit_.Queue(std::move(event));
  }
  return std::nullopt;
}

void HeadlessAutomation::Drop(Window* window, Point contentPoint, DragContents contents, uint32_t operations) {
  auto event = Event(HeadlessAction::Drop, window);
  event->point = contentPoint;
  event->dragContents = std::move(contents);
  event->dragOperations = operations;
  toolkit_.Queue(std::move(event));
}

std::unique_ptr<HeadlessEvent> HeadlessAutomation::Event(HeadlessAction action, Window* window) const {
  auto event = std::make_unique<HeadlessEvent>();
  event->action = action;
  if (auto* headless = dynamic_cast<HeadlessWindow*>(window)) event->window = headless->serial();
  return event;
}

void HeadlessAutomation::ResizeContent(Window* window, Size content) {
  auto event = Event(HeadlessAction::Resize, window);
  event->size = content;
  toolkit_.Queue(std::move(event));
}

void HeadlessAutomation::MoveFrame(Window* window, Point frameOrigin) {
  auto event = Event(HeadlessAction::Move, window);
  event->point = frameOrigin;
  toolkit_.Queue(std::move(event));
}

void HeadlessAutomation::Click(Window* window, Point contentPoint, int clicks, MouseButton button) {
  for (int count = 1; count <= clicks; ++count) {
    auto event = Event(button == MouseButton::Right ? HeadlessAction::RightMouseUp : HeadlessAction::LeftMouseUp, window);
    event->point = contentPoint;
    event->clickCount = count;
    toolkit_.Queue(std::move(event));
  }
}

void HeadlessAutomation::PressKey(char16_t key, uint32_t modifiers) {
  auto event = std::make_unique<HeadlessEvent>();
  event->action = HeadlessAction::Key;
  event->modifiers = modifiers;
  event->characters = ToolkitString(1, key);
  toolkit_.Queue(std::move(event));
}

int64_t HeadlessAutomation::KeyEventsDelivered(Window* window) {
  auto* headless = dynamic_cast<HeadlessWindow*>(window);
  return headless != nullptr ? headless->keyEventsDelivered() : 0;
}

void HeadlessAutomation::ChooseFiles(const std::vector<ToolkitString>& paths) {
  auto event = Event(HeadlessAction::ChooseFiles, nullptr);
  event->paths = paths;
  toolkit_.Queue(std::move(event));
}

// The pick takes effect at once, so what the panel lists can be read right after.
void HeadlessAutomation::ChooseFilter(const ToolkitString& description) {
  if (HeadlessFilePanel* panel = toolkit_.runningFilePanel()) panel->ChooseFilter(description);
}

ModalContents HeadlessAutomation::ModalWindowContents() {
  ModalContents contents;
  HeadlessWindow* window = toolkit_.modalWindow();
  if (window == nullptr || window->content() == nullptr) return contents;
  contents.title = window->Title();
  const Rect frame = window->Frame();
  const FrameExtents e = window->Extents();
  contents.content = {frame.width - e.left - e.right, frame.height - e.top - e.bottom};
  if (const HeadlessFilePanel* panel = toolkit_.runningFilePanel()) {
    contents.folder = panel->directory();
    contents.name = panel->offeredName();
    for (const FileFilter& filter : panel->filters()) contents.filters.push_back(filter.description);
    contents.filter = panel->currentFilter();
    contents.listed = panel->ListedNames();
  }
  window->content()->VisitTree([&](HeadlessView& view) {
    auto* label = dynamic_cast<HeadlessLabel*>(&view);
    auto* button = dynamic_cast<HeadlessButton*>(&view);
    auto* field = dynamic_cast<HeadlessTextField*>(&view);
    if (label != nullptr) contents.labels.push_back(label->text());
    if (button != nullptr) contents.buttons.push_back(button->title());
    if (field != nullptr && !contents.field) {
      contents.field = field->Text();
      contents.secure = field->secure();
      contents.selection = field->Selection();
    }
    if (label != nullptr || button != nullptr || field != nullptr) contents.controls.push_back(ShownFrame(&view));
  });
  return contents;
}

void HeadlessAutomation::PressButton(const ToolkitString& title) {
  auto event = Event(HeadlessAction::PressButton, nullptr);
  event->characters = title;
  toolkit_.Queue(std::move(event));
}

void HeadlessAutomation::TypeText(const ToolkitString& text) {
  for (const char16_t character : text) PressKey(character, 0);
}

void HeadlessAutomation::PickColor(const ColorComponents& color) {
  auto event = Event(HeadlessAction::PickColor, nullptr);
  event->color = color;
  toolkit_.Queue(std::move(event));
}

std::vector<MenuEntry> HeadlessAutomation::PopUpEntries() {
  const HeadlessMenu* menu = toolkit_.popUpMenu();
  return menu != nullptr ? MenuEntries(*menu) : std::vector<MenuEntry>{};
}

void HeadlessAutomation::ChooseAt(std::vector<ToolkitString> titles) {
  auto event = Event(HeadlessAction::ChooseMenuItem, nullptr);
  event->paths = std::move(titles);
  toolkit_.Queue(std::move(event));
}

void HeadlessAutomation::MovePointer(Point screenPoint) {
  auto event = Event(HeadlessAction::MovePointer, nullptr);
  event->point = screenPoint;
  toolkit_.Queue(std::move(event));
}

}  // namespace zeb::platform
