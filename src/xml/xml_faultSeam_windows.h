#pragma once

#include <string>

// For tests only: Windows has no LD_PRELOAD, so the file layer asks here
// whether the tests chose its next call to fail. The variables and their
// meanings are those of the POSIX fault shim (tests/common/fault_shim.cpp).
namespace xfs::seam {

enum class TCall { Write, Flush, Close, Replace, Open };

// What a write under "shortwrite" gets: no error, at most 7 bytes taken.
constexpr unsigned long kShortWrite = ~0UL;

// Whether any fault is chosen: the caller then finds the path to match.
bool Armed();
// The Windows error this call must fail with, kShortWrite, or 0 when it
// is to go through. A match of either path counts.
unsigned long Fault(TCall call, const std::string& path, const std::string& other = {});

}  // namespace xfs::seam
