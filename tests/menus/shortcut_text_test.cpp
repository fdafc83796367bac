// The shortcut text of menu items.
#include <gtest/gtest.h>

#include <string>

#include "runtime/menus/shortcut_text.h"

namespace zeb {
namespace {

struct ShortcutCase {
  std::u16string text;
  std::u16string title;
  uint32_t mask;
  std::u16string key;
};

TEST(ShortcutText, Table) {
  const std::u16string plusses(10000, u'+');
  const ShortcutCase cases[] = {
      {u"Open\tCtrl+O", u"Open", ShortcutControl, u"o"},
      {u"Quit\tcmd+shift+q", u"Quit", ShortcutCommand | ShortcutShift, u"q"},
      {u"Help\tF1", u"Help", ShortcutFunctionKey, u"\uF704"},
      {u"Last\tshift+F12", u"Last", ShortcutShift | ShortcutFunctionKey, u"\uF70F"},
      {u"&Save && &go\tAlt+&S", u"Save  go", ShortcutOption, u"s"},
      {u"Two\tCtrl+T\tignored+X", u"Two", ShortcutControl, u"t"},
      {u"Bare\tCTRL+", u"Bare", ShortcutControl, u""},
      {u"Plain", u"Plain", 0, u""},
      {u"", u"", 0, u""},
      {u"Many\t" + plusses, u"Many", 0, u""},
      {u"Words\tMeta+Hyper", u"Words", 0, u"hyper"},
      {u"Beyond\tF13", u"Beyond", 0, u"f13"},
      {u"Padded\tF01", u"Padded", 0, u"f01"},
      {u"Accent\tCtrl+\u00C9", u"Accent", ShortcutControl, u"\u00C9"},
  };
  for (const ShortcutCase& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.begin() + std::min<size_t>(c.text.size(), 40)));
    const Shortcut shortcut = ParseShortcutText(c.text);
    EXPECT_EQ(shortcut.title, c.title);
    EXPECT_EQ(shortcut.mask, c.mask);
    EXPECT_EQ(shortcut.key, c.key);
  }
}

}  // namespace
}  // namespace zeb
