#import "platform/appkit/appkit_file_panel.h"

#include <algorithm>

#import "platform/appkit/appkit_gnustep_focus.h"
#import "platform/appkit/appkit_strings.h"

using zeb::platform::FileFilter;

#ifdef GNUSTEP
// GNUstep's shared panels keep what they listed, and reload only the columns that
// list a file the filter now hides: a new filter, or a new run, lists the folders
// again, at the same path.
static void ListAgain(NSSavePanel* panel) {
  NSBrowser* browser = [[panel contentView] viewWithTag:NSFileHandlingPanelBrowser];
  if (![browser isKindOfClass:[NSBrowser class]]) return;
  NSString* path = [[[browser path] copy] autorelease];
  [browser loadColumnZero];
  [browser setPath:path];
}
#endif

// The filters of a running panel: the pop-up menu's target, which chooses the
// filter, and the panel's delegate, which shows the folders and the files the
// chosen filter accepts.
@interface ZebFileFilters : NSObject {
  std::vector<FileFilter> filters_;
  size_t current_;
  NSSavePanel* panel_;
}
- (instancetype)initWithFilters:(const std::vector<FileFilter>&)filters current:(size_t)current panel:(NSSavePanel*)panel;
// The accessory view: the pop-up menu of the filters' descriptions.
- (NSView*)accessoryView;
- (void)filterChosen:(NSPopUpButton*)sender;
@end

@implementation ZebFileFilters

- (instancetype)initWithFilters:(const std::vector<FileFilter>&)filters current:(size_t)current panel:(NSSavePanel*)panel {
  if ((self = [super init]) == nil) return nil;
  filters_ = filters;
  current_ = current < filters.size() ? current : 0;
  panel_ = panel;
  return self;
}

- (NSView*)accessoryView {
  NSPopUpButton* menu = [[[NSPopUpButton alloc] initWithFrame:NSMakeRect(10, 6, 200, 24) pullsDown:NO] autorelease];
  for (const FileFilter& filter : filters_) [menu addItemWithTitle:zeb::platform::ToNSString(filter.description)];
  [menu selectItemAtIndex:static_cast<NSInteger>(current_)];
  [menu setTarget:self];
  [menu setAction:@selector(filterChosen:)];
  [menu sizeToFit];
  NSRect frame = [menu frame];
  frame.size.width = std::max<CGFloat>(NSWidth(frame), 200);
  [menu setFrame:frame];
  NSView* view = [[[NSView alloc] initWithFrame:NSMakeRect(0, 0, NSWidth(frame) + 20, NSHeight(frame) + 12)] autorelease];
  [view addSubview:menu];
  return view;
}

- (void)filterChosen:(NSPopUpButton*)sender {
  const NSInteger chosen = [sender indexOfSelectedItem];
  if (chosen < 0 || static_cast<size_t>(chosen) >= filters_.size()) return;
  current_ = static_cast<size_t>(chosen);
#ifdef GNUSTEP
  ListAgain(panel_);
#else
  [panel_ validateVisibleColumns];
#endif
}

- (BOOL)shows:(NSString*)path {
  if (filters_.empty()) return YES;
  BOOL folder = NO;
  if ([[NSFileManager defaultManager] fileExistsAtPath:path isDirectory:&folder] && folder) return YES;
  return filters_[current_].Accepts(zeb::platform::FromNSString([path lastPathComponent]));
}

// GNUstep lists only what this answers YES for.
- (BOOL)panel:(id)sender shouldShowFilename:(NSString*)filename {
  return [self shows:filename];
}

- (BOOL)panel:(id)sender shouldEnableURL:(NSURL*)url {
  return [self shows:[url path]];
}

@end

namespace zeb::platform {
namespace {

NSString* ConfirmTitle(FilePanelMode mode) {
  switch (mode) {
    case FilePanelMode::OpenFiles: return @"Open";
    case FilePanelMode::OpenFolder: return @"Select";
    case FilePanelMode::Save: return @"Save";
  }
  return @"Open";
}

// GNUstep titles the confirm button "OK", and its prompt is the name field's label.
void SetConfirmTitle(NSSavePanel* panel, NSString* title) {
#ifdef GNUSTEP
  NSButton* confirm = [[panel contentView] viewWithTag:NSFileHandlingPanelOKButton];
  if ([confirm isKindOfClass:[NSButton class]]) [confirm setTitle:title];
#else
  [panel setPrompt:title];
#endif
}

std::vector<ToolkitString> PathsChosenIn(NSSavePanel* panel, FilePanelMode mode) {
  std::vector<ToolkitString> paths;
  if (mode == FilePanelMode::Save) {
    paths.push_back(FromNSString([[panel URL] path]));
    return paths;
  }
  for (NSURL* url in [(NSOpenPanel*)panel URLs]) paths.push_back(FromNSString([url path]));
  return paths;
}

}  // namespace

// GNUstep shares one panel of each kind, and one shown again after it closed has
// its content out of place in its window: a new one for each run, as on macOS.
NSSavePanel* AppKitFilePanel::PreparedPanel() const {
  NSSavePanel* panel = nil;
  if (mode_ == FilePanelMode::Save) {
#ifdef GNUSTEP
    panel = [[[NSSavePanel alloc] init] autorelease];
#else
    panel = [NSSavePanel savePanel];
#endif
  } else {
#ifdef GNUSTEP
    NSOpenPanel* open = [[[NSOpenPanel alloc] init] autorelease];
#else
    NSOpenPanel* open = [NSOpenPanel openPanel];
#endif
    [open setCanChooseFiles:mode_ == FilePanelMode::OpenFiles];
    [open setCanChooseDirectories:mode_ == FilePanelMode::OpenFolder];
    [open setAllowsMultipleSelection:multiple_ && mode_ == FilePanelMode::OpenFiles];
    [open setResolvesAliases:YES];
    panel = open;
  }
  [panel setTitle:ToNSString(title_)];
  [panel setCanCreateDirectories:canCreateDirectories_];
  SetConfirmTitle(panel, ConfirmTitle(mode_));
  return panel;
}

bool AppKitFilePanel::RunModal() {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  chosen_.clear();
  NSSavePanel* panel = PreparedPanel();
  ZebFileFilters* filters = nil;
  if (!filters_.empty()) {
    filters = [[[ZebFileFilters alloc] initWithFilters:filters_ current:current_ panel:panel] autorelease];
    [panel setAccessoryView:[filters accessoryView]];
    [panel setDelegate:(id)filters];
  }
  NSString* directory = directory_.empty() ? nil : ToNSString(directory_);
  // Centred at the size it shows at, the filters' accessory view included.
  [panel center];
  TakeFocusInNextModalLoop();
#ifdef GNUSTEP
  ListAgain(panel);
  // GNUstep's runModal offers the name it last answered, not the one set: the
  // older call takes both.
  const NSModalResponse response = [panel runModalForDirectory:directory file:ToNSString(name_)];
#else
  if (directory != nil) [panel setDirectoryURL:[NSURL fileURLWithPath:directory isDirectory:YES]];
  [panel setNameFieldStringValue:ToNSString(name_)];
  const NSModalResponse response = [panel runModal];
#endif
  const bool confirmed = response == NSModalResponseOK;
  if (confirmed) chosen_ = PathsChosenIn(panel, mode_);
  [panel setDelegate:nil];
  [panel setAccessoryView:nil];
  [pool release];
  return confirmed;
}

}  // namespace zeb::platform
