#pragma once

#include <string>
#include <string_view>

class QLocale;

// How numbers shown to the user are written. A plain value so that the
// exporters need no locale machinery: the GUI fills it from the system
// locale, tests fill it by hand.
struct TNumberFormat {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
};

// The separators of the system locale (or of the one given). A separator
// that is not a single windows-1251 byte falls back to the default above.
TNumberFormat SystemNumberFormat();
TNumberFormat NumberFormatOf(const QLocale& locale);

// A number in the general format: at most 15 significant digits, trailing
// zeros dropped, no thousands separators; scientific ("1,5E20", "1E-7") only
// when the value needs more than 15 integer digits or is below 0.00001.
std::string FormatGeneral(double value, const TNumberFormat& format);

// A number with that many decimals and thousands separators, as the
// "%.0n" and "%.2n" labels of the graphs show it ("1 234,50").
std::string FormatFixed(double value, int decimals, const TNumberFormat& format);

// A stored energy `level`: blanks around, an optional sign, digits and an
// optional '.' fraction; anything else (exponents included) is not a level.
// The exporters show such a level as absent, the statistics report it.
bool ParseEnergyLevel(std::string_view text, double& value);

// The energy figure of a stored `level`: (100 - level) / 100 in the general
// format. An absent level ("undefined") or one that is not a decimal number
// counts as the middle of the scale, so the figure is "0".
std::string EnergyFigure(std::string_view level, const TNumberFormat& format);
