// Looks at the window program from outside, as the system shows it to the
// player, for scripts/windows-window.sh under Wine:
//   window_probe menu           exit code 0 while a popup menu is open
//   window_probe columns TITLE  each column of the list in the window TITLE:
//                               its header, its width and its header text's
//                               width in the font of the system's windows;
//                               exit code 1 when a header and the margins it
//                               is drawn within do not fit its column
//   window_probe fits TITLE     the window TITLE lies within the screen, and
//                               each of its controls within the window, each
//                               text whole (word-wrapped in the system's
//                               font, as a static control draws it);
//                               exit code 1 when not
//   window_probe texts TITLE    the texts of the visible static controls
//                               of every window titled TITLE, one per line
//   window_probe control TITLE TEXT
//                               the screen point at the middle of the
//                               window TITLE's visible control labelled TEXT
//   window_probe list TITLE     each entry of the list box in the window
//                               TITLE: its number, "*" when selected, the
//                               screen point at its middle, and its text
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "paths.h"

namespace {

// Whether a popup menu is open (its entries belong to the program's
// process: they cannot be read from another).
int MenuOpen() {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  return popup && ::IsWindowVisible(popup) ? 0 : 1;
}

BOOL CALLBACK FindList(HWND child, LPARAM found) {
  wchar_t name[64] = L"";
  ::GetClassNameW(child, name, 64);
  if (std::wstring(name) != WC_LISTVIEWW) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

// The list's column `i`: its header text and width, read through memory
// in the list's own process (a list answers with its process's pointers).
bool ReadColumn(HWND list, HANDLE process, int i, std::wstring& text, int& width) {
  struct Remote {
    LVCOLUMNW column;
    wchar_t text[256];
  };
  auto* remote = static_cast<Remote*>(::VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return false;
  Remote local = {};
  local.column.mask = LVCF_TEXT | LVCF_WIDTH;
  local.column.pszText = remote->text;
  local.column.cchTextMax = 256;
  bool read = ::WriteProcessMemory(process, remote, &local, sizeof local, nullptr) &&
              ::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&remote->column)) &&
              ::ReadProcessMemory(process, remote, &local, sizeof local, nullptr);
  ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  local.text[255] = L'\0';
  text = local.text;
  width = local.column.cx;
  return read;
}

int CheckColumns(const char* title) {
  HWND window = ::FindWindowW(nullptr, WideText(title).c_str());
  HWND list = nullptr;
  if (window) ::EnumChildWindows(window, FindList, reinterpret_cast<LPARAM>(&list));
  if (!list) {
    std::fprintf(stderr, "no list in a window titled %s\n", title);
    return 1;
  }
  DWORD id = 0;
  ::GetWindowThreadProcessId(list, &id);
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
  HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int columns = header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  const int margin = header ? static_cast<int>(::SendMessageW(header, HDM_GETBITMAPMARGIN, 0, 0)) : 0;
  // The text in the font the controls of a window are given: the system's
  // message font.
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = ::CreateFontIndirectW(&metrics.lfMessageFont);
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ before = ::SelectObject(dc, font);
  int status = columns > 0 && process ? 0 : 1;
  for (int i = 0; i < columns && process; ++i) {
    std::wstring text;
    int width = 0;
    if (!ReadColumn(list, process, i, text, width)) {
      std::fprintf(stderr, "column %d cannot be read\n", i);
      status = 1;
      continue;
    }
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    const bool fits = width >= size.cx + 2 * margin;  // the header draws its text within margins
    std::printf("%s\t%d\t%ld%s\n", Utf8Text(text).c_str(), width, size.cx, fits ? "" : "\tcut");
    if (!fits) status = 1;
  }
  ::SelectObject(dc, before);
  ::ReleaseDC(nullptr, dc);
  ::DeleteObject(font);
  if (process) ::CloseHandle(process);
  return status;
}

struct FitCheck {
  RECT client;  // the window's client area, in screen units
  HDC dc;
  int status;
  int texts;  // the texts measured: a window without any is no answer
};

BOOL CALLBACK CheckChild(HWND child, LPARAM param) {
  auto& check = *reinterpret_cast<FitCheck*>(param);
  if (!::IsWindowVisible(child)) return TRUE;
  wchar_t name[64] = L"";
  ::GetClassNameW(child, name, 64);
  wchar_t text[2048] = L"";
  ::GetWindowTextW(child, text, 2048);
  RECT rect;
  ::GetWindowRect(child, &rect);
  const bool inside = rect.left >= check.client.left && rect.top >= check.client.top &&
                      rect.right <= check.client.right && rect.bottom <= check.client.bottom;
  bool whole = true;
  if (std::wstring(name) == L"Static" && text[0]) {
    RECT needed = {0, 0, rect.right - rect.left, 0};
    ::DrawTextW(check.dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    whole = needed.bottom <= rect.bottom - rect.top && needed.right <= rect.right - rect.left;
    ++check.texts;
  }
  std::printf("%s\t%ldx%ld%s%s\t%s\n", Utf8Text(name).c_str(), rect.right - rect.left, rect.bottom - rect.top,
              inside ? "" : "\toutside", whole ? "" : "\tcut", Utf8Text(text).substr(0, 40).c_str());
  if (!inside || !whole) check.status = 1;
  return TRUE;
}

int CheckFits(const char* title) {
  HWND window = ::FindWindowW(nullptr, WideText(title).c_str());
  if (!window) {
    std::fprintf(stderr, "no window titled %s\n", title);
    return 1;
  }
  RECT frame;
  ::GetWindowRect(window, &frame);
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  FitCheck check{};
  ::GetClientRect(window, &check.client);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&check.client), 2);
  std::printf("window\t%ldx%ld on %dx%d\n", frame.right - frame.left, frame.bottom - frame.top, screenWidth,
              screenHeight);
  if (frame.left < 0 || frame.top < 0 || frame.right > screenWidth || frame.bottom > screenHeight) check.status = 1;
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = ::CreateFontIndirectW(&metrics.lfMessageFont);
  check.dc = ::GetDC(nullptr);
  HGDIOBJ before = ::SelectObject(check.dc, font);
  ::EnumChildWindows(window, CheckChild, reinterpret_cast<LPARAM>(&check));
  ::SelectObject(check.dc, before);
  ::ReleaseDC(nullptr, check.dc);
  ::DeleteObject(font);
  return check.texts > 0 ? check.status : 1;
}

BOOL CALLBACK PrintText(HWND child, LPARAM) {
  wchar_t name[64] = L"";
  ::GetClassNameW(child, name, 64);
  wchar_t text[2048] = L"";
  if (std::wstring(name) == L"Static" && ::IsWindowVisible(child) && ::GetWindowTextW(child, text, 2048) > 0)
    std::printf("%s\n", Utf8Text(text).c_str());
  return TRUE;
}

struct Titled {
  std::wstring title;
  int found;
};

BOOL CALLBACK PrintTextsOfTitled(HWND window, LPARAM param) {
  auto& look = *reinterpret_cast<Titled*>(param);
  wchar_t title[512] = L"";
  if (!::IsWindowVisible(window) || ::GetWindowTextW(window, title, 512) <= 0 || look.title != title) return TRUE;
  ++look.found;
  ::EnumChildWindows(window, PrintText, 0);
  return TRUE;
}

// Every visible window of that title (a message box may share its owner's).
int PrintTexts(const char* title) {
  Titled look = {WideText(title), 0};
  ::EnumWindows(PrintTextsOfTitled, reinterpret_cast<LPARAM>(&look));
  return look.found > 0 ? 0 : 1;
}

struct Labelled {
  std::wstring text;
  HWND found;
};

BOOL CALLBACK FindLabelled(HWND child, LPARAM param) {
  auto& look = *reinterpret_cast<Labelled*>(param);
  wchar_t text[512] = L"";
  if (!::IsWindowVisible(child) || ::GetWindowTextW(child, text, 512) <= 0 || look.text != text) return TRUE;
  look.found = child;
  return FALSE;
}

int ControlPoint(const char* title, const char* text) {
  HWND window = ::FindWindowW(nullptr, WideText(title).c_str());
  Labelled look = {WideText(text), nullptr};
  if (window) ::EnumChildWindows(window, FindLabelled, reinterpret_cast<LPARAM>(&look));
  if (!look.found) return 1;
  RECT rect;
  ::GetWindowRect(look.found, &rect);
  std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  return 0;
}

BOOL CALLBACK FindListBox(HWND child, LPARAM found) {
  wchar_t name[64] = L"";
  ::GetClassNameW(child, name, 64);
  if (std::wstring(name) != L"ListBox" || !::IsWindowVisible(child)) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

int ListEntries(const char* title) {
  HWND window = ::FindWindowW(nullptr, WideText(title).c_str());
  HWND list = nullptr;
  if (window) ::EnumChildWindows(window, FindListBox, reinterpret_cast<LPARAM>(&list));
  if (!list) {
    std::fprintf(stderr, "no list box in a window titled %s\n", title);
    return 1;
  }
  // A list box's own messages are carried between processes by the system
  // (unlike a list view's): the answers land in this process's memory.
  const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  const int selected = static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[512] = L"";
    RECT rect = {};
    if (::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) >= 512 ||
        ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text)) == LB_ERR ||
        ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect)) == LB_ERR)
      continue;
    POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(list, &middle);
    std::printf("%d\t%s\t%ld\t%ld\t%s\n", i, i == selected ? "*" : "-", middle.x, middle.y, Utf8Text(text).c_str());
  }
  return count > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (what == "menu") return MenuOpen();
  if (what == "columns" && argc > 2) return CheckColumns(argv[2]);
  if (what == "fits" && argc > 2) return CheckFits(argv[2]);
  if (what == "list" && argc > 2) return ListEntries(argv[2]);
  if (what == "texts" && argc > 2) return PrintTexts(argv[2]);
  if (what == "control" && argc > 3) return ControlPoint(argv[2], argv[3]);
  std::fprintf(stderr, "usage: window_probe menu | window_probe columns TITLE | window_probe fits TITLE | "
                       "window_probe list TITLE | window_probe texts TITLE | window_probe control TITLE TEXT\n");
  return 2;
}
