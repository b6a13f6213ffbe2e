#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "graphs/smr_GraphPainter.h"
#include "storage/smr_NumberFormat.h"

// What the statistics need from the program's number formatting and its
// text edge, as a value so tests can pass a fixed locale. The program uses
// SystemGraphLocale: export's FormatFixed and FormatGeneral with
// SystemNumberFormat, storage's ToUi and Cp.
struct TGraphLocale {
  TLabelText Fixed = PlainLabelText;  // "%.Nn" axis labels
  // Shortest text of a real number (up to 15 significant digits) with the
  // locale's decimal separator, as document bytes.
  std::function<std::string(double)> General;
  std::function<QString(std::string_view bytes)> ToUi;        // document bytes to text
  std::function<std::string(std::string_view utf8)> ToBytes;  // program texts to document bytes
};

// The user's locale through the program's own formatting and text edge.
TGraphLocale SystemGraphLocale();
TGraphLocale GraphLocaleOf(const TNumberFormat& format);
