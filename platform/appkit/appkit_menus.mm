#import "platform/appkit/appkit_menus.h"

#import "platform/appkit/appkit_strings.h"

// An item's target in AppKit's terms: its action reaches the contract's target
// with the C++ item.
@interface ZebMenuItemAction : NSObject {
  zeb::platform::MenuItem* item_;
}
- (instancetype)initWithItem:(zeb::platform::MenuItem*)item;
- (void)choose:(id)sender;
@end

@implementation ZebMenuItemAction

- (instancetype)initWithItem:(zeb::platform::MenuItem*)item {
  if ((self = [super init]) != nil) item_ = item;
  return self;
}

- (void)choose:(id)sender {
  if (zeb::platform::MenuTarget* target = item_->Target()) target->MenuItemChosen(*item_);
}

@end

namespace zeb::platform {
namespace {

NSMenuItem* MakeItem(bool separator, const ToolkitString& title, const ToolkitString& key, uint32_t modifiers) {
  if (separator) return (NSMenuItem*)[[NSMenuItem separatorItem] retain];
  NSMenuItem* item = [[NSMenuItem alloc] initWithTitle:ToNSString(title) action:nullptr keyEquivalent:ToNSString(key)];
  // The contract's modifier flags are AppKit's own.
  [item setKeyEquivalentModifierMask:key.empty() ? 0 : modifiers];
  return item;
}

// A menu belongs to one item at a time: the one it leaves forgets it.
void DetachSubmenu(NSMenuItem* item) {
  NSMenu* submenu = [item submenu];
  if (submenu == nil) return;
  [item setSubmenu:nil];
  [submenu setSupermenu:nil];
}

}  // namespace

AppKitMenuItem::AppKitMenuItem(bool separator, const ToolkitString& title, const ToolkitString& key,
                               uint32_t modifiers)
    : StoredMenuItem(separator, title, key, modifiers) {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  item_ = MakeItem(separator, title, key, modifiers);
  if (!separator) {
    action_ = [[ZebMenuItemAction alloc] initWithItem:this];
    [item_ setTarget:action_];
    [item_ setAction:@selector(choose:)];
  }
  [pool release];
}

AppKitMenuItem::~AppKitMenuItem() {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  DetachSubmenu(item_);
  [item_ setTarget:nil];
  [item_ release];
  [action_ release];
  [pool release];
}

// An item that opens a submenu chooses nothing itself.
void AppKitMenuItem::SetSubmenu(std::shared_ptr<Menu> submenu) {
  auto* appKit = dynamic_cast<AppKitMenu*>(submenu.get());
  if (IsSeparator() || (submenu != nullptr && (appKit == nullptr || [appKit->nsMenu() supermenu] != nil))) return;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  DetachSubmenu(item_);
  if (appKit != nullptr) {
    [item_ setSubmenu:appKit->nsMenu()];
  } else {
    [item_ setTarget:action_];
    [item_ setAction:@selector(choose:)];
  }
  [pool release];
  submenu_ = std::move(submenu);
}

// The menu's items are enabled whatever their targets answer.
AppKitMenu::AppKitMenu(const ToolkitString& title) : StoredMenu(title) {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  menu_ = [[NSMenu alloc] initWithTitle:ToNSString(title)];
  [menu_ setAutoenablesItems:NO];
  [pool release];
}

// The items leave the menu before it goes, so each is released by its own owner.
AppKitMenu::~AppKitMenu() {
  while (ItemCount() != 0) RemoveItem(ItemAt(ItemCount() - 1));
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  [menu_ release];
  [pool release];
}

bool AppKitMenu::Adopt(MenuItem& item, size_t index) {
  auto* appKit = dynamic_cast<AppKitMenuItem*>(&item);
  if (appKit == nullptr || [appKit->nsItem() menu] != nil) return false;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  [menu_ insertItem:appKit->nsItem() atIndex:static_cast<NSInteger>(index)];
  [pool release];
  return true;
}

void AppKitMenu::Release(MenuItem& item) {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  [menu_ removeItem:static_cast<AppKitMenuItem&>(item).nsItem()];
  [pool release];
}

}  // namespace zeb::platform
