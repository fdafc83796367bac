// The event queue: coalescing against the tail, the wake-up rules, removal by
// window, the current event, and the bindings run by a post.
#include "runtime/events/event_queue.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless_toolkit.h"
#include "runtime/events/event_bindings.h"

namespace zeb {
namespace {

class EventQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    auto toolkit = std::make_unique<platform::HeadlessToolkit>(std::nullopt);
    toolkit_ = toolkit.get();
    platform::SetToolkit(std::move(toolkit));
    InitEvents();
  }
  void TearDown() override {
    EndEvents();
    platform::SetToolkit(nullptr);
  }

  // Takes every queued event, as (type, window) pairs.
  std::vector<std::pair<int32_t, int64_t>> TakeAll() {
    std::vector<std::pair<int32_t, int64_t>> taken;
    while (const int32_t type = TakeEvent()) taken.emplace_back(type, EventWindow());
    return taken;
  }

  // Whether a wake-up event is waiting in the toolkit's queue; takes it.
  bool TookWakeUp() { return toolkit_->NextEvent(platform::Clock::now()) != nullptr; }

  platform::HeadlessToolkit* toolkit_ = nullptr;
};

using Taken = std::vector<std::pair<int32_t, int64_t>>;

TEST_F(EventQueue, CoalescesOnlyAgainstTheTail) {
  PostEvent(SizeWindowEvent, 1, 1, 0);
  PostEvent(SizeWindowEvent, 1, 1, 0);
  EXPECT_EQ(TakeAll(), (Taken{{SizeWindowEvent, 1}}));

  PostEvent(SizeWindowEvent, 1, 1, 0);
  PostEvent(MoveWindowEvent, 1, 1, 0);
  PostEvent(SizeWindowEvent, 1, 1, 0);
  EXPECT_EQ(TakeAll(), (Taken{{SizeWindowEvent, 1}, {MoveWindowEvent, 1}, {SizeWindowEvent, 1}}));

  // Any differing word keeps both; types above 0xFFFF never coalesce.
  PostEvent(GadgetEvent, 7, 1, 0);
  PostEvent(GadgetEvent, 7, 1, ChangeEventType);
  PostEvent(0x10000, 1, 1, 0);
  PostEvent(0x10000, 1, 1, 0);
  EXPECT_EQ(TakeAll().size(), 4u);

  // After the queue empties, the same event is appended again.
  PostEvent(SizeWindowEvent, 1, 1, 0);
  EXPECT_EQ(TakeEvent(), SizeWindowEvent);
  PostEvent(SizeWindowEvent, 1, 1, 0);
  EXPECT_EQ(TakeEvent(), SizeWindowEvent);
}

TEST_F(EventQueue, WakeUpRules) {
  PostEvent(MenuEvent, 1, 0, 0);
  PostEvent(MenuEvent, 2, 0, 0);
  EXPECT_TRUE(TookWakeUp());
  EXPECT_TRUE(TookWakeUp());  // a menu event always wakes
  EXPECT_FALSE(TookWakeUp());
  PostEvent(RepaintEvent, 1, 1, 0);
  EXPECT_FALSE(TookWakeUp());  // a repaint never does
  PostEvent(SizeWindowEvent, 1, 1, 0);
  PostEvent(MoveWindowEvent, 1, 1, 0);
  EXPECT_TRUE(TookWakeUp());
  EXPECT_FALSE(TookWakeUp());  // the second found the first wake-up pending
  // The wake-up comes before the coalescing test.
  PostEvent(MoveWindowEvent, 1, 1, 0);
  EXPECT_TRUE(TookWakeUp());
}

TEST_F(EventQueue, RemoveWindowEventsKeepsTheRestInOrder) {
  PostEvent(SizeWindowEvent, 1, 1, 0);
  PostEvent(SizeWindowEvent, 2, 2, 0);
  PostEvent(MoveWindowEvent, 1, 1, 0);
  RemoveWindowEvents(1);
  // The event of window 2 is head and tail: the next post links behind it.
  PostEvent(MoveWindowEvent, 3, 3, 0);
  EXPECT_EQ(TakeAll(), (Taken{{SizeWindowEvent, 2}, {MoveWindowEvent, 3}}));
  PostEvent(SizeWindowEvent, 1, 1, 0);
  RemoveWindowEvents(1);
  EXPECT_EQ(TakeEvent(), 0);
  // Taking from the empty queue keeps the last event's window; its type is -1.
  EXPECT_EQ(EventWindow(), 3);
  EXPECT_EQ(EventType(), -1);
  PostEvent(SizeWindowEvent, 1, 1, 0);
  EXPECT_EQ(TakeAll(), (Taken{{SizeWindowEvent, 1}}));
}

std::vector<std::string>* calls = nullptr;

TEST_F(EventQueue, BindingsRunInKeyOrderWithTheEventCurrent) {
  std::vector<std::string> log;
  calls = &log;
  BindEvent(GadgetEvent, 5, 7, 0, [] { calls->push_back("exact " + std::to_string(EventGadget())); });
  BindEvent(GadgetEvent, 5, 7, 0, [] { calls->push_back("exact again"); });
  BindEvent(GadgetEvent, AnyValue, AnyValue, AnyValue, [] { calls->push_back("any gadget"); });
  BindEvent(GadgetEvent, 5, AnyValue, AnyValue, [] { calls->push_back("window 5"); });
  BindEvent(SizeWindowEvent, 6, AnyValue, AnyValue, [] { calls->push_back("size 6"); });

  PostEvent(SizeWindowEvent, 1, 1, 0);
  EXPECT_EQ(TakeEvent(), SizeWindowEvent);
  PostEvent(GadgetEvent, 7, 5, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"exact 7", "exact again", "window 5", "any gadget"}));
  // The current event is back as it was after the callbacks.
  EXPECT_EQ(EventWindow(), 1);
  EXPECT_EQ(EventGadget(), 1);

  log.clear();
  PostEvent(GadgetEvent, 8, 4, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"any gadget"}));

  log.clear();
  RemoveWindowBindings(5);
  PostEvent(GadgetEvent, 7, 5, 0);
  PostEvent(SizeWindowEvent, 6, 6, 0);
  // The wildcard entry belongs to no window and stays.
  EXPECT_EQ(log, (std::vector<std::string>{"any gadget", "size 6"}));
  calls = nullptr;
}

}  // namespace
}  // namespace zeb
