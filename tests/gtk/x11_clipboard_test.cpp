// The X11 clipboard against real programs on a running X server: xclip pastes what
// we set while the test thread does nothing, we read what xclip copied, large texts
// go both ways, and a second instance (another program) takes the clipboard over.
// Every test is skipped without DISPLAY; the test command starts the server.
#include "platform/gtk/x11_clipboard.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tests/files/process_test_support.h"
#include "tests/foreign_copy.h"
#include "tests/host_run.h"

// After gtest: Xlib's None macro would clash with a gtest type.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace zeb::platform {
namespace {

using namespace std::chrono_literals;
using file_testing::WaitUntil;

// What `xclip -o` prints for the target (empty when it gets nothing).
std::string Paste(const std::string& target = "UTF8_STRING") {
  int status = 0;
  return file_testing::CommandOutput("timeout 10 xclip -o -selection clipboard -t '" + target + "' 2>/dev/null", &status);
}

class X11ClipboardTest : public ::testing::Test {
 protected:
  // An X server resets when its last client leaves, and refuses connections
  // meanwhile; one connection held across the suite keeps it from doing so.
  static void SetUpTestSuite() {
    if (std::getenv("DISPLAY") != nullptr) keeper_ = XOpenDisplay(nullptr);
  }
  static void TearDownTestSuite() {
    if (keeper_ != nullptr) XCloseDisplay(keeper_);
    keeper_ = nullptr;
  }
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "DISPLAY is not set: run under an X server (Xvfb)";
    clipboard_ = X11Clipboard::Connect(nullptr);
    ASSERT_NE(clipboard_, nullptr);
  }

  // Has xclip copy the data, and returns once it owns the clipboard.
  std::unique_ptr<ForeignCopy> CopyElsewhere(const std::string& data, const std::string& type = "UTF8_STRING") {
    const ToolkitString marker = u"nobody else has copied yet";
    clipboard_->SetText(marker);
    auto copy = std::make_unique<ForeignCopy>(data, type);
    WaitUntil([&] { return clipboard_->Text() != marker; });
    return copy;
  }

  static inline Display* keeper_ = nullptr;
  std::unique_ptr<X11Clipboard> clipboard_;
};

TEST_F(X11ClipboardTest, AnotherProgramPastesOurTextWhileWeIdle) {
  clipboard_->SetText(u"caf\u00E9 \U0001F600 \u20AC\nline 2");
  for (const char* target : {"UTF8_STRING", "text/plain;charset=utf-8", "TEXT"}) {
    EXPECT_EQ(Paste(target), "caf\xC3\xA9 \xF0\x9F\x98\x80 \xE2\x82\xAC\nline 2") << target;
  }
  EXPECT_EQ(Paste("STRING"), "caf\xE9 ? ?\nline 2");
  EXPECT_EQ(clipboard_->Text(), u"caf\u00E9 \U0001F600 \u20AC\nline 2");

  // A lone surrogate cannot be UTF-8: it goes out, and comes back, as U+FFFD.
  clipboard_->SetText(u"a\xD800z");
  EXPECT_EQ(Paste(), "a\xEF\xBF\xBDz");
  EXPECT_EQ(clipboard_->Text(), u"a\uFFFDz");

  // xclip prints nothing for the empty text; the offer shows that the clipboard holds one.
  clipboard_->SetText(u"");
  EXPECT_EQ(clipboard_->Text(), u"");
  EXPECT_NE(Paste("TARGETS").find("UTF8_STRING"), std::string::npos);
}

TEST_F(X11ClipboardTest, ReadsWhatAnotherProgramCopied) {
  const struct {
    std::string data, type;
    std::optional<ToolkitString> expected;
  } copies[] = {
      {"caf\xC3\xA9 \xF0\x9F\x98\x80\n", "UTF8_STRING", u"caf\u00E9 \U0001F600\n"},
      {"", "UTF8_STRING", u""},
      // An owner that answers with Latin-1 (type STRING) is read as Latin-1.
      {"caf\xE9", "STRING", u"caf\u00E9"},
      // Malformed UTF-8 (a stray byte, an overlong '/', a cut sequence) keeps what is readable.
      {"a\xFF"
       "b\xE0\x80\xAF"
       "c\xE2\x82",
       "UTF8_STRING", u"a\uFFFDb\uFFFD\uFFFD\uFFFDc\uFFFD\uFFFD"},
  };
  for (const auto& copy : copies) {
    const auto owner = CopyElsewhere(copy.data, copy.type);
    EXPECT_EQ(clipboard_->Text(), copy.expected) << copy.type << " " << copy.data;
  }

  // Without a clipboard manager, the clipboard empties when its owner goes.
  clipboard_->SetText(u"gone soon");
  clipboard_.reset();
  const auto fresh = X11Clipboard::Connect(nullptr);
  ASSERT_NE(fresh, nullptr);
  WaitUntil([&] { return !fresh->Text(); });  // the server notices the closed connection
  EXPECT_EQ(fresh->Text(), std::nullopt);
}

// About 1.7 MB of UTF-8 in one-, two-, three- and four-byte characters: far above
// the server's 256 KiB request limit, so it travels in pieces.
TEST_F(X11ClipboardTest, LargeTextsGoBothWaysAndAnotherInstanceTakesOver) {
  ToolkitString text;
  std::string utf8;
  for (int i = 0; i < 100000; ++i) {
    text += u"line \u00E9\u20AC\U0001F600 " + ToolkitString(1, static_cast<char16_t>(u'a' + i % 26)) + u"\n";
    utf8 += "line \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80 " + std::string(1, static_cast<char>('a' + i % 26)) + "\n";
  }
  // (SdlHost reads a large copy of another program's.)
  clipboard_->SetText(text);
  EXPECT_TRUE(Paste() == utf8);
  const auto other = X11Clipboard::Connect(nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_TRUE(other->Text() == text);

  other->SetText(u"second \U0001F600");
  EXPECT_EQ(clipboard_->Text(), u"second \U0001F600");
  EXPECT_EQ(Paste(), "second \xF0\x9F\x98\x80");
  clipboard_->SetText(u"third");
  EXPECT_EQ(other->Text(), u"third");
}

TEST_F(X11ClipboardTest, ARequestorThatVanishedDoesNotStopTheOwner) {
  clipboard_->SetText(u"still here");
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const ::Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XDestroyWindow(display, gone);
  const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
  for (const char* target : {"UTF8_STRING", "TARGETS", "MULTIPLE"}) {
    XEvent request{};
    request.xselectionrequest = {SelectionRequest,
                                 0,
                                 True,
                                 display,
                                 XGetSelectionOwner(display, clipboard),
                                 gone,
                                 clipboard,
                                 XInternAtom(display, target, False),
                                 XInternAtom(display, "GONE", False),
                                 CurrentTime};
    XSendEvent(display, request.xselectionrequest.owner, False, NoEventMask, &request);
  }
  XCloseDisplay(display);
  // Had the owner's errors reached Xlib's default handler, this process would be gone.
  EXPECT_EQ(Paste(), "still here");
}

// A host that copies and then ends, in each way a host may end, leaves its text
// with the clipboard manager: the library hands it over as the process ends. The
// manager, served while the host runs, answers SAVE_TARGETS by fetching UTF8_STRING
// and image/png in one MULTIPLE conversion, then reports that it is done.
TEST_F(X11ClipboardTest, AHostLeavesItsCopyWithTheManagerHoweverItEnds) {
  Display* manager = XOpenDisplay(nullptr);
  ASSERT_NE(manager, nullptr);
  const auto atom = [manager](const char* name) { return XInternAtom(manager, name, False); };
  const ::Window window = XCreateSimpleWindow(manager, DefaultRootWindow(manager), 0, 0, 1, 1, 0, 0, 0);
  const Atom pairsAsked[] = {atom("UTF8_STRING"), atom("SAVED"), atom("image/png"), atom("SAVED_IMAGE")};
  // A property of the manager's window (format-32 items as longs), deleted as it is read.
  const auto take = [&](const char* name) {
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(manager, window, atom(name), 0, 1 << 20, True, AnyPropertyType, &type, &format, &items, &after,
                       &data);
    if (data == nullptr) return std::string();
    std::string bytes(reinterpret_cast<const char*>(data), items * (format == 32 ? sizeof(long) : format / 8));
    XFree(data);
    return bytes;
  };
  for (const std::string ending : {"return", "exit", "thread-exit", "dlclose-exit"}) {
    XSetSelectionOwner(manager, atom("CLIPBOARD_MANAGER"), window, CurrentTime);
    XSync(manager, False);
    std::string saved;
    std::vector<Atom> pairs;
    XEvent request{};
    const auto serve = [&] {
      XEvent event;
      if (XCheckTypedWindowEvent(manager, window, SelectionRequest, &event)) {
        request = event;
        XChangeProperty(manager, window, atom("PAIRS"), atom("ATOM_PAIR"), 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(pairsAsked), 4);
        XConvertSelection(manager, atom("CLIPBOARD"), atom("MULTIPLE"), atom("PAIRS"), window,
                          request.xselectionrequest.time);
        XFlush(manager);
      }
      if (!XCheckTypedWindowEvent(manager, window, SelectionNotify, &event)) return;
      if (event.xselection.property == atom("PAIRS")) {
        saved = take("SAVED");
        const std::string answered = take("PAIRS");
        pairs.resize(answered.size() / sizeof(Atom));
        std::memcpy(pairs.data(), answered.data(), pairs.size() * sizeof(Atom));
      }
      const XSelectionRequestEvent& asked = request.xselectionrequest;
      XEvent done{};
      done.xselection = {SelectionNotify, 0, True, manager, asked.requestor, asked.selection, asked.target,
                         asked.property, asked.time};
      XSendEvent(manager, asked.requestor, False, NoEventMask, &done);
      XFlush(manager);
    };
    const testing::HostRun host = testing::RunHost(
        {"--end", ending, "call", "ClipboardSetText", "kept after the end \xF0\x9F\x98\x80"}, {}, {}, serve);
    // The host's end waited for the manager to finish.
    EXPECT_EQ(host.status, 0) << ending;
    EXPECT_EQ(saved, "kept after the end \xF0\x9F\x98\x80") << ending;
    // The pair that could not be converted comes back with no property.
    ASSERT_EQ(pairs.size(), 4u) << ending;
    EXPECT_EQ(pairs[1], atom("SAVED"));
    EXPECT_EQ(pairs[3], Atom{0});
  }
  XCloseDisplay(manager);
}

}  // namespace
}  // namespace zeb::platform
