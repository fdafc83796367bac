// Test helpers: runtime strings as std::u16string for comparisons and messages, and
// a fixture that gives each test a fresh temporary string buffer.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "runtime/core/runtime_string.h"
#include "runtime/core/temp_string_buffer.h"

namespace zeb {

inline std::u16string Text(const Unit* s) { return s == nullptr ? std::u16string() : std::u16string(s); }

// The text from `start` to the buffer position, which must hold a terminator.
inline std::u16string TempText(int64_t start) {
  EXPECT_EQ(TempStringAddress(TempBufferPosition())[0], 0);
  return std::u16string(TempStringAddress(start), static_cast<size_t>(TempBufferPosition() - start) / 2);
}

class StringBufferTest : public ::testing::Test {
 protected:
  void SetUp() override { InitStringBuffer(); }
  void TearDown() override { FreeStringBuffer(); }
};

}  // namespace zeb
