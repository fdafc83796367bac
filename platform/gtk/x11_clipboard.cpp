// The CLIPBOARD selection served by a thread of its own.
//
// Design: the Display opened by Connect belongs to one serving thread; after the
// thread starts, no other thread makes an Xlib call on it (the destructor closes it
// only after joining the thread). The main thread hands its requests (read the
// clipboard, take it with a text) to the serving thread through a queue guarded by
// a mutex, wakes it through a pipe and waits on a condition variable for the
// answer, with a bounded patience. So Xlib needs no XInitThreads for us, and the
// selection is served while the host never calls us.
//
// The serving thread sleeps in poll() on the connection and the wake-up pipe. Every
// wait for another client (a SelectionNotify, the next piece of an incremental
// transfer, a clipboard manager taking our text) keeps answering the requests that
// arrive meanwhile and gives up after a bounded time.
//
// Errors: nothing process-wide is installed. Protocol errors on this connection (a
// requestor whose window vanished, a property it deleted) are swallowed by a
// per-connection error conversion, so the host's error handler never sees them and
// the failing request simply reports failure. Xlib's default handler for a broken
// connection prints and ends the process, so we look for the end of the connection
// ourselves (a peek at the socket finds end-of-file) before Xlib reads or writes;
// once lost, the connection is never touched again and is closed without I/O. Only a
// server that dies in the middle of a round trip still reaches the host's handler.
#include "platform/gtk/x11_clipboard.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/gtk/gtk_strings.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
// For the per-connection error conversion and the connection's broken flag.
#include <X11/Xlibint.h>
#undef min
#undef max

namespace zeb::platform {
namespace {

using std::chrono::milliseconds;

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
// An incremental transfer from another program beyond this size is abandoned
// rather than gathered without end.
constexpr size_t kLargestText = size_t{256} << 20;
// Room left in a request for the ChangeProperty header when a text is cut into pieces.
constexpr size_t kRequestHeader = 32;

// ---- Text conversions -------------------------------------------------------

ToolkitString FromLatin1(std::string_view text) {
  ToolkitString out(text.size(), u'\0');
  std::transform(text.begin(), text.end(), out.begin(),
                 [](char byte) { return static_cast<char16_t>(static_cast<unsigned char>(byte)); });
  return out;
}

// Latin-1 for the clients that ask for STRING: what Latin-1 lacks becomes '?'.
std::string ToLatin1(std::string_view utf8) {
  const ToolkitString units = FromUTF8(utf8);
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    out.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
    // A pair is one character, and one question mark.
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size()) ++i;
  }
  return out;
}

// ---- Atoms ------------------------------------------------------------------

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
  // Properties on our own window: the converted selection, the timestamp probe and
  // the targets we ask a clipboard manager to keep.
  kSelectionProperty,
  kTimeProperty,
  kSaveProperty,
  kAtomCount
};

constexpr const char* kAtomNames[kAtomCount] = {
    "CLIPBOARD",         "TARGETS",      "MULTIPLE",       "TIMESTAMP",      "UTF8_STRING",
    "TEXT",              "text/plain;charset=utf-8",       "INCR",           "ATOM_PAIR",
    "CLIPBOARD_MANAGER", "SAVE_TARGETS", "_ZEB_SELECTION", "_ZEB_TIMESTAMP", "_ZEB_SAVE_TARGETS",
};

// Protocol errors on our connection are expected (requestors go away) and mean
// only that the request failed; false keeps them from every error handler.
Bool SwallowError(Display*, XErrorEvent*, xError*) { return False; }

// A property read off a window. Format-32 items arrive as longs, as Xlib hands them.
struct Property {
  Atom type = None;
  int format = 0;
  std::string bytes;
};

}  // namespace

// ---- The serving thread -----------------------------------------------------

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
  // What an owner sent for one conversion: no answer, a refusal (type None), or data.
  struct Reply {
    bool answered = false;
    Atom type = None;
    std::string bytes;
  };

  explicit Server(Display* display) : display_(display) {}
  bool Open();
  std::optional<ToolkitString> Submit(std::optional<std::string> newText, Clock::duration patience);
  void Run();
  void Wake();
  Atom atom(AtomName name) const { return atoms_[name]; }

  // Connection upkeep: nothing here reads from or writes to a connection found dead.
  bool Alive();
  bool Exchange();
  bool NextQueued(XEvent* event);
  void Idle();
  template <typename Wanted>
  bool WaitFor(Wanted wanted, Clock::time_point limit, XEvent* found);
  Time ServerTime();
  std::optional<Property> ReadProperty(::Window window, Atom property, bool remove);

  // What the main thread asks for.
  std::optional<ToolkitString> ReadSelection();
  Reply Convert(Atom target, Time time, Clock::time_point limit);
  Reply ReadIncrementally(Clock::time_point limit);
  void TakeSelection(std::string utf8);
  void HandOver();

  // Serving other clients.
  void Dispatch(const XEvent& event);
  void Answer(const XSelectionRequestEvent& request);
  bool ConvertTarget(::Window requestor, Atom target, Atom property);
  bool ConvertMultiple(::Window requestor, Atom property);
  void SendText(::Window requestor, Atom property, Atom type, std::shared_ptr<const std::string> data);
  void ContinueTransfer(::Window requestor, Atom property);
  void EndTransfer(std::vector<Transfer>::iterator transfer);
  void ExpireTransfers();

  Display* const display_;
  ::Window window_ = None;
  Atom atoms_[kAtomCount] = {};
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
};

std::unique_ptr<X11Clipboard::Server> X11Clipboard::Server::Start(Display* display) {
  std::unique_ptr<Server> server(new Server(display));
  if (!server->Open()) return nullptr;
  try {
    server->thread_ = std::thread([raw = server.get()] { raw->Run(); });
  } catch (const std::system_error&) {
    return nullptr;
  }
  return server;
}

bool X11Clipboard::Server::Open() {
  for (int code = BadRequest; code <= BadImplementation; ++code) XESetWireToError(display_, code, SwallowError);
  // Reached only when the host's process-wide handler returns instead of exiting.
  XSetIOErrorExitHandler(
      display_, [](Display*, void* self) { static_cast<Server*>(self)->lost_ = true; }, this);

  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  wakeRead_ = fds[0];
  wakeWrite_ = fds[1];

  if (!XInternAtoms(display_, const_cast<char**>(kAtomNames), kAtomCount, False, atoms_)) return false;
  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  attributes.override_redirect = True;
  window_ = XCreateWindow(display_, DefaultRootWindow(display_), -1, -1, 1, 1, 0, 0, InputOnly, nullptr,
                          CWEventMask | CWOverrideRedirect, &attributes);
  pieceBytes_ = static_cast<size_t>(XMaxRequestSize(display_)) * 4 - kRequestHeader;
  return window_ != None;
}

X11Clipboard::Server::~Server() {
  if (thread_.joinable()) {
    {
      std::lock_guard lock(lock_);
      quit_ = true;
    }
    Wake();
    thread_.join();
  }
  // A dead connection is closed without a word to the server: Xlib would otherwise
  // find the breakage while saying goodbye and call the fatal handler.
  if (lost_) display_->flags = display_->flags | XlibDisplayIOError;
  XCloseDisplay(display_);
  if (wakeRead_ >= 0) close(wakeRead_);
  if (wakeWrite_ >= 0) close(wakeWrite_);
}

// ---- Main-thread side ---------------------------------------------------------

std::optional<ToolkitString> X11Clipboard::Server::Read() { return Submit(std::nullopt, kReadPatience); }

void X11Clipboard::Server::Own(std::string utf8) { Submit(std::move(utf8), kOwnPatience); }

std::optional<ToolkitString> X11Clipboard::Server::Submit(std::optional<std::string> newText,
                                                          Clock::duration patience) {
  auto outcome = std::make_shared<Outcome>();
  std::unique_lock lock(lock_);
  commands_.push_back({std::move(newText), outcome});
  Wake();
  // A late answer lands in the outcome, which the command keeps alive.
  if (!answered_.wait_for(lock, patience, [&] { return outcome->done; })) return std::nullopt;
  return std::move(outcome->text);
}

void X11Clipboard::Server::Wake() {
  const char byte = 1;
  // A full pipe already holds a wake-up, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = write(wakeWrite_, &byte, 1);
}

// ---- Serving thread: the loop and the connection -----------------------------

void X11Clipboard::Server::Run() {
  for (;;) {
    std::deque<Command> commands;
    bool quit = false;
    {
      std::lock_guard lock(lock_);
      commands.swap(commands_);
      quit = quit_;
    }
    for (Command& command : commands) {
      std::optional<ToolkitString> text;
      if (command.newText) {
        TakeSelection(std::move(*command.newText));
      } else {
        text = ReadSelection();
      }
      {
        std::lock_guard lock(lock_);
        command.outcome->text = std::move(text);
        command.outcome->done = true;
      }
      answered_.notify_all();
    }
    if (quit) break;
    Idle();
  }
  HandOver();
}

bool X11Clipboard::Server::Alive() {
  if (lost_) return false;
  char byte;
  const ssize_t n = recv(ConnectionNumber(display_), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) lost_ = true;
  return !lost_;
}

// Sends our requests and takes in, without blocking, whatever the server has sent.
// This also empties the buffer into which Xlib reads ahead while it writes, which
// poll() on the socket cannot see. False once the connection is lost.
bool X11Clipboard::Server::Exchange() {
  if (!Alive()) return false;
  XEventsQueued(display_, QueuedAfterFlush);
  return true;
}

// Takes an event that Xlib has already read, without touching the connection.
bool X11Clipboard::Server::NextQueued(XEvent* event) {
  if (lost_ || XEventsQueued(display_, QueuedAlready) == 0) return false;
  XNextEvent(display_, event);
  return true;
}

// Serves what has arrived, then sleeps until the server or the main thread wakes
// us, or until the oldest incremental transfer is due to expire.
void X11Clipboard::Server::Idle() {
  ExpireTransfers();
  bool connected = Exchange();
  for (XEvent event; connected && NextQueued(&event); connected = Exchange()) Dispatch(event);
  int timeout = -1;
  if (connected && !transfers_.empty()) {
    Clock::time_point oldest = Clock::time_point::max();
    for (const Transfer& transfer : transfers_) oldest = std::min(oldest, transfer.lastActivity);
    const auto left = std::chrono::ceil<milliseconds>(oldest + kTransferIdle - Clock::now()).count();
    timeout = static_cast<int>(std::clamp<int64_t>(left, 0, INT32_MAX));
  }
  pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {connected ? ConnectionNumber(display_) : -1, POLLIN, 0}};
  if (poll(fds, 2, timeout) > 0 && fds[0].revents != 0) {
    char drained[64];
    while (read(wakeRead_, drained, sizeof drained) > 0) {
    }
  }
}

// Waits for an event that `wanted` accepts, serving every other event meanwhile.
// Gives up when nothing has happened for kReplyWait, at `limit`, or when the
// connection is lost.
template <typename Wanted>
bool X11Clipboard::Server::WaitFor(Wanted wanted, Clock::time_point limit, XEvent* found) {
  const Clock::time_point start = Clock::now();
  while (Exchange()) {
    if (NextQueued(found)) {
      if (wanted(*found)) return true;
      Dispatch(*found);
      continue;
    }
    const Clock::time_point deadline = std::min(std::max(start, lastActivity_) + kReplyWait, limit);
    const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd fd{ConnectionNumber(display_), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left));
  }
  return false;
}

// The server's current time, from the notification of an empty append to a
// property of ours; CurrentTime when it does not come.
Time X11Clipboard::Server::ServerTime() {
  const unsigned char nothing = 0;
  XChangeProperty(display_, window_, atom(kTimeProperty), XA_INTEGER, 8, PropModeAppend, &nothing, 0);
  XEvent event;
  const auto stamped = [this](const XEvent& e) {
    return e.type == PropertyNotify && e.xproperty.window == window_ && e.xproperty.atom == atom(kTimeProperty);
  };
  return WaitFor(stamped, Clock::now() + kReplyWait, &event) ? event.xproperty.time : CurrentTime;
}

std::optional<Property> X11Clipboard::Server::ReadProperty(::Window window, Atom property, bool remove) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  // The length counts 32-bit units; this asks for everything there is.
  if (XGetWindowProperty(display_, window, property, 0, 0x1FFFFFFF, remove ? True : False, AnyPropertyType,
                         &type, &format, &items, &after, &data) != Success) {
    return std::nullopt;
  }
  std::optional<Property> result;
  if (type != None && data != nullptr) {
    const size_t itemBytes = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
    result = Property{type, format, std::string(reinterpret_cast<const char*>(data), items * itemBytes)};
  }
  if (data != nullptr) XFree(data);
  return result;
}

// ---- Serving thread: what the main thread asks for ----------------------------

std::optional<ToolkitString> X11Clipboard::Server::ReadSelection() {
  if (!Alive()) return std::nullopt;
  const ::Window owner = XGetSelectionOwner(display_, atom(kClipboard));
  if (owner == window_ && text_) return FromUTF8(*text_);
  text_.reset();  // someone else owns it; their SelectionClear is on its way
  if (owner == None) return std::nullopt;

  const Clock::time_point limit = Clock::now() + kReadLimit;
  const Time time = ServerTime();
  for (const Atom target : {atom(kUTF8String), Atom{XA_STRING}}) {
    const Reply reply = Convert(target, time, limit);
    if (!reply.answered) break;  // an owner that does not answer will not answer again
    if (reply.type == atom(kUTF8String) || reply.type == atom(kTextPlainUTF8)) return FromUTF8(reply.bytes);
    if (reply.type == XA_STRING) return FromLatin1(reply.bytes);
  }
  return std::nullopt;
}

X11Clipboard::Server::Reply X11Clipboard::Server::Convert(Atom target, Time time, Clock::time_point limit) {
  XDeleteProperty(display_, window_, atom(kSelectionProperty));
  XConvertSelection(display_, atom(kClipboard), target, atom(kSelectionProperty), window_, time);
  XEvent event;
  const auto converted = [&](const XEvent& e) {
    return e.type == SelectionNotify && e.xselection.requestor == window_ &&
           e.xselection.selection == atom(kClipboard) && e.xselection.target == target;
  };
  Reply reply;
  if (!WaitFor(converted, limit, &event)) return reply;
  reply.answered = true;
  if (event.xselection.property == None) return reply;
  std::optional<Property> value = ReadProperty(window_, event.xselection.property, true);
  if (!value) return reply;
  // The INCR property's deletion (done by the read) asks the owner for the pieces.
  if (value->type == atom(kIncr)) return ReadIncrementally(limit);
  if (value->format == 8) reply.type = value->type, reply.bytes = std::move(value->bytes);
  return reply;
}

// Gathers the pieces of an incremental transfer; a piece of length zero ends it.
X11Clipboard::Server::Reply X11Clipboard::Server::ReadIncrementally(Clock::time_point limit) {
  Reply reply{.answered = true};
  std::string gathered;
  Atom type = None;
  const auto piece = [this](const XEvent& e) {
    return e.type == PropertyNotify && e.xproperty.window == window_ &&
           e.xproperty.atom == atom(kSelectionProperty) && e.xproperty.state == PropertyNewValue;
  };
  for (;;) {
    XEvent event;
    if (!WaitFor(piece, limit, &event)) return reply;
    std::optional<Property> value = ReadProperty(window_, atom(kSelectionProperty), true);
    if (!value || value->format != 8 || gathered.size() + value->bytes.size() > kLargestText) return reply;
    if (value->bytes.empty()) break;
    type = value->type;
    gathered += value->bytes;
  }
  reply.type = type;
  reply.bytes = std::move(gathered);
  return reply;
}

void X11Clipboard::Server::TakeSelection(std::string utf8) {
  if (!Alive()) return;
  const Time time = ServerTime();
  if (lost_) return;
  // Set before the server hears of it: requests can only come once it has.
  text_ = std::make_shared<const std::string>(std::move(utf8));
  ownedSince_ = time;
  XSetSelectionOwner(display_, atom(kClipboard), window_, time);
  if (XGetSelectionOwner(display_, atom(kClipboard)) != window_) text_.reset();
}

// Asks a running clipboard manager to keep our text after we are gone, and
// serves its requests until it reports done.
void X11Clipboard::Server::HandOver() {
  if (!text_ || !Alive()) return;
  if (XGetSelectionOwner(display_, atom(kClipboardManager)) == None) return;
  if (XGetSelectionOwner(display_, atom(kClipboard)) != window_) return;
  const Atom kept[] = {atom(kUTF8String), XA_STRING, atom(kText), atom(kTextPlainUTF8)};
  XChangeProperty(display_, window_, atom(kSaveProperty), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(kept), std::size(kept));
  const Clock::time_point limit = Clock::now() + kHandOverLimit;
  const Time time = ServerTime();
  XConvertSelection(display_, atom(kClipboardManager), atom(kSaveTargets), atom(kSaveProperty), window_, time);
  XEvent event;
  WaitFor(
      [this](const XEvent& e) {
        return e.type == SelectionNotify && e.xselection.requestor == window_ &&
               e.xselection.selection == atom(kClipboardManager);
      },
      limit, &event);
}

// ---- Serving thread: other clients --------------------------------------------

void X11Clipboard::Server::Dispatch(const XEvent& event) {
  switch (event.type) {
    case SelectionRequest:
      Answer(event.xselectionrequest);
      break;
    case SelectionClear:
      // A clear can be stale when we took the clipboard back since; ask the server.
      if (event.xselectionclear.selection == atom(kClipboard) && text_ &&
          XGetSelectionOwner(display_, atom(kClipboard)) != window_) {
        text_.reset();
      }
      break;
    case PropertyNotify:
      if (event.xproperty.state == PropertyDelete) ContinueTransfer(event.xproperty.window, event.xproperty.atom);
      break;
    case DestroyNotify:
      for (auto it = transfers_.begin(); it != transfers_.end();) {
        if (it->requestor == event.xdestroywindow.window) {
          it = transfers_.erase(it);
        } else {
          ++it;
        }
      }
      break;
    default:
      break;
  }
}

void X11Clipboard::Server::Answer(const XSelectionRequestEvent& request) {
  lastActivity_ = Clock::now();
  // Clients from before the property field name no property: the target serves.
  const Atom property = request.property != None ? request.property : request.target;
  bool converted = false;
  if (request.selection == atom(kClipboard) && request.owner == window_ && text_) {
    if (request.target == atom(kMultiple)) {
      converted = request.property != None && ConvertMultiple(request.requestor, property);
    } else {
      converted = ConvertTarget(request.requestor, request.target, property);
    }
  }
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = display_;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.property = converted ? property : None;
  reply.xselection.time = request.time;
  XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
}

bool X11Clipboard::Server::ConvertTarget(::Window requestor, Atom target, Atom property) {
  if (target == atom(kTargets)) {
    const Atom targets[] = {atom(kTargets),     atom(kMultiple), atom(kTimestamp),    atom(kUTF8String),
                            XA_STRING,          atom(kText),     atom(kTextPlainUTF8)};
    XChangeProperty(display_, requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(targets), std::size(targets));
  } else if (target == atom(kTimestamp)) {
    const long time = static_cast<long>(ownedSince_);
    XChangeProperty(display_, requestor, property, XA_INTEGER, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&time), 1);
  } else if (target == atom(kUTF8String) || target == atom(kTextPlainUTF8)) {
    SendText(requestor, property, target, text_);
  } else if (target == atom(kText)) {
    // TEXT leaves the encoding to the owner.
    SendText(requestor, property, atom(kUTF8String), text_);
  } else if (target == XA_STRING) {
    SendText(requestor, property, XA_STRING, std::make_shared<const std::string>(ToLatin1(*text_)));
  } else {
    return false;
  }
  return true;
}

// MULTIPLE: the property holds (target, property) pairs; each pair that cannot be
// converted gets None as its property.
bool X11Clipboard::Server::ConvertMultiple(::Window requestor, Atom property) {
  std::optional<Property> value = ReadProperty(requestor, property, false);
  if (!value || value->format != 32) return false;
  std::vector<Atom> pairs(value->bytes.size() / sizeof(Atom));
  std::memcpy(pairs.data(), value->bytes.data(), pairs.size() * sizeof(Atom));
  bool refused = false;
  for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
    if (pairs[i] == atom(kMultiple) || pairs[i + 1] == None || !ConvertTarget(requestor, pairs[i], pairs[i + 1])) {
      pairs[i + 1] = None;
      refused = true;
    }
  }
  if (refused) {
    XChangeProperty(display_, requestor, property, atom(kAtomPair), 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(pairs.data()), static_cast<int>(pairs.size()));
  }
  return true;
}

// A text larger than one request goes out incrementally: an INCR property with its
// size first, then a piece each time the requestor deletes the property.
void X11Clipboard::Server::SendText(::Window requestor, Atom property, Atom type,
                                    std::shared_ptr<const std::string> data) {
  if (data->size() <= pieceBytes_) {
    XChangeProperty(display_, requestor, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data->data()), static_cast<int>(data->size()));
    return;
  }
  for (auto it = transfers_.begin(); it != transfers_.end(); ++it) {
    if (it->requestor == requestor && it->property == property) {
      transfers_.erase(it);
      break;
    }
  }
  // Deletions are reported only when we listen, and must be heard from the start.
  XSelectInput(display_, requestor, PropertyChangeMask | StructureNotifyMask);
  const long size = static_cast<long>(data->size());
  XChangeProperty(display_, requestor, property, atom(kIncr), 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&size), 1);
  transfers_.push_back({requestor, property, type, std::move(data), 0, Clock::now()});
}

void X11Clipboard::Server::ContinueTransfer(::Window requestor, Atom property) {
  const auto transfer = std::find_if(transfers_.begin(), transfers_.end(), [&](const Transfer& t) {
    return t.requestor == requestor && t.property == property;
  });
  if (transfer == transfers_.end()) return;
  const size_t length = std::min(pieceBytes_, transfer->data->size() - transfer->sent);
  XChangeProperty(display_, requestor, property, transfer->type, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(transfer->data->data() + transfer->sent),
                  static_cast<int>(length));
  transfer->sent += length;
  transfer->lastActivity = lastActivity_ = Clock::now();
  if (length == 0) EndTransfer(transfer);
}

void X11Clipboard::Server::EndTransfer(std::vector<Transfer>::iterator transfer) {
  const ::Window requestor = transfer->requestor;
  transfers_.erase(transfer);
  const bool more = std::any_of(transfers_.begin(), transfers_.end(),
                                [&](const Transfer& t) { return t.requestor == requestor; });
  if (!more) XSelectInput(display_, requestor, NoEventMask);
}

void X11Clipboard::Server::ExpireTransfers() {
  const Clock::time_point now = Clock::now();
  for (size_t i = 0; i < transfers_.size();) {
    if (now - transfers_[i].lastActivity >= kTransferIdle) {
      EndTransfer(transfers_.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

// ---- The pasteboard -------------------------------------------------------------

std::unique_ptr<X11Clipboard> X11Clipboard::Connect(const char* displayName) {
  Display* display = XOpenDisplay(displayName);
  if (display == nullptr) return nullptr;
  std::unique_ptr<Server> server = Server::Start(display);
  if (!server) return nullptr;
  return std::unique_ptr<X11Clipboard>(new X11Clipboard(std::move(server)));
}

X11Clipboard::X11Clipboard(std::unique_ptr<Server> server) : server_(std::move(server)) {}

X11Clipboard::~X11Clipboard() = default;

std::optional<ToolkitString> X11Clipboard::Text() { return server_->Read(); }

void X11Clipboard::SetText(const ToolkitString& text) { server_->Own(ToUTF8(text)); }

}  // namespace zeb::platform
