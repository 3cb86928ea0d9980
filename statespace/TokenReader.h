// Fast reader of white-space-separated tokens from a file: large fread blocks
// instead of stream extraction, with the acceptance rules of formatted
// extraction. A number is parsed from the start of the next token and the
// reader stops right after it, so "12x" reads 12 and the next number read
// fails on "x". A number without digits, or one that overflows, is a failed
// read. Tokens may straddle block boundaries.
#pragma once

#include <charconv>
#include <cstddef>
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
  long long fileSize() const;

  // Skips white space; true when nothing but white space is left.
  bool atEnd() { return !skipSpace(); }

  // Optional sign ('+' or '-') and decimal digits, within int's range.
  bool readInt(int& value) {
    if (!skipSpace()) return false;
    const char* p = pos;
    if (*p == '+' || *p == '-') ++p;
    while (isDigit(*p)) ++p;
    if (p == end && !eof) return readIntSlow(value);
    return convertInt(pos, p, value);
  }

  // Optional sign, digits with an optional fraction (at least one digit in
  // all), and an optional exponent whose digits are then required.
  bool readDouble(double& value) {
    if (!skipSpace()) return false;
    const char* p = scanDouble(pos);
    if (p == end && !eof) return readDoubleSlow(value);
    return convertDouble(pos, p, value);
  }

  // The next run of non-space characters; false at the end of the input.
  bool readToken(std::string& token);

 private:
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
  std::unique_ptr<char[]> buffer;
  std::size_t capacity = 0;  // bytes of data the buffer can hold
  // Unread data lies in [pos, end); *end is always a NUL sentinel, which no
  // scan treats as space or digit.
  char* pos = &sentinel;
  char* end = &sentinel;
  bool eof = true;
  char sentinel = '\0';
};
