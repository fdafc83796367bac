// A host for the guest test: it opens a window and pumps its events until they
// stop, which launches the application. Its arguments are words no document
// handler knows. Exits 0 once the loop has gone idle.
#include "platform/appkit/appkit_backend.h"
#include "platform/autorelease_scope.h"
#include "tests/runtime_session.h"

int main() {
  std::unique_ptr<zeb::platform::Toolkit> toolkit = zeb::platform::ConnectAppKitToolkit();
  if (toolkit == nullptr) return 2;
  const zeb::platform::AutoreleaseScope pool;
  zeb::StartRuntime(std::move(toolkit));
  if (zeb::OpenWindow(1, 100, 100, 200, 100, u"host", 0x76) == 0) return 3;
  while (zeb::WaitWindowEvent(500) != 0) {
  }
  zeb::StopRuntime();
  return 0;
}
