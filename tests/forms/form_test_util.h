#pragma once

// Form descriptions written by hand as UTF-8 and parsed as the settings
// file would be.
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "common/test_files.h"
#include "xml/xml_mainUnit.h"

inline std::unique_ptr<TXMLParser> ParseForm(const std::string& utf8) {
  auto document = std::make_unique<TXMLParser>();
  document->LoadFromText(
      test_files::Cp1251("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n" + utf8));
  return document;
}

using test_files::U;

// "parent/name" of every named control under a container, depth first in
// creation order.
inline QStringList ControlNames(QWidget* container, const QString& prefix = {}) {
  QStringList names;
  for (QObject* child : container->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (!widget || widget->objectName().isEmpty() || widget->objectName().startsWith("qt_"))
      continue;
    names << prefix + widget->objectName();
    names << ControlNames(widget, prefix + widget->objectName() + '/');
  }
  return names;
}
