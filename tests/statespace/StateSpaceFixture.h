// Helpers for the state-space tests: a scratch directory of state-space
// files, and running code that may end the process in a forked child whose
// exit status and output streams are captured.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

// A fresh directory under the system's temporary directory, removed again
// at the end of the test.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "statespace-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Writes `content` to the file `name` inside the directory.
  void write(const std::string& name, const std::string& content) const {
    std::ofstream out(path / name, std::ios::binary);
    out << content;
  }
  std::string file(const std::string& name) const { return (path / name).string(); }

  std::filesystem::path path;
};

// The files of one small state space, named base + suffix.
struct StateSpaceFiles {
  std::string arm;
  std::string var;
  std::string pvtype;  // empty: no .pvtype file

  // Writes the files as dir/name.* and returns the base name.
  std::string writeTo(const ScratchDir& dir, const std::string& name = "model") const {
    dir.write(name + ".arm", arm);
    dir.write(name + ".var", var);
    if (!pvtype.empty()) dir.write(name + ".pvtype", pvtype);
    return dir.file(name);
  }
};

// The three-state chain: rows 1: (2, 0.5), (3, 1.25); 2: (1, 2.0);
// 3: (1, 4.0), (2, 1.0); starts in state 1.
inline const char* kThreeStateArm = "1 3\n1 2 0.5 3 1.25 0\n2 1 2.0 0\n3 1 4.0 2 1.0 0\n";
inline const char* kTwoPVVar = "A B 1 0.5 1.5 2.0 3.0 2 0 0 0 0\n";
inline const char* kTwoPVType =
    "Version:1\nNumPV:2\nName:A\nType:3\nNumTimes:0\nName:B\nType:3\nNumTimes:0\n";

struct ChildOutcome {
  int exit_status = -1;  // -1 when the child did not exit normally
  std::string out;
  std::string err;
};

inline std::string slurp(std::FILE* f) {
  std::string text;
  std::rewind(f);
  char block[4096];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, f)) != 0) text.append(block, got);
  return text;
}

// Runs `body` in a forked child with standard output and standard error
// sent to files; a body that returns counts as exit status 0.
inline ChildOutcome runInChild(const std::function<void()>& body) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fileno(out), STDOUT_FILENO);
    dup2(fileno(err), STDERR_FILENO);
    body();
    std::exit(0);
  }
  ChildOutcome outcome;
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) outcome.exit_status = WEXITSTATUS(status);
  outcome.out = slurp(out);
  outcome.err = slurp(err);
  std::fclose(out);
  std::fclose(err);
  return outcome;
}
