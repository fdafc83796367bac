// The dialog exports: a file to open or to save under, a folder, a line of text, a
// Yes/No question and a colour.
#include <algorithm>
#include <cstdint>

#include "extension/exports.h"
#include "extension/host_strings.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/events/application.h"
#include "runtime/events/windows.h"
#include "runtime/requesters/color_requester.h"
#include "runtime/requesters/file_requesters.h"
#include "runtime/requesters/input_requester.h"
#include "runtime/requesters/message_requester.h"
#include "runtime/requesters/scripted_dialogs.h"

namespace {

// A file dialog's arguments decoded, its requester run and its path returned.
using FileRequester = void (*)(const zeb::Unit* title, const zeb::Unit* defaultFile, const zeb::Unit* pattern,
                               int64_t patternPosition, int64_t start);
const char* RunFileDialog(std::string_view exportName, FileRequester requester, const char* title,
                          const char* defaultFile, const char* pattern, double patternPosition) {
  zeb::HostCall call;
  // From another thread no dialog can be shown: the answer of a cancelled one.
  if (!zeb::OnApplicationThread()) return call.Text(u"");
  zeb::ScriptedDialog scripted(exportName, {{"title", zeb::JsonString(title)},
                                            {"default", zeb::JsonString(defaultFile)},
                                            {"pattern", zeb::JsonString(pattern)},
                                            {"position", zeb::JsonNumber(patternPosition)}});
  const zeb::StringVariable decodedTitle = zeb::DecodeHostString(title);
  const zeb::StringVariable decodedFile = zeb::DecodeHostPath(defaultFile);
  const zeb::StringVariable decodedPattern = zeb::DecodeHostString(pattern);
  const int64_t start = zeb::TempBufferPosition();
  requester(decodedTitle.get(), decodedFile.get(), decodedPattern.get(), zeb::RoundToInteger(patternPosition), start);
  return scripted.Answered(call.Text(zeb::TempStringAddress(start), zeb::BadText::kEscape));
}

}  // namespace

// One file only: the requester's short form.
ZEB_EXPORT const char* GetOpenFile(const char* title, const char* defaultFile, const char* pattern,
                                   double patternPosition) {
  return RunFileDialog("GetOpenFile", static_cast<FileRequester>(zeb::OpenFileRequester), title, defaultFile, pattern, patternPosition);
}

ZEB_EXPORT const char* GetSaveFile(const char* title, const char* defaultFile, const char* pattern,
                                   double patternPosition) {
  return RunFileDialog("GetSaveFile", zeb::SaveFileRequester, title, defaultFile, pattern, patternPosition);
}

ZEB_EXPORT const char* GetDirectory(const char* title, const char* initialPath) {
  zeb::HostCall call;
  // From another thread no dialog can be shown: the answer of a cancelled one.
  if (!zeb::OnApplicationThread()) return call.Text(u"");
  zeb::ScriptedDialog scripted("GetDirectory", {{"title", zeb::JsonString(title)}, {"default", zeb::JsonString(initialPath)}});
  const zeb::StringVariable decodedTitle = zeb::DecodeHostString(title);
  const zeb::StringVariable decodedPath = zeb::DecodeHostPath(initialPath);
  const int64_t start = zeb::TempBufferPosition();
  zeb::PathRequester(decodedTitle.get(), decodedPath.get(), start);
  return scripted.Answered(call.Text(zeb::TempStringAddress(start), zeb::BadText::kEscape));
}

ZEB_EXPORT const char* GetString(const char* title, const char* message, const char* defaultText, double password) {
  zeb::HostCall call;
  // From another thread no dialog can be shown: the answer of a cancelled one.
  if (!zeb::OnApplicationThread()) return call.Text(u"");
  zeb::ScriptedDialog scripted("GetString", {{"title", zeb::JsonString(title)},
                                             {"message", zeb::JsonString(message)},
                                             {"default", zeb::JsonString(defaultText)},
                                             {"password", zeb::JsonNumber(password)}});
  const zeb::StringVariable decodedTitle = zeb::DecodeHostString(title);
  const zeb::StringVariable decodedMessage = zeb::DecodeHostString(message);
  const zeb::StringVariable decodedText = zeb::DecodeHostString(defaultText);
  const int64_t start = zeb::TempBufferPosition();
  // Any password value but exactly 0, negative and fractional ones included, hides
  // the typing.
  const int64_t flags = password != 0.0 ? zeb::InputRequesterPassword : 0;
  zeb::InputRequester(decodedTitle.get(), decodedMessage.get(), decodedText.get(), flags, start);
  return scripted.Answered(call.Text(zeb::TempStringAddress(start)));
}

ZEB_EXPORT double ShowQuestion(const char* title, const char* message) {
  zeb::HostCall call;
  if (!zeb::OnApplicationThread()) return call.Number(-1);
  zeb::ScriptedDialog scripted("ShowQuestion", {{"title", zeb::JsonString(title)}, {"message", zeb::JsonString(message)}});
  const zeb::StringVariable decodedTitle = zeb::DecodeHostString(title);
  const zeb::StringVariable decodedMessage = zeb::DecodeHostString(message);
  const int64_t answer =
      zeb::MessageRequester(decodedTitle.get(), decodedMessage.get(), zeb::MessageRequesterYesNo);
  const double result = answer == zeb::MessageRequesterNo ? 0 : answer == zeb::MessageRequesterYes ? 1 : -1;
  return scripted.Answered(call.Number(result));
}

// The colour panel has a borderless window of no size of the exports' own at (x, y),
// opened after every runtime window has closed and never shown (it would be a dot on
// the screen and an entry without a title in the task bar); none is left open
// afterwards.
ZEB_EXPORT double GetColor(double color, double x, double y) {
  zeb::HostCall call;
  // From another thread its window cannot be opened.
  if (!zeb::OnApplicationThread()) return call.Number(0);
  zeb::ScriptedDialog scripted("GetColor", {{"color", zeb::JsonNumber(color)}, {"x", zeb::JsonNumber(x)},
                                            {"y", zeb::JsonNumber(y)}});
  zeb::CloseWindow(-1);
  const auto Coordinate = [](double value) {
    return static_cast<int32_t>(std::clamp<int64_t>(zeb::RoundToInteger(value), INT32_MIN, INT32_MAX));
  };
  if (zeb::OpenWindow(zeb::kReservedWindow, Coordinate(x), Coordinate(y), 0, 0, nullptr,
                     zeb::WindowBorderless | zeb::WindowInvisible) == 0) {
    return scripted.Answered(call.Number(0));
  }
  const int64_t chosen = zeb::ColorRequester(zeb::RoundToInteger(color));
  zeb::CloseWindow(zeb::kReservedWindow);
  // Cancelled: the colour exactly as the host gave it, fraction and all.
  return scripted.Answered(call.Number(chosen > -1 ? static_cast<double>(chosen) : color));
}
