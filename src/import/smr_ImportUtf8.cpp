#include "import/smr_ImportUtf8.h"

#include "import/smr_ImportTexts.h"
#include "import/smr_ImportedJournal.h"

namespace {

// Length of the valid sequence starting at i, or 0. Overlong forms,
// surrogates and code points above U+10FFFF are refused, as a decoder that
// read them could not give them back unchanged.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b = at(i);
  if (b < 0x80) return 1;
  std::size_t n = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    if (b == 0xE0) low = 0xA0;
    if (b == 0xED) high = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  if (at(i + 1) < low || at(i + 1) > high) return 0;
  for (std::size_t k = 2; k < n; ++k)
    if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
  return n;
}

}  // namespace

std::string_view CheckedUtf8(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  int line = 1;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = SequenceLength(bytes, i);
    if (n == 0) FailAtLine(res::ImportBadUtf8, line);
    if (bytes[i] == '\n') ++line;
    i += n;
  }
  return bytes;
}

void FailAtLine(const char* message, int line, const QString& second, const QString& third) {
  // One pass, so a value that itself holds "%2" stays as it is.
  const QString pattern = QString::fromUtf8(message);
  const QString number = QString::number(line);
  const QString text = pattern.contains(QLatin1String("%3"))   ? pattern.arg(number, second, third)
                       : pattern.contains(QLatin1String("%2")) ? pattern.arg(number, second)
                                                               : pattern.arg(number);
  throw TImportError(text.toUtf8().toStdString(), line);
}
