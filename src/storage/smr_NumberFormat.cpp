#include "storage/smr_NumberFormat.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "storage/smr_Cp1251.h"

namespace {

char SingleByte(const QString& text, char fallback) {
  const std::string bytes = Utf8ToCp1251(text.toStdString());
  if (bytes.size() != 1 || bytes[0] == '?') return fallback;
  return bytes[0];
}

}  // namespace

TNumberFormat SystemNumberFormat() { return NumberFormatOf(QLocale::system()); }

TNumberFormat NumberFormatOf(const QLocale& locale) {
  TNumberFormat format;
  format.DecimalSeparator = SingleByte(locale.decimalPoint(), format.DecimalSeparator);
  format.ThousandSeparator = SingleByte(locale.groupSeparator(), format.ThousandSeparator);
  return format;
}

std::string FormatGeneral(double value, const TNumberFormat& format) {
  if (!std::isfinite(value)) return value != value ? "NAN" : (value < 0 ? "-INF" : "INF");
  if (value == 0) return "0";

  // 15 significant digits, rounded once; the exponent is the one after rounding.
  // to_chars, not printf: the C library's locale would put its own decimal
  // separator into the digits.
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                     std::chars_format::scientific, 14);
  const std::string_view scientific(buffer, static_cast<std::size_t>(written.ptr - buffer));
  const std::size_t e = scientific.find('e');
  std::string digits;
  for (char c : scientific.substr(0, e)) {
    if (c != '.') digits += c;
  }
  int exponent = 0;
  std::string_view power = scientific.substr(e + 1);
  if (!power.empty() && power.front() == '+') power.remove_prefix(1);
  std::from_chars(power.data(), power.data() + power.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text = value < 0 ? "-" : "";
  if (exponent >= 15 || exponent < -5) {
    text += digits[0];
    if (digits.size() > 1) {
      text += format.DecimalSeparator;
      text.append(digits, 1);
    }
    text += 'E';
    text += std::to_string(exponent);
  } else if (exponent >= 0) {
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      text += digits;
      text.append(whole - digits.size(), '0');
    } else {
      text.append(digits, 0, whole);
      text += format.DecimalSeparator;
      text.append(digits, whole);
    }
  } else {
    text += '0';
    text += format.DecimalSeparator;
    text.append(static_cast<size_t>(-exponent - 1), '0');
    text += digits;
  }
  return text;
}

std::string FormatFixed(double value, int decimals, const TNumberFormat& format) {
  if (!std::isfinite(value)) return FormatGeneral(value, format);
  char buffer[400];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                     std::chars_format::fixed, std::clamp(decimals, 0, 18));
  std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
  const bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  const std::size_t point = std::min(text.find('.'), text.size());
  std::string result;
  for (std::size_t i = 0; i < point; ++i) {
    if (i > 0 && (point - i) % 3 == 0) result += format.ThousandSeparator;
    result += text[i];
  }
  if (point < text.size()) {
    result += format.DecimalSeparator;
    result.append(text.substr(point + 1));
  }
  // A value that rounds to zero shows no sign.
  if (negative && text.find_first_of("123456789") != std::string_view::npos) result.insert(0, "-");
  return result;
}

std::string EnergyFigure(std::string_view level, const TNumberFormat& format) {
  double parsed = 0;
  if (!ParseEnergyLevel(level, parsed)) return "0";
  return FormatGeneral((100 - parsed) / 100, format);
}

bool ParseEnergyLevel(std::string_view text, double& value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int digits = 0;
  bool point = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  double parsed = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed)) {
    return false;
  }
  value = negative ? -parsed : parsed;
  return true;
}
