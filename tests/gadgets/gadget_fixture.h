// The gadget tests' fixture: the runtime on a headless toolkit with a screen, and
// one window to put gadgets in.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless_toolkit.h"
#include "runtime/core/temp_string_buffer.h"
#include "tests/runtime_session.h"

namespace zeb {

class GadgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto toolkit = std::make_unique<platform::HeadlessToolkit>(platform::Size{1920, 1080});
    toolkit_ = toolkit.get();
    StartRuntime(std::move(toolkit));
    ASSERT_NE(OpenWindow(1, 10, 10, 400, 300, u"gadgets", WindowSizeable | WindowClosable), 0);
  }
  void TearDown() override { StopRuntime(); }

  // The gadget's text, read through the temporary string buffer.
  static std::u16string Text(int64_t number) {
    GetGadgetText(number, 0);
    return TempStringAddress(0);
  }

  platform::HeadlessToolkit* toolkit_ = nullptr;
};

}  // namespace zeb
