#include "import/smr_TextImport.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>

#include "import/smr_ImportBuilder.h"
#include "import/smr_ImportUtf8.h"

namespace {

QStringList Words(const char* utf8) {
  return QString::fromUtf8(utf8).split(u' ', Qt::SkipEmptyParts);
}

// A month's name, full in both case forms or shortened, lower case.
int MonthOf(const QString& word) {
  static const std::array<QStringList, 12> names = {
      Words("января январь янв january jan"),
      Words("февраля февраль фев february feb"),
      Words("марта март мар march mar"),
      Words("апреля апрель апр april apr"),
      Words("мая май may"),
      Words("июня июнь июн june jun"),
      Words("июля июль июл july jul"),
      Words("августа август авг august aug"),
      Words("сентября сентябрь сен сент september sep"),
      Words("октября октябрь окт october oct"),
      Words("ноября ноябрь ноя november nov"),
      Words("декабря декабрь дек december dec"),
  };
  for (std::size_t m = 0; m < names.size(); ++m)
    if (names[m].contains(word)) return static_cast<int>(m) + 1;
  return 0;
}

bool IsWeekday(const QString& word) {
  static const QStringList days = Words(
      "понедельник вторник среда четверг пятница суббота воскресенье пн вт ср чт пт сб вс "
      "monday tuesday wednesday thursday friday saturday sunday mon tue wed thu fri sat sun");
  return days.contains(word.toLower());
}

// What may follow a date on its line: nothing, the year's "г." and the day
// of the week.
bool IsDateTail(QString tail) {
  static const QRegularExpression year(QStringLiteral("^\\s*(?:г\\.?|года)(?!\\w)"),
                                       QRegularExpression::UseUnicodePropertiesOption);
  static const QRegularExpression edges(QStringLiteral("^[\\s,;—–(-]+|[\\s.:)]+$"));
  tail = tail.remove(year).remove(edges);
  return tail.isEmpty() || IsWeekday(tail);
}

// "Вторник, 12.03.2024": the date without the day of the week before it.
QString WithoutLeadingWeekday(const QString& text) {
  static const QRegularExpression weekday(QStringLiteral("^(\\w+)\\.?[\\s,]+(?=\\d)"),
                                          QRegularExpression::UseUnicodePropertiesOption);
  const auto m = weekday.match(text);
  return m.hasMatch() && IsWeekday(m.captured(1)) ? text.mid(m.capturedEnd()) : text;
}

// Two-digit years as the search's date filter reads them: 69..99 last century.
int FullYear(const QString& digits) {
  const int year = digits.toInt();
  if (digits.size() > 2) return year;
  return year >= 69 ? 1900 + year : 2000 + year;
}

}  // namespace

std::optional<QDate> ParseDiaryDate(const QString& line) {
  // Heading marks and emphasis around the date, trailing punctuation.
  static const QRegularExpression decoration(QStringLiteral("^[\\s#*_]+|[\\s*_:.]+$"));
  static const QRegularExpression numeric(
      QStringLiteral("^(\\d{1,2})([./-])(\\d{1,2})\\2(\\d{4}|\\d{2})(?!\\d)"));
  static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?!\\d)"));
  static const QRegularExpression words(
      QStringLiteral("^(\\d{1,2})\\s+(\\w+)\\.?\\s+(\\d{4})(?!\\d)"),
      QRegularExpression::UseUnicodePropertiesOption);
  // A date line is short; most lines of a diary are not, and skip the patterns.
  if (line.size() > 80) return std::nullopt;
  const QString text = WithoutLeadingWeekday(QString(line).remove(decoration));
  if (text.isEmpty() || !text.at(0).isDigit()) return std::nullopt;

  int year = 0, month = 0, day = 0;
  qsizetype end = 0;
  if (const auto m = iso.match(text); m.hasMatch()) {
    year = m.captured(1).toInt();
    month = m.captured(2).toInt();
    day = m.captured(3).toInt();
    end = m.capturedEnd();
  } else if (const auto n = numeric.match(text); n.hasMatch()) {
    day = n.captured(1).toInt();
    month = n.captured(3).toInt();
    year = FullYear(n.captured(4));
    end = n.capturedEnd();
  } else if (const auto w = words.match(text); w.hasMatch()) {
    day = w.captured(1).toInt();
    month = MonthOf(w.captured(2).toLower());
    year = w.captured(3).toInt();
    end = w.capturedEnd();
  } else {
    return std::nullopt;
  }
  const QDate date(year, month, day);
  if (month == 0 || !date.isValid() || !IsDateTail(text.mid(end))) return std::nullopt;
  return date;
}

QString NightName(const QDate& date) { return date.toString(QStringLiteral("dd.MM.yy")); }

namespace {

// "# Title" .. "###### Title": the title, else nothing.
std::optional<QString> HeadingTitle(const QString& line) {
  static const QRegularExpression heading(
      QStringLiteral("^\\s{0,3}#{1,6}(?:\\s+(.*?))?\\s*#*\\s*$"));
  if (!line.trimmed().startsWith(u'#')) return std::nullopt;
  const auto m = heading.match(line);
  if (!m.hasMatch()) return std::nullopt;
  return m.captured(1);
}

// "---", "***", "___" (a Markdown rule) ends a dream.
bool IsRule(const QString& line) {
  static const QRegularExpression rule(
      QStringLiteral("^\\s*(?:(?:-\\s*){3,}|(?:\\*\\s*){3,}|(?:_\\s*){3,})$"));
  const QString trimmed = line.trimmed();
  return !trimmed.isEmpty() && QStringLiteral("-*_").contains(trimmed.front()) &&
         rule.match(line).hasMatch();
}

// "===" under a line makes that line a heading (Markdown's other form);
// under nothing it is a rule.
bool IsUnderline(const QString& line) {
  static const QRegularExpression underline(QStringLiteral("^\\s*={3,}\\s*$"));
  return line.trimmed().startsWith(u'=') && underline.match(line).hasMatch();
}

// Collects the lines of the last night into dreams.
class TNightReader {
 public:
  explicit TNightReader(std::vector<TTextNight>& nights) : FNights(nights) {}
  void Heading(const QString& title, int line) {
    Close();
    FOpen = true;
    FDream = TTextDream{title, {}, line};
  }
  void Text(const QString& text, int line) {
    if (!FOpen) {
      if (text.trimmed().isEmpty()) return;
      FOpen = true;
      FDream = TTextDream{{}, {}, line};
    }
    FLines.push_back(text);
    FLast = line;
  }
  // The line above an underline as the title of a new dream.
  void Underline() {
    if (!FOpen || FLines.isEmpty() || FLines.last().trimmed().isEmpty()) return Close();
    const QString title = FLines.takeLast().trimmed();
    const int line = FLast;
    // When it was all the dream held, the dream becomes the heading's.
    const bool blank = std::all_of(FLines.begin(), FLines.end(),
                                   [](const QString& l) { return l.trimmed().isEmpty(); });
    if (blank && FDream.Title.isEmpty()) FOpen = false;
    Heading(title, line);
  }
  void Close() {
    if (!FOpen) return;
    while (!FLines.isEmpty() && FLines.last().trimmed().isEmpty()) FLines.removeLast();
    while (!FLines.isEmpty() && FLines.first().trimmed().isEmpty()) FLines.removeFirst();
    FDream.Text = FLines.join(u'\n');
    FNights.back().Dreams.push_back(std::move(FDream));
    FLines.clear();
    FOpen = false;
  }

 private:
  std::vector<TTextNight>& FNights;
  TTextDream FDream;
  QStringList FLines;
  int FLast = 0;  // the line of the last text line
  bool FOpen = false;
};

}  // namespace

std::vector<TTextNight> SplitTextDiary(std::string_view bytes, const QString& undatedNight) {
  const std::string_view text = CheckedUtf8(bytes);
  // Text before the first date line fills a night of its own, dropped at
  // the end when it holds nothing but blank lines.
  std::vector<TTextNight> nights{TTextNight{undatedNight, {}, 0}};
  TNightReader reader(nights);
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t stop = text.find('\n', start);
    if (stop == std::string_view::npos) stop = text.size();
    std::string_view raw = text.substr(start, stop - start);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    start = stop + 1;
    ++number;
    const QString line = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));

    if (const std::optional<QDate> date = ParseDiaryDate(line)) {
      reader.Close();
      nights.push_back(TTextNight{NightName(*date), {}, number});
    } else if (const std::optional<QString> title = HeadingTitle(line)) {
      reader.Heading(title->trimmed(), number);
    } else if (IsRule(line)) {
      reader.Close();
    } else if (IsUnderline(line)) {
      reader.Underline();
    } else {
      reader.Text(line, number);
    }
  }
  reader.Close();
  if (nights.front().Dreams.empty())
    nights.erase(nights.begin());
  else
    nights.front().Line = nights.front().Dreams.front().Line;
  return nights;
}

TImportedJournal BuildTextJournal(const std::vector<TTextNight>& nights) {
  TImportBuilder builder;
  for (const TTextNight& night : nights) {
    TXMLNode* day = builder.AddNight(night.Name);
    for (const TTextDream& dream : night.Dreams)
      builder.SetDescription(builder.AddExperience(day, dream.Title), dream.Text);
  }
  return builder.Finish();
}
