#pragma once

// Russian texts of sealed files, UTF-8 in the source: why a file was not
// opened. Plain C++ (no Qt), so they stay beside the code that needs them.
namespace res {

inline constexpr const char* SealNotSealed = "Файл не зашифрован.";
inline constexpr const char* SealUnknownFormat = "Неизвестный формат зашифрованного файла.";
inline constexpr const char* SealWrongPassphrase = "Неверный пароль.";
inline constexpr const char* SealDamaged = "Файл повреждён: его содержимое изменено.";
inline constexpr const char* SealReordered = "Файл повреждён: части файла переставлены.";
inline constexpr const char* SealCut = "Файл обрезан: его конец потерян.";
inline constexpr const char* SealTrailing = "После конца зашифрованного файла есть лишние данные.";

// libsodium refused to encrypt: the reason a file was not written.
inline constexpr const char* SealNotWritten = "не удалось зашифровать данные";

}  // namespace res
