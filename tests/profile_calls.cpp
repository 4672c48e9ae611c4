#include "profile_calls.h"

#include <utility>

#include "character_file_session.h"
#include "file_read.h"
#include "ini_document.h"

std::size_t ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                              std::string& value, std::size_t size) {
  std::string bytes;
  if (ReadFileBytes(path, bytes) != ReadStatus::Ok) bytes.clear();
  return IniDocument(std::move(bytes)).Read(section, key, value, size);
}

FileWaits TestWaits(int lockWaitMs, int quietMs, int limitMs) { return {lockWaitMs, {quietMs, limitMs}}; }

namespace {

template <typename Change>
bool ChangeProfile(const std::string& path, Change change) {
  CharacterFileSession file;
  return file.Open(path, TestWaits()) && change(file.Document()) && file.Save();
}

}  // namespace

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
  return ChangeProfile(path, [&](IniDocument& f) { return f.Write(section, key, value); });
}

bool DeleteProfileKey(const std::string& path, const std::string& section, const std::string& key) {
  return ChangeProfile(path, [&](IniDocument& f) { return f.Delete(section, key); });
}

bool EmptyProfileSection(const std::string& path, const std::string& section) {
  return ChangeProfile(path, [&](IniDocument& f) { return f.EmptySection(section); });
}
