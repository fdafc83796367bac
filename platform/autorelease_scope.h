// An autorelease pool around each call of the host's into the library, on the
// toolkit's thread: the AppKit backend's objects autoreleased during the call go
// when it returns. Other backends have no pools.
#pragma once

namespace zeb::platform {

#if ZEB_HAVE_APPKIT
class AutoreleaseScope {
 public:
  AutoreleaseScope();
  ~AutoreleaseScope();
  AutoreleaseScope(const AutoreleaseScope&) = delete;
  AutoreleaseScope& operator=(const AutoreleaseScope&) = delete;

 private:
  void* pool_;
};
#else
class AutoreleaseScope {};
#endif

}  // namespace zeb::platform
