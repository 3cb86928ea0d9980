// Runs the built program as a subprocess in a scratch directory and collects
// its exit status, standard output and standard error.
#pragma once

#include <string>
#include <vector>

struct ProgramResult {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// A fresh scratch directory, removed with its contents at destruction.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Runs the program with `args` (without the program name) in `cwd`. Extra
// environment settings are given as "NAME=value".
ProgramResult runProgram(const std::string& cwd, const std::vector<std::string>& args,
                         const std::vector<std::string>& env = {});

std::string readText(const std::string& path);
void writeText(const std::string& path, const std::string& text);
bool fileExists(const std::string& path);

// Replaces what changes from run to run (time stamps and measured times) by
// "<masked>", keeping the text in front of it.
std::string maskVolatile(const std::string& text);
