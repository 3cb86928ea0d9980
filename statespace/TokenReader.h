// Fast reader of white-space-separated tokens from a file: large fread blocks
// instead of stream extraction, with the acceptance rules of formatted
// extraction. A number is parsed from the start of the next token and the
// reader stops right after it, so "12x" reads 12 and the next number read
// fails on "x". A number without digits, or one that overflows, is a failed
// read. Tokens may straddle block boundaries.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class TokenReader {
 public:
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

  TokenReader() = default;
  TokenReader(const TokenReader&) = delete;
  TokenReader& operator=(const TokenReader&) = delete;
  ~TokenReader();

  // False when the file cannot be opened for reading.
  bool open(const char* path);
  void close();

  // Size in bytes when the file is a regular file, otherwise -1.
  long long fileSize() const { return file_size; }

  // Skips white space; true when nothing but white space is left.
  bool atEnd() { return !skipSpace(); }

  // Optional sign ('+' or '-') and decimal digits, within int's range.
  bool readInt(int& value) {
    if (!skipSpace()) return false;
    const char* p = pos;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    const char* digits = p;
    unsigned magnitude = 0;
    while (isDigit(*p)) magnitude = magnitude * 10 + static_cast<unsigned>(*p++ - '0');
    if (p == end && !eof) return readIntSlow(value);
    const auto count = p - digits;
    if (count == 0 || count > 9) return convertInt(pos, p, value);
    // Up to nine digits cannot overflow.
    value = negative ? -static_cast<int>(magnitude) : static_cast<int>(magnitude);
    pos = const_cast<char*>(p);
    return true;
  }

  // Optional sign, digits with an optional fraction (at least one digit in
  // all), and an optional exponent whose digits are then required.
  bool readDouble(double& value) {
    if (!skipSpace()) return false;
    // Fast path: no exponent, at most 15 significant digits and at most 22
    // fraction digits. The digits form an integer below 2^53 and the power
    // of ten is exact, so one division rounds exactly as a full conversion.
    const char* p = pos;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    const char* first = p;
    std::uint64_t mantissa = 0;
    while (isDigit(*p)) mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
    long digits = p - first;
    long fraction = 0;
    if (*p == '.') {
      const char* dot = ++p;
      while (isDigit(*p)) mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
      fraction = p - dot;
      digits += fraction;
    }
    if (p != end && *p != 'e' && *p != 'E' && digits > 0 && digits <= 15 && fraction <= 22) {
      double magnitude = static_cast<double>(mantissa);
      if (fraction != 0) magnitude /= kPowersOfTen[fraction];
      value = negative ? -magnitude : magnitude;
      pos = const_cast<char*>(p);
      return true;
    }
    p = scanDouble(pos);
    if (p == end && !eof) return readDoubleSlow(value);
    return convertDouble(pos, p, value);
  }

  // The next run of non-space characters; false at the end of the input.
  bool readToken(std::string& token);

 private:
  static constexpr double kPowersOfTen[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

  static bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
  static bool isDigit(char c) { return c >= '0' && c <= '9'; }

  // Leaves `pos` on the next non-space character; false at the end.
  bool skipSpace() {
    for (;;) {
      while (isSpace(*pos)) ++pos;
      if (pos != end) return true;
      if (!refill()) return false;
    }
  }

  // Where a number that begins at `p` stops: the end of the longest
  // prefix that extraction would take in, valid or not.
  static const char* scanDouble(const char* p);

  bool convertInt(const char* first, const char* last, int& value);
  bool convertDouble(const char* first, const char* last, double& value);
  bool readIntSlow(int& value);
  bool readDoubleSlow(double& value);

  // Keeps the bytes from `pos` to `end`, moves them to the front and reads
  // more after them; false when no byte could be added.
  bool refill();

  std::FILE* file = nullptr;
  long long file_size = -1;  // taken when the file is opened
  std::unique_ptr<char[]> buffer;
  std::size_t capacity = 0;  // bytes of data the buffer can hold
  // Unread data lies in [pos, end); *end is always a NUL sentinel, which no
  // scan treats as space or digit.
  char* pos = &sentinel;
  char* end = &sentinel;
  bool eof = true;
  char sentinel = '\0';
};
