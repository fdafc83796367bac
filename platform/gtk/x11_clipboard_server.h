// The thread that serves X11Clipboard, shared by the three files that build it:
// x11_clipboard.cpp (the thread, its loop and the connection), x11_selection_owner.cpp
// (serving our text to other clients) and x11_selection_reader.cpp (reading, and
// following, another client's text).
//
// Design: the Display opened by Connect belongs to the serving thread; after the
// thread starts, no other thread makes an Xlib call on it (the destructor closes it
// only after joining the thread). The main thread hands its requests (read the
// clipboard, take it with a text) to the serving thread through a queue guarded by
// a mutex, wakes it through a pipe and waits on a condition variable for the
// answer, with a bounded patience. So Xlib needs no XInitThreads for us, and the
// selection is served while the host never calls us.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/gtk/x11_clipboard.h"

#include <X11/Xlib.h>
#undef min
#undef max

namespace zeb::platform {
namespace x11 {

// How long another client may take to answer one message, and the limit for a
// whole read (an incremental transfer renews the first wait with every piece).
constexpr auto kReplyWait = std::chrono::seconds(1);
constexpr auto kReadLimit = std::chrono::seconds(10);
// A requestor that takes no piece of an incremental transfer for this long has gone.
constexpr auto kTransferIdle = std::chrono::seconds(5);
// The most we wait for a clipboard manager to take our text at the end.
constexpr auto kHandOverLimit = std::chrono::seconds(5);
// The main thread's patience with the serving thread: beyond the longest the
// thread can take, so that only a server that stops answering makes it give up.
constexpr auto kReadPatience = kReadLimit + 2 * kReplyWait;
constexpr auto kOwnPatience = 3 * kReplyWait;
// Another program's text beyond this size is abandoned rather than gathered
// without end.
constexpr size_t kLargestText = size_t{256} << 20;

enum AtomName {
  kClipboard,
  kTargets,
  kMultiple,
  kTimestamp,
  kUTF8String,
  kText,
  kTextPlainUTF8,
  kIncr,
  kAtomPair,
  kClipboardManager,
  kSaveTargets,
  // Where SDL2 keeps the text it serves, on the root window.
  kSdlCutBuffer,
  // Properties on our own window: the converted selection, the timestamp probe and
  // the targets we ask a clipboard manager to keep.
  kSelectionProperty,
  kOtherSelectionProperty,
  kTimeProperty,
  kSaveProperty,
  kAtomCount
};

// A property read off a window. Format-32 items arrive as longs, as Xlib hands them.
struct Property {
  Atom type = None;
  int format = 0;
  std::string bytes;
};

}  // namespace x11

class X11Clipboard::Server {
 public:
  static std::unique_ptr<Server> Start(Display* display);
  ~Server();

  // Called on the main thread: each queues a command and waits for its answer.
  std::optional<ToolkitString> Read();
  void Own(std::string utf8);

 private:
  struct Outcome {
    bool done = false;
    std::optional<ToolkitString> text;
  };
  struct Command {
    std::optional<std::string> newText;  // set: take the clipboard; unset: read it
    std::shared_ptr<Outcome> outcome;
  };
  // An incremental transfer of a large text to one requestor's property.
  struct Transfer {
    ::Window requestor;
    Atom property;
    Atom type;
    std::shared_ptr<const std::string> data;
    size_t sent;
    Clock::time_point lastActivity;
  };
  // The conversion of another client's text under way, for one change.
  struct Fetch {
    uint64_t change;
    Atom target;    // UTF8_STRING, then STRING when the owner refuses it
    Atom property;  // ours, alternating between fetches: a late answer to the one
                    // before names the other

    Time time;
    bool incremental = false;
    Atom type = None;
    std::string gathered;
    Clock::time_point lastActivity;
    Clock::time_point limit;
  };
  // What the owner offered after a change: its text, or nothing.
  struct Copy {
    uint64_t change;
    std::optional<ToolkitString> text;
  };

  explicit Server(Display* display) : display_(display) {}
  bool Open();
  void FollowOwners();
  std::optional<ToolkitString> Submit(std::optional<std::string> newText, Clock::duration patience);
  void Run();
  void Wake();
  Atom atom(x11::AtomName name) const { return atoms_[name]; }

  // Connection upkeep: nothing here reads from or writes to a connection found dead.
  bool Alive();
  bool Exchange();
  bool NextQueued(XEvent* event);
  void DispatchQueued();
  void Idle();
  void AwaitConnection(Clock::time_point deadline);
  bool WaitFor(const std::function<bool(const XEvent&)>& wanted, Clock::time_point limit, XEvent* found);
  Time ServerTime();
  std::optional<x11::Property> ReadProperty(::Window window, Atom property, bool remove);
  void Dispatch(const XEvent& event);

  // Reading another client's text.
  std::optional<ToolkitString> ReadSelection();
  bool Fetching() const { return fetch_ && fetch_->change == changes_; }
  void Changed(::Window owner, Time time);
  void TextRewritten(Time time);
  void StartFetch(Time time);
  void Converted(const XSelectionEvent& notify);
  void Piece(Atom property);
  void Finish(Atom type, const std::string& bytes);
  Clock::time_point FetchDeadline() const;

  // Owning the clipboard and serving other clients.
  void TakeSelection(std::string utf8);
  void HandOver();
  void Answer(const XSelectionRequestEvent& request);
  bool ConvertTarget(::Window requestor, Atom target, Atom property);
  bool ConvertMultiple(::Window requestor, Atom property);
  void SendText(::Window requestor, Atom property, Atom type, std::shared_ptr<const std::string> data);
  void ContinueTransfer(::Window requestor, Atom property);
  void EndTransfer(std::vector<Transfer>::iterator transfer);
  void ExpireTransfers();
  void ForgetRequestor(::Window requestor);

  Display* const display_;
  ::Window window_ = None;
  Atom atoms_[x11::kAtomCount] = {};
  size_t pieceBytes_ = 0;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::thread thread_;

  // Shared with the main thread, under lock_.
  std::mutex lock_;
  std::condition_variable answered_;
  std::deque<Command> commands_;
  bool quit_ = false;

  // The serving thread's own (and Start's, before the thread runs).
  bool lost_ = false;
  std::shared_ptr<const std::string> text_;  // our UTF-8 text while we own the clipboard
  Time ownedSince_ = CurrentTime;
  std::vector<Transfer> transfers_;
  Clock::time_point lastActivity_;
  // Following the owner of CLIPBOARD, when the server has the XFixes extension:
  // the changes heard of (of owner, or of the text of an owner that
  // keeps the clipboard), the fetch under way and the latest copy.
  int fixesEvent_ = -1;
  uint64_t changes_ = 0;
  std::optional<Fetch> fetch_;
  std::optional<Copy> copy_;
  Atom property_ = None;  // of the latest fetch
};

}  // namespace zeb::platform
