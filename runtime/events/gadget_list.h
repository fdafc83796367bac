// ZebGadgetList: for each window, the stack of container views into which new
// gadgets are placed. One list is current: the window opened (or set) last.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/toolkit.h"

namespace zeb {

class ZebGadgetList {
 public:
  // Creates the context that holds the current list and every list. Run at load.
  static void InitContext();

  static ZebGadgetList* CurrentList();
  static platform::View* CurrentView();
  static platform::Window* CurrentWindow();
  static ZebGadgetList* ListFromWindow(const platform::Window* window);
  // Makes the window's list current, creating it when the window has none;
  // returns the window of the list that was current before, or null.
  static platform::Window* SetWindow(platform::Window* window);
  // Drops the window's list; when it was current, no list is current afterwards.
  static void RemoveWindow(const platform::Window* window);

  explicit ZebGadgetList(platform::Window* window);

  platform::Window* window() const { return TopWindow; }
  platform::View* top() const { return TopView; }
  int32_t stackIndex() const { return StackIndex; }
  int32_t stackSize() const { return StackSize; }

  // Saves the current container and makes `view` the new one.
  void Push(platform::View* view);
  void PushNoView() { Push(nullptr); }
  // Replaces the current container without saving it.
  void Set(platform::View* view) { TopView = view; }
  // Back to the last saved container, or to the content view when none is saved.
  void Pop();

 private:
  static constexpr int32_t kStackGrowth = 10;

  platform::Window* TopWindow;
  platform::View* TopView;
  std::vector<platform::View*> Views;  // the saved containers; StackSize slots
  int32_t StackSize = kStackGrowth;
  int32_t StackIndex = 0;
};

}  // namespace zeb
