// The gadget core: numbered controls inside runtime windows. Each gadget is a
// toolkit view (and the outer view placed in the window), a controller that
// carries the gadget operations, and a record in the gadget registry; the
// operations here find the gadget by number and ask its controller.
#pragma once

#include <cstdint>

#include "platform/toolkit.h"
#include "runtime/core/runtime_string.h"

namespace zeb {

inline constexpr int32_t ButtonGadgetType = 1;
inline constexpr int32_t EditorGadgetType = 22;

class ZebGadgetFunctions;
struct ObjectRegistry;

// The gadget record.
struct Zeb_GadgetStructure {
  platform::View* view;          // the gadget's own control; the handle
  platform::View* outerView;     // what sits in the container: the control, or its scroll view
  ZebGadgetFunctions* functions;  // the controller, owned by the record
  int64_t window;                // the window that was current when the gadget was made
  int32_t type;
  int32_t flags;
};

// Start routine: makes the gadget registry.
void InitGadgets();

// The registry the controllers register their gadgets in.
ObjectRegistry* GadgetRegistry();

// The record of a live gadget, or null.
Zeb_GadgetStructure* IsGadget(int64_t number);

// Takes the gadget out of its window and releases it; -1 frees every gadget.
void FreeGadget(int64_t number);
// The release that FreeGadget and the gadget's own view share: the view is told
// that its gadget is gone, the controller hears FreeGadget and is deleted, the
// record is freed. A number that is not live does nothing, so whichever side
// starts, a gadget is released once.
void ReleaseGadget(int64_t number);

// Makes the gadget's window key and gives the gadget the keyboard focus.
void ActivateGadget(int64_t number);

// Each of x, y, width and height that is not IgnoreValue replaces the outer view's.
void ResizeGadget(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height);

// A font handle from FontID; -1 is no font. Gadget number -1 sets the font that
// every gadget made afterwards gets (font -1: none). A handle that no font object
// holds is ignored.
void SetGadgetFont(int64_t number, int64_t font);
// The default gadget font, or null.
platform::SharedFont DefaultGadgetFont();

void SetGadgetText(int64_t number, const Unit* text);
// The gadget's text as a result at `start`; the empty string for an unknown gadget.
void GetGadgetText(int64_t number, int64_t start);

// Items, attributes and colours, as the gadget's kind has them (an editor's items
// are its lines). Colours are RGB integers (red in the low byte).
int64_t AddGadgetItem(int64_t number, int32_t position, const Unit* text);
void RemoveGadgetItem(int64_t number, int32_t position);
void ClearGadgetItems(int64_t number);
int64_t CountGadgetItems(int64_t number);
void SetGadgetItemText(int64_t number, int32_t position, const Unit* text, int32_t column);
void GetGadgetItemText(int64_t number, int32_t position, int32_t column, int64_t start);
void SetGadgetAttribute(int64_t number, int32_t attribute, int64_t value);
int64_t GetGadgetAttribute(int64_t number, int32_t attribute);
void SetGadgetColor(int64_t number, int32_t type, int32_t color);
int64_t GetGadgetColor(int64_t number, int32_t type);

}  // namespace zeb
