// libFuzzer target for the items text of ShowMenu, through the export itself on
// the headless toolkit: the first byte is the user's answer (0: Escape, otherwise
// the entry to click, counted round the menu), the rest is the UTF-8 items text.
// Whatever the text, the pop-up holds one entry per "|"-separated field, the "-"
// fields as separators, and the result is the chosen item's number or, without a
// choice, the default. A broken property ends the run like a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/require.h"
#include "extension/exports.h"
#include "extension/host_strings.h"
#include "platform/automation.h"
#include "platform/headless/headless_automation.h"
#include "runtime/menus/popup_choice.h"
#include "tests/runtime_session.h"

namespace {

using zeb::platform::MenuEntry;
using zeb::platform::ToolkitString;

constexpr double kDefault = -7;

zeb::platform::Automation& StartedAutomation() {
  static std::unique_ptr<zeb::platform::Automation> automation = [] {
    zeb::platform::AutomatedBackend backend = zeb::platform::MakeHeadlessBackend();
    zeb::StartRuntime(std::move(backend.toolkit));
    return std::move(backend.automation);
  }();
  return *automation;
}

// The number ShowMenu gives for a click on the entry: the number of the first item
// of that title, counting items only.
double NumberOfFirstTitled(const std::vector<MenuEntry>& entries, const ToolkitString& title) {
  double number = 0;
  for (const MenuEntry& entry : entries) {
    if (entry.separator) continue;
    ++number;
    if (entry.title == title) return number;
  }
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  zeb::platform::Automation& automation = StartedAutomation();
  const uint8_t answer = data[0];
  // The host's strings end at their first NUL.
  const std::string items(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string text = items.substr(0, items.find('\0'));

  std::vector<MenuEntry> entries;
  double expected = kDefault;
  automation.WhenPopUp([&] {
    entries = automation.PopUpEntries();
    if (answer != 0 && !entries.empty()) {
      const MenuEntry& entry = entries[(answer - 1) % entries.size()];
      if (!entry.separator) {
        expected = NumberOfFirstTitled(entries, entry.title);
        automation.ChoosePopUpItem(entry.title);
        return;
      }
    }
    automation.DismissPopUp(true);
  });
  const double result = ShowMenu(text.c_str(), kDefault, 0);

  const zeb::StringVariable decoded = zeb::DecodeHostString(text.c_str());
  const std::vector<ToolkitString> fields = zeb::PopupFields(decoded.get());
  Require(entries.size() == fields.size());
  for (size_t i = 0; i < fields.size(); ++i) Require(entries[i].separator == (fields[i] == u"-"));
  Require(result == expected);
  return 0;
}
