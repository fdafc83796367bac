#include "tests/scenarios/scenario_fixture.h"

#include <chrono>

#include "platform/headless/headless_automation.h"
#if ZEB_HAVE_GTK
#include "platform/gtk/gtk_automation.h"
#endif
#if ZEB_HAVE_APPKIT
#include "platform/appkit/appkit_automation.h"
#endif
#include "runtime/events/application.h"
#include "tests/runtime_session.h"

namespace zeb {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr auto kWatchdog = std::chrono::seconds(5);
constexpr int32_t kIdleWait = 300;

}  // namespace

std::vector<BackendMaker> AvailableBackends() {
  std::vector<BackendMaker> backends = {{"headless", platform::MakeHeadlessBackend}};
#if ZEB_HAVE_GTK
  backends.push_back({"gtk", platform::MakeGtkBackend});
#endif
#if ZEB_HAVE_APPKIT
  backends.push_back({"appkit", platform::MakeAppKitBackend});
#endif
  return backends;
}

std::string BackendName(const ::testing::TestParamInfo<BackendMaker>& info) { return info.param.name; }

void Scenario::SetUp() {
  platform::AutomatedBackend backend = GetParam().make();
  if (backend.toolkit == nullptr) GTEST_SKIP() << "the " << GetParam().name << " backend has no display here";
  capabilities_ = backend.toolkit->capabilities();
  for (const Need& need : Needs()) {
    if (!(capabilities_.*need.part)) GTEST_SKIP() << "the " << GetParam().name << " backend has no " << need.name;
  }
  toolkit_ = backend.toolkit.get();
  automation_ = std::move(backend.automation);
  StartRuntime(std::move(backend.toolkit));
}

void Scenario::TearDown() {
  if (toolkit_ == nullptr) return;
  EXPECT_EQ(automation_->WatchdogEndings(), 0) << "a dialog, window or pop-up was left for the watchdog to end";
  automation_.reset();
  StopRuntime();
}

std::vector<int64_t> Scenario::PumpUntil(int64_t type) {
  std::vector<int64_t> taken;
  const auto giveUp = steady_clock::now() + kWatchdog;
  while (steady_clock::now() < giveUp) {
    const int64_t result = WaitWindowEvent(50);
    if (result > 0) taken.push_back(result);
    if (result == type) return taken;
  }
  ADD_FAILURE() << "no event of type " << type << " within the watchdog's time";
  return taken;
}

std::vector<int64_t> Scenario::PumpUntilIdle() {
  std::vector<int64_t> taken;
  const auto giveUp = steady_clock::now() + kWatchdog;
  while (steady_clock::now() < giveUp) {
    const int64_t result = WaitWindowEvent(kIdleWait);
    if (result > 0) taken.push_back(result);
    if (result != 0) continue;
    // The wait ran out; a backend that draws while it waits (AppKit does) may have
    // posted a repaint meanwhile, which the next call takes at once.
    const int64_t queued = WaitWindowEvent(0);
    if (queued == 0) return taken;
    if (queued > 0) taken.push_back(queued);
  }
  ADD_FAILURE() << "the event loop never went idle";
  return taken;
}

bool Scenario::PumpUntilKey(platform::Window* window) {
  const auto giveUp = steady_clock::now() + kWatchdog;
  while (toolkit_->KeyWindow() != window && steady_clock::now() < giveUp) WaitWindowEvent(50);
  return toolkit_->KeyWindow() == window;
}

platform::Rect Scenario::GadgetFrame(int64_t number) {
  const Zeb_GadgetStructure* gadget = IsGadget(number);
  return gadget != nullptr ? automation_->ShownFrame(gadget->outerView) : platform::Rect{};
}

platform::Point Scenario::GadgetCentre(int64_t number) {
  const platform::Rect frame = GadgetFrame(number);
  return {frame.x + frame.width / 2, frame.y + frame.height / 2};
}

int64_t Scenario::OpenTestWindow(int64_t number, int32_t flags) {
  const int64_t result = OpenWindow(number, 100, 100, 300, 200, u"scenario", flags);
  EXPECT_NE(result, 0);
  PumpUntilIdle();
  return result;
}

}  // namespace zeb
