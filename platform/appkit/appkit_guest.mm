#import "platform/appkit/appkit_guest.h"

#include <clocale>

namespace zeb::platform {

GuestOfHost::GuestOfHost() {
  const char* locale = std::setlocale(LC_ALL, nullptr);
  locale_ = locale != nullptr ? locale : "C";
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], nullptr, &actions_[i]);
}

GuestOfHost::~GuestOfHost() {
  std::setlocale(LC_ALL, locale_.c_str());
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &actions_[i], nullptr);
}

}  // namespace zeb::platform
