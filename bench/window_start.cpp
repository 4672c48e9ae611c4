// The window's start-up against a bare wx dialog (bare_frame): each program
// is started on the X display in turn, and timed from its start until its
// first window is mapped (shown), when it is stopped. Reports medians of
// that wall time and of the CPU time spent by then, and the peak memory.
//
//   window_start [ROUNDS]        (default 15; needs a display)
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Start {
  double wallMs = 0, cpuMs = 0, peakMiB = 0;
};

double Ms(const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; }

// The process id a window says it belongs to (_NET_WM_PID); 0 when it says none.
long WindowPid(Display* display, Window window) {
  Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True), type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  long pid = 0;
  if (pidAtom != None && XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                                            &after, &data) == Success && data && count == 1)
    pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
  if (data) XFree(data);
  return pid;
}

Start TimeStart(Display* display, const std::vector<std::string>& argv) {
  Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, True);
  auto begin = std::chrono::steady_clock::now();
  pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    _exit(127);
  }
  Start start;
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify && !event.xmap.override_redirect && WindowPid(display, event.xmap.window) == pid) break;
  }
  start.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
  ::kill(pid, SIGKILL);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  start.cpuMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
  start.peakMiB = usage.ru_maxrss / 1024.0;
  XSelectInput(display, root, NoEventMask);
  return start;
}

double Median(std::vector<Start>& starts, double Start::*field) {
  std::sort(starts.begin(), starts.end(), [field](const Start& a, const Start& b) { return a.*field < b.*field; });
  return starts[starts.size() / 2].*field;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
  if (rounds < 1) rounds = 15;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "no display\n");
    return 1;
  }
  // A first start of its own: settings kept nowhere yet, the example planner folder given.
  char home[] = "/tmp/brindlemarque-window-XXXXXX";
  if (!::mkdtemp(home)) return 1;
  ::setenv("HOME", home, 1);
  ::unsetenv("XDG_CONFIG_HOME");
  const std::vector<std::string> window = {WINDOW_PROGRAM, "--config-dir", std::string(EXAMPLES_DIR) + "/vesko"};
  const std::vector<std::string> bare = {BARE_FRAME_PROGRAM};
  std::vector<Start> windows, bares;
  for (int round = 0; round < rounds; ++round) {
    bool windowFirst = round % 2 == 0;
    (windowFirst ? windows : bares).push_back(TimeStart(display, windowFirst ? window : bare));
    (windowFirst ? bares : windows).push_back(TimeStart(display, windowFirst ? bare : window));
  }
  double w = Median(windows, &Start::wallMs), b = Median(bares, &Start::wallMs);
  double wc = Median(windows, &Start::cpuMs), bc = Median(bares, &Start::cpuMs);
  double wm = Median(windows, &Start::peakMiB), bm = Median(bares, &Start::peakMiB);
  std::printf("| until shown | window | bare frame | ratio |\n|---|---|---|---|\n");
  std::printf("| wall | %.1f ms | %.1f ms | %.2f x |\n| CPU | %.1f ms | %.1f ms | %.2f x |\n", w, b, w / b, wc, bc, wc / bc);
  std::printf("| peak memory | %.1f MiB | %.1f MiB | %.2f x |\n", wm, bm, wm / bm);
  XCloseDisplay(display);
  return 0;
}
