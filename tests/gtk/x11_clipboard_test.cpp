// The X11 clipboard against real programs on a running X server: xclip pastes what
// we set while the test thread does nothing, we read what xclip copied, large texts
// go both ways, and a second instance (another program) takes the clipboard over.
// Every test is skipped without DISPLAY; the test command starts the server.
#include "platform/gtk/x11_clipboard.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/files/process_test_support.h"
#include "tests/foreign_copy.h"

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

bool HaveDisplay() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
}

class X11ClipboardTest : public ::testing::Test {
 protected:
  // An X server resets when its last client leaves, and refuses connections
  // meanwhile; one connection held across the suite keeps it from doing so.
  static void SetUpTestSuite() {
    if (HaveDisplay()) keeper_ = XOpenDisplay(nullptr);
  }
  static void TearDownTestSuite() {
    if (keeper_ != nullptr) XCloseDisplay(keeper_);
    keeper_ = nullptr;
  }
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "DISPLAY is not set: run under an X server (Xvfb)";
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
      {"\x89PNG\r\n\x1A\n not really an image", "image/png", std::nullopt},
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
  // xclip serves one incremental transfer at a time and drops a second requestor,
  // so its copy is read while only one instance follows the clipboard.
  {
    const auto copy = CopyElsewhere(utf8);
    EXPECT_TRUE(clipboard_->Text() == text);
  }
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

// A bare X client, for the parts another program plays.
class RawClient {
 public:
  RawClient() : display_(XOpenDisplay(nullptr)) {
    if (display_ != nullptr) window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
  }
  ~RawClient() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  Display* display() const { return display_; }
  Atom Intern(const char* name) const { return XInternAtom(display_, name, False); }
  void Own(const char* selection) {
    XSetSelectionOwner(display_, Intern(selection), window_, CurrentTime);
    XSync(display_, False);
  }
  template <typename Serve>
  void Run(Serve serve) {
    thread_ = std::thread(serve);
  }
  // The next event of the type for our window; false once destroyed or after 10 s.
  bool Next(int type, XEvent* event) {
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while (!XCheckTypedWindowEvent(display_, window_, type, event)) {
      if (stop_ || std::chrono::steady_clock::now() > limit) return false;
      std::this_thread::sleep_for(2ms);
    }
    return true;
  }
  void Notify(const XSelectionRequestEvent& request, Atom property) {
    XEvent reply{};
    reply.xselection = {SelectionNotify, 0, True, display_, request.requestor, request.selection, request.target,
                        property, request.time};
    XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
    XSync(display_, False);
  }
  ::Window window() const { return window_; }
  // A property of our window (format-32 items as longs), deleted as it is read.
  std::string Take(Atom property) {
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window_, property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &items,
                       &after, &data);
    if (data == nullptr) return {};
    std::string bytes(reinterpret_cast<const char*>(data), items * (format == 32 ? sizeof(long) : format / 8));
    XFree(data);
    return bytes;
  }

 private:
  Display* display_;
  ::Window window_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// A host that copies and then ends, in each way a host may end, leaves its text
// with the clipboard manager: the library hands it over as the process ends. The
// manager answers SAVE_TARGETS by fetching UTF8_STRING and image/png in one
// MULTIPLE conversion, then reports that it is done.
TEST_F(X11ClipboardTest, AHostLeavesItsCopyWithTheManagerHoweverItEnds) {
  for (const std::string ending : {"return", "exit", "thread-exit", "dlclose-exit"}) {
    std::mutex lock;
    std::string saved;
    std::vector<Atom> pairs;
    RawClient manager;
    ASSERT_NE(manager.display(), nullptr);
    manager.Own("CLIPBOARD_MANAGER");
    const Atom savedProperty = manager.Intern("SAVED");
    const Atom asked[] = {manager.Intern("UTF8_STRING"), savedProperty, manager.Intern("image/png"),
                          manager.Intern("SAVED_IMAGE")};
    const Atom multiple = manager.Intern("PAIRS");
    manager.Run([&] {
      XEvent request, notify;
      if (!manager.Next(SelectionRequest, &request)) return;
      XChangeProperty(manager.display(), manager.window(), multiple, manager.Intern("ATOM_PAIR"), 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(asked), 4);
      XConvertSelection(manager.display(), manager.Intern("CLIPBOARD"), manager.Intern("MULTIPLE"), multiple,
                        manager.window(), request.xselectionrequest.time);
      if (manager.Next(SelectionNotify, &notify) && notify.xselection.property == multiple) {
        std::lock_guard guard(lock);
        saved = manager.Take(savedProperty);
        const std::string answered = manager.Take(multiple);
        pairs.resize(answered.size() / sizeof(Atom));
        std::memcpy(pairs.data(), answered.data(), pairs.size() * sizeof(Atom));
      }
      manager.Notify(request.xselectionrequest, request.xselectionrequest.property);
    });
    const std::string host = "timeout 60 '" ZEB_HOST_PATH "' --end " + ending +
                             " call ClipboardSetText 'kept after the end \xF0\x9F\x98\x80' >/dev/null";
    EXPECT_EQ(std::system(host.c_str()), 0) << ending;
    // The host's end waited for the manager to finish.
    std::lock_guard guard(lock);
    EXPECT_EQ(saved, "kept after the end \xF0\x9F\x98\x80") << ending;
    // The pair that could not be converted comes back with no property.
    ASSERT_EQ(pairs.size(), 4u) << ending;
    EXPECT_EQ(pairs[1], savedProperty);
    EXPECT_EQ(pairs[3], Atom{0});
  }
}

}  // namespace
}  // namespace zeb::platform
