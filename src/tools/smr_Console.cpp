#include "tools/smr_Console.h"

#include <QCoreApplication>
#include <QStringList>

TUtf8Arguments::TUtf8Arguments() {
  for (const QString& argument : QCoreApplication::arguments())
    FTexts.push_back(argument.toStdString());
  for (std::string& text : FTexts) FValues.push_back(text.data());
}
