// Reading another client's text, and following the owner of CLIPBOARD.
//
// A game engine that serves its own clipboard from the event loop of its main
// thread cannot answer us while that thread waits inside our read: asked then, it
// never answers. So with the server's XFixes extension, the serving thread hears of
// every change of owner and asks the new owner for its text at once, while the
// other program still runs its loop: one conversion (UTF-8, then Latin-1 when the
// owner refuses UTF-8) per change, none while we own the clipboard. An SDL2
// program that copies again while it owns the clipboard does not take it again;
// the rewrite of its text on the root window counts as a change too. The answer
// arrives as events that the loop serves like any other, so fetching never holds
// the thread up, and an owner that sends nothing for kReplyWait is given up. A
// read answers from that copy when no change has come since, waits for the fetch
// when it is still under way, and otherwise asks the owner now (the same fetch,
// waited for). Without XFixes every read asks the owner.
#include "platform/gtk/gtk_strings.h"
#include "platform/gtk/x11_clipboard_server.h"

#include <X11/Xatom.h>

#include <algorithm>

namespace zeb::platform {

using namespace x11;

namespace {

ToolkitString FromLatin1(std::string_view text) {
  ToolkitString out(text.size(), u'\0');
  std::transform(text.begin(), text.end(), out.begin(),
                 [](char byte) { return static_cast<char16_t>(static_cast<unsigned char>(byte)); });
  return out;
}

}  // namespace

std::optional<ToolkitString> X11Clipboard::Server::ReadSelection() {
  if (!Alive()) return std::nullopt;
  const ::Window owner = XGetSelectionOwner(display_, atom(kClipboard));
  // The reply came after the notice of every change before it.
  DispatchQueued();
  if (owner == window_) return text_ ? std::optional(FromUTF8(*text_)) : std::nullopt;
  text_.reset();  // someone else owns it; their SelectionClear is on its way
  if (owner == None) return std::nullopt;
  const bool following = fixesEvent_ >= 0;
  if (following && copy_ && copy_->change == changes_) return copy_->text;

  // One wait per read: for the fetch under way, or for one asked for now. A change
  // meanwhile starts a fetch from the newer owner, which is waited for in turn,
  // within the limit of one read.
  if (!following) copy_.reset();
  if (!Fetching()) {
    const Time time = ServerTime();
    if (!Fetching()) StartFetch(time);
  }
  const Clock::time_point limit = Clock::now() + kReadLimit;
  while (Fetching() && Exchange()) {
    XEvent event;
    if (NextQueued(&event)) {
      Dispatch(event);
      continue;
    }
    const Clock::time_point deadline = std::min(FetchDeadline(), limit);
    if (Clock::now() >= deadline) {
      fetch_.reset();
      break;
    }
    AwaitConnection(deadline);
  }
  if (!copy_ || copy_->change != changes_) return std::nullopt;
  return copy_->text;
}

// CLIPBOARD has a new owner (None when the owner's window or connection went), or
// the owner a new text. Whatever we had from the owner before is out of date.
void X11Clipboard::Server::Changed(::Window owner, Time time) {
  ++changes_;
  copy_.reset();
  fetch_.reset();
  if (owner != None && owner != window_) StartFetch(time);
}

// SDL2 rewrote its text on the root window. When it copies without owning the
// clipboard it takes the clipboard right after: the round trip brings in that
// change, which then stands for both, and the old owner is not asked.
void X11Clipboard::Server::TextRewritten(Time time) {
  const uint64_t before = changes_;
  const ::Window owner = XGetSelectionOwner(display_, atom(kClipboard));
  DispatchQueued();
  if (changes_ == before) Changed(owner, time);
}

// Asks the owner for its text as UTF-8, on our window's property. An answer still
// on its way for an earlier fetch is told apart by its time.
void X11Clipboard::Server::StartFetch(Time time) {
  const Atom property = atom(property_ == atom(kSelectionProperty) ? kOtherSelectionProperty : kSelectionProperty);
  property_ = property;
  XDeleteProperty(display_, window_, property);
  const Clock::time_point now = Clock::now();
  fetch_ = Fetch{changes_, atom(kUTF8String), property, time, false, None, {}, now, now + kReadLimit};
  XConvertSelection(display_, atom(kClipboard), fetch_->target, property, window_, time);
  XFlush(display_);
}

// The owner's SelectionNotify: its text, the start of an incremental transfer, or a
// refusal. A notify that does not match the fetch under way is ignored; owners that
// do not echo our time send CurrentTime.
void X11Clipboard::Server::Converted(const XSelectionEvent& notify) {
  if (!fetch_ || fetch_->incremental || notify.target != fetch_->target ||
      (notify.property != None && notify.property != fetch_->property) ||
      (notify.time != fetch_->time && notify.time != CurrentTime)) {
    return;
  }
  fetch_->lastActivity = Clock::now();
  std::optional<Property> value;
  if (notify.property != None) value = ReadProperty(window_, notify.property, true);
  // The INCR property's deletion (done by the read) asks the owner for the pieces.
  if (value && value->type == atom(kIncr)) {
    fetch_->incremental = true;
    return;
  }
  if (value && value->format == 8) return Finish(value->type, value->bytes);
  Finish(None, {});
}

// The next piece of an incremental transfer; a piece of length zero ends it.
void X11Clipboard::Server::Piece(Atom property) {
  if (!fetch_ || !fetch_->incremental || property != fetch_->property) return;
  std::optional<Property> value = ReadProperty(window_, property, true);
  if (!value) return;  // the notice of a property we had already read
  fetch_->lastActivity = Clock::now();
  if (value->format != 8 || fetch_->gathered.size() + value->bytes.size() > kLargestText) {
    fetch_.reset();
    return;
  }
  if (value->bytes.empty()) {
    const std::string gathered = std::move(fetch_->gathered);
    return Finish(fetch_->type, gathered);
  }
  fetch_->type = value->type;
  fetch_->gathered += value->bytes;
}

// What the owner sent: its text when it is UTF-8 or Latin-1; anything else counts
// as a refusal, and a refused UTF-8 is asked for again as Latin-1.
void X11Clipboard::Server::Finish(Atom type, const std::string& bytes) {
  std::optional<ToolkitString> text;
  if (type == atom(kUTF8String) || type == atom(kTextPlainUTF8)) {
    text = FromUTF8(bytes);
  } else if (type == XA_STRING) {
    text = FromLatin1(bytes);
  } else if (fetch_->target == atom(kUTF8String)) {
    fetch_->target = XA_STRING;
    fetch_->incremental = false;
    XDeleteProperty(display_, window_, fetch_->property);
    XConvertSelection(display_, atom(kClipboard), XA_STRING, fetch_->property, window_, fetch_->time);
    XFlush(display_);
    return;
  }
  copy_ = Copy{fetch_->change, std::move(text)};
  fetch_.reset();
}

Clock::time_point X11Clipboard::Server::FetchDeadline() const {
  return std::min(fetch_->lastActivity + kReplyWait, fetch_->limit);
}

}  // namespace zeb::platform
