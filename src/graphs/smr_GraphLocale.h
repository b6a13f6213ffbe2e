#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "graphs/smr_GraphPainter.h"

// What the statistics need from the program's number formatting and its
// text edge. The graphs library sits beside storage and export and cannot
// link them, so the program passes its own functions in (export's
// FormatFixed and FormatGeneral with SystemNumberFormat, storage's ToUi and
// Cp); there is no second number formatter or code page here.
struct TGraphLocale {
  TLabelText Fixed = PlainLabelText;  // "%.Nn" axis labels
  // Shortest text of a real number (up to 15 significant digits) with the
  // locale's decimal separator, as document bytes.
  std::function<std::string(double)> General;
  std::function<QString(std::string_view bytes)> ToUi;        // document bytes to text
  std::function<std::string(std::string_view utf8)> ToBytes;  // program texts to document bytes
};
