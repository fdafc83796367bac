#include "platform/headless/headless_file_panel.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/headless/headless_toolkit.h"

namespace zeb::platform {
namespace {

constexpr Rect kPanelContent{0, 0, 560, 400};
constexpr Rect kCancelFrame{360, 360, 90, 25};
constexpr Rect kConfirmFrame{460, 360, 90, 25};

// The confirm button takes what the panel shows when the user chose nothing else.
class ConfirmButton : public ControlTarget {
 public:
  explicit ConfirmButton(HeadlessFilePanel& panel) : panel_(panel) {}
  void ControlAction(View&) override { panel_.Choose({}); }

 private:
  HeadlessFilePanel& panel_;
};

const char16_t* ConfirmTitle(FilePanelMode mode) {
  switch (mode) {
    case FilePanelMode::OpenFiles:
      return u"Open";
    case FilePanelMode::OpenFolder:
      return u"Select";
    case FilePanelMode::Save:
      return u"Save";
  }
  return u"Open";
}

}  // namespace

bool HeadlessFilePanel::RunModal() {
  Window* window = toolkit_.CreateWindow(kPanelContent, StyleTitled | StyleClosable);
  if (window == nullptr) return false;
  chosen_.clear();
  StopModalButton cancelAction(toolkit_, 0);
  ConfirmButton confirmAction(*this);
  auto content = std::make_unique<HeadlessView>();
  content->SetFrame(kPanelContent);
  auto cancel = std::make_unique<HeadlessButton>();
  cancel->SetTitle(u"Cancel");
  cancel->SetTarget(&cancelAction);
  cancel->SetFrame(kCancelFrame);
  auto confirm = std::make_unique<HeadlessButton>();
  confirm->SetTitle(ConfirmTitle(mode_));
  confirm->SetTarget(&confirmAction);
  confirm->SetFrame(kConfirmFrame);
  Button* defaultButton = confirm.get();
  content->AddSubview(std::move(cancel));
  content->AddSubview(std::move(confirm));
  window->SetContentView(std::move(content));
  window->SetDefaultButton(defaultButton);
  window->SetTitle(title_);
  window->Center();
  toolkit_.SetRunningFilePanel(this);
  const bool confirmed = toolkit_.RunModal(*window) != 0;
  toolkit_.SetRunningFilePanel(nullptr);
  window->Close();
  if (!confirmed) chosen_.clear();
  return confirmed;
}

ToolkitString HeadlessFilePanel::currentFilter() const {
  return filters_.empty() ? ToolkitString() : filters_[current_].description;
}

void HeadlessFilePanel::ChooseFilter(const ToolkitString& description) {
  const auto found = std::find_if(filters_.begin(), filters_.end(),
                                  [&](const FileFilter& filter) { return filter.description == description; });
  if (found != filters_.end()) current_ = static_cast<size_t>(found - filters_.begin());
}

std::vector<ToolkitString> HeadlessFilePanel::ListedNames() const {
  std::vector<ToolkitString> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(directory_), error)) {
    ToolkitString name;
    try {
      name = entry.path().filename().u16string();
    } catch (const std::exception&) {
      continue;  // a name that is no text
    }
    if (name.empty() || name.front() == u'.') continue;
    if (entry.is_directory(error) || filters_.empty() || filters_[current_].Accepts(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void HeadlessFilePanel::Choose(const std::vector<ToolkitString>& paths) {
  chosen_ = paths;
  // Nothing chosen: the name offered or selected in the panel's folder, or for a
  // folder panel that folder itself.
  if (chosen_.empty() && !name_.empty()) {
    chosen_.push_back(directory_.empty() || directory_.back() == u'/' ? directory_ + name_ : directory_ + u"/" + name_);
  }
  if (chosen_.empty() && mode_ == FilePanelMode::OpenFolder && !directory_.empty()) chosen_.push_back(directory_);
  if (!multiple_ && chosen_.size() > 1) chosen_.resize(1);
  toolkit_.StopModal(1);
}

}  // namespace zeb::platform
