#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

#include "import/smr_ImportedJournal.h"

// A date line of a text diary, in any of dd.mm.yy, dd.mm.yyyy, yyyy-mm-dd
// and "12 марта 2024" (a month's name in any case form); the line may hold
// Markdown heading marks and trailing punctuation. Nothing for other text.
std::optional<QDate> ParseDiaryDate(const QString& line);

// A night name as the program writes it: dd.mm.yy.
QString NightName(const QDate& date);

// One dream of a text diary: a heading line gives the title.
struct TTextDream {
  QString Title;
  QString Text;
  int Line = 0;  // where it starts, 1-based
};
struct TTextNight {
  QString Name;  // NightName of the date line, or the text before any date
  std::vector<TTextDream> Dreams;
  int Line = 0;
};

// Splits a plain-text or Markdown diary (UTF-8, with or without a byte
// order mark) at its date lines: a night per date line, a dream per
// heading line ("# ...", "## ...", or a short line followed by an empty
// one) or per paragraph block when the night has no headings. Text before
// the first date line becomes a night named `undatedNight`. Throws
// TImportError naming the line for invalid UTF-8.
std::vector<TTextNight> SplitTextDiary(std::string_view bytes, const QString& undatedNight);

// The journal of the nights as the preview left them; Replaced counts what
// the code page lacks.
TImportedJournal BuildTextJournal(const std::vector<TTextNight>& nights);
