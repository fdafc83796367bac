// The text storage of the AppKit backend's text views. GNUstep looks for a font
// that shows each character the text's font lacks, anew for every one of them:
// with no such font installed, a text of a few thousand Chinese characters took
// gigabytes and minutes to set. This storage looks once per character and font and
// keeps the answer.
#pragma once

#import "platform/appkit/appkit_compat.h"

@interface ZebTextStorage : NSTextStorage {
  NSMutableAttributedString* contents_;
  NSFont* checkedFont_;
  NSCharacterSet* covered_;
  // The font found for each character the checked font lacks, or NSNull.
  NSMutableDictionary* substitutes_;
}
@end
