#pragma once

// Files and text as tests write and compare them. Text in the program's files
// is windows-1251 with CR LF; tests write it as UTF-8 with LF. The code page
// is converted here on its own, without the program's codec, so every test
// can use it and a fault in that codec cannot hide itself.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <string>
#include <string_view>

namespace test_files {

// Code points of windows-1251 0x80..0xBF; 0x98 is unassigned.
inline constexpr char16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

inline QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Windows-1251 bytes of UTF-8 text; what the code page lacks becomes '?'.
inline std::string Cp1251(std::string_view utf8) {
  std::string out;
  for (QChar ch : QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))) {
    const char16_t u = ch.unicode();
    char byte = '?';
    if (u < 0x80)
      byte = static_cast<char>(u);
    else if (u >= 0x410 && u <= 0x44F)
      byte = static_cast<char>(0xC0 + (u - 0x410));
    else
      for (int i = 0; i < 64; ++i)
        if (kCp1251High[i] == u && u != 0xFFFD) byte = static_cast<char>(0x80 + i);
    out += byte;
  }
  return out;
}

// UTF-8 text of windows-1251 bytes.
inline std::string Utf8(std::string_view bytes) {
  QString text;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text += QChar(b < 0x80    ? char16_t(b)
                  : b >= 0xC0 ? char16_t(0x410 + (b - 0xC0))
                              : kCp1251High[b - 0x80]);
  }
  return text.toStdString();
}

// A file as the program writes it (windows-1251, CR LF) from UTF-8 text with LF.
inline std::string FileBytes(std::string_view utf8) {
  std::string out;
  for (char c : Cp1251(utf8)) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// The reverse, for readable comparisons: UTF-8 text with LF.
inline std::string FileText(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n') out += bytes[i];
  return Utf8(out);
}

// The whole file; "<missing>" when it cannot be read, so that a comparison
// with expected bytes fails loudly instead of passing on "".
inline QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Makes the folders on the way; a file that cannot be written fails the test.
inline bool Write(const QString& path, QByteArrayView bytes) {
  QFile f(path);
  const bool written = QDir().mkpath(QFileInfo(path).absolutePath()) &&
                       f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       f.write(bytes.data(), bytes.size()) == bytes.size();
  if (!written) ADD_FAILURE() << "cannot write " << path.toStdString();
  return written;
}

inline bool CopyTree(const QString& from, const QString& to) {
  if (!QDir().mkpath(to)) return false;
  for (const QFileInfo& entry :
       QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString target = to + '/' + entry.fileName();
    if (entry.isDir() ? !CopyTree(entry.filePath(), target)
                      : !QFile::copy(entry.filePath(), target))
      return false;
  }
  return true;
}

}  // namespace test_files
