// The X11 clipboard against real programs on a running X server: xclip pastes what
// we set while the test thread does nothing, we read what xclip copied, large texts
// go both ways, and a second instance (another program) takes the clipboard over.
// Every test is skipped without DISPLAY; the test command starts the server.
#include "platform/gtk/x11_clipboard.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

// After gtest: Xlib's None macro would clash with a gtest type.
#include <X11/Xlib.h>

extern char** environ;

namespace zeb::platform {
namespace {

using namespace std::chrono_literals;

// What `xclip -o` prints for the target (empty when it gets nothing).
std::string Paste(const std::string& target = "UTF8_STRING") {
  const std::string command = "timeout 10 xclip -o -selection clipboard -t '" + target + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  if (pipe == nullptr) return out;
  char buffer[65536];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// Another program's copy: xclip owning the clipboard with `data` as `type` until
// this object ends it (by its process id).
class ForeignCopy {
 public:
  ForeignCopy(const std::string& data, const std::string& type) {
    const int fd = mkstemp(path_);
    if (fd < 0 || write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size())) ADD_FAILURE();
    if (fd >= 0) close(fd);
    const std::string command =
        "exec timeout 10 xclip -quiet -selection clipboard -t '" + type + "' " + path_ + " >/dev/null 2>&1";
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    if (posix_spawnp(&pid_, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) pid_ = -1;
  }
  ~ForeignCopy() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);  // timeout passes it on to xclip
      waitpid(pid_, nullptr, 0);
    }
    unlink(path_);
  }

 private:
  char path_[32] = "/tmp/zeb_clip_XXXXXX";
  pid_t pid_ = -1;
};

template <typename Condition>
void WaitUntil(Condition done) {
  const auto limit = std::chrono::steady_clock::now() + 10s;
  while (!done() && std::chrono::steady_clock::now() < limit) std::this_thread::sleep_for(20ms);
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
  clipboard_->SetText(text);
  EXPECT_TRUE(Paste() == utf8);
  const auto other = X11Clipboard::Connect(nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_TRUE(other->Text() == text);
  {
    const auto copy = CopyElsewhere(utf8);
    EXPECT_TRUE(clipboard_->Text() == text);
  }

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

}  // namespace
}  // namespace zeb::platform
