// One line of a JSON Lines file, read as a flat object: each member a string, a
// number, true, false or null. Objects and arrays inside it are refused, so any
// line is read in one pass without recursion.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zeb {

struct JsonScalar {
  enum class Kind { String, Number, True, False, Null };
  Kind kind = Kind::Null;
  std::string text;    // a string's UTF-8 (escapes resolved), or a number as written
  double number = 0;   // a number's value
};

// The members in the order of the line; no name appears twice.
using JsonObject = std::vector<std::pair<std::string, JsonScalar>>;

// The member named `name`, or null.
const JsonScalar* FindMember(const JsonObject& object, std::string_view name);

struct JsonLine {
  std::optional<JsonObject> object;  // nothing when the line is not such an object
  std::string error;                 // then what is wrong, and at which column (from 1)
};

// Reads a line holding one object, white space allowed around its tokens. A
// string's \u escapes become UTF-8 (a surrogate pair one character; a lone
// surrogate is refused), control characters inside strings are refused, and its
// other bytes are kept as they are.
JsonLine ParseJsonLine(std::string_view line);

// The text as a JSON string: quotes, backslashes and control characters escaped,
// other bytes as they are.
std::string JsonQuoted(std::string_view text);

}  // namespace zeb
