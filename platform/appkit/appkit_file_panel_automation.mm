#import "platform/appkit/appkit_file_panel_automation.h"

#ifdef GNUSTEP

#include <algorithm>
#include <functional>

#import "platform/appkit/appkit_strings.h"

namespace zeb::platform {
namespace {

NSBrowser* BrowserOf(NSSavePanel* panel) {
  NSBrowser* browser = [[panel contentView] viewWithTag:NSFileHandlingPanelBrowser];
  return [browser isKindOfClass:[NSBrowser class]] ? browser : nil;
}

// The browser's column that lists the folder shown: the one where the item the
// name field names is selected, else the last one.
NSInteger FolderColumn(NSSavePanel* panel, NSBrowser* browser) {
  const NSInteger selected = [browser selectedColumn];
  NSString* name = [panel nameFieldStringValue];
  if (selected >= 0 && [name length] > 0 && [[[browser selectedCellInColumn:selected] stringValue] isEqualToString:name]) {
    return selected;
  }
  return [browser lastColumn];
}

void VisitSubviews(NSView* view, const std::function<void(NSView*)>& visit) {
  for (NSView* subview in [view subviews]) {
    visit(subview);
    VisitSubviews(subview, visit);
  }
}

}  // namespace

NSPopUpButton* FilterMenuOf(NSSavePanel* panel) {
  NSPopUpButton* menu = nil;
  VisitSubviews([panel accessoryView], [&](NSView* view) {
    if (menu == nil && [view isKindOfClass:[NSPopUpButton class]]) menu = (NSPopUpButton*)view;
  });
  return menu;
}

void ReadFilePanel(NSSavePanel* panel, ModalContents& contents) {
  if (![panel isKindOfClass:[NSOpenPanel class]]) contents.name = FromNSString([panel nameFieldStringValue]);
  if (NSPopUpButton* menu = FilterMenuOf(panel)) {
    for (NSString* title in [menu itemTitles]) contents.filters.push_back(FromNSString(title));
    contents.filter = FromNSString([menu titleOfSelectedItem]);
  }
  NSBrowser* browser = BrowserOf(panel);
  if (browser == nil) return;
  const NSInteger column = FolderColumn(panel, browser);
  contents.folder = FromNSString([browser pathToColumn:column]);
  for (NSCell* cell in [[browser matrixInColumn:column] cells]) contents.listed.push_back(FromNSString([cell stringValue]));
  std::sort(contents.listed.begin(), contents.listed.end());
}

NSButton* SelectInFilePanel(NSSavePanel* panel, const std::vector<ToolkitString>& paths) {
  NSButton* confirm = [[panel contentView] viewWithTag:NSFileHandlingPanelOKButton];
  if (paths.empty()) return confirm;
  NSString* first = ToNSString(paths.front());
  [panel setDirectoryURL:[NSURL fileURLWithPath:[first stringByDeletingLastPathComponent] isDirectory:YES]];
  if (![panel isKindOfClass:[NSOpenPanel class]]) {
    [panel setNameFieldStringValue:[first lastPathComponent]];
    return confirm;
  }
  NSBrowser* browser = BrowserOf(panel);
  const NSInteger column = [browser lastColumn];
  NSMatrix* matrix = [browser matrixInColumn:column];
  [matrix deselectAllCells];
  for (const ToolkitString& path : paths) {
    NSString* name = [ToNSString(path) lastPathComponent];
    for (NSInteger row = 0; row < [matrix numberOfRows]; ++row) {
      if ([[[matrix cellAtRow:row column:0] stringValue] isEqualToString:name]) [browser selectRow:row inColumn:column];
    }
  }
  // The panel hears of the selection as of a click in the browser.
  [browser doClick:matrix];
  return confirm;
}

}  // namespace zeb::platform

#endif
