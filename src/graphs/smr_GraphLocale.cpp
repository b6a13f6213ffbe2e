#include "graphs/smr_GraphLocale.h"

#include "storage/smr_NumberFormat.h"
#include "storage/smr_TextEdge.h"

TGraphLocale SystemGraphLocale() { return GraphLocaleOf(SystemNumberFormat()); }

TGraphLocale GraphLocaleOf(const TNumberFormat& format) {
  TGraphLocale locale;
  locale.Fixed = [format](double value, int decimals) {
    return ToUi(FormatFixed(value, decimals, format));
  };
  locale.General = [format](double value) { return FormatGeneral(value, format); };
  locale.ToUi = [](std::string_view bytes) { return ToUi(bytes); };
  locale.ToBytes = [](std::string_view utf8) { return Cp(utf8); };
  return locale;
}
