// Our INI layer beside the Windows profile calls (GetPrivateProfileString and
// WritePrivateProfileString), case by case, as Wine's kernel32 shows them.
// Where ours differs on purpose, the case says why. On Windows every case
// also runs through kernel32 itself, which must give the peer's result.
#include "profile_calls.h"
#include "ini_document.h"

#include <gtest/gtest.h>

#include "paths.h"
#include "test_support.h"
#ifdef _WIN32
#include <windows.h>
#undef WriteProfileString  // the system's macro for its win.ini call, not ours
#endif

namespace {

enum class Op { Read, Write, Delete, Empty };

struct Case {
  const char* what;
  const char* before;  ///< the file's bytes; nullptr: no file
  Op op;
  const char* section;
  const char* key;
  const char* value;   ///< what Write writes
  const char* ours;    ///< Read: the value read; otherwise the file's bytes after
  const char* peer;    ///< the same from the Windows calls; nullptr: as ours
  int size = 1024;     ///< Read: the buffer's size
};

const char* const kRead =
    "[QuickBar]\r\n  HOTKEY_3 =  45,1,,-1  \r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"open\r\nq4 = \"a b\" \r\n"
    "empty=\r\neq=a=b\r\n;c=comment\r\n";
const char* const kTwice = "[Macros]\nMacro_0=first\nMacro_0=second\n[macros]\nMacro_0=third\nMacro_1=other\n";
const char* const kSpaced = "[A]\r\nk=1\r\n\r\n[B]\r\nx=2\r\n";

const Case kCases[] = {
    {"a missing key reads empty", kRead, Op::Read, "QuickBar", "Hotkey_4", "", "", nullptr},
    {"a missing section reads empty", kRead, Op::Read, "Nope", "q1", "", "", nullptr},
    {"names ignore case, blanks around names and values go", kRead, Op::Read, "quickbar", "hotkey_3", "", "45,1,,-1",
     nullptr},
    {"double quotes around a value go", kRead, Op::Read, "QuickBar", "q1", "", "quoted", nullptr},
    {"single quotes around a value go", kRead, Op::Read, "QuickBar", "q2", "", "single", nullptr},
    {"a quote without its pair stays", kRead, Op::Read, "QuickBar", "q3", "", "\"open", nullptr},
    {"blanks inside quotes stay", kRead, Op::Read, "QuickBar", "q4", "", "a b", nullptr},
    {"an empty value", kRead, Op::Read, "QuickBar", "empty", "", "", nullptr},
    {"the first '=' ends the name", kRead, Op::Read, "QuickBar", "eq", "", "a=b", nullptr},
    // Differs: the game writes no such lines; a line starting with ';' is a comment for every editor.
    {"a line starting with ';' is a comment", kRead, Op::Read, "QuickBar", ";c", "", "", "comment"},
    {"the first of two equal keys wins", kTwice, Op::Read, "Macros", "Macro_0", "", "first", nullptr},
    {"only the first of two equal sections counts", kTwice, Op::Read, "Macros", "Macro_1", "", "", nullptr},
    {"a value is cut to the buffer less one", kRead, Op::Read, "QuickBar", "hotkey_3", "", "45,", nullptr, 4},
    {"a buffer of one holds nothing", kRead, Op::Read, "QuickBar", "hotkey_3", "", "", nullptr, 1},
    {"a last line without its end", "[M]\r\nk=v\r\nlast=end", Op::Read, "M", "last", "", "end", nullptr},
    {"a lone CR ends a line", "[M]\rk=v\rj=w\r[N]\rx=1", Op::Read, "N", "x", "", "1", nullptr},
    {"blanks inside a section's brackets go", "[ M ]\r\nk=v\r\n", Op::Read, "M", "k", "", "v", nullptr},

    {"a write makes a missing file", nullptr, Op::Write, "Quickbar2", "Hotkey_10", "v",
     "[Quickbar2]\r\nHotkey_10=v\r\n", nullptr},
    // Differs: every byte the write does not touch stays, blank lines included.
    {"a new key goes after the section's last key", kSpaced, Op::Write, "A", "j", "2",
     "[A]\r\nk=1\r\nj=2\r\n\r\n[B]\r\nx=2\r\n", "[A]\r\nk=1\r\nj=2\r\n[B]\r\nx=2\r\n"},
    {"a new section goes to the end", kSpaced, Op::Write, "C", "z", "3",
     "[A]\r\nk=1\r\n\r\n[B]\r\nx=2\r\n[C]\r\nz=3\r\n", "[A]\r\nk=1\r\n[B]\r\nx=2\r\n[C]\r\nz=3\r\n"},
    // Differs: only the value is written; the line's name part stays as the file has it.
    {"a key is replaced whatever its case", "[A]\r\n  k  =  1  \r\n", Op::Write, "a", "K", "2",
     "[A]\r\n  k  =2\r\n", "[A]\r\nk=2\r\n"},
    {"a write into the first of two equal sections", "[A]\r\nk=1\r\n[a]\r\nj=2\r\n", Op::Write, "A", "j", "3",
     "[A]\r\nk=1\r\nj=3\r\n[a]\r\nj=2\r\n", nullptr},
    // Differs: a file keeps its own line ends (LF), and a missing last line end stays missing.
    {"an LF file stays LF", "[A]\nk=1\n", Op::Write, "A", "j", "2", "[A]\nk=1\nj=2\n", "[A]\r\nk=1\r\nj=2\r\n"},
    {"a missing last line end stays missing", "[A]\r\nk=1", Op::Write, "A", "j", "2", "[A]\r\nk=1\r\nj=2",
     "[A]\r\nk=1\r\nj=2\r\n"},
    {"a CR-only file stays CR-only", "[A]\rk=1\r", Op::Write, "A", "j", "2", "[A]\rk=1\rj=2\r",
     "[A]\r\nk=1\r\nj=2\r\n"},

    // Differs: a deleted key leaves no duplicate behind that would then be read instead.
    {"a delete removes every line of the key", "[A]\r\nk=1\r\nj=2\r\nK=3\r\n", Op::Delete, "A", "k", "",
     "[A]\r\nj=2\r\n", "[A]\r\nj=2\r\nK=3\r\n"},
    {"a section emptied by deletes keeps its header", "[A]\r\nk=1\r\n[B]\r\nx=1\r\n", Op::Delete, "A", "k", "",
     "[A]\r\n[B]\r\nx=1\r\n", nullptr},
    {"a delete of a missing key changes nothing", "[A]\r\nk=1\r\n", Op::Delete, "B", "k", "", "[A]\r\nk=1\r\n",
     nullptr},
    // Differs: comments are no keys, so emptying a section keeps them.
    {"emptying a section keeps its header and comments",
     "[Macros]\r\nMacro_0=a,b\r\n; note\r\nMacro_7=c,d\r\n[Chat]\r\nX=1\r\n", Op::Empty, "MACROS", "", "",
     "[Macros]\r\n; note\r\n[Chat]\r\nX=1\r\n", "[Macros]\r\n[Chat]\r\nX=1\r\n"},
};

// Runs `c` on the file at `path` through our layer; the result to compare.
std::string RunOurs(const Case& c, const std::string& path) {
  std::string value;
  switch (c.op) {
    case Op::Read: ReadProfileString(path, c.section, c.key, value, static_cast<std::size_t>(c.size)); return value;
    case Op::Write: EXPECT_TRUE(WriteProfileString(path, c.section, c.key, c.value)); break;
    case Op::Delete: EXPECT_TRUE(DeleteProfileKey(path, c.section, c.key)); break;
    case Op::Empty: EXPECT_TRUE(EmptyProfileSection(path, c.section)); break;
  }
  return ReadFile(path);
}

#ifdef _WIN32
// The same through kernel32's profile calls.
std::string RunPeer(const Case& c, const std::string& path) {
  const std::wstring file = WideText(path), section = WideText(c.section), key = WideText(c.key);
  const std::wstring value = WideText(c.value);
  wchar_t read[1024] = L"";
  switch (c.op) {
    case Op::Read:
      ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", read, c.size, file.c_str());
      return Utf8Text(read);
    case Op::Write: ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()); break;
    case Op::Delete: ::WritePrivateProfileStringW(section.c_str(), key.c_str(), nullptr, file.c_str()); break;
    case Op::Empty: ::WritePrivateProfileSectionW(section.c_str(), L"\0", file.c_str()); break;
  }
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());  // flushes kernel32's cache
  return ReadFile(path);
}
#endif

}  // namespace

TEST(ProfileConformance, EachCaseAgreesWithTheWindowsCallsOrSaysWhyNot) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path = dir.file("c.ini");
    if (c.before) WriteFile(path, c.before);
    EXPECT_EQ(RunOurs(c, path), c.ours);
#ifdef _WIN32
    const std::string peerPath = dir.file("peer.ini");
    if (c.before) WriteFile(peerPath, c.before);
    EXPECT_EQ(RunPeer(c, peerPath), c.peer ? c.peer : c.ours);
#endif
  }
}
