#include "runtime/gadgets/editor_gadget.h"

#include <algorithm>
#include <memory>

#include "runtime/core/object_registry.h"
#include "runtime/events/gadget_list.h"
#include "runtime/gadgets/editor_lines.h"

namespace zeb {

void ZebEditorGadgetTextView::PostFocus(int64_t kind) const {
  const Zeb_GadgetStructure* gadget = IsGadget(tag());
  if (gadget != nullptr) PostEvent(GadgetEvent, tag(), gadget->window, kind);
}

void ZebEditorGadgetFunctions::SetText(const platform::ToolkitString& text) {
  view_.SetString(text);
  view_.SetNeedsDisplay();
}

void ZebEditorGadgetFunctions::SetGadgetFont(platform::SharedFont font) {
  if (font != nullptr) view_.SetFont(std::move(font));
}

int64_t ZebEditorGadgetFunctions::CountGadgetItems() {
  return static_cast<int64_t>(EditorLines(view_.String()).size());
}

int64_t ZebEditorGadgetFunctions::AddGadgetItem(int32_t position, const platform::ToolkitString& text) {
  if (position < 0) {
    // Appended at the end, the rest of the text as it was.
    if (!view_.String().empty()) view_.AppendString(u"\n");
    view_.AppendString(text);
    view_.SetNeedsDisplay();
    return 0;
  }
  std::vector<platform::ToolkitString> lines = EditorLines(view_.String());
  const auto at = std::min(static_cast<size_t>(position), lines.size());
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), text);
  SetText(JoinLines(lines));
  return 0;
}

void ZebEditorGadgetFunctions::RemoveGadgetItem(int32_t position) {
  std::vector<platform::ToolkitString> lines = EditorLines(view_.String());
  if (position >= 0 && static_cast<size_t>(position) < lines.size()) {
    lines.erase(lines.begin() + position);
  }
  SetText(JoinLines(lines));
}

void ZebEditorGadgetFunctions::SetGadgetItemText(int32_t position, const platform::ToolkitString& text, int32_t) {
  std::vector<platform::ToolkitString> lines = EditorLines(view_.String());
  if (position >= 0 && static_cast<size_t>(position) < lines.size()) lines[static_cast<size_t>(position)] = text;
  SetText(JoinLines(lines));
}

platform::ToolkitString ZebEditorGadgetFunctions::GetGadgetItemText(int32_t position, int32_t) {
  const std::vector<platform::ToolkitString> lines = EditorLines(view_.String());
  if (position < 0 || static_cast<size_t>(position) >= lines.size()) return {};
  return lines[static_cast<size_t>(position)];
}

void ZebEditorGadgetFunctions::SetGadgetAttribute(int32_t attribute, int64_t value) {
  if (attribute == EditorAttributeReadOnly) {
    view_.SetEditable(value == 0);
    if (value != 0) view_.SetSelectable(true);
  } else if (attribute == EditorAttributeWordWrap) {
    view_.SetWrapsLines(value != 0);
  }
}

int64_t ZebEditorGadgetFunctions::GetGadgetAttribute(int32_t attribute) {
  if (attribute == EditorAttributeReadOnly) return view_.IsEditable() ? 0 : 1;
  if (attribute == EditorAttributeWordWrap) return view_.WrapsLines() ? 1 : 0;
  return 0;
}

void ZebEditorGadgetFunctions::SetGadgetColor(int32_t type, const platform::ColorComponents& color) {
  if (type == FrontColor) view_.SetTextColor(color);
  if (type == BackColor) view_.SetBackgroundColor(color);
}

std::optional<platform::ColorComponents> ZebEditorGadgetFunctions::GetGadgetColor(int32_t type) {
  if (type == FrontColor) return view_.TextColor();
  if (type == BackColor) return view_.BackgroundColor();
  return std::nullopt;
}

int64_t EditorGadget(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags) {
  platform::View* container = ZebGadgetList::CurrentView();
  if (container == nullptr) return 0;
  platform::Toolkit& toolkit = platform::CurrentToolkit();
  std::unique_ptr<platform::ScrollView> scroll = toolkit.CreateScrollView();
  auto role = std::make_unique<ZebEditorGadgetTextView>();
  ZebEditorGadgetTextView* zebView = role.get();
  std::unique_ptr<platform::TextView> created = toolkit.CreateTextView(std::move(role));
  if (scroll == nullptr || created == nullptr) return 0;
  scroll->SetFrame({static_cast<double>(x), static_cast<double>(y), static_cast<double>(width),
                    static_cast<double>(height)});
  platform::TextView* view = created.get();
  // The document starts at least one point across and down.
  view->SetFrame({0, 0, static_cast<double>(std::max(width, 1)), static_cast<double>(std::max(height, 1))});
  auto* functions = new ZebEditorGadgetFunctions(*view);
  Zeb_GadgetStructure* record = functions->setup(number, EditorGadgetType, view, scroll.get(), flags, zebView);
  if (record == nullptr) {
    delete functions;
    return 0;
  }
  if ((flags & EditorReadOnly) != 0) {
    view->SetEditable(false);
    view->SetSelectable(true);
  }
  view->SetWrapsLines(false);
  scroll->SetDocumentView(std::move(created));
  scroll->SetScrollers(true, true, true);
  scroll->SetBezelBorder(true);
  view->SetTextDelegate(functions);
  container->AddSubview(std::move(scroll));
  if ((flags & EditorWordWrap) != 0) functions->SetGadgetAttribute(EditorAttributeWordWrap, 1);
  return number == DynamicNumber ? static_cast<int64_t>(reinterpret_cast<intptr_t>(record))
                                 : static_cast<int64_t>(reinterpret_cast<intptr_t>(view));
}

}  // namespace zeb
