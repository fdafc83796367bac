// Calling an export found with dlsym, given its signature and shell arguments.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "extension/export_signatures.h"

namespace zebhost {

// Calls the export at `symbol` with `arguments` converted to its argument kinds
// and returns its result as printed text: a number, or the string in quotes.
// Returns nothing and sets `error` when the arguments do not fit the signature.
std::optional<std::string> CallExport(void* symbol, const zeb::ExportSignature& signature,
                                      std::span<const std::string> arguments, std::string* error);

// A string result as printed: in double quotes, with quotes, backslashes and
// control characters escaped.
std::string QuoteResult(const char* text);

}  // namespace zebhost
