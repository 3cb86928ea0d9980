// Backing memory of the per-line matrix arrays: a series of large chunks,
// each holding whole consecutive lines in one exact-size block of rates and
// one exact-size block of minor indices. The state level's `rates[i]` and
// `minor_index[i]` point into these chunks, so a line costs no heap block of
// its own and no slack is kept.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class LineStorage {
 public:
  // Lines are grouped until a chunk holds at least this many entries; a
  // larger line gets a chunk of its own.
  static constexpr std::size_t kChunkEntries = std::size_t{1} << 20;

  LineStorage() = default;
  LineStorage(const LineStorage&) = delete;
  LineStorage& operator=(const LineStorage&) = delete;

  // Copies the `line_count` lines that start at `first_line` into a new
  // chunk of exactly their size and points `rates`/`minor_index` of those
  // lines into it. `sizes` gives their entry counts; the entries lie back to
  // back in `rate_src` and `minor_src`.
  void appendLines(int first_line, int line_count, const int* sizes, const double* rate_src,
                   const int* minor_src, double** rates, int** minor_index);

  // Allocates uninitialised chunks for lines 0..line_count-1 with the given
  // sizes and points `rates`/`minor_index` into them.
  void layout(int line_count, const int* sizes, double** rates, int** minor_index);

  // Releases every chunk whose lines all lie below `line`.
  void releaseLinesBelow(int line);

  // Releases every chunk.
  void clear();

  std::size_t chunkCount() const { return chunks.size(); }
  std::size_t entryCount() const;

 private:
  struct Chunk {
    int first_line;
    int end_line;  // one past the last line
    std::size_t entries;
    std::unique_ptr<double[]> rates;
    std::unique_ptr<int[]> minor_index;
  };

  Chunk& newChunk(int first_line, int end_line, std::size_t entries);

  std::vector<Chunk> chunks;  // in ascending line order
};
