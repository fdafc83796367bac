// The CLIPBOARD selection served by a thread of its own: the thread, its loop and
// its connection.
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
#include <system_error>

#include "platform/gtk/gtk_strings.h"
#include "platform/gtk/x11_clipboard_server.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xfixes.h>
// For the per-connection error conversion and the connection's broken flag.
#include <X11/Xlibint.h>
#undef min
#undef max

namespace zeb::platform {

using namespace x11;

namespace {

using std::chrono::milliseconds;

// Room left in a request for the ChangeProperty header when a text is cut into pieces.
constexpr size_t kRequestHeader = 32;

constexpr const char* kAtomNames[kAtomCount] = {
    "CLIPBOARD",         "TARGETS",      "MULTIPLE",       "TIMESTAMP",      "UTF8_STRING",
    "TEXT",              "text/plain;charset=utf-8",       "INCR",           "ATOM_PAIR",
    "CLIPBOARD_MANAGER", "SAVE_TARGETS", "SDL_CUTBUFFER",  "_ZEB_SELECTION", "_ZEB_SELECTION_2",
    "_ZEB_TIMESTAMP",    "_ZEB_SAVE_TARGETS",
};

// Protocol errors on our connection are expected (requestors go away) and mean
// only that the request failed; false keeps them from every error handler.
Bool SwallowError(Display*, XErrorEvent*, xError*) { return False; }

int Milliseconds(Clock::duration left) {
  return static_cast<int>(std::clamp<int64_t>(std::chrono::ceil<milliseconds>(left).count(), 0, INT32_MAX));
}

}  // namespace

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
  if (window_ == None) return false;
  FollowOwners();
  return true;
}

// Asks the server to tell us of every change of owner of CLIPBOARD, when it can,
// and of changes to the root window's properties: an SDL2 program that copies
// again while it owns the clipboard only rewrites its text there.
void X11Clipboard::Server::FollowOwners() {
  int error = 0;
  int major = 0;
  int minor = 0;
  if (!XFixesQueryExtension(display_, &fixesEvent_, &error) || !XFixesQueryVersion(display_, &major, &minor) ||
      major < 1) {
    fixesEvent_ = -1;
    return;
  }
  XFixesSelectSelectionInput(display_, window_, atom(kClipboard),
                             XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                 XFixesSelectionClientCloseNotifyMask);
  XSelectInput(display_, DefaultRootWindow(display_), PropertyChangeMask);
  // Every change from the moment Connect returns is heard of.
  XSync(display_, False);
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

void X11Clipboard::Server::DispatchQueued() {
  for (XEvent event; NextQueued(&event);) Dispatch(event);
}

// Serves what has arrived, then sleeps until the server or the main thread wakes
// us, or until the oldest incremental transfer or the fetch under way is due to
// expire.
void X11Clipboard::Server::Idle() {
  ExpireTransfers();
  if (fetch_ && Clock::now() >= FetchDeadline()) fetch_.reset();
  bool connected = Exchange();
  for (XEvent event; connected && NextQueued(&event); connected = Exchange()) Dispatch(event);
  Clock::time_point due = Clock::time_point::max();
  for (const Transfer& transfer : transfers_) due = std::min(due, transfer.lastActivity + kTransferIdle);
  if (fetch_) due = std::min(due, FetchDeadline());
  const int timeout = connected && due != Clock::time_point::max() ? Milliseconds(due - Clock::now()) : -1;
  pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {connected ? ConnectionNumber(display_) : -1, POLLIN, 0}};
  if (poll(fds, 2, timeout) > 0 && fds[0].revents != 0) {
    char drained[64];
    while (read(wakeRead_, drained, sizeof drained) > 0) {
    }
  }
}

// Sleeps until the server sends something, or until `deadline`.
void X11Clipboard::Server::AwaitConnection(Clock::time_point deadline) {
  pollfd fd{ConnectionNumber(display_), POLLIN, 0};
  poll(&fd, 1, Milliseconds(deadline - Clock::now()));
}

// Waits for an event that `wanted` accepts, serving every other event meanwhile.
// Gives up when nothing has happened for kReplyWait, at `limit`, or when the
// connection is lost.
bool X11Clipboard::Server::WaitFor(const std::function<bool(const XEvent&)>& wanted, Clock::time_point limit,
                                   XEvent* found) {
  const Clock::time_point start = Clock::now();
  while (Exchange()) {
    if (NextQueued(found)) {
      if (wanted(*found)) return true;
      Dispatch(*found);
      continue;
    }
    const Clock::time_point deadline = std::min(std::max(start, lastActivity_) + kReplyWait, limit);
    if (Clock::now() >= deadline) return false;
    AwaitConnection(deadline);
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

void X11Clipboard::Server::Dispatch(const XEvent& event) {
  if (fixesEvent_ >= 0 && event.type == fixesEvent_ + XFixesSelectionNotify) {
    const auto& change = reinterpret_cast<const XFixesSelectionNotifyEvent&>(event);
    if (change.selection == atom(kClipboard)) Changed(change.owner, change.selection_timestamp);
    return;
  }
  switch (event.type) {
    case SelectionRequest:
      Answer(event.xselectionrequest);
      break;
    case SelectionNotify:
      if (event.xselection.requestor == window_ && event.xselection.selection == atom(kClipboard)) {
        Converted(event.xselection);
      }
      break;
    case SelectionClear:
      // A clear can be stale when we took the clipboard back since; ask the server.
      if (event.xselectionclear.selection == atom(kClipboard) && text_ &&
          XGetSelectionOwner(display_, atom(kClipboard)) != window_) {
        text_.reset();
      }
      break;
    case PropertyNotify:
      if (event.xproperty.state == PropertyDelete) {
        ContinueTransfer(event.xproperty.window, event.xproperty.atom);
      } else if (event.xproperty.window == window_) {
        Piece(event.xproperty.atom);
      } else if (fixesEvent_ >= 0 && event.xproperty.window == DefaultRootWindow(display_) &&
                 event.xproperty.atom == atom(kSdlCutBuffer)) {
        TextRewritten(event.xproperty.time);
      }
      break;
    case DestroyNotify:
      ForgetRequestor(event.xdestroywindow.window);
      break;
    default:
      break;
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

void X11Clipboard::Close() { server_.reset(); }

}  // namespace zeb::platform
