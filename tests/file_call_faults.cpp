// The faults and acts of FileCallLog, for both systems' logs.
#include "file_call_faults.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "file_call_log.h"

namespace {

struct Fault {
  int error, times;
};

std::mutex g_mutex;
bool g_on = false;
std::map<std::string, Fault> g_faults;
std::map<std::string, std::function<void()>> g_acts;
thread_local bool t_acting = false;

void Reset(bool on) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_on = on;
  g_faults.clear();
  g_acts.clear();
}

}  // namespace

void StartCallFaults() { Reset(true); }
void StopCallFaults() { Reset(false); }

bool ActingNow() { return t_acting; }

int InterceptCall(const char* kind) {
  if (t_acting) return 0;
  std::function<void()> act;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_on) return 0;
    auto found = g_acts.find(kind);
    if (found != g_acts.end()) {
      act = std::move(found->second);
      g_acts.erase(found);
    }
  }
  if (act) {
    t_acting = true;
    act();
    t_acting = false;
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  auto fault = g_faults.find(kind);
  if (fault == g_faults.end() || fault->second.times == 0) return 0;
  if (fault->second.times > 0) --fault->second.times;
  return fault->second.error;
}

void FileCallLog::FailCalls(const std::string& call, int error, int times) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_faults[call] = {error, times};
}

void FileCallLog::ActBefore(const std::string& call, std::function<void()> act) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_acts[call] = std::move(act);
}
