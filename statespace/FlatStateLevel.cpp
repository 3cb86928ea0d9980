#include "statespace/FlatStateLevel.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "statespace/ArmFileReader.h"
#include "statespace/LoadFailure.h"
#include "statespace/TokenReader.h"

namespace {

// The smallest row record ("k 0") takes three bytes, so a regular file of
// `bytes` bytes cannot hold more rows than this.
int rowsThatFit(long long bytes, int states) {
  if (bytes < 0) return states;
  return static_cast<int>(std::min<long long>(states, bytes / 3 + 1));
}

// The state number of the first ".var" record, taken from the leading
// digits of the token that ended the header (an optional sign first, as an
// unsigned conversion would allow); 1 when there are no digits, and 0 (an
// invalid state) when the number cannot be a state.
int firstRecordState(const std::string& token) {
  const char* p = token.c_str();
  const char* stop = p + token.size();
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (p == stop || !std::isdigit(static_cast<unsigned char>(*p))) return 1;
  int value = 0;
  const auto [ptr, ec] = std::from_chars(p, stop, value);
  if (ec != std::errc() || negative) return 0;
  return value;
}

}  // namespace

FlatStateLevel::FlatStateLevel(const std::string& base) : base_name(base) {
  const std::string det = base_name + ".det";
  if (std::FILE* marker = std::fopen(det.c_str(), "r")) {
    std::fclose(marker);
    std::fputs("Cannot use this solver since deterministic activities exist\n", stdout);
    std::fputs("in the model. Only deterministic steady state solver can be used.\n", stdout);
    std::exit(1);
  }
  loadMatrix();
  loadPVValues();
  readPVTypeFile((base_name + ".pvtype").c_str());
}

FlatStateLevel::~FlatStateLevel() {
  // The per-line arrays and the block tables free themselves; the partition
  // copies are plain arrays.
  delete[] minor_partition.boundaries;
  delete[] major_partition.boundaries;
}

void FlatStateLevel::loadMatrix() {
  const std::string path = base_name + ".arm";
  ArmFileReader arm;
  if (!arm.open(path.c_str())) {
    std::printf("Error reading file %s.\n", path.c_str());
    std::exit(1);
  }
  int initial = 0;
  int n = 0;
  arm.readHeader(initial, n);
  start_state = static_cast<int>(static_cast<unsigned>(initial) - 1u);
  state_count = n;
  if (n == 1) {
    std::fputs("Corrupt state space file or state space has only one state.\n", stderr);
    std::exit(1);
  }
  if (n < 1) fail_corrupt_arm_file();

  // A count that the file cannot hold is found out when its rows run out;
  // until then only as many lines are allocated as could be there.
  const int line_capacity = rowsThatFit(arm.fileSize(), n);
  rates = std::make_unique_for_overwrite<double*[]>(line_capacity);
  minor_index = std::make_unique_for_overwrite<int*[]>(line_capacity);
  major_size = std::make_unique_for_overwrite<int[]>(line_capacity);

  // Rows are parsed into the scratch area and moved out in groups of whole
  // lines, each group into a chunk of exactly its size.
  std::vector<double> scratch_rates;
  std::vector<int> scratch_minor;
  int pending_first = 0;  // first line still in the scratch area
  auto flush = [&](int first, int stop, std::size_t offset) {
    line_storage.appendLines(first, stop - first, major_size.get() + first,
                             scratch_rates.data() + offset, scratch_minor.data() + offset,
                             rates.get(), minor_index.get());
  };

  for (int i = 0; i < n; ++i) {
    if (i == line_capacity) fail_corrupt_arm_file();
    arm.readRowNumber(i + 1);
    const std::size_t line_start = scratch_rates.size();
    for (;;) {
      const int column = arm.readColumn(n);
      if (column == 0) break;
      scratch_minor.push_back(column - 1);
      scratch_rates.push_back(arm.readRate());
    }
    const std::size_t line_size = scratch_rates.size() - line_start;
    if (line_size > static_cast<std::size_t>(INT_MAX)) fail_corrupt_arm_file();
    major_size[i] = static_cast<int>(line_size);

    if (line_size >= LineStorage::kChunkEntries && pending_first < i) {
      // A large line gets a chunk of its own.
      flush(pending_first, i, 0);
      flush(i, i + 1, line_start);
    } else if (scratch_rates.size() >= LineStorage::kChunkEntries) {
      flush(pending_first, i + 1, 0);
    } else {
      continue;
    }
    pending_first = i + 1;
    scratch_rates.clear();
    scratch_minor.clear();
  }
  if (pending_first < n) flush(pending_first, n, 0);

  orientation = ROW_ORIENTED;
  block_access = false;
}

void FlatStateLevel::loadPVValues() {
  const std::string path = base_name + ".var";
  TokenReader var;
  if (!var.open(path.c_str())) fail_corrupt_var_file();

  pv_count = 0;
  std::string token;
  bool have_token = var.readToken(token);
  while (have_token && std::isalpha(static_cast<unsigned char>(token[0]))) {
    pv_names.push_back(token);
    ++pv_count;
    have_token = var.readToken(token);
  }

  // States that the file does not list keep the value 0.
  pv_values.reserve(pv_count);
  for (int j = 0; j < pv_count; ++j) pv_values.push_back(std::make_unique<PVPair[]>(state_count));
  if (!have_token) return;

  int state = firstRecordState(token);
  for (;;) {
    if (state < 1 || state > state_count) fail_corrupt_var_file();
    for (int j = 0; j < pv_count; ++j) {
      PVPair& pair = pv_values[j][state - 1];
      if (!var.readDouble(pair.second) || !var.readDouble(pair.first)) fail_corrupt_var_file();
    }
    if (var.atEnd()) break;
    if (!var.readInt(state)) fail_corrupt_var_file();
  }
}
