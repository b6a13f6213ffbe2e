// One load in a fresh process, as the program opens a journal the first
// time: prints the load time in milliseconds, then, in bytes, the resident
// size before loading, the peak resident size after loading and the
// resident size with the document still in memory.
//
//   somnary_bench_load somnary|pugixml FILE
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <pugixml.hpp>
#include <string>

#include "xml/xml_mainUnit.h"

namespace {

// A "Vm...:  1234 kB" line of /proc/self/status, in bytes.
double Status(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::size_t n = std::strlen(key);
  while (std::getline(in, line))
    if (line.compare(0, n, key) == 0 && line.size() > n && line[n] == ':')
      return std::stod(line.substr(n + 1)) * 1024;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string reader = argv[1];
  const double before = Status("VmRSS");
  using Clock = std::chrono::steady_clock;
  double ms = 0;
  auto report = [&] {
    std::printf("%.3f %.0f %.0f %.0f\n", ms, before, Status("VmHWM"), Status("VmRSS"));
    std::fflush(stdout);
  };
  if (reader == "somnary") {
    TXMLParser document;
    const auto t0 = Clock::now();
    document.Load(argv[2]);
    ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    if (document.Status != xsLoaded) return 3;
    report();
  } else {
    pugi::xml_document document;
    const auto t0 = Clock::now();
    const bool loaded = document.load_file(argv[2]);
    ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    if (!loaded) return 3;
    report();
  }
  return 0;
}
