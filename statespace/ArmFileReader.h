// Reader of the state-space file (".arm"): the header, then row records of
// entries (column, rate) closed by the column number 0. Every failed read
// ends the process with the file's corruption message, a row number out of
// sequence with the missing-row message, so callers see only valid values.
#pragma once

#include "statespace/LoadFailure.h"
#include "statespace/TokenReader.h"

class ArmFileReader {
 public:
  // False when the file cannot be opened.
  bool open(const char* path) { return in.open(path); }

  long long fileSize() const { return in.fileSize(); }

  // The initial state number (1-based) and the number of states.
  void readHeader(int& initial_state, int& states) {
    if (!in.readInt(initial_state) || !in.readInt(states)) fail_corrupt_arm_file();
  }

  // Reads the number that opens a row record; it must be `expected`.
  void readRowNumber(int expected) {
    int row;
    if (!in.readInt(row)) fail_corrupt_arm_file();
    if (row != expected) fail_missing_row();
  }

  // The next column number, 1..states, or 0 at the end of the record.
  int readColumn(int states) {
    int column;
    if (!in.readInt(column) || column < 0 || column > states) fail_corrupt_arm_file();
    return column;
  }

  double readRate() {
    double rate;
    if (!in.readDouble(rate)) fail_corrupt_arm_file();
    return rate;
  }

 private:
  TokenReader in;
};
