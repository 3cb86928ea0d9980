#include "ProgramRun.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarvex-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

ProgramResult runProgram(const std::string& cwd, const std::vector<std::string>& args,
                         const std::vector<std::string>& env) {
  ScratchDir capture;
  const std::string out_path = capture.file("stdout");
  const std::string err_path = capture.file("stderr");
  std::vector<std::string> words{TARVEX_ISS_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int out_fd = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err_fd = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out_fd < 0 || err_fd < 0 || chdir(cwd.c_str()) != 0) _exit(127);
    dup2(out_fd, STDOUT_FILENO);
    dup2(err_fd, STDERR_FILENO);
    for (const std::string& setting : env) putenv(const_cast<char*>(setting.c_str()));
    execv(argv[0], argv.data());
    _exit(127);
  }
  int wstatus = 0;
  if (waitpid(pid, &wstatus, 0) != pid) throw std::runtime_error("waitpid failed");
  ProgramResult result;
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  result.out = readText(out_path);
  result.err = readText(err_path);
  return result;
}

std::string maskVolatile(const std::string& text) {
  static const char* const kPrefixes[] = {"Started: ", "Finished: ", "Computation Time (seconds): ",
                                          "User Time (seconds): "};
  std::istringstream in(text);
  std::string masked;
  std::string line;
  while (std::getline(in, line)) {
    for (const char* prefix : kPrefixes) {
      if (line.rfind(prefix, 0) == 0) {
        line = std::string(prefix) + "<masked>";
        break;
      }
    }
    masked += line;
    if (!in.eof()) masked += '\n';
  }
  return masked;
}
