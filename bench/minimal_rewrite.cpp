// The least a safe rewrite of a character file can do, for the whole-process
// comparison (process_bench): read the file, change the values of its first
// 30 Hotkey lines in memory, write a temporary file beside it, flush it,
// rename it over the file and flush the folder. Plain POSIX calls, nothing
// of the program's own.
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool ReadAll(const char* path, std::string& bytes) {
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::read(fd, &bytes[done], bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return ::close(fd) == 0;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The values of the first `count` "Hotkey_" lines become a crafting hotkey's.
void ChangeHotkeys(std::string& bytes, int count) {
  std::size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    pos = bytes.find("\nHotkey_", pos);
    if (pos == std::string::npos) return;
    std::size_t eq = bytes.find('=', pos), end = bytes.find('\r', pos);
    if (eq == std::string::npos || end == std::string::npos) return;
    bytes.replace(eq + 1, end - eq - 1, "45,13" + std::to_string(1000 + i) + ",,-1");
    pos = eq;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CHARACTER_FILE\n", argv[0]);
    return 2;
  }
  const std::string path = argv[1];
  std::string bytes;
  if (!ReadAll(path.c_str(), bytes)) return 1;
  ChangeHotkeys(bytes, 30);
  const std::string temporary = path + ".tmp";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0 || ::close(fd) != 0) return 1;
  if (::rename(temporary.c_str(), path.c_str()) != 0) return 1;
  std::string folder = path.substr(0, path.rfind('/') + 1);
  int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0 || ::fsync(dir) != 0) return 1;
  ::close(dir);
  return 0;
}
