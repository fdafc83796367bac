// The demo host on a real display, played from outside as a user would: each of
// its dialogs opens as a real window, is answered with real keys (XTest) and
// closes, and the host prints the answers. Skipped without DISPLAY.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tests/display/display_user.h"
#include "tests/host_run.h"

namespace zeb {
namespace {

TEST(DemoOnDisplay, EveryDialogOpensIsAnsweredAndCloses) {
  testing::DisplayUser user("zebhost");
  if (!user.connected()) GTEST_SKIP() << "no display";
  std::atomic<bool> ended{false};
  std::thread playing([&] {
    // The question (Return: "Yes"), the line of text (typed over the selected
    // default), the colour (Return: "OK" with the colour it started with), the file
    // to open, the file to save and the folder (Return takes the default), the text
    // window (typed at the start of the text, then Control-Tab to its button and
    // Space, which presses the focused button with either toolkit).
    user.Answer({{"\r"}, {"typed\r"}, {"\r"}, {"\r"}, {"\r"}, {"\r"}, {"more ", "ctrl+\t", " "}});
    // The pop-up menu: Down to its first item, then Return. The menu holds the
    // keyboard grab, so the keys reach it wherever the focus is; keys pressed before
    // it is up are pressed again.
    for (int attempt = 0; attempt < 10 && !ended; ++attempt) {
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
      if (!ended) user.Type("\x1f\r");
    }
  });
  const testing::HostRun run = testing::RunHost({"demo"});
  ended = true;
  playing.join();
  EXPECT_EQ(run.status, 0) << "the demo host did not end cleanly";
  for (const char* line : {"as well?\") -> 1\n", "\"hello\", 0) -> \"typed\"\n", "GetColor(255, 200, 200) -> 255\n",
                           "*.conf\", 2) -> \"/etc/os-release\"\n", "\"*.txt\", 0) -> \"/tmp/zebext-demo.txt\"\n",
                           "\"/tmp/\") -> \"/tmp/\"\n",
                           "\"Done\") -> \"more Edit this text, then press Done.\\nA second line.\"\n",
                           "\"Open|Save|-|Quit\", -1, 0) -> 1\n"}) {
    EXPECT_NE(run.output.find(line), std::string::npos) << line << " in\n" << run.output;
  }
}

}  // namespace
}  // namespace zeb
