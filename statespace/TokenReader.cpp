#include "statespace/TokenReader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

TokenReader::~TokenReader() { close(); }

bool TokenReader::open(const char* path) {
  close();
  file = std::fopen(path, "r");
  if (file == nullptr) return false;
  std::error_code error;
  file_size = -1;
  if (std::filesystem::is_regular_file(path, error)) {
    const auto size = std::filesystem::file_size(path, error);
    if (!error) file_size = static_cast<long long>(size);
  }
  if (!buffer) {
    capacity = kBlockSize;
    buffer = std::make_unique_for_overwrite<char[]>(capacity + 1);
  }
  pos = end = buffer.get();
  *end = '\0';
  eof = false;
  return true;
}

void TokenReader::close() {
  if (file != nullptr) std::fclose(file);
  file = nullptr;
  file_size = -1;
  pos = end = &sentinel;
  eof = true;
}

bool TokenReader::refill() {
  if (eof) return false;
  const std::size_t kept = static_cast<std::size_t>(end - pos);
  if (kept == capacity) {
    // One token fills the whole buffer: make room for the rest of it.
    auto larger = std::make_unique_for_overwrite<char[]>(2 * capacity + 1);
    std::memcpy(larger.get(), pos, kept);
    buffer = std::move(larger);
    capacity *= 2;
  } else if (pos != buffer.get()) {
    std::memmove(buffer.get(), pos, kept);
  }
  const std::size_t got = std::fread(buffer.get() + kept, 1, capacity - kept, file);
  pos = buffer.get();
  end = pos + kept + got;
  *end = '\0';
  if (got == 0) eof = true;
  return got != 0;
}

bool TokenReader::readToken(std::string& token) {
  token.clear();
  if (!skipSpace()) return false;
  for (;;) {
    const char* p = pos;
    while (p != end && !isSpace(*p)) ++p;
    token.append(pos, static_cast<std::size_t>(p - pos));
    pos = const_cast<char*>(p);
    if (p != end || !refill()) return true;
  }
}

const char* TokenReader::scanDouble(const char* p) {
  if (*p == '+' || *p == '-') ++p;
  bool digits = false;
  while (isDigit(*p)) {
    ++p;
    digits = true;
  }
  if (*p == '.') {
    ++p;
    while (isDigit(*p)) {
      ++p;
      digits = true;
    }
  }
  if (digits && (*p == 'e' || *p == 'E')) {
    ++p;
    if (*p == '+' || *p == '-') ++p;
    while (isDigit(*p)) ++p;
  }
  return p;
}

bool TokenReader::convertInt(const char* first, const char* last, int& value) {
  pos = const_cast<char*>(last);
  if (*first == '+') ++first;
  // from_chars rejects a lone sign, a sign followed by '+', and overflow.
  const auto [ptr, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && ptr == last;
}

bool TokenReader::convertDouble(const char* first, const char* last, double& value) {
  pos = const_cast<char*>(last);
  if (*first == '+') ++first;
  double parsed;
  const auto [ptr, ec] = std::from_chars(first, last, parsed, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Extraction fails on overflow but takes underflow as the nearest value.
    std::string copy(first, last);
    parsed = std::strtod(copy.c_str(), nullptr);
    if (std::isinf(parsed)) return false;
    value = parsed;
    return true;
  }
  // A mantissa without digits, or an exponent without digits ("1e"), leaves
  // part of the scanned prefix unconverted: extraction fails there too.
  if (ec != std::errc() || ptr != last) return false;
  value = parsed;
  return true;
}

bool TokenReader::readIntSlow(int& value) {
  // The number reached the end of the block: gather the rest of it.
  for (;;) {
    const std::size_t offset = static_cast<std::size_t>(end - pos);
    if (!refill()) break;
    const char* p = pos + offset;
    while (isDigit(*p)) ++p;
    if (p != end || eof) break;
  }
  const char* p = pos;
  if (*p == '+' || *p == '-') ++p;
  while (isDigit(*p)) ++p;
  return convertInt(pos, p, value);
}

bool TokenReader::readDoubleSlow(double& value) {
  for (;;) {
    if (!refill()) break;
    if (scanDouble(pos) != end || eof) break;
  }
  return convertDouble(pos, scanDouble(pos), value);
}
