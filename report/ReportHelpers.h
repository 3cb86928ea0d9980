// Small helpers shared by every subsystem's reporting: time stamp, string
// copies, the fatal-error exit, the suite's name and a portable strsep.
#pragma once

#include <cstdio>

// Current local time as ctime text (ends in a newline), or a fixed message
// when the system cannot give the time. Valid until the next call.
char* getAsciiTime();

// Owned copy (release with delete[]); null for null.
char* strDup(const char* s);

// Writes the message and the termination line to `out`, closes it and ends
// the process with exit status 1.
[[noreturn]] void fatal_error(FILE* out, const char* message);

// The suite's name as it opens every banner.
const char* getTarvexName();

namespace tarvex {
// BSD strsep, provided here so that it does not depend on the C library.
char* strsep(char** cursor, const char* delimiters);
}  // namespace tarvex
