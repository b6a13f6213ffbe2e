#pragma once

#include <QString>

// The one wording of a file that could not be written or read: a Russian
// sentence naming the file by its full path, the system's reason after it.
QString FileWriteErrorText(const QString& fileName, const QString& reason);
QString FileReadErrorText(const QString& fileName, const QString& reason);
// The same from a reason in the system's own encoding (strerror, what()).
QString FileWriteErrorText(const QString& fileName, const char* reason);
