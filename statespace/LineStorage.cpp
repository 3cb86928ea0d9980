#include "statespace/LineStorage.h"

#include <algorithm>
#include <cstring>

LineStorage::Chunk& LineStorage::newChunk(int first_line, int end_line, std::size_t entries) {
  Chunk chunk{first_line, end_line, entries, nullptr, nullptr};
  if (entries != 0) {
    chunk.rates = std::make_unique_for_overwrite<double[]>(entries);
    chunk.minor_index = std::make_unique_for_overwrite<int[]>(entries);
  }
  chunks.push_back(std::move(chunk));
  return chunks.back();
}

void LineStorage::appendLines(int first_line, int line_count, const int* sizes,
                              const double* rate_src, const int* minor_src, double** rates,
                              int** minor_index) {
  std::size_t entries = 0;
  for (int k = 0; k < line_count; ++k) entries += static_cast<std::size_t>(sizes[k]);
  Chunk& chunk = newChunk(first_line, first_line + line_count, entries);
  if (entries != 0) {
    std::memcpy(chunk.rates.get(), rate_src, entries * sizeof(double));
    std::memcpy(chunk.minor_index.get(), minor_src, entries * sizeof(int));
  }
  double* r = chunk.rates.get();
  int* m = chunk.minor_index.get();
  for (int k = 0; k < line_count; ++k) {
    rates[first_line + k] = r;
    minor_index[first_line + k] = m;
    // A chunk without entries has no arrays; its lines keep null pointers.
    if (r != nullptr) {
      r += sizes[k];
      m += sizes[k];
    }
  }
}

void LineStorage::layout(int line_count, const int* sizes, double** rates, int** minor_index) {
  int first = 0;
  while (first < line_count) {
    // Take whole lines until the chunk is full; the first line always fits.
    std::size_t entries = static_cast<std::size_t>(sizes[first]);
    int stop = first + 1;
    while (stop < line_count && entries < kChunkEntries &&
           entries + static_cast<std::size_t>(sizes[stop]) <= kChunkEntries) {
      entries += static_cast<std::size_t>(sizes[stop]);
      ++stop;
    }
    Chunk& chunk = newChunk(first, stop, entries);
    double* r = chunk.rates.get();
    int* m = chunk.minor_index.get();
    for (int line = first; line < stop; ++line) {
      rates[line] = r;
      minor_index[line] = m;
      if (r != nullptr) {
        r += sizes[line];
        m += sizes[line];
      }
    }
    first = stop;
  }
}

void LineStorage::releaseLinesBelow(int line) {
  auto keep = std::find_if(chunks.begin(), chunks.end(),
                           [line](const Chunk& c) { return c.end_line > line; });
  chunks.erase(chunks.begin(), keep);
}

void LineStorage::clear() {
  chunks.clear();
  chunks.shrink_to_fit();
}

std::size_t LineStorage::entryCount() const {
  std::size_t total = 0;
  for (const Chunk& c : chunks) total += c.entries;
  return total;
}
