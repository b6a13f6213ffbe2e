#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

#include "import/smr_ImportedJournal.h"

// A date line of a text diary: dd.mm.yy, dd.mm.yyyy, d.m.yyyy (also with
// '/' or '-'), yyyy-mm-dd, or "12 марта 2024" (a month's name in either case
// form or shortened, an optional "г."). The line may hold Markdown heading
// marks and emphasis, trailing ':' or '.', "г." after the year, and the day
// of the week before or after the date ("12.03.2024, вторник"). Nothing for an impossible date or
// any other text on the line. Two-digit years 69..99 are of the last century.
std::optional<QDate> ParseDiaryDate(const QString& line);

// A night name as the program writes it: dd.mm.yy.
QString NightName(const QDate& date);

// One dream of a text diary.
struct TTextDream {
  QString Title;  // its heading without the marks; empty without a heading
  QString Text;   // lines separated by '\n', blank lines around it left out
  int Line = 0;   // where it starts (its heading or first line), 1-based
};
struct TTextNight {
  QString Name;  // NightName of the date line, or the name given for undated text
  std::vector<TTextDream> Dreams;
  int Line = 0;  // the date line, or the first line of undated text
};

// Splits a plain-text or Markdown diary (UTF-8, with or without a byte
// order mark; LF or CR LF) at its date lines: a night per date line, even
// when one date comes twice. Everything up to the next date line is one
// dream, as a diary keeper writes one night's entry; a Markdown heading
// ("# ..." to "###### ...", or a line underlined with "===") starts a dream
// titled by it, and a rule line ("---", "***", "___") ends one, so the text
// after it is the next.
// A night with nothing under its date line has no dreams. Text before the
// first date line becomes a night named `undatedNight` (none when it is
// blank). Throws TImportError naming the line for invalid UTF-8.
std::vector<TTextNight> SplitTextDiary(std::string_view bytes, const QString& undatedNight);

// The journal of the nights as the preview left them: a night per night,
// also one without dreams; an experience per dream with its title and its
// text as a plain description (line breaks CR LF), numbered as the
// new-experience dialog would (001, 002, ... through the journal). Replaced
// counts what the code page lacks.
TImportedJournal BuildTextJournal(const std::vector<TTextNight>& nights);
