#include "ReportTestSupport.h"

#include <cctype>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

std::string renderToString(const std::function<void(FILE*)>& write) {
  FILE* stream = std::tmpfile();
  if (stream == nullptr) throw std::runtime_error("no temporary file");
  write(stream);
  std::fflush(stream);
  std::rewind(stream);
  std::string text;
  char block[4096];
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, stream)) > 0;) text.append(block, n);
  std::fclose(stream);
  return text;
}

bool looksLikeCtime(const std::string& text) {
  // A: capital letter, a: small letter, 9: digit, _: digit or blank.
  static const std::string shape = "Aaa Aaa _9 99:99:99 9999\n";
  if (text.size() != shape.size()) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    bool ok = false;
    switch (shape[i]) {
      case 'A': ok = std::isupper(c); break;
      case 'a': ok = std::islower(c); break;
      case '9': ok = std::isdigit(c); break;
      case '_': ok = std::isdigit(c) || c == ' '; break;
      default: ok = (c == static_cast<unsigned char>(shape[i])); break;
    }
    if (!ok) return false;
  }
  return true;
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeFile(const std::filesystem::path& path, const std::string& content) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

ScopedTempDir::ScopedTempDir() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("tarvex-report-" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::filesystem::path& dir)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(dir);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() { std::filesystem::current_path(previous_); }
