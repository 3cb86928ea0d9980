// Switching the per-line storage between rows and columns, and the line
// accessors that ask for it.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "statespace/ArmFileReader.h"
#include "statespace/FlatStateLevel.h"
#include "statespace/LoadFailure.h"

namespace {

// Checked in every build type: a violated precondition must never go on
// to rebuild the storage.
void require(bool condition, const char* text, int line) {
  if (condition) return;
  std::fprintf(stderr, "Flat:%d: Assertion `%s' failed.\n", line, text);
  std::abort();
}

// Once the block storage has replaced the per-line arrays there are no lines
// left to hand out.
void requireLineStorage(bool block_access) {
  if (!block_access) return;
  std::fputs("Line access is not available after the block storage has been built.\n", stderr);
  std::exit(1);
}

}  // namespace

void FlatStateLevel::switch_orientation(TOrientation new_orientation) {
  requireLineStorage(block_access);
  require(new_orientation != orientation, "new_orientation != orientation", __LINE__);
  const int n = state_count;

  // Count the entries of every new line: the present minor indices are the
  // new line numbers.
  std::unique_ptr<int[]> new_major_size = std::make_unique<int[]>(n);
  for (int i = 0; i < n; ++i) {
    const int* minor = minor_index[i];
    for (int k = 0, size = major_size[i]; k < size; ++k) ++new_major_size[minor[k]];
  }

  // Release every old line before the new ones exist, so the matrix is never
  // held twice; then allocate every new line at its exact size.
  line_storage.clear();
  for (int i = 0; i < n; ++i) {
    major_size[i] = new_major_size[i];
    new_major_size[i] = 0;  // from here on the fill position of line i
  }
  line_storage.layout(n, major_size.get(), rates.get(), minor_index.get());

  const std::string path = base_name + ".arm";
  ArmFileReader arm;
  if (!arm.open(path.c_str())) fail_corrupt_arm_file();
  int ignored_initial = 0;
  int ignored_states = 0;
  arm.readHeader(ignored_initial, ignored_states);
  const bool to_rows = new_orientation == ROW_ORIENTED;
  for (int r = 0; r < n; ++r) {
    arm.readRowNumber(r + 1);
    for (;;) {
      const int column = arm.readColumn(n);
      if (column == 0) break;
      const int line = to_rows ? r : column - 1;
      const int minor = to_rows ? column - 1 : r;
      const int fill = new_major_size[line];
      // A file that changed since it was counted must not write past a line.
      if (fill == major_size[line]) fail_corrupt_arm_file();
      rates[line][fill] = arm.readRate();
      minor_index[line][fill] = minor;
      new_major_size[line] = fill + 1;
    }
  }
  // Nor may it leave entries of a line unread.
  for (int i = 0; i < n; ++i) {
    if (new_major_size[i] != major_size[i]) fail_corrupt_arm_file();
  }
  orientation = new_orientation;
}

void FlatStateLevel::getRow(int i, EdgeBaseContainer* c) {
  requireLineStorage(block_access);
  if (orientation != ROW_ORIENTED) switch_orientation(ROW_ORIENTED);
  row* container = static_cast<row*>(c);
  container->line = i;
  container->level = this;
}

void FlatStateLevel::getColumn(int j, EdgeBaseContainer* c) {
  requireLineStorage(block_access);
  if (orientation != COLUMN_ORIENTED) switch_orientation(COLUMN_ORIENTED);
  column* container = static_cast<column*>(c);
  container->line = j;
  container->level = this;
}

void FlatStateLevel::getAllEdges(EdgeBaseContainer* c) {
  requireLineStorage(block_access);
  if (orientation != COLUMN_ORIENTED) switch_orientation(COLUMN_ORIENTED);
  static_cast<allEdges*>(c)->level = this;
}
