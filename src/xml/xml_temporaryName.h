#pragma once

#include <cstddef>
#include <random>
#include <string>

// How both platforms name a save's temporary: "<name>.somnary-tmp.<pid>.<random>".
namespace xfs::temporary {

inline constexpr char kMark[] = ".somnary-tmp.";
// The mark, a process number and a random part after the name.
inline constexpr std::size_t kSuffix = sizeof kMark - 1 + 10 + 1 + 6;

// "<base>.somnary-tmp." with the base cut so that a temporary's whole name
// fits `nameMax` even when the file's own name nearly fills it; the cut
// stays off the middle of a UTF-8 character.
inline std::string Prefix(std::string base, std::size_t nameMax) {
  const std::size_t room = nameMax > kSuffix ? nameMax - kSuffix : 1;
  if (base.size() > room) {
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) --cut;
    base.resize(cut);
  }
  return base + kMark;
}

inline std::string RandomPart() {
  static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  thread_local std::mt19937_64 generator{std::random_device{}()};
  std::string part(6, '0');
  for (char& c : part) c = digits[generator() % 36];
  return part;
}

}  // namespace xfs::temporary
