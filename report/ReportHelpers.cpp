#include "report/ReportHelpers.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

constexpr const char* kFatalMessageFormat = "%s\n";
constexpr const char* kFatalTerminationLine = "fatal_error: program is being terminated\n";

char kNoTimeStamp[] = "getAsciiTime: Could not get a time stamp from this system.\n";

}  // namespace

char* getAsciiTime() {
  const std::time_t now = std::time(nullptr);
  if (now == static_cast<std::time_t>(-1)) return kNoTimeStamp;
  char* text = std::ctime(&now);
  return text != nullptr ? text : kNoTimeStamp;
}

char* strDup(const char* s) {
  if (s == nullptr) return nullptr;
  const std::size_t size = std::strlen(s) + 1;
  char* copy = new char[size];
  std::memcpy(copy, s, size);
  return copy;
}

void fatal_error(FILE* out, const char* message) {
  fprintf(out, kFatalMessageFormat, message != nullptr ? message : "");
  fputs(kFatalTerminationLine, out);
  fflush(out);
  fclose(out);
  std::exit(1);
}

const char* getTarvexName() { return "Tarvex"; }

namespace tarvex {

char* strsep(char** cursor, const char* delimiters) {
  if (cursor == nullptr || *cursor == nullptr) return nullptr;
  char* token = *cursor;
  char* end = std::strpbrk(token, delimiters);
  if (end == nullptr) {
    *cursor = nullptr;
  } else {
    *end = '\0';
    *cursor = end + 1;
  }
  return token;
}

}  // namespace tarvex
