// SHA-256 of a byte string as 64 lowercase hexadecimal digits, for comparing
// decoded pixels with the digests the test corpus lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zeb::testing {

std::string Sha256Hex(const std::vector<uint8_t>& bytes);

}  // namespace zeb::testing
