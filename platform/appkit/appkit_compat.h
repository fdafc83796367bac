// The names of current macOS that GNUstep's AppKit lacks, mapped onto its own, so
// that the backend reads as macOS code. Included by every AppKit source after
// AppKit itself; on macOS it adds nothing.
#pragma once

#import <AppKit/AppKit.h>

#ifdef GNUSTEP

#define NSEventMaskAny NSAnyEventMask
#define NSEventTypeApplicationDefined NSApplicationDefined
#define NSEventTypeKeyDown NSKeyDown
#define NSEventModifierFlagCapsLock NSAlphaShiftKeyMask
#define NSEventModifierFlagShift NSShiftKeyMask
#define NSEventModifierFlagControl NSControlKeyMask
#define NSEventModifierFlagOption NSAlternateKeyMask
#define NSEventModifierFlagCommand NSCommandKeyMask
#define NSButtonTypeMomentaryPushIn NSMomentaryPushInButton
#define NSButtonTypePushOnPushOff NSPushOnPushOffButton
#define NSBezelStyleRounded NSRoundedBezelStyle
#define NSBezelStyleRegularSquare NSRegularSquareBezelStyle
#define NSEventTypeLeftMouseDown NSLeftMouseDown
#define NSEventTypeLeftMouseUp NSLeftMouseUp

// A pop-up menu tracked as on a Mac (appkit_menu_tracking.mm): shown with its
// top-left corner at the location, a point of the screen (the item and the view
// are nil here), until a choice, a click outside or Escape; YES when an item was
// chosen. cancelTracking closes the menu being tracked without a choice.
@interface NSMenu (ZebMacTracking)
- (BOOL)popUpMenuPositioningItem:(NSMenuItem*)item atLocation:(NSPoint)location inView:(NSView*)view;
- (void)cancelTracking;
@end
#define NSBitmapFormatAlphaNonpremultiplied NSAlphaNonpremultipliedBitmapFormat

#endif
