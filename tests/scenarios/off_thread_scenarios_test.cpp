// The exports called from a thread other than the one the runtime started on: the
// dialogs, the text window and the menus answer at once as when they cannot be
// created, and leave the windows as they are; the clipboard works from there.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "extension/exports.h"
#include "runtime/events/windows.h"
#include "tests/scenarios/scenario_fixture.h"

namespace zeb {
namespace {

using OffThreadScenario = ScenarioNeeding<kPasteboard>;

TEST_P(OffThreadScenario, UserInterfaceExportsAnswerAtOnceAndTheClipboardWorks) {
  ASSERT_NE(OpenTestWindow(1), 0);
  std::promise<void> done;
  std::thread caller([&] {
    EXPECT_EQ(ShowQuestion("Question", "Shown?"), -1);
    EXPECT_STREQ(GetString("Name", "Your name:", "default", 0), "");
    EXPECT_STREQ(GetOpenFile("Open", "", "", 0), "");
    EXPECT_STREQ(GetSaveFile("Save", "", "", 0), "");
    EXPECT_STREQ(GetDirectory("Folder", ""), "");
    EXPECT_EQ(GetColor(255, 10, 10), 0);
    EXPECT_EQ(ShowMenu("One|Two", 7, 0), 0);
    EXPECT_STREQ(GetText("200,100", "Notes", "text", "Done"), "");
    EXPECT_EQ(AddMenu(0), 0);
    EXPECT_EQ(ClearAll(), 0);
    EXPECT_EQ(ClipboardSetText("from a thread"), 0);
    EXPECT_STREQ(ClipboardGetText(), "from a thread");
    done.set_value();
  });
  // A dialog run on the caller would wait for a user who never comes.
  if (done.get_future().wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    std::fprintf(stderr, "an export called from another thread is still waiting\n");
    std::abort();
  }
  caller.join();
  EXPECT_NE(WindowID(1), nullptr);
  EXPECT_EQ(toolkit().pasteboard().Text(), u"from a thread");
  EXPECT_STREQ(ClipboardGetText(), "from a thread");
}

INSTANTIATE_TEST_SUITE_P(Backends, OffThreadScenario, ::testing::ValuesIn(AvailableBackends()), BackendName);

}  // namespace
}  // namespace zeb
