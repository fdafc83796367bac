#include "runtime/requesters/message_requester.h"

#include <vector>

#include "platform/toolkit.h"
#include "runtime/core/toolkit_strings.h"
#include "runtime/requesters/key_window_keeper.h"

namespace zeb {

int64_t MessageRequester(const Unit* title, const Unit* text, int64_t flags) {
  std::vector<platform::AlertButton> buttons;
  if ((flags & 3) != 0) {
    buttons = {{u"Yes", MessageRequesterYes}, {u"No", MessageRequesterNo}};
    if ((flags & MessageRequesterYesNoCancel) != 0) buttons.push_back({u"Cancel", MessageRequesterCancel, true});
  }
  const KeyWindowKeeper keeper;
  const int64_t tag =
      platform::CurrentToolkit().RunAlert(StringToToolkitString(title), StringToToolkitString(text), buttons);
  return buttons.empty() ? 0 : tag;
}

int64_t MessageRequester(const Unit* title, const Unit* text) { return MessageRequester(title, text, 0); }

}  // namespace zeb
