// One load in a fresh process, as the program opens a journal the first
// time: prints the load time in milliseconds, then, in bytes, the resident
// size before loading, the peak resident size after loading and the
// resident size with the document still in memory, and last the time in
// milliseconds to free the document, as at exit.
//
//   somnary_bench_load somnary|pugixml FILE
//
// With "repeat FILE N" it instead loads and frees the file N times with each
// reader in turn in this one process and prints the median load times in
// milliseconds, ours then pugixml's, and their ratio ("repeat FILE N
// somnary" leaves pugixml out, for profiling, and prints the median time
// this thread spent on the processor in place of pugixml's).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

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

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string reader = argv[1];
  using Clock = std::chrono::steady_clock;
  if (reader == "repeat") {
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const bool oursOnly = argc > 4 && std::string(argv[4]) == "somnary";
    std::vector<double> ours, theirs;
    for (int i = 0; i < runs; ++i) {
      const double cpu0 = ThreadCpuMs();
      auto t0 = Clock::now();
      auto document = std::make_unique<TXMLParser>();
      document->Load(argv[2]);
      ours.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
      if (oursOnly) theirs.push_back(ThreadCpuMs() - cpu0);
      if (document->Status != xsLoaded) return 3;
      document.reset();
      if (oursOnly) continue;
      t0 = Clock::now();
      auto pugi = std::make_unique<pugi::xml_document>();
      if (!pugi->load_file(argv[2])) return 3;
      theirs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
      pugi.reset();
    }
    const double o = Median(ours), p = Median(theirs);
    std::printf("%.3f %.3f %.3f\n", o, p, o / p);
    return 0;
  }
  const double before = Status("VmRSS");
  auto since = [](Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  };
  // Loads, takes the figures, frees; false when the file did not load.
  auto measure = [&](auto document, auto load) {
    auto t0 = Clock::now();
    if (!load(*document)) return false;
    const double ms = since(t0);
    const double peak = Status("VmHWM"), resident = Status("VmRSS");
    t0 = Clock::now();
    document.reset();
    std::printf("%.3f %.0f %.0f %.0f %.3f\n", ms, before, peak, resident, since(t0));
    std::fflush(stdout);
    return true;
  };
  const bool loaded =
      reader == "somnary"
          ? measure(std::make_unique<TXMLParser>(),
                    [&](TXMLParser& d) { return d.Load(argv[2]), d.Status == xsLoaded; })
          : measure(std::make_unique<pugi::xml_document>(),
                    [&](pugi::xml_document& d) { return bool(d.load_file(argv[2])); });
  return loaded ? 0 : 3;
}
