// Owning CLIPBOARD: taking it with our text, serving the text to other clients in
// the targets they ask for (large texts incrementally), and handing it to a
// clipboard manager when we close.
#include <algorithm>
#include <cstring>

#include "platform/gtk/gtk_strings.h"
#include "platform/gtk/x11_clipboard_server.h"

#include <X11/Xatom.h>

namespace zeb::platform {

using namespace x11;

namespace {

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

}  // namespace

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

// A requestor's window is gone, and its transfers with it.
void X11Clipboard::Server::ForgetRequestor(::Window requestor) {
  std::erase_if(transfers_, [&](const Transfer& t) { return t.requestor == requestor; });
}

}  // namespace zeb::platform
