// Pictures of the patterns view over a made-up journal of two years, to
// look at by eye: patternsview_screens [folder] writes patterns-calendar.png,
// patterns-signs.png and patterns-trends.png (default folder /tmp).
#include <QApplication>
#include <QBuffer>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTableWidget>
#include <cstdio>

#include "common/test_files.h"
#include "dialogs/smr_QtTranslation.h"
#include "patterns/smr_DreamSigns.h"
#include "patternsview/smr_PatternsView.h"
#include "search/smr_SearchIndex.h"
#include "xml/xml_functions.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_node.h"

namespace {

using test_files::U;

const char* const kPlaces[] = {"в старой школе", "у моря", "в бабушкином доме",   "в лифте",
                               "на вокзале",     "в лесу", "в незнакомом городе", "на крыше",
                               "в университете", "в метро"};
const char* const kActions[] = {"я летала над крышами",
                                "мы долго искали выход",
                                "я опаздывала на экзамен",
                                "лифт ехал вбок",
                                "я смотрела в зеркало, но лица не было",
                                "падала и просыпалась",
                                "мама звала меня по имени",
                                "часы показывали то одно время, то другое",
                                "я поняла, что сплю, и полетела",
                                "волны поднимались выше домов"};
const char* const kTitles[] = {"Полёт",  "Экзамен", "Лифт",   "Море",  "Зеркало",
                               "Погоня", "Дом",     "Вокзал", "Крыша", "Мама"};

std::string Journal(QRandomGenerator& random, QDate& date) {
  std::string days;
  date = QDate(2023, 4, 1);
  int number = 1;
  int nights = 0;
  while (nights < 200) {
    // Runs of a few nights, then gaps: how a diary is really kept.
    date = date.addDays(random.bounded(100) < 70 ? 1 : 1 + random.bounded(9));
    ++nights;
    days += "  <day name=\"" + date.toString("dd.MM.yy").toStdString() + "\">\r\n";
    const int count = 1 + random.bounded(100) / 45;
    for (int i = 0; i < count; ++i, ++number) {
      const char* place = kPlaces[random.bounded(10)];
      const char* action = kActions[random.bounded(10)];
      std::string marks;
      if (random.bounded(100) < 12) marks += " label1=\"true\"";
      if (random.bounded(100) < 15) marks += " label2=\"true\"";
      if (random.bounded(100) < 6) marks += " label3=\"true\"";
      if (random.bounded(100) < 8) marks += " label4=\"true\"";
      days += "    <experience number=\"" + std::to_string(number) + "\" title=\"" +
              kTitles[random.bounded(10)] + "\">\r\n      <description>Снилось, что " + place +
              " " + action + ".</description>\r\n      <properties" + marks +
              "/>\r\n      <energy level=\"" + std::to_string(20 + random.bounded(160)) +
              "\"/>\r\n    </experience>\r\n";
    }
    days += "  </day>\r\n";
  }
  for (const char* name : {"Новогодняя ночь", "Без даты", "В поезде"})
    days += std::string("  <day name=\"") + name +
            "\">\r\n    <experience number=\"0\" title=\"Сон\"><description>Снилось море и "
            "лифт.</description></experience>\r\n  </day>\r\n";
  return test_files::Cp1251("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<somnary>\r\n" +
                            days + "</somnary>\r\n");
}

void Save(QWidget* page, const QString& file) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  page->grab().save(&buffer, "PNG");
  WriteFileAtomically(file.toStdString(),
                      std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
  std::printf("%s\n", qPrintable(file));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  InstallQtRussianTexts(app);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");

  QRandomGenerator random(2024);
  TXMLParser journal;
  QDate last;
  journal.LoadFromText(Journal(random, last));
  TXMLParser library;
  library.LoadFromText("<dreamlibrary>\r\n</dreamlibrary>\r\n");
  const std::pair<const char*, const char*> signs[] = {{"летать", "Действие"},
                                                       {"море", "Контекст"},
                                                       {"школа", "Контекст"},
                                                       {"зеркало", "Форма"},
                                                       {"лифт", "Контекст"},
                                                       {"падать", "Действие"},
                                                       {"поняла, что сплю", "Осознание"},
                                                       {"часы", "Проверки"}};
  for (const auto& [text, category] : signs) AddDreamSign(*library.Root, U(text), U(category));

  TSearchIndex index([](const std::string& stored) { return stored; });
  TPatternsView view;
  view.resize(900, 500);
  // The morning after the last night: the current run is still on.
  last = last.addDays(1);
  view.SetToday(last.year() * 10000 + last.month() * 100 + last.day());
  view.SetMarkCaptions({U("Осознанный"), U("Кошмар"), U("Повторяющийся"), U("Вещий")});
  view.Show(library.Root.get(), index, {{nullptr, journal.Root.get()}});
  view.show();
  QApplication::processEvents();

  Save(&view, folder + "/patterns-calendar.png");
  view.tab_Patterns->setCurrentWidget(view.pg_Signs);
  view.grd_Signs->selectRow(0);
  view.lst_Suggestions->setCurrentRow(0);
  QApplication::processEvents();
  Save(&view, folder + "/patterns-signs.png");
  view.tab_Patterns->setCurrentWidget(view.pg_Trends);
  view.edt_Trend->setText(U("летать"));
  QApplication::processEvents();
  Save(&view, folder + "/patterns-trends.png");
  return 0;
}
