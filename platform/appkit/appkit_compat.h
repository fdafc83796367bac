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
#define NSBitmapFormatAlphaNonpremultiplied NSAlphaNonpremultipliedBitmapFormat

#endif
