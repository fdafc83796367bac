// The scenario suite's fixture: one automated backend per test, the runtime started
// on it as the library's load does, and helpers that pump the event loop with a
// watchdog so no test can hang.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/automation.h"
#include "platform/autorelease_scope.h"

namespace zeb {

struct BackendMaker {
  std::string name;
  std::function<platform::AutomatedBackend()> make;
};

// Test names and messages show the backend by name.
inline void PrintTo(const BackendMaker& backend, std::ostream* out) { *out << backend.name; }

// Every backend that can run here.
std::vector<BackendMaker> AvailableBackends();

// A part of the contract beyond windows that a suite needs, named for the skip.
struct Need {
  bool platform::Capabilities::*part;
  const char* name;
};
inline constexpr Need kControls{&platform::Capabilities::controls, "controls"};
inline constexpr Need kTextViews{&platform::Capabilities::textViews, "text views"};
inline constexpr Need kAlerts{&platform::Capabilities::alerts, "alerts"};
inline constexpr Need kColorPanel{&platform::Capabilities::colorPanel, "colour panel"};
inline constexpr Need kFilePanels{&platform::Capabilities::filePanels, "file panels"};
inline constexpr Need kMenus{&platform::Capabilities::menus, "menus"};
inline constexpr Need kPasteboard{&platform::Capabilities::pasteboard, "pasteboard"};
inline constexpr Need kBitmaps{&platform::Capabilities::bitmaps, "bitmaps"};

class Scenario : public ::testing::TestWithParam<BackendMaker> {
 protected:
  // What every scenario of the suite needs; on a backend without it they are skipped.
  virtual std::vector<Need> Needs() const { return {}; }
  void SetUp() override;
  void TearDown() override;

  platform::Toolkit& toolkit() { return *toolkit_; }
  platform::Automation& automation() { return *automation_; }
  const platform::Capabilities& can() const { return capabilities_; }

  // Pumps the event loop until a runtime event of `type` is taken, and returns
  // every runtime event type taken on the way, that one included. Fails the test
  // after a few seconds without it.
  std::vector<int64_t> PumpUntil(int64_t type);
  // Pumps until no toolkit event has come for a short while, and returns the
  // runtime event types taken.
  std::vector<int64_t> PumpUntilIdle();

  // Pumps until the window is the key window; false when it does not become key.
  bool PumpUntilKey(platform::Window* window);

  // Where the gadget's outer view shows in its window's content, and its middle.
  platform::Rect GadgetFrame(int64_t number);
  platform::Point GadgetCentre(int64_t number);

  // Opens a titled, closable, resizable window with a content of 300 x 200.
  int64_t OpenTestWindow(int64_t number, int32_t flags = 0x76);

 private:
  // The test calls the runtime as the exports do, inside a pool.
  platform::AutoreleaseScope pool_;
  platform::Toolkit* toolkit_ = nullptr;
  std::unique_ptr<platform::Automation> automation_;
  platform::Capabilities capabilities_;
};

// A suite whose scenarios need these parts of the contract.
template <const Need&... needs>
class ScenarioNeeding : public Scenario {
 protected:
  std::vector<Need> Needs() const override { return {needs...}; }
};

std::string BackendName(const ::testing::TestParamInfo<BackendMaker>& info);

}  // namespace zeb
