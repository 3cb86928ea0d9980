#include "bench/GeneratedChain.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {

// splitmix64: a fixed seed gives the same chain on every machine.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

 private:
  std::uint64_t state;
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File create(const std::string& path) {
  File f(std::fopen(path.c_str(), "w"));
  if (!f) throw std::runtime_error("cannot write " + path);
  std::setvbuf(f.get(), nullptr, _IOFBF, 1 << 20);
  return f;
}

// Value of PV j in state s: an integer in 0..j+1, so PV j has at most j + 2
// distinct values.
int pvValue(int j, int s) {
  const std::uint64_t h = (static_cast<std::uint64_t>(s) * 2654435761u) ^ (static_cast<std::uint64_t>(j) * 40503u);
  return static_cast<int>((h >> 7) % static_cast<std::uint64_t>(j + 2));
}

}  // namespace

void GeneratedChain::write(const std::string& directory, const std::string& experiment, int n) {
  const std::string base = directory + experiment;
  {
    File arm = create(base + ".arm");
    std::fprintf(arm.get(), "1 %d\n", n);
    Random random(20261211);
    for (int i = 0; i < n; ++i) {
      std::fprintf(arm.get(), "%d %d %.6g", i + 1, (i + 1) % n + 1, 0.5 + 2.5 * random.unit());
      for (int k = 0; k < kRandomTargets; ++k) {
        // Any state but i itself.
        int target = static_cast<int>(random.next() % static_cast<std::uint64_t>(n - 1));
        if (target >= i) ++target;
        std::fprintf(arm.get(), " %d %.6g", target + 1, 0.5 + 2.5 * random.unit());
      }
      std::fputs(" 0\n", arm.get());
    }
  }
  {
    File var = create(base + ".var");
    for (int j = 0; j < kPVs; ++j) std::fprintf(var.get(), "PV%d ", j);
    std::fputc('\n', var.get());
    for (int s = 0; s < n; ++s) {
      std::fprintf(var.get(), "%d", s + 1);
      for (int j = 0; j < kPVs; ++j) std::fprintf(var.get(), " 0 %d", pvValue(j, s));
      std::fputc('\n', var.get());
    }
  }
  {
    File types = create(base + ".pvtype");
    std::fprintf(types.get(), "Version:1\nNumPV:%d\n", kPVs);
    for (int j = 0; j < kPVs; ++j) std::fprintf(types.get(), "Name:PV%d\nType:3\nNumTimes:0\n", j);
  }
}

GeneratedChain::GeneratedChain(int states) : state_count(states) {
  std::string pattern = (std::filesystem::temp_directory_path() / "generated-chain-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create " + pattern);
  dir = pattern + "/";
  write(dir, kExperiment, states);
}

GeneratedChain::~GeneratedChain() {
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}
