// Shared by the report tests: capture what a writer puts on a stream, read
// and write small files, and run code from another working directory.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

std::string renderToString(const std::function<void(FILE*)>& write);

// True for a ctime text: "Fri Dec 11 09:05:00 2026" and a newline.
bool looksLikeCtime(const std::string& text);

std::string readFile(const std::filesystem::path& path);

void writeFile(const std::filesystem::path& path, const std::string& content);

// A fresh directory under the system's temporary directory, removed at the end.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class ScopedWorkingDirectory {
 public:
  explicit ScopedWorkingDirectory(const std::filesystem::path& dir);
  ~ScopedWorkingDirectory();

 private:
  std::filesystem::path previous_;
};
