// The signatures of the 21 exports: name, argument kinds and result kind. The demo
// host and the export tests read this one table.
//   'i' a 64-bit signed integer, 'd' a double, 's' a NUL-terminated UTF-8 string.
#pragma once

#include <string_view>

namespace zeb {

struct ExportSignature {
  std::string_view name;
  std::string_view arguments;  // one kind letter per argument
  char result;
};

inline constexpr ExportSignature kExportSignatures[] = {
    {"AttachProcess", "i", 'i'},
    {"DetachProcess", "i", 'i'},
    {"ClearAll", "", 'd'},
    {"FileExists", "s", 'd'},
    {"DirectoryExists", "s", 'd'},
    {"FileCopy", "ss", 'd'},
    {"FileDelete", "s", 'd'},
    {"GetFolderFiles", "ss", 's'},
    {"StringLoad", "ss", 's'},
    {"ClipboardGetText", "", 's'},
    {"ClipboardSetText", "s", 'd'},
    {"RunFile", "s", 'd'},
    {"GetOpenFile", "sssd", 's'},
    {"GetSaveFile", "sssd", 's'},
    {"GetDirectory", "ss", 's'},
    {"GetColor", "ddd", 'd'},
    {"GetString", "sssd", 's'},
    {"ShowQuestion", "ss", 'd'},
    {"AddMenu", "d", 'd'},
    {"ShowMenu", "sdd", 'd'},
    {"GetText", "ssss", 's'},
};

inline constexpr const ExportSignature* FindExportSignature(std::string_view name) {
  for (const ExportSignature& signature : kExportSignatures) {
    if (signature.name == name) return &signature;
  }
  return nullptr;
}

}  // namespace zeb
