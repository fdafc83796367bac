#include "runtime/events/event_bindings.h"

#include <cinttypes>
#include <cstdio>

#include "runtime/core/memory.h"
#include "runtime/events/string_map.h"

namespace zeb {
namespace {

struct CallbackNode {
  CallbackNode* next;
  EventCallback callback;
};

// The element of the binding table: the first callback node and the window the
// entry belongs to.
struct EventBinding {
  CallbackNode* first;
  int64_t window;
};

constexpr int32_t kBindingBuckets = 1024;
// "%d:%lld:%lld:%lld" of the longest values is 74 characters.
constexpr size_t kKeyBytes = 80;

StringMap* bindings = nullptr;

void FormatKey(char (&key)[kKeyBytes], int32_t type, int64_t window, int64_t object, int64_t data) {
  std::snprintf(key, sizeof key, "%d:%" PRId64 ":%" PRId64 ":%" PRId64, type, window, object, data);
}

void RunKey(int32_t type, int64_t window, int64_t object, int64_t data) {
  char key[kKeyBytes];
  FormatKey(key, type, window, object, data);
  const auto* binding = static_cast<EventBinding*>(FindStringMapElement(bindings, key));
  if (binding == nullptr) return;
  for (const CallbackNode* node = binding->first; node != nullptr; node = node->next) node->callback();
}

void FreeCallbacks(EventBinding* binding) {
  for (CallbackNode* node = binding->first; node != nullptr;) {
    CallbackNode* next = node->next;
    FreeBlock(node);
    node = next;
  }
  binding->first = nullptr;
}

}  // namespace

void InitEventBindings() {
  if (bindings == nullptr) bindings = NewStringMap(sizeof(EventBinding), kBindingBuckets);
}

void EndEventBindings() {
  if (bindings == nullptr) return;
  ResetStringMap(bindings);
  while (auto* binding = static_cast<EventBinding*>(NextStringMapElement(bindings))) FreeCallbacks(binding);
  FreeStringMap(bindings);
  bindings = nullptr;
}

void BindEvent(int32_t type, int64_t window, int64_t object, int64_t data, EventCallback callback) {
  if (bindings == nullptr || callback == nullptr) return;
  char key[kKeyBytes];
  FormatKey(key, type, window, object, data);
  auto* binding = static_cast<EventBinding*>(FindStringMapElement(bindings, key));
  if (binding == nullptr) binding = static_cast<EventBinding*>(AddStringMapElement(bindings, key));
  auto* node = static_cast<CallbackNode*>(AllocateBlock(sizeof(CallbackNode)));
  if (binding == nullptr || node == nullptr) {
    FreeBlock(node);
    return;
  }
  node->callback = callback;
  binding->window = window;
  CallbackNode** tail = &binding->first;
  while (*tail != nullptr) tail = &(*tail)->next;
  *tail = node;
}

void RunEventBindings(int32_t type, int64_t window, int64_t object, int64_t data) {
  if (bindings == nullptr || bindings->elementCount == 0) return;
  RunKey(type, window, object, data);
  RunKey(type, window, object, AnyValue);
  RunKey(type, window, AnyValue, AnyValue);
  RunKey(type, AnyValue, AnyValue, AnyValue);
  RunKey(type, AnyValue, object, data);
}

void RemoveWindowBindings(int64_t window) {
  if (bindings == nullptr) return;
  ResetStringMap(bindings);
  auto* binding = static_cast<EventBinding*>(NextStringMapElement(bindings));
  while (binding != nullptr) {
    if (binding->window == window) {
      FreeCallbacks(binding);
      DeleteStringMapElement(bindings);
    }
    binding = static_cast<EventBinding*>(NextStringMapElement(bindings));
  }
}

}  // namespace zeb
