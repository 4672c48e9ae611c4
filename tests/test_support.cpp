#include "test_support.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <sys/stat.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "game_process.h"
#include "paths.h"
#include "environment.h"

namespace fs = std::filesystem;

namespace {

const char* const kGameIdsVariable = "BRINDLEMARQUE_GAME_IDS";

// Builds keep backups in the user's data folder; each test program keeps
// them in a temporary folder of its own instead. Tests write a character
// file and build on it at once: a file is taken as quiet (no longer being
// saved) at once, here and in the programs the tests start, except where a
// test sets the quiet time itself.
class BackupHome : public ::testing::Environment {
 public:
  void SetUp() override {
    m_dir = std::make_unique<TempDir>();
    SetEnvironment(kDataHomeVariable, m_dir->path());
    SetEnvironment("BRINDLEMARQUE_QUIET_MS", "0");
    SetEnvironment(kGameIdsVariable, "none");  // the stand-ins add themselves
  }
  void TearDown() override { m_dir.reset(); }

 private:
  std::unique_ptr<TempDir> m_dir;
};

[[maybe_unused]] const ::testing::Environment* const kBackupHome =
    ::testing::AddGlobalTestEnvironment(new BackupHome);

}  // namespace

std::string ShownPath(std::string path) {
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', '\\');
#endif
  return path;
}

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
#ifdef _WIN32
    // Every test on Windows also checks that a non-ASCII path works.
    std::string name = "brindlemarque-test-\xc3\xbc-";
#else
    std::string name = "brindlemarque-test-";
#endif
    name += std::to_string(random() % 1000000) + "-" + std::to_string(counter++);
    std::string path = PathText(fs::temp_directory_path() / FsPath(name));
    std::error_code ec;
    if (fs::create_directory(FsPath(path), ec)) {
      fs::permissions(FsPath(path), fs::perms::owner_all, fs::perm_options::replace, ec);
#ifdef _WIN32
      for (char& c : path) c = c == '/' ? '\\' : c;  // one separator, as messages show paths
#endif
      m_path = path;
      return;
    }
  }
  throw std::runtime_error("no temporary folder could be made");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give back write rights taken away by a test so that everything can go.
  for (auto it = fs::recursive_directory_iterator(FsPath(m_path), ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(FsPath(m_path), ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

unsigned long long InodeOf(const std::string& path) {
#ifdef _WIN32
  HANDLE file = ::CreateFileW(FsPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info;
  bool ok = ::GetFileInformationByHandle(file, &info);
  ::CloseHandle(file);
  return ok ? (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow : 0;
#else
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<unsigned long long>(st.st_ino) : 0;
#endif
}

void MakeReadOnly(const std::string& path) {
  fs::permissions(FsPath(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

void RenameOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
  // The C library's rename refuses an existing target there.
  ASSERT_TRUE(::MoveFileExW(WideText(from).c_str(), WideText(to).c_str(), MOVEFILE_REPLACE_EXISTING));
#else
  ASSERT_EQ(::rename(from.c_str(), to.c_str()), 0);
#endif
}

std::string PlatformText(const std::string& text) {
#ifdef _WIN32
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
#else
  return text;
#endif
}

std::string DataPath(const std::string& name) { return std::string(TEST_DATA_DIR) + "/" + name; }

unsigned long ThisProcessId() {
#ifdef _WIN32
  return ::GetCurrentProcessId();
#else
  return static_cast<unsigned long>(::getpid());
#endif
}

unsigned long EndedProcessId() {
#ifdef _WIN32
  return 3;  // process ids on Windows are multiples of four: 3 names none
#else
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return static_cast<unsigned long>(child);
#endif
}

void SetEnvironment(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  ::SetEnvironmentVariableW(WideText(name).c_str(), value ? WideText(*value).c_str() : nullptr);
#else
  if (value)
    ::setenv(name.c_str(), value->c_str(), 1);
  else
    ::unsetenv(name.c_str());
#endif
}

void ScopedEnv::Set(const std::string& name, const std::optional<std::string>& value) {
  std::string old = EnvironmentText(name.c_str());
  m_saved.emplace_back(name, old.empty() ? std::nullopt : std::optional<std::string>(old));
  SetEnvironment(name, value);
}

ScopedEnv::~ScopedEnv() {
  for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) SetEnvironment(it->first, it->second);
}

#ifdef _WIN32
namespace {

// One argument quoted as CommandLineToArgvW reads it back.
std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD creation) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return ::CreateFileW(FsPath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace
#endif

#ifndef _WIN32
int StartProgram(const std::vector<std::string>& args, const std::string& folder,
                 const std::map<std::string, std::optional<std::string>>& env, const std::string& outPath,
                 const std::string& errPath) {
  pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(127);
  for (const auto& [name, value] : env) SetEnvironment(name, value);
  int in = ::open("/dev/null", O_RDONLY);
  int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(127);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  ::_exit(127);
}
#endif

ProgramResult RunProgram(const std::vector<std::string>& args, const std::string& folder,
                         const std::map<std::string, std::optional<std::string>>& env) {
  TempDir capture;
  const std::string outPath = capture.file("out"), errPath = capture.file("err");
  ProgramResult result;
#ifdef _WIN32
  std::wstring commandLine;
  for (const std::string& a : args) commandLine += (commandLine.empty() ? L"" : L" ") + QuoteArgument(WideText(a));
  // The child's environment: ours with the changes (set here, given on, set back).
  ScopedEnv changes;
  for (const auto& [name, value] : env) changes.Set(name, value);
  HANDLE in = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
  HANDLE out = InheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE err = InheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  std::wstring where = WideText(folder);
  if (::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                       where.empty() ? nullptr : where.c_str(), &startup, &process)) {
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (::GetExitCodeProcess(process.hProcess, &code)) result.status = static_cast<int>(code);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
  }
  for (HANDLE h : {in, out, err}) ::CloseHandle(h);
#else
  pid_t pid = StartProgram(args, folder, env, outPath, errPath);
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
#endif
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
#ifdef _WIN32
  // Text written in text mode: its line ends as the program meant them.
  for (std::string* text : {&result.out, &result.err}) {
    std::string lf;
    for (std::size_t i = 0; i < text->size(); ++i)
      if (!((*text)[i] == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n')) lf += (*text)[i];
    *text = lf;
  }
#endif
  return result;
}


GameClientStandIn::GameClientStandIn() {
  const std::string program = m_dir.file(kGameClientProgram);
  std::filesystem::copy_file(FsPath(IDLE_PROGRAM_PATH), FsPath(program));
#ifdef _WIN32
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + WideText(program) + L"\"";
  if (::CreateProcessW(WideText(program).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
    m_id = process.dwProcessId;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
#else
  ::chmod(program.c_str(), 0755);
  int pid = StartProgram({program});
  m_id = pid > 0 ? static_cast<unsigned long>(pid) : 0;
#endif
  if (m_id == 0) throw std::runtime_error("cannot start " + program);
  SetEnvironment(kGameIdsVariable, std::to_string(m_id) + "," + EnvironmentText(kGameIdsVariable));
  // Until the scan sees it (after exec, on Linux, the process has the new name).
  for (int i = 0; i < 500; ++i) {
    for (const GameProcess& p : FindGameProcesses())
      if (p.id == m_id) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  throw std::runtime_error("the scan does not find " + program);
}

GameClientStandIn::~GameClientStandIn() {
  std::string listed = "," + EnvironmentText(kGameIdsVariable) + ",";
  const std::string own = "," + std::to_string(m_id) + ",";
  if (const std::size_t at = listed.find(own); at != std::string::npos) listed.erase(at, own.size() - 1);
  SetEnvironment(kGameIdsVariable, listed.substr(1, listed.size() - 2));
#ifdef _WIN32
  if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, m_id)) {
    ::TerminateProcess(process, 0);
    ::WaitForSingleObject(process, 5000);
    ::CloseHandle(process);
  }
#else
  ::kill(static_cast<pid_t>(m_id), SIGKILL);
  ::waitpid(static_cast<pid_t>(m_id), nullptr, 0);
#endif
}

#ifndef _WIN32
void GameClientStandIn::EndUnreaped() {
  ::kill(static_cast<pid_t>(m_id), SIGKILL);
  const std::string stat = "/proc/" + std::to_string(m_id) + "/stat";
  for (int i = 0; i < 500; ++i) {
    const std::string line = ReadFile(stat);
    const std::size_t name = line.rfind(')');
    if (name != std::string::npos && line.compare(name, 3, ") Z") == 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  throw std::runtime_error("the stand-in does not end");
}
#endif
