#include "smr_BenchData.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

#include "storage/smr_Cp1251.h"
#include "storage/smr_JournalHash.h"
#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"

namespace {

// Words of the texts, UTF-8 here, windows-1251 once converted.
constexpr std::string_view kWordsUtf8[] = {
    "сон",      "дом",        "море",      "лестница",     "дверь",    "окно",
    "город",    "ночь",       "луна",      "небо",         "лес",      "дорога",
    "поезд",    "вокзал",     "мост",      "река",         "берег",    "туман",
    "свет",     "тень",       "зеркало",   "комната",      "коридор",  "крыша",
    "сад",      "ветер",      "дождь",     "снег",         "голос",    "лицо",
    "друг",     "незнакомец", "бабушка",   "учитель",      "кошка",    "собака",
    "птица",    "рыба",       "книга",     "письмо",       "ключ",     "часы",
    "я",        "мы",         "он",        "она",          "они",      "вдруг",
    "снова",    "медленно",   "быстро",    "тихо",         "далеко",   "рядом",
    "внизу",    "наверху",    "иду",       "лечу",         "падаю",    "смотрю",
    "слышу",    "понимаю",    "вспоминаю", "открываю",     "закрываю", "ищу",
    "нахожу",   "теряю",      "жду",       "бегу",         "плыву",    "говорю",
    "молчу",    "стою",       "сижу",      "просыпаюсь",   "засыпаю",  "старый",
    "новый",    "тёмный",     "светлый",   "пустой",       "огромный", "маленький",
    "знакомый", "странный",   "тёплый",    "холодный",     "синий",    "зелёный",
    "золотой",  "в",          "на",        "под",          "над",      "за",
    "через",    "к",          "и",         "но",           "что",      "когда",
    "потому",   "будто",      "как",       "осознанность", "полёт",    "страх",
    "радость",  "тишина",     "память",    "время",        "экзамен",  "школа",
    "больница", "магазин",    "площадь",   "башня",        "подвал",   "чердак",
    "лифт",     "самолёт",    "корабль",   "остров",       "гора",     "пещера",
};
constexpr std::string_view kPunctuationUtf8[] = {".", ".", ".", "!", "?", "..."};

std::string C(std::string_view utf8) { return Utf8ToCp1251(utf8); }

// A length drawn from [low, high].
std::size_t Length(TBenchRandom& random, int low, int high) {
  return static_cast<std::size_t>(random.Range(low, high));
}

class TTextMaker {
 public:
  explicit TTextMaker(TBenchRandom& random) : FRandom(random) {
    for (std::string_view w : kWordsUtf8) FWords.push_back(C(w));
    for (std::string_view p : kPunctuationUtf8) FPunctuation.push_back(C(p));
  }

  std::string Word() { return Pick(FWords); }

  // Words with the first letter capitalised.
  std::string Phrase(int minWords, int maxWords) {
    std::string out;
    const int n = FRandom.Range(minWords, maxWords);
    for (int i = 0; i < n; ++i) {
      if (i > 0) out += ' ';
      out += Word();
    }
    Capitalise(out);
    return out;
  }

  std::string Sentence() {
    std::string s = Phrase(4, 14);
    if (FRandom.Chance(25)) {
      s += ", ";
      s += Word();
      s += ' ';
      s += Word();
    }
    s += Pick(FPunctuation);
    return s;
  }

  // Sentences up to about the given length; with `paragraphs`, some are
  // broken into paragraphs the way the editor stores line breaks (CR LF).
  std::string Text(std::size_t length, bool paragraphs) {
    std::string out;
    int inParagraph = 0;
    while (out.size() < length) {
      if (!out.empty()) {
        if (paragraphs && inParagraph >= 2 && FRandom.Chance(30)) {
          out += "\r\n";
          inParagraph = 0;
        } else {
          out += ' ';
        }
      }
      out += Sentence();
      ++inParagraph;
    }
    return out;
  }

 private:
  const std::string& Pick(const std::vector<std::string>& items) {
    return items[static_cast<std::size_t>(FRandom.Range(0, static_cast<int>(items.size()) - 1))];
  }

  static void Capitalise(std::string& s) {
    if (s.empty()) return;
    unsigned char& c = reinterpret_cast<unsigned char&>(s[0]);
    if (c >= 0xE0)
      c -= 0x20;  // а..я -> А..Я
    else if (c == 0xB8)
      c = 0xA8;  // ё -> Ё
    else if (c >= 'a' && c <= 'z')
      c -= 0x20;
  }

  TBenchRandom& FRandom;
  std::vector<std::string> FWords;
  std::vector<std::string> FPunctuation;
};

// Calendar of the nights: one to three days apart, written "dd.mm.yy".
class TCalendar {
 public:
  void Advance(int days) {
    static constexpr int kMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    FDay += days;
    for (;;) {
      int length = kMonth[FMonth - 1] + (FMonth == 2 && FYear % 4 == 0 ? 1 : 0);
      if (FDay <= length) break;
      FDay -= length;
      if (++FMonth > 12) FMonth = 1, ++FYear;
    }
  }
  std::string Text() const {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%02d", FDay, FMonth, FYear % 100);
    return buffer;
  }

 private:
  int FDay = 1, FMonth = 1, FYear = 2000;
};

TXMLNode* Add(TXMLNode* parent, std::string_view name, std::uint8_t kind) {
  return parent->AddChild(std::make_unique<TXMLNode>(std::string(name), kind));
}

void AddText(TXMLNode* element, std::string text) {
  auto node = std::make_unique<TXMLNode>(std::string(), nkText);
  node->Value = std::move(text);
  element->AddChild(std::move(node));
}

// Values of a dream properties form: edit boxes, a drop-down list, check
// boxes, radio buttons and group boxes nested two deep.
void AddParameters(TXMLNode* properties, TBenchRandom& random, TTextMaker& text) {
  static const std::string kPlace[] = {C("дома"), C("в поезде"), C("на даче"), C("в гостинице")};
  static const std::string kSleep[] = {C("глубокий"), C("беспокойный"), C("короткий"),
                                       C("дневной")};
  auto value = [&](TXMLNode* parent, std::string_view control, const std::string& v) {
    TXMLNode* p = Add(parent, smr::elParameter, nkEmptyElement);
    p->SetAttribute(smr::atControl, control);
    p->SetAttribute(smr::atValue, v);
  };
  auto flag = [&](TXMLNode* parent, std::string_view control) {
    value(parent, control, std::string(random.Chance(40) ? smr::True : smr::False));
  };
  value(properties, "edt_Place", kPlace[random.Range(0, 3)]);
  value(properties, "cmb_Sleep", kSleep[random.Range(0, 3)]);
  value(properties, "mmo_Feelings", random.Chance(70) ? text.Sentence() : std::string());
  flag(properties, "chk_Colour");
  TXMLNode* senses = Add(properties, smr::elParameter, nkElement);
  senses->SetAttribute(smr::atControl, "grp_Senses");
  flag(senses, "chk_Sound");
  flag(senses, "chk_Smell");
  flag(senses, "chk_Touch");
  TXMLNode* body = Add(senses, smr::elParameter, nkElement);
  body->SetAttribute(smr::atControl, "grp_Body");
  const bool light = random.Chance(50);
  value(body, "rb_Light", std::string(light ? smr::True : smr::False));
  value(body, "rb_Heavy", std::string(light ? smr::False : smr::True));
  value(properties, "edt_People", random.Chance(50) ? text.Phrase(1, 3) : std::string());
}

void AddExperience(TXMLNode* day, int number, TBenchRandom& random, TTextMaker& text) {
  TXMLNode* experience = Add(day, smr::elExperience, nkElement);
  char digits[16];
  std::snprintf(digits, sizeof digits, "%03d", number);
  experience->SetAttribute(smr::atNumber, digits);
  experience->SetAttribute(smr::atTitle, text.Phrase(1, 5));
  const bool html = random.Chance(4);
  if (html) {
    experience->SetAttribute(smr::atType, smr::Html);
    experience->SetAttribute(smr::atFile, std::string("journal_") + digits + ".html");
  }
  if (random.Chance(15))
    experience->SetAttribute(smr::atReadOnly, random.Chance(70) ? smr::True : smr::False);

  if (!html) {
    // Mostly a few hundred characters, some up to a few thousand.
    const auto r = static_cast<std::size_t>(random.Range(0, 1000));
    const std::size_t length = 200 + r * r * 2800 / 1000000;
    AddText(Add(experience, smr::elDescription, nkElement), text.Text(length, random.Chance(40)));
  }
  if (random.Chance(60))
    AddText(Add(experience, smr::elComment, nkElement), text.Text(Length(random, 20, 200), false));
  if (random.Chance(28)) {
    TXMLNode* image = Add(experience, smr::elImage, nkEmptyElement);
    if (random.Chance(10)) {
      image->SetAttribute(smr::atPath, smr::Undefined);  // cleared picture
    } else {
      char file[32];
      std::snprintf(file, sizeof file, "%05d.bmp", number);
      image->SetAttribute(smr::atPath, C("C:\\Мои документы\\Сны\\Рисунки\\сон_") + file);
    }
  }
  if (random.Chance(85)) {
    TXMLNode* properties = Add(experience, smr::elProperties, nkEmptyElement);
    for (int i = 0; i < 4; ++i)
      properties->SetAttribute(smr::atLabel[i], random.Chance(20) ? smr::True : smr::False);
    if (random.Chance(60)) {
      properties->Kind = nkElement;
      AddParameters(properties, random, text);
    }
  }
  if (random.Chance(90))
    Add(experience, smr::elEnergy, nkEmptyElement)
        ->SetAttribute(smr::atLevel, std::to_string(random.Range(0, 200)));
}

}  // namespace

std::uint64_t TBenchRandom::Next() {
  std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int TBenchRandom::Range(int low, int high) {
  const std::uint64_t span = static_cast<std::uint64_t>(high - low) + 1;
  return low + static_cast<int>(Next() % span);
}

void MakeJournal(TXMLParser& document, int experiences, std::uint64_t seed) {
  InitNewJournal(document);
  TBenchRandom random(seed);
  TTextMaker text(random);
  TCalendar calendar;
  TXMLNode* root = document.Root.get();
  int number = 0;
  while (number < experiences) {
    calendar.Advance(random.Range(1, 3));
    TXMLNode* day = Add(root, smr::elDay, nkElement);
    day->SetAttribute(smr::atName, calendar.Text());
    if (random.Chance(20))
      AddText(Add(day, smr::elComment, nkElement), text.Text(Length(random, 30, 250), false));
    const int count = std::min(random.Range(1, 4), experiences - number);
    for (int i = 0; i < count; ++i) AddExperience(day, ++number, random, text);
  }
  root->SetLevel(0);
}

std::uint64_t WriteJournal(const std::string& fileName, int experiences, std::uint64_t seed) {
  TXMLParser document;
  MakeJournal(document, experiences, seed);
  document.Save(fileName);
  return std::filesystem::file_size(fileName);
}

TBenchLibrary WriteLibrary(const std::string& folder, const std::string& bigJournal,
                           std::uint64_t seed) {
  TBenchRandom random(seed);
  TBenchLibrary library;
  library.LibraryFile = folder + "/library.xml";

  TXMLParser document;
  InitNewLibrary(document, C("Библиотека сновидений"));
  TXMLNode* root = document.Root.get();
  auto directory = [&](TXMLNode* parent, std::string_view utf8Name) {
    TXMLNode* d = Add(parent, smr::elDirectory, nkElement);
    d->SetAttribute(smr::atName, C(utf8Name));
    return d;
  };
  // Catalogues three levels deep, as someone sorting years of diaries would.
  TXMLNode* diaries = directory(root, "Дневники");
  TXMLNode* years[4] = {directory(diaries, "2019–2020"), directory(diaries, "2021–2022"),
                        directory(diaries, "2023–2024"), directory(diaries, "2025–2026")};
  TXMLNode* practice = directory(root, "Практика");
  TXMLNode* lucid = directory(practice, "Осознанные сны");
  TXMLNode* techniques = directory(lucid, "Техники");
  TXMLNode* astral = directory(practice, "Астрал и выход из тела");
  TXMLNode* other = directory(root, "Разное");
  TXMLNode* places[6] = {years[0], years[1], years[2], years[3], techniques, astral};

  for (int i = 0; i < 20; ++i) {
    std::string path;
    if (i == 7) {
      path = bigJournal;
    } else {
      char name[32];
      std::snprintf(name, sizeof name, "/journal_lib%02d.xml", i + 1);
      path = folder + name;
      WriteJournal(path, random.Range(100, 1500), seed + 1000 + static_cast<std::uint64_t>(i));
    }
    TXMLNode* parent = i < 18 ? places[i % 6] : (i == 18 ? lucid : other);
    TXMLNode* file = Add(parent, smr::elFile, nkEmptyElement);
    file->SetAttribute(smr::atName, C("Журнал ") + std::to_string(i + 1));
    file->SetAttribute(smr::atPath, path);
    library.JournalFiles.push_back(path);
  }
  TXMLNode* user = Add(root, smr::elUser, nkElement);
  user->SetAttribute(smr::atName, C("Анна"));
  user->SetAttribute(smr::atNick, C("Сова"));
  user->SetAttribute(smr::atEmail, "anna@example.org");
  user->SetAttribute(smr::atSex, smr::Femininum);
  user->SetAttribute(smr::atAge, "34");
  AddText(user, C("Записываю сны с 2019 года."));
  root->SetLevel(0);
  document.Save(library.LibraryFile);
  return library;
}

TBenchLibrary WriteDefaultLibrary(const std::string& folder, const std::string& defaultJournal,
                                  int journals, std::uint64_t seed) {
  TBenchRandom random(seed);
  TBenchLibrary library;
  library.LibraryFile = folder + "/library.xml";

  TXMLParser document;
  InitNewLibrary(document, C("Библиотека сновидений"));
  TXMLNode* root = document.Root.get();
  TXMLNode* diaries = Add(root, smr::elDirectory, nkElement);
  diaries->SetAttribute(smr::atName, C("Дневники"));
  const int defaultAt = journals / 2;
  TXMLNode* catalogue = nullptr;
  for (int i = 0; i < journals; ++i) {
    if (i % 10 == 0) {
      catalogue = Add(diaries, smr::elDirectory, nkElement);
      catalogue->SetAttribute(smr::atName, C("Годы ") + std::to_string(2000 + i / 5) + C("–") +
                                               std::to_string(2001 + i / 5));
    }
    std::string path;
    if (i == defaultAt) {
      path = defaultJournal;
    } else {
      char name[32];
      std::snprintf(name, sizeof name, "/journal_%03d.xml", i + 1);
      path = folder + name;
      WriteJournal(path, random.Range(20, 300), seed + 2000 + static_cast<std::uint64_t>(i));
    }
    TXMLNode* file = Add(catalogue, smr::elFile, nkEmptyElement);
    file->SetAttribute(smr::atName, C("Журнал ") + std::to_string(i + 1));
    file->SetAttribute(smr::atPath, path);
    if (i == defaultAt) file->SetAttribute(smr::atDefault, smr::Yes);
    library.JournalFiles.push_back(path);
  }
  root->SetLevel(0);
  document.Save(library.LibraryFile);
  return library;
}
