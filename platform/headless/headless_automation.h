// The automation API of the headless toolkit: every action becomes a simulated
// event in the toolkit's queue.
#pragma once

#include <deque>

#include "platform/automation.h"
#include "platform/headless/headless_toolkit.h"

namespace zeb::platform {

// A headless toolkit with a 1920 x 1080 main screen, and its automation.
AutomatedBackend MakeHeadlessBackend();

class HeadlessAutomation : public Automation {
 public:
  explicit HeadlessAutomation(HeadlessToolkit& toolkit);

  void PressCloseButton(Window* window) override { Queue(HeadlessAction::CloseButton, window); }
  void PressZoomButton(Window* window) override { Queue(HeadlessAction::ZoomButton, window); }
  void Miniaturize(Window* window) override { Queue(HeadlessAction::MiniaturizeButton, window); }
  void Deminiaturize(Window* window) override { Queue(HeadlessAction::Deminiaturize, window); }
  void ResizeContent(Window* window, Size content) override;
  void MoveFrame(Window* window, Point frameOrigin) override;
  void Activate(Window* window) override { Queue(HeadlessAction::Activate, window); }
  void Click(Window* window, Point contentPoint, int clicks, MouseButton button) override;
  void PressKey(char16_t key, uint32_t modifiers) override;
  void Drop(Window* window, Point contentPoint, DragContents contents, uint32_t operations) override;
  Rect ShownFrame(View* view) override { return view->Frame(); }
  int64_t KeyEventsDelivered(Window* window) override;
  void CopyImageElsewhere() override { toolkit_.headlessPasteboard().SetImage(); }
  void WhenModal(std::function<void()> user) override { toolkit_.OnNextModal(std::move(user)); }
  void WhenKey(std::vector<std::function<void()>> steps) override;
  ModalContents ModalWindowContents() override;
  void PressButton(const ToolkitString& title) override;
  void TypeText(const ToolkitString& text) override;
  void CloseModalWindow() override { Queue(HeadlessAction::CloseButton, toolkit_.modalWindow()); }
  void PickColor(const ColorComponents& color) override;
  void ChooseFiles(const std::vector<ToolkitString>& paths) override;
  void ChooseFilter(const ToolkitString& description) override;
  void WhenPopUp(std::function<void()> user) override { toolkit_.OnNextPopUp(std::move(user)); }
  int64_t WatchdogEndings() const override { return toolkit_.timeLimitEndings(); }
  std::vector<MenuEntry> PopUpEntries() override;
  Point PopUpOrigin() override { return toolkit_.popUpPoint(); }
  void ChoosePopUpItem(const ToolkitString& title) override { ChooseAt({title}); }
  void DismissPopUp(bool) override { Queue(HeadlessAction::DismissMenu, nullptr); }
  void ChooseMenuItem(const ToolkitString& menu, const ToolkitString& item) override { ChooseAt({menu, item}); }
  void MovePointer(Point screenPoint) override;

 private:
  std::unique_ptr<HeadlessEvent> Event(HeadlessAction action, Window* window) const;
  void Queue(HeadlessAction action, Window* window) { toolkit_.Queue(Event(action, window)); }
  void ChooseAt(std::vector<ToolkitString> titles);
  // The next step of the script, or the watchdog after it.
  std::optional<Deadline> Act();

  HeadlessToolkit& toolkit_;
  std::deque<std::function<void()>> steps_;
  std::optional<Deadline> watchdog_;
  uint64_t watchedWindow_ = 0;
};

}  // namespace zeb::platform
