#include "host/host_calls.h"

#include <charconv>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace zebhost {
namespace {

std::string FormatResult(double value) {
  char text[64];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  return ec == std::errc() ? std::string(text, end) : std::string("?");
}

std::string FormatResult(int64_t value) { return std::to_string(value); }

std::string FormatResult(const char* text) { return QuoteResult(text); }

// Argument conversion from shell text to the export's parameter type.
template <typename T>
T Convert(const std::string& text);
template <>
const char* Convert<const char*>(const std::string& text) { return text.c_str(); }
template <>
double Convert<double>(const std::string& text) { return std::strtod(text.c_str(), nullptr); }
template <>
int64_t Convert<int64_t>(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 0); }

template <typename Result, typename... Arguments, size_t... I>
std::string Invoke(void* symbol, std::span<const std::string> arguments, std::index_sequence<I...>) {
  auto* function = reinterpret_cast<Result (*)(Arguments...)>(symbol);
  return FormatResult(function(Convert<Arguments>(arguments[I])...));
}

template <typename Result, typename... Arguments>
std::string Invoke(void* symbol, std::span<const std::string> arguments) {
  return Invoke<Result, Arguments...>(symbol, arguments, std::index_sequence_for<Arguments...>{});
}

using S = const char*;
using D = double;
using I = int64_t;

}  // namespace

std::optional<std::string> CallExport(void* symbol, const zeb::ExportSignature& signature,
                                      std::span<const std::string> arguments, std::string* error) {
  if (arguments.size() != signature.arguments.size()) {
    *error = std::string(signature.name) + " takes " + std::to_string(signature.arguments.size()) +
             " argument(s), got " + std::to_string(arguments.size());
    return std::nullopt;
  }
  // Every shape of the export table, as "arguments>result".
  const std::string shape = std::string(signature.arguments) + ">" + signature.result;
  if (shape == "i>i") return Invoke<I, I>(symbol, arguments);
  if (shape == ">d") return Invoke<D>(symbol, arguments);
  if (shape == ">s") return Invoke<S>(symbol, arguments);
  if (shape == "d>d") return Invoke<D, D>(symbol, arguments);
  if (shape == "s>d") return Invoke<D, S>(symbol, arguments);
  if (shape == "ss>d") return Invoke<D, S, S>(symbol, arguments);
  if (shape == "ss>s") return Invoke<S, S, S>(symbol, arguments);
  if (shape == "sdd>d") return Invoke<D, S, D, D>(symbol, arguments);
  if (shape == "ddd>d") return Invoke<D, D, D, D>(symbol, arguments);
  if (shape == "sssd>s") return Invoke<S, S, S, S, D>(symbol, arguments);
  if (shape == "ssss>s") return Invoke<S, S, S, S, S>(symbol, arguments);
  *error = "no caller for the signature " + shape;
  return std::nullopt;
}

std::string QuoteResult(const char* text) {
  std::string quoted = "\"";
  for (const char* c = text; *c != 0; ++c) {
    const auto byte = static_cast<unsigned char>(*c);
    if (byte == '"' || byte == '\\') {
      quoted += '\\';
      quoted += *c;
    } else if (byte == '\n') {
      quoted += "\\n";
    } else if (byte == '\t') {
      quoted += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      quoted += escape;
    } else {
      quoted += *c;
    }
  }
  return quoted + "\"";
}

}  // namespace zebhost
