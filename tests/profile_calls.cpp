#include "profile_calls.h"

#include "profile_file.h"

std::size_t ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                              std::string& value, std::size_t size) {
  ProfileFile file;
  if (!file.Open(path, false)) {
    value.clear();
    return 0;
  }
  return file.Read(section, key, value, size);
}

namespace {

template <typename Change>
bool ChangeProfile(const std::string& path, Change change) {
  ProfileFile file;
  return file.Open(path) && change(file) && file.Save();
}

}  // namespace

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
  return ChangeProfile(path, [&](ProfileFile& f) { return f.Write(section, key, value); });
}

bool DeleteProfileKey(const std::string& path, const std::string& section, const std::string& key) {
  return ChangeProfile(path, [&](ProfileFile& f) { return f.Delete(section, key); });
}

bool EmptyProfileSection(const std::string& path, const std::string& section) {
  return ChangeProfile(path, [&](ProfileFile& f) { return f.EmptySection(section); });
}
