#include "bench_support.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <ctime>
#include <fstream>
#include <stdexcept>

#include "slot_cursor.h"

std::string MakeCharacterFile(std::size_t bytes) {
  std::string s = "[Panels]\r\nChat=1,20,400,500,200\r\nQuickbar=1,300,700,0\r\n\r\n";
  for (int q = 1; q <= 3; ++q) {
    s += "[" + QuickbarSection(q) + "]\r\n";
    s += "GroupSize=10\r\n";
    for (int k = 0; k < 100; k += 3) s += "Hotkey_" + std::to_string(k) + "=45,1301" + std::to_string(k) + "00,,-1\r\n";
    s += "\r\n";
  }
  s += "[Macros]\r\n";
  for (int m = 0; m < 20; ++m) s += "Macro_" + std::to_string(m) + "=Mac" + std::to_string(m) + ",/say hello\r\n";
  s += "\r\n[Chat]\r\n";
  for (int i = 0; s.size() + 40 < bytes; ++i)
    s += "ChatFilter_" + std::to_string(i) + "=1,0,1,1,0,0,1,1\xe9\r\n";
  return s;
}

std::string MakeBenchFolder() {
  std::string pattern = "/tmp/brindlemarque-bench-XXXXXX";
  if (!::mkdtemp(&pattern[0])) throw std::runtime_error("mkdtemp failed");
  // Builds keep backups in the user's data folder: here, in the last folder made.
  ::setenv("XDG_DATA_HOME", (pattern + "/data").c_str(), 1);
  return pattern;
}

void WriteBenchFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  AgeBenchFile(path);
}

void AgeBenchFile(const std::string& path) {
  struct timespec old[2];
  ::clock_gettime(CLOCK_REALTIME, &old[0]);
  old[0].tv_sec -= 60;
  old[1] = old[0];
  ::utimensat(AT_FDCWD, path.c_str(), old, 0);
}

std::string MakeMacroHeavyCharacterFile(std::size_t bytes, bool chatFirst) {
  std::string s = "[Panels]\r\nChat=1,20,400,500,200\r\n\r\n";
  for (int q = 1; q <= 3; ++q) {
    s += "[" + QuickbarSection(q) + "]\r\n";
    s += "GroupSize=10\r\n";
    for (int k = 0; k < 100; ++k) {
      int m = (k + q * 7) % 100;
      s += "Hotkey_" + std::to_string(k) + "=52," + std::to_string(m) + ",Macro " + std::to_string(m) + ",-1\r\n";
    }
    s += "\r\n";
  }
  s += "[Macros]\r\n";
  for (int m = 0; m < 100; ++m)
    s += "Macro_" + std::to_string(m) + (m % 3 != 0 ? "=Helm,/rofl (by Brindlemarque)\r\n" : "=Mac,/say hello " + std::to_string(m) + "\r\n");
  s += "\r\n";
  std::string chat = "[Chat]\r\n";
  for (int i = 0; s.size() + chat.size() + 40 < bytes; ++i)
    chat += "ChatFilter_" + std::to_string(i) + "=1,0,1,1,0,0,1,1\xe9\r\n";
  return chatFirst ? chat + "\r\n" + s : s + chat;
}
