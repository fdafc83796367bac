// The file, save and folder dialogs answered as a user would, on every backend,
// and the keys every dialog answers to.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "extension/exports.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/requesters/file_requesters.h"
#include "tests/files/file_test_folder.h"
#include "tests/scenarios/scenario_fixture.h"

namespace zeb {
namespace {

namespace fs = std::filesystem;

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string Result(int64_t start) { return TempStringAddress(start); }

// A folder with three text files and a subfolder.
class FileDialogScenario : public ScenarioNeeding<kFilePanels> {
 protected:
  void SetUp() override {
    Scenario::SetUp();
    if (!IsSkipped()) ASSERT_TRUE(file_testing::MakeEntries(folder_.path(), {"a.txt=a", "b.txt=b", "c.txt=c", "sub/"}));
  }

  std::string Path(const char* name) const { return folder_ / name; }

  const file_testing::TestFolder folder_;
};

TEST_P(FileDialogScenario, OpenAndSavePanelsStartWhereTheDefaultPoints) {
  platform::ModalContents shown;
  automation().WhenModal([&] {
    shown = automation().ModalWindowContents();
    automation().ChooseFiles({Wide(Path("c.txt"))});
  });
  EXPECT_EQ(std::string(GetOpenFile("Open a file", Path("b.txt").c_str(), "*.txt", 0)), Path("c.txt"));
  EXPECT_EQ(shown.title, u"Open a file");
  EXPECT_EQ(shown.folder, Wide(folder_.path()));

  automation().WhenModal([&] {
    shown = automation().ModalWindowContents();
    automation().PressButton(u"Save");
  });
  EXPECT_EQ(std::string(GetSaveFile("Save as", Path("new.txt").c_str(), "", 0)), Path("new.txt"));
  EXPECT_EQ(shown.folder, Wide(folder_.path()));
  EXPECT_EQ(shown.name, u"new.txt");

  // A default path without a folder: the process's current folder.
  const fs::path before = fs::current_path();
  fs::current_path(folder_.path());
  automation().WhenModal([&] {
    shown = automation().ModalWindowContents();
    automation().PressButton(u"Save");
  });
  EXPECT_EQ(std::string(GetSaveFile("Save as", "plain.txt", "", 0)), Path("plain.txt"));
  EXPECT_EQ(shown.folder, Wide(folder_.path()));
  automation().WhenModal([&] {
    shown = automation().ModalWindowContents();
    automation().PressButton(u"Cancel");
  });
  EXPECT_STREQ(GetOpenFile("Open", "", "", 0), "");
  EXPECT_EQ(shown.folder, Wide(folder_.path()));
  fs::current_path(before);
}

TEST_P(FileDialogScenario, SeveralChosenFilesComeOneByOne) {
  automation().WhenModal([&] { automation().ChooseFiles({Wide(Path("a.txt")), Wide(Path("b.txt")), Wide(Path("c.txt"))}); });
  // The panel opens in another folder.
  const std::u16string title = u"Open";
  const std::u16string start = u"/tmp/";
  OpenFileRequester(title.c_str(), start.c_str(), nullptr, 0, OpenFileRequesterMultiple, 0);
  EXPECT_EQ(Result(0), Wide(Path("a.txt")));
  for (const char* name : {"b.txt", "c.txt"}) {
    NextSelectedFileName(0);
    EXPECT_EQ(Result(0), Wide(Path(name)));
  }
  NextSelectedFileName(0);
  EXPECT_EQ(Result(0), u"");
  NextSelectedFileName(0);
  EXPECT_EQ(Result(0), u"");
}

// The pattern's filters: the one at the position first, also when it hides the
// default file, then as the user picks them; the save panel keeps the typed name
// whatever the filter.
TEST_P(FileDialogScenario, FiltersListWhatTheirPatternsMatch) {
  const std::string mixed = Path("mixed");
  ASSERT_TRUE(
      file_testing::MakeEntries(folder_.path(), {"mixed/", "mixed/a.txt", "mixed/b.md", "mixed/c.png", "mixed/d.TXT"}));
  const char* pattern = "Text|*.txt;*.md|Images|*.png";
  std::vector<platform::ModalContents> seen;
  automation().WhenModal([&] {
    seen.push_back(automation().ModalWindowContents());
    for (const char16_t* filter : {u"Text", u"All files"}) {
      automation().ChooseFilter(filter);
      seen.push_back(automation().ModalWindowContents());
    }
    automation().PressButton(u"Cancel");
  });
  EXPECT_STREQ(GetOpenFile("Open", (mixed + "/b.md").c_str(), pattern, 2), "");
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].filters, (std::vector<std::u16string>{u"Text", u"Images", u"All files"}));
  const std::pair<std::u16string, std::vector<std::u16string>> listings[] = {
      {u"Images", {u"c.png"}}, {u"Text", {u"a.txt", u"b.md", u"d.TXT"}}, {u"All files", {u"a.txt", u"b.md", u"c.png", u"d.TXT"}}};
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].filter, listings[i].first);
    EXPECT_EQ(seen[i].listed, listings[i].second);
  }

  automation().WhenModal([&] {
    automation().ChooseFilter(u"Images");
    seen.push_back(automation().ModalWindowContents());
    automation().TypeText(u"\r");
  });
  EXPECT_EQ(std::string(GetSaveFile("Save", (mixed + "/notes.txt").c_str(), pattern, 0)), mixed + "/notes.txt");
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[3].filter, u"Images");
  EXPECT_EQ(seen[3].name, u"notes.txt");
}

// Escape cancels as the close button does; Return presses the default button.
// Paths that are not UTF-8 come back as exactly their bytes.
TEST_P(FileDialogScenario, EscapeCancelsAndReturnConfirmsInEveryDialog) {
  const std::string oddFolder = Path("saves\xFF");
  const std::string oddFile = oddFolder + "/old\xE9.sav";
  ASSERT_TRUE(file_testing::MakeEntries(folder_.path(), {"saves\xFF/", "saves\xFF/old\xE9.sav=saved"}));
  const auto number = [](double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return std::string(text);
  };
  struct Case {
    const char* dialog;
    std::function<std::string()> open;
    std::string escaped;
    std::string confirmed;
    bool nonUTF8 = false;  // its path is not UTF-8
  };
  const Case cases[] = {
      {"question", [&] { return number(ShowQuestion("Leave?", "")); }, "-1", "1"},
      {"string", [] { return std::string(GetString("Name", "Your name:", "kept", 0)); }, "", "kept"},
      {"colour", [&] { return number(GetColor(255.25, 0, 0)); }, "255.25", "255"},
      {"open", [&] { return std::string(GetOpenFile("Open", Path("a.txt").c_str(), "", 0)); }, "", Path("a.txt")},
      {"save", [&] { return std::string(GetSaveFile("Save", Path("new.txt").c_str(), "", 0)); }, "", Path("new.txt")},
      {"folder", [&] { return std::string(GetDirectory("Folder", (Path("sub") + "/").c_str())); }, "", Path("sub") + "/"},
      {"open, not UTF-8", [&] { return std::string(GetOpenFile("Open", oddFile.c_str(), "", 0)); }, "", oddFile, true},
      {"folder, not UTF-8", [&] { return std::string(GetDirectory("Folder", (oddFolder + "/").c_str())); }, "",
       oddFolder + "/", true},
  };
  for (const Case& c : cases) {
    if (c.nonUTF8 && !can().nonUTF8FileNames) continue;
    SCOPED_TRACE(c.dialog);
    automation().WhenModal([&] { automation().TypeText(u"\x1b"); });
    EXPECT_EQ(c.open(), c.escaped);
    automation().WhenModal([&] { automation().TypeText(u"\r"); });
    EXPECT_EQ(c.open(), c.confirmed);
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, FileDialogScenario, ::testing::ValuesIn(AvailableBackends()), BackendName);

}  // namespace
}  // namespace zeb
