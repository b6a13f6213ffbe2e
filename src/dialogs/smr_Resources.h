#pragma once

// Russian texts that the program composes at run time, UTF-8 in the source.
// Widgets take them with QString::fromUtf8; files take them with Cp().
// Each subsystem keeps its own section.
namespace res {

// --- file filters and dialog titles
inline constexpr const char* LibraryFilter = "Библиотека сновидений (*.xml)|*.xml|Любое расширение (*.*)|*.*";
inline constexpr const char* JournalFilter = "Журнал сновидений (*.xml)|*.xml|Любое расширение (*.*)|*.*";
inline constexpr const char* ImageFilter = "Windows BMP (*.bmp)|*.bmp|Все файлы (*.*)|*.*";
inline constexpr const char* ExportFilter = "Гипертекст (*.html)|*.html|Просто текст (*.txt)|*.txt";
inline constexpr const char* OpenLibraryTitle = "Открыть библиотеку";
inline constexpr const char* OpenImageTitle = "Открыть изображение";
inline constexpr const char* SaveLibraryAsTitle = "Сохранить библиотеку как";
inline constexpr const char* ExportTitle = "Экспортировать";

// --- main window
// (main window texts go here)

// --- dialogs
// (dialog texts go here)

// --- export
// (export texts go here)

}  // namespace res
