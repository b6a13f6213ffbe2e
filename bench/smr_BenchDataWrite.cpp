// Writes one generated journal, for profiling a load or save on its own.
//
//   somnary_benchdata_write FILE EXPERIENCES [SEED]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "smr_BenchData.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: somnary_benchdata_write FILE EXPERIENCES [SEED]\n");
    return 2;
  }
  const int experiences = std::atoi(argv[2]);
  const std::uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10)
                                      : kBenchSeed + static_cast<std::uint64_t>(experiences);
  const auto bytes = WriteJournal(argv[1], experiences, seed);
  std::printf("%s: %d experiences, %llu bytes\n", argv[1], experiences,
              static_cast<unsigned long long>(bytes));
  return 0;
}
