// Shared helpers for the suites: a temporary folder per test, whole-file
// reads and writes, and a message sink that records.
#pragma once

#include <string>
#include <vector>

#include "message_sink.h"

/// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return m_path; }
  /// The path of `name` inside the folder.
  std::string file(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

/// Writes `bytes` to `path`, creating or truncating it.
void WriteFile(const std::string& path, const std::string& bytes);
/// The whole file, or "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);
/// The file's inode number, to tell a rewritten file from an untouched one.
unsigned long long InodeOf(const std::string& path);
/// The folder of test data files (tests/data).
std::string DataPath(const std::string& name);

/// Records every message shown.
class RecordingSink : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  /// Each message's first line (the fixed text; a second line tells the details).
  std::vector<std::string> Heads() const {
    std::vector<std::string> heads;
    for (const std::string& m : messages) heads.push_back(m.substr(0, m.find('\n')));
    return heads;
  }
  std::vector<std::string> messages;
};
