#import "platform/appkit/appkit_text_storage.h"

@implementation ZebTextStorage

- (instancetype)init {
  if ((self = [super init]) != nil) {
    contents_ = [[NSMutableAttributedString alloc] init];
    substitutes_ = [[NSMutableDictionary alloc] init];
  }
  return self;
}

- (void)dealloc {
  [contents_ release];
  [checkedFont_ release];
  [covered_ release];
  [substitutes_ release];
  [super dealloc];
}

- (NSString*)string {
  return [contents_ string];
}

- (NSDictionary*)attributesAtIndex:(NSUInteger)index effectiveRange:(NSRangePointer)range {
  return [contents_ attributesAtIndex:index effectiveRange:range];
}

- (void)replaceCharactersInRange:(NSRange)range withString:(NSString*)text {
  [contents_ replaceCharactersInRange:range withString:text];
  [self edited:NSTextStorageEditedCharacters range:range changeInLength:(NSInteger)[text length] - (NSInteger)range.length];
}

- (void)setAttributes:(NSDictionary*)attributes range:(NSRange)range {
  [contents_ setAttributes:attributes range:range];
  [self edited:NSTextStorageEditedAttributes range:range changeInLength:0];
}

// The characters the font shows, asked of the font once while it stays the one.
- (NSCharacterSet*)coveredBy:(NSFont*)font {
  if (![font isEqual:checkedFont_]) {
    [checkedFont_ release];
    checkedFont_ = [font retain];
    [covered_ release];
    covered_ = [[font coveredCharacterSet] retain];
    [substitutes_ removeAllObjects];
  }
  return covered_;
}

// The font for a character the font lacks, looked for the first time the
// character comes (by AppKit's own search, on that one character) and kept.
- (void)substituteAt:(NSUInteger)index character:(unichar)character font:(NSFont*)font {
  NSNumber* key = [NSNumber numberWithUnsignedShort:character];
  id substitute = [substitutes_ objectForKey:key];
  if (substitute == nil) {
    [super fixFontAttributeInRange:NSMakeRange(index, 1)];
    NSFont* found = [contents_ attribute:NSFontAttributeName atIndex:index effectiveRange:nullptr];
    [substitutes_ setObject:(found != nil && ![found isEqual:font] ? (id)found : (id)[NSNull null]) forKey:key];
    return;
  }
  if (substitute != [NSNull null]) [self addAttribute:NSFontAttributeName value:substitute range:NSMakeRange(index, 1)];
}

- (void)fixFontAttributeInRange:(NSRange)range {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  NSString* text = [contents_ string];
  NSCharacterSet* controls = [NSCharacterSet controlCharacterSet];
  NSUInteger index = range.location;
  while (index < NSMaxRange(range)) {
    NSRange run;
    NSFont* font = [contents_ attribute:NSFontAttributeName atIndex:index effectiveRange:&run];
    if (font == nil) font = [NSFont userFontOfSize:0];
    const NSUInteger runEnd = MIN(NSMaxRange(run), NSMaxRange(range));
    NSCharacterSet* covered = [self coveredBy:font];
    for (; index < runEnd; ++index) {
      const unichar character = [text characterAtIndex:index];
      // Surrogates are left to the font, as AppKit leaves them.
      if (covered == nil || (character >= 0xD800 && character <= 0xDFFF) || [covered characterIsMember:character] ||
          character == NSAttachmentCharacter || [controls characterIsMember:character]) {
        continue;
      }
      [self substituteAt:index character:character font:font];
    }
  }
  [pool release];
}

@end
