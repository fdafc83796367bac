#include "runtime/events/gadget_list.h"

#include <algorithm>
#include <memory>

#include "runtime/core/threads.h"

namespace zeb {
namespace {

// The per-thread record of the gadget lists (one record, shared by all threads).
struct GadgetListContext {
  ZebGadgetList* current;
  std::vector<std::unique_ptr<ZebGadgetList>>* lists;
};

GadgetListContext* contextRecord = nullptr;

void InitRecord(void* record) {
  static_cast<GadgetListContext*>(record)->lists = new std::vector<std::unique_ptr<ZebGadgetList>>();
  // The lists live as long as the library, like the record itself.
}

GadgetListContext& Context() {
  if (contextRecord == nullptr) ZebGadgetList::InitContext();
  return *static_cast<GadgetListContext*>(ThreadData(contextRecord));
}

}  // namespace

void ZebGadgetList::InitContext() {
  if (contextRecord == nullptr) {
    contextRecord = static_cast<GadgetListContext*>(NewThreadData(sizeof(GadgetListContext), InitRecord, nullptr));
  }
}

ZebGadgetList* ZebGadgetList::CurrentList() { return Context().current; }

platform::View* ZebGadgetList::CurrentView() {
  ZebGadgetList* list = CurrentList();
  return list != nullptr ? list->top() : nullptr;
}

platform::Window* ZebGadgetList::CurrentWindow() {
  ZebGadgetList* list = CurrentList();
  return list != nullptr ? list->window() : nullptr;
}

ZebGadgetList* ZebGadgetList::ListFromWindow(const platform::Window* window) {
  for (const auto& list : *Context().lists) {
    if (list->window() == window) return list.get();
  }
  return nullptr;
}

platform::Window* ZebGadgetList::SetWindow(platform::Window* window) {
  GadgetListContext& context = Context();
  platform::Window* previous = context.current != nullptr ? context.current->window() : nullptr;
  ZebGadgetList* list = ListFromWindow(window);
  if (list == nullptr) {
    context.lists->push_back(std::make_unique<ZebGadgetList>(window));
    list = context.lists->back().get();
  }
  context.current = list;
  return previous;
}

void ZebGadgetList::RemoveWindow(const platform::Window* window) {
  GadgetListContext& context = Context();
  auto& lists = *context.lists;
  const auto found = std::find_if(lists.begin(), lists.end(), [window](const auto& l) { return l->window() == window; });
  if (found == lists.end()) return;
  if (context.current == found->get()) context.current = nullptr;
  lists.erase(found);
}

ZebGadgetList::ZebGadgetList(platform::Window* window)
    : TopWindow(window), TopView(window->ContentView()), Views(kStackGrowth, nullptr) {
  if (TopView == nullptr) {
    window->SetContentView(platform::CurrentToolkit().CreateView(nullptr));
    TopView = window->ContentView();
  }
}

void ZebGadgetList::Push(platform::View* view) {
  if (StackIndex == StackSize) {
    StackSize += kStackGrowth;
    Views.resize(static_cast<size_t>(StackSize), nullptr);
  }
  Views[static_cast<size_t>(StackIndex++)] = TopView;
  TopView = view;
}

void ZebGadgetList::Pop() {
  if (StackIndex == 0) {
    TopView = TopWindow->ContentView();
    return;
  }
  --StackIndex;
  TopView = Views[static_cast<size_t>(StackIndex)];
  Views[static_cast<size_t>(StackIndex)] = nullptr;
}

}  // namespace zeb
