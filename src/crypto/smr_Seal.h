#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_seal.h"

// Encryption of files at rest: a key derived from the passphrase with
// Argon2id, the content sealed with XChaCha20-Poly1305 (secretstream), in
// one container for every file (docs/encryption.md has it byte by byte).

// How hard the key derivation works; stored in every sealed file.
struct TKdfParameters {
  std::uint32_t OpsLimit = 3;
  std::uint32_t MemLimitKiB = 64 * 1024;
  bool operator==(const TKdfParameters&) const = default;
};
using TSalt = std::array<unsigned char, 16>;
using TKeyCheck = std::array<unsigned char, 16>;

// A sealed file's header: its first bytes are enough to find the key.
inline constexpr std::size_t SealHeaderSize = 76;

// What a sealed file's header says about the key that opens it.
struct TSealHeader {
  std::uint8_t Version = 0;
  TKdfParameters Kdf;
  TSalt Salt{};
  TKeyCheck KeyCheck{};
};
// False when the bytes are not a sealed file's or the header is cut, of
// another version, or asks for parameters out of range (OpenSealed says
// which); the fields are filled as read whenever the header is whole.
bool ReadSealHeader(std::string_view bytes, TSealHeader& header);

// A key, kept in locked memory and wiped when destroyed.
class TSealKey {
 public:
  ~TSealKey();
  TSealKey(const TSealKey&) = delete;
  TSealKey& operator=(const TSealKey&) = delete;

  // Derives the key (slow by design). Null when the system refuses the
  // memory or the parameters are out of range.
  static std::shared_ptr<const TSealKey> Derive(std::string_view passphraseUtf8, const TSalt& salt,
                                                const TKdfParameters& kdf = {});
  static TSalt NewSalt();

  const TSalt& Salt() const { return FSalt; }
  const TKdfParameters& Kdf() const { return FKdf; }
  const TKeyCheck& Check() const { return FCheck; }
  // This key opens files with that header: the same salt and parameters,
  // and the key check matches.
  bool Fits(const TSealHeader& header) const;
  const unsigned char* Bytes() const { return FKey; }

 private:
  TSealKey() = default;
  unsigned char* FKey = nullptr;  // 32 bytes from sodium_malloc
  TSalt FSalt{};
  TKdfParameters FKdf;
  TKeyCheck FCheck{};
};

// Why sealed bytes were not opened; each has its own words (OpenFaultText).
enum class TOpenFault {
  None,
  NotSealed,        // no container at all
  UnknownFormat,    // another version, or parameters out of range
  WrongPassphrase,  // the key check does not match
  Damaged,          // a part failed authentication: changed bytes
  Reordered,        // a part stands where another belongs
  Cut,              // the file ends before its last part
  Trailing          // bytes after the last part
};
const char* OpenFaultText(TOpenFault fault);  // UTF-8, Russian

// Seals text with the key into the container, in parts of 64 KiB as
// `produce` hands the text over. Throws TXMLWriteError.
void SealText(const TSealKey& key, const std::function<void(const TByteSink&)>& produce,
              const TByteSink& out);
std::string SealText(const TSealKey& key, std::string_view text);
// Opens the container; `text` is empty unless None is returned.
TOpenFault OpenSealed(std::string_view sealed, const TSealKey& key, std::string& text);

// The program's seal: writes with one key, opens with any key it holds
// (files left sealed with an earlier passphrase by an interrupted change).
class TSealKeyring : public TFileSeal {
 public:
  // `writeKey` is not null. Keys are added before the ring is shared.
  explicit TSealKeyring(std::shared_ptr<const TSealKey> writeKey);
  void AddKey(std::shared_ptr<const TSealKey> key);
  const TSealKey& WriteKey() const { return *FKeys.front(); }
  // A key of this ring opens the file beginning with these bytes.
  const TSealKey* KeyFor(std::string_view fileStart) const;

  void Seal(const std::function<void(const TByteSink&)>& produce,
            const TByteSink& out) const override;
  bool Open(std::string_view sealed, std::string& text, std::string& error) const override;

 private:
  std::vector<std::shared_ptr<const TSealKey>> FKeys;
};
