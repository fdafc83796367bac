// The library is a guest in the host's process: while AppKit starts up (GNUstep's
// back end sets the locale from the environment, catches SIGINT and SIGTERM and
// ignores SIGPIPE), this scope keeps what the host had and puts it back.
#pragma once

#include <csignal>
#include <string>

namespace zeb::platform {

class GuestOfHost {
 public:
  GuestOfHost();
  ~GuestOfHost();
  GuestOfHost(const GuestOfHost&) = delete;
  GuestOfHost& operator=(const GuestOfHost&) = delete;

 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGPIPE, SIGHUP};
  std::string locale_;
  struct sigaction actions_[sizeof(kSignals) / sizeof(kSignals[0])];
};

}  // namespace zeb::platform
