// The requesters' patterns as file-panel filters, and the globs the filters match.
#include <gtest/gtest.h>

#include <string>

#include "platform/file_filters.h"
#include "runtime/requesters/file_patterns.h"

namespace zeb {
namespace {

// The filters as "description=pattern,pattern|...", the chosen one marked "*".
std::u16string Shown(const PanelFilters& panel) {
  std::u16string shown;
  for (size_t i = 0; i < panel.filters.size(); ++i) {
    if (i > 0) shown += u'|';
    if (i == panel.current) shown += u'*';
    shown += panel.filters[i].description + u'=';
    for (size_t p = 0; p < panel.filters[i].patterns.size(); ++p) {
      shown += (p > 0 ? u"," : u"") + panel.filters[i].patterns[p];
    }
  }
  return shown;
}

TEST(FilePatterns, PairsBecomeFiltersWithAllFilesLast) {
  struct Case {
    const char16_t* pattern;
    int64_t position;
    const char16_t* filters;
  };
  const Case cases[] = {
      {u"", 1, u""},
      {u"*.txt", 0, u"**.txt=*.txt|All files=*"},
      {u"*.txt;*.md", 1, u"**.txt;*.md=*.txt,*.md|All files=*"},
      {u"Text|*.txt;*.md|Images|*.png", 2, u"Text=*.txt,*.md|*Images=*.png|All files=*"},
      {u"Text|*.txt|Images|*.png", 0, u"*Text=*.txt|Images=*.png|All files=*"},
      {u"Text|*.txt|Images|*.png", 3, u"*Text=*.txt|Images=*.png|All files=*"},
      {u"Text|*.txt|", 1, u"*Text=*.txt|All files=*"},
      {u"Text|*.txt|Images", 2, u"*Text=*.txt|All files=*"},
      {u"|*.txt; *.md |Images|*.png", 2, u"*.txt;*.md=*.txt,*.md|*Images=*.png|All files=*"},
      {u" Text |;;*.txt;;", 1, u"*Text=*.txt|All files=*"},
      // A pair without patterns is left out; the positions still count it.
      {u"None|;;|Images|*.png", 2, u"*Images=*.png|All files=*"},
      {u"None||Empty|", 1, u""},
      {u"|", 1, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern, c.pattern + std::char_traits<char16_t>::length(c.pattern)));
    EXPECT_EQ(Shown(FiltersOfPattern(c.pattern, c.position)), c.filters);
  }
}

TEST(FileFilters, GlobsMatchWholeNamesWithoutCase) {
  struct Case {
    const char16_t* glob;
    const char16_t* name;
    bool matches;
  };
  const Case cases[] = {
      {u"*.txt", u"a.txt", true},        {u"*.txt", u"D.TXT", true},         {u"*.txt", u"a.txt.bak", false},
      {u"*.txt", u".txt", true},         {u"a?c", u"abc", true},             {u"a?c", u"ac", false},
      {u"*", u"", true},                 {u"", u"a", false},                 {u"*a*b*c", u"xaybzc", true},
      {u"*a*b*c", u"xaybz", false},      {u"\u00C9T\u00C9.*", u"\u00E9t\u00E9.doc", true},
      {u"\u0141\u00D3D\u0179.*", u"\u0142\u00F3d\u017A.png", true},
      {u"\u0178VES.*", u"\u00FFves.txt", true},  // a capital of Extended-A, its small letter in Latin-1
      {u"\u0424\u0410\u0419\u041B.*", u"\u0444\u0430\u0439\u043B.txt", true},
      {u"\u03A3.*", u"\u03C3.txt", true},
      {u"?.png", u"\U0001F600.png", true},  // one character, two units
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::MatchesGlob(c.glob, c.name), c.matches) << "glob index " << (&c - cases);
  }
  // Many stars against a long name that fails at its end stay quick.
  const std::u16string stars(200, u'*');
  EXPECT_FALSE(platform::MatchesGlob(stars + u"b", std::u16string(5000, u'a')));
}

}  // namespace
}  // namespace zeb
