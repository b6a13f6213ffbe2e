#pragma once

#include <QString>
#include <string>

// The tools' messages: names and arguments are UTF-8 bytes, the string
// table's texts UTF-8 with %1 and %2 for them.

inline QString Local(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A message of the string table with its blanks filled.
inline std::string Say(const char* text, const QString& first = {}, const QString& second = {}) {
  QString message = QString::fromUtf8(text);
  if (message.contains(QLatin1String("%1"))) message = message.arg(first);
  if (message.contains(QLatin1String("%2"))) message = message.arg(second);
  return message.toUtf8().toStdString();
}
