// Reading the PV type file: "key:value" lines giving the version, the number
// of PVs and, for each PV, its name, type code and time points.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>

#include "statespace/BaseStateLevel.h"

namespace {

constexpr int kLineSize = 500;

// No PV has more time points than this; a larger count is a corrupt file,
// not a reason to allocate.
constexpr long long kMaxTimePoints = 10'000'000;

// "Start:x" and "Stop:x" take at least twelve bytes together.
constexpr long long kBytesPerTimePoint = 12;

// Integer conversion as atoi does it, but defined for every input.
int toInt(const char* text) {
  const long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

void reportTimePointCount(const char* fileName, const char* pvName, const char* value) {
  std::fprintf(stderr, "Error reading %s.\n", fileName);
  std::fprintf(stderr, "PV %s has an invalid number of time points: %s\n", pvName, value);
  std::fflush(stderr);
}

}  // namespace

bool BaseStateLevel::readKeyValue(std::ifstream& in, const char* key, char* line, char* value) {
  line[0] = '\0';
  value[0] = '\0';
  in.getline(line, kLineSize);
  if (in.fail()) {
    if (in.gcount() == 0) {
      // No line at all where one is expected: the file ended early.
      std::fputs("Error reading PV file.\n", stderr);
      std::fflush(stderr);
      std::fprintf(stderr, "  Expected key: %s\n", key);
      std::fflush(stderr);
      std::fputs("  but reached the end of the file\n", stderr);
      std::fflush(stderr);
      return false;
    }
    // A line longer than the buffer: keep its start, skip the rest of it.
    in.clear();
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
  if (char* colon = std::strchr(line, ':')) {
    std::strcpy(value, colon + 1);
    *colon = '\0';
  }
  if (std::strcmp(line, key) == 0) return true;
  std::fputs("Error reading PV file.\n", stderr);
  std::fflush(stderr);
  std::fprintf(stderr, "  Expected key: %s\n", key);
  std::fflush(stderr);
  std::fprintf(stderr, "  but read key: %s\n", line);
  std::fflush(stderr);
  return false;
}

bool BaseStateLevel::readPVTypeFile(const char* fileName) {
  std::ifstream in(fileName);
  if (!in) {
    std::fprintf(stderr, "Error opening file %s\n", fileName);
    return false;
  }
  char line[kLineSize];
  char value[kLineSize];
  // The key check itself does not stop the read; only the end of the file
  // where a line is due does.
  auto read = [&](const char* key) {
    readKeyValue(in, key, line, value);
    return !in.fail();
  };

  if (!read("Version")) return false;
  if (std::strcmp(value, "1") != 0) {
    std::fprintf(stderr, "Error reading %s.\n", fileName);
    std::fputs("File is not a supported version.\n", stderr);
    return false;
  }

  if (!read("NumPV")) return false;
  const int n = toInt(value);
  const int m = getNumberOfPVs();
  if (n != m) {
    std::fprintf(stderr, "Error reading %s.\n", fileName);
    std::fputs("File contains the wrong number of PV variables.\n", stderr);
    std::fprintf(stderr, "Expected %d but file contains %d\n", m, n);
    return false;
  }

  // The file's size bounds the number of time points it can hold.
  std::error_code size_error;
  const auto file_size = std::filesystem::file_size(fileName, size_error);
  const long long max_points =
      size_error ? kMaxTimePoints
                 : std::min<long long>(kMaxTimePoints, static_cast<long long>(file_size) / kBytesPerTimePoint);

  for (int i = 0; i < n; ++i) {
    if (!read("Name")) return false;
    const char* expected = getPVName(i);
    if (std::strcmp(value, expected) != 0) {
      std::fprintf(stderr, "Error reading %s\n", fileName);
      std::fprintf(stderr, ". Expected PV named %s but found PV named %s\n", expected, value);
      return false;
    }

    if (!read("Type")) return false;
    setType(i, toInt(value));

    if (!read("NumTimes")) return false;
    const int k = toInt(value);
    if (k < 0 || k > max_points) {
      reportTimePointCount(fileName, expected, value);
      return false;
    }
    auto start = std::make_unique<double[]>(k);
    auto stop = std::make_unique<double[]>(k);
    for (int j = 0; j < k; ++j) {
      if (!read("Start")) return false;
      start[j] = std::strtod(value, nullptr);
      if (!read("Stop")) return false;
      stop[j] = std::strtod(value, nullptr);
    }
    setTimePoints(i, k, start.release(), stop.release());
  }
  return true;
}
