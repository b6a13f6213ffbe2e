#include "crypto/smr_Seal.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "crypto/smr_CryptoTexts.h"

namespace {

using TStreamState = crypto_secretstream_xchacha20poly1305_state;

// The container, little-endian (docs/encryption.md): the header, then the
// parts, each authenticated with the whole header as additional data.
constexpr std::size_t kVersionAt = 8;
constexpr std::size_t kKdfIdAt = 9;
constexpr std::size_t kReservedAt = 10;
constexpr std::size_t kOpsAt = 12;
constexpr std::size_t kMemAt = 16;
constexpr std::size_t kSaltAt = 20;
constexpr std::size_t kCheckAt = 36;
constexpr std::size_t kStreamAt = 52;
constexpr std::uint8_t kVersion = 1;
constexpr std::uint8_t kKdfArgon2id13 = 2;

constexpr std::size_t kKeySize = crypto_secretstream_xchacha20poly1305_KEYBYTES;
constexpr std::size_t kABytes = crypto_secretstream_xchacha20poly1305_ABYTES;
constexpr std::size_t kPlainPart = 65536;
constexpr std::size_t kSealedPart = kPlainPart + kABytes;
constexpr unsigned char kTagMessage = crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
constexpr unsigned char kTagFinal = crypto_secretstream_xchacha20poly1305_TAG_FINAL;
constexpr std::string_view kCheckMessage = "somnary key check";

// What a header may ask of the derivation: a forged one must not take
// minutes or all the memory before the key check fails.
constexpr TKdfParameters kMinKdf{1, 8};
constexpr TKdfParameters kMaxKdf{10, 1024 * 1024};

static_assert(kStreamAt + crypto_secretstream_xchacha20poly1305_HEADERBYTES == SealHeaderSize);
static_assert(kSaltAt + crypto_pwhash_SALTBYTES == kCheckAt);
static_assert(kCheckAt + std::tuple_size_v<TKeyCheck> == kStreamAt);
static_assert(crypto_pwhash_argon2id_OPSLIMIT_MIN <= 1);
static_assert(crypto_pwhash_argon2id_MEMLIMIT_MIN <= 8 * 1024);

bool SodiumReady() {
  static const bool ready = sodium_init() >= 0;
  return ready;
}

bool KdfInRange(const TKdfParameters& kdf) {
  return kdf.OpsLimit >= kMinKdf.OpsLimit && kdf.OpsLimit <= kMaxKdf.OpsLimit &&
         kdf.MemLimitKiB >= kMinKdf.MemLimitKiB && kdf.MemLimitKiB <= kMaxKdf.MemLimitKiB;
}

const unsigned char* Unsigned(std::string_view bytes) {
  return reinterpret_cast<const unsigned char*>(bytes.data());
}

std::uint32_t LoadU32(const unsigned char* at) {
  return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
         std::uint32_t{at[3]} << 24;
}

void StoreLE(unsigned char* at, std::uint64_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

TOpenFault ParseHeader(std::string_view bytes, TSealHeader& header) {
  if (!IsSealedText(bytes)) return TOpenFault::NotSealed;
  if (bytes.size() < SealHeaderSize) return TOpenFault::UnknownFormat;
  const unsigned char* at = Unsigned(bytes);
  header.Version = at[kVersionAt];
  header.Kdf = {LoadU32(at + kOpsAt), LoadU32(at + kMemAt)};
  std::copy_n(at + kSaltAt, header.Salt.size(), header.Salt.begin());
  std::copy_n(at + kCheckAt, header.KeyCheck.size(), header.KeyCheck.begin());
  if (header.Version != kVersion || at[kKdfIdAt] != kKdfArgon2id13 || at[kReservedAt] != 0 ||
      at[kReservedAt + 1] != 0 || !KdfInRange(header.Kdf))
    return TOpenFault::UnknownFormat;
  return TOpenFault::None;
}

// Pushes the text in parts as it comes; the plain bytes wait in one buffer
// of a part's size, wiped after each push.
class TPartWriter {
 public:
  TPartWriter(const TSealKey& key, const TByteSink& out)
      : FOut(out), FPlain(kPlainPart), FSealed(kSealedPart) {
    if (!SodiumReady()) throw TXMLWriteError(res::SealNotWritten);
    unsigned char* at = FHeader.data();
    std::memcpy(at, SealMagic.data(), SealMagic.size());
    at[kVersionAt] = kVersion;
    at[kKdfIdAt] = kKdfArgon2id13;
    StoreLE(at + kOpsAt, key.Kdf().OpsLimit, 4);
    StoreLE(at + kMemAt, key.Kdf().MemLimitKiB, 4);
    std::copy(key.Salt().begin(), key.Salt().end(), at + kSaltAt);
    std::copy(key.Check().begin(), key.Check().end(), at + kCheckAt);
    if (crypto_secretstream_xchacha20poly1305_init_push(&FState, at + kStreamAt, key.Bytes()) != 0)
      throw TXMLWriteError(res::SealNotWritten);
    FOut(std::string_view(reinterpret_cast<const char*>(at), SealHeaderSize));
  }
  ~TPartWriter() {
    sodium_memzero(FPlain.data(), FPlain.size());
    sodium_memzero(&FState, sizeof FState);
  }
  TPartWriter(const TPartWriter&) = delete;
  TPartWriter& operator=(const TPartWriter&) = delete;

  void Add(std::string_view bytes) {
    while (!bytes.empty()) {
      const std::size_t n = std::min(bytes.size(), kPlainPart - FUsed);
      std::memcpy(FPlain.data() + FUsed, bytes.data(), n);
      FUsed += n;
      bytes.remove_prefix(n);
      if (FUsed == kPlainPart) Push(kTagMessage);
    }
  }
  // The last part, empty when the text ended with a full one.
  void Finish() { Push(kTagFinal); }

 private:
  void Push(unsigned char tag) {
    unsigned long long length = 0;
    if (crypto_secretstream_xchacha20poly1305_push(&FState, FSealed.data(), &length, FPlain.data(),
                                                   FUsed, FHeader.data(), SealHeaderSize, tag) != 0)
      throw TXMLWriteError(res::SealNotWritten);
    sodium_memzero(FPlain.data(), FUsed);
    FUsed = 0;
    FOut(std::string_view(reinterpret_cast<const char*>(FSealed.data()), length));
  }

  const TByteSink& FOut;
  std::array<unsigned char, SealHeaderSize> FHeader{};
  TStreamState FState{};
  std::vector<unsigned char> FPlain;
  std::size_t FUsed = 0;
  std::vector<unsigned char> FSealed;
};

// The tag of the part `length` bytes from `at` with a copy of the state, or
// -1 when it does not open. The plain bytes are wiped.
int TryPart(const TStreamState& state, std::string_view sealed, std::size_t at,
            std::size_t length) {
  TStreamState trial = state;
  std::vector<unsigned char> plain(length);
  unsigned char tag = 0;
  const bool opened = crypto_secretstream_xchacha20poly1305_pull(
                          &trial, plain.data(), nullptr, &tag, Unsigned(sealed) + at, length,
                          Unsigned(sealed), SealHeaderSize) == 0;
  sodium_memzero(plain.data(), plain.size());
  sodium_memzero(&trial, sizeof trial);
  return opened ? tag : -1;
}

// Whether a final part ends inside the bytes from `at` and more follow it:
// bytes appended to the file. Trying every length with the library's pull
// would take a second on a part of 64 KiB; this computes the part's tag for
// every length in one pass, the way secretstream's pull does (libsodium's
// construction, stable as its format), and lets the real pull confirm.
bool FinalPartWithin(const TStreamState& state, std::string_view sealed, std::size_t at) {
  const std::size_t available = std::min(sealed.size() - at, kSealedPart);
  if (available <= kABytes) return false;
  const unsigned char* in = Unsigned(sealed) + at;
  // The first byte is the part's tag, encrypted with the second block of
  // the key stream; the authenticator covers it with the rest of that block.
  unsigned char block[64] = {};
  block[0] = in[0];
  crypto_stream_chacha20_ietf_xor_ic(block, block, sizeof block, state.nonce, 1U, state.k);
  if (block[0] != kTagFinal) {
    sodium_memzero(block, sizeof block);
    return false;
  }
  block[0] = in[0];
  unsigned char macKey[64];
  crypto_stream_chacha20_ietf(macKey, sizeof macKey, state.nonce, state.k);
  crypto_onetimeauth_poly1305_state mac;
  crypto_onetimeauth_poly1305_init(&mac, macKey);
  sodium_memzero(macKey, sizeof macKey);
  static constexpr unsigned char kZeros[16] = {};
  crypto_onetimeauth_poly1305_update(&mac, Unsigned(sealed), SealHeaderSize);
  crypto_onetimeauth_poly1305_update(&mac, kZeros, (0x10 - SealHeaderSize) & 0xf);
  crypto_onetimeauth_poly1305_update(&mac, block, sizeof block);
  sodium_memzero(block, sizeof block);
  bool found = false;
  const unsigned char* cipher = in + 1;
  // A part of `length` bytes holds length - ABYTES bytes of text; the whole
  // window has failed already.
  for (std::size_t text = 0; !found && text + kABytes < available; ++text) {
    crypto_onetimeauth_poly1305_state trial = mac;
    crypto_onetimeauth_poly1305_update(&trial, kZeros, (0x10 - sizeof block + text) & 0xf);
    unsigned char lengths[16];
    StoreLE(lengths, SealHeaderSize, 8);
    StoreLE(lengths + 8, sizeof block + text, 8);
    crypto_onetimeauth_poly1305_update(&trial, lengths, sizeof lengths);
    unsigned char tag[crypto_onetimeauth_poly1305_BYTES];
    crypto_onetimeauth_poly1305_final(&trial, tag);
    sodium_memzero(&trial, sizeof trial);
    found = sodium_memcmp(tag, cipher + text, sizeof tag) == 0 &&
            TryPart(state, sealed, at, text + kABytes) == kTagFinal;
    crypto_onetimeauth_poly1305_update(&mac, cipher + text, 1);
  }
  sodium_memzero(&mac, sizeof mac);
  return found;
}

// Why the part of `length` bytes at `at` did not open with `state`.
TOpenFault FailedPart(const TStreamState& state, std::string_view sealed, std::size_t at,
                      std::size_t length) {
  const std::size_t next = at + length;
  if (next < sealed.size() &&
      TryPart(state, sealed, next, std::min(sealed.size() - next, kSealedPart)) >= 0)
    return TOpenFault::Reordered;
  if (FinalPartWithin(state, sealed, at)) return TOpenFault::Trailing;
  // A short last part is cut or changed, and its bytes cannot tell which;
  // an interrupted copy is the likelier.
  return length < kSealedPart ? TOpenFault::Cut : TOpenFault::Damaged;
}

// Opens the parts after a header the key fits; `text` may hold a part of
// the text when a fault is returned.
TOpenFault OpenParts(std::string_view sealed, const TSealKey& key, std::string& text) {
  TStreamState state{};
  if (crypto_secretstream_xchacha20poly1305_init_pull(&state, Unsigned(sealed) + kStreamAt,
                                                      key.Bytes()) != 0)
    return TOpenFault::Damaged;
  // Every part's text fits without moving the string, so no stray copy of
  // the text is left behind in freed memory.
  text.reserve(sealed.size() - SealHeaderSize);
  TOpenFault fault = TOpenFault::Cut;
  std::size_t at = SealHeaderSize;
  while (at < sealed.size()) {
    const std::size_t length = std::min(sealed.size() - at, kSealedPart);
    const std::size_t done = text.size();
    text.resize(done + length);
    unsigned long long plain = 0;
    unsigned char tag = 0;
    if (crypto_secretstream_xchacha20poly1305_pull(
            &state, reinterpret_cast<unsigned char*>(text.data() + done), &plain, &tag,
            Unsigned(sealed) + at, length, Unsigned(sealed), SealHeaderSize) != 0) {
      text.resize(done);
      fault = FailedPart(state, sealed, at, length);
      break;
    }
    text.resize(done + plain);
    at += length;
    if (tag == kTagFinal) {
      fault = at == sealed.size() ? TOpenFault::None : TOpenFault::Trailing;
      break;
    }
    // A short part that is not the final one ends the bytes: Cut.
  }
  sodium_memzero(&state, sizeof state);
  return fault;
}

}  // namespace

bool ReadSealHeader(std::string_view bytes, TSealHeader& header) {
  return ParseHeader(bytes, header) == TOpenFault::None;
}

TSealKey::~TSealKey() {
  if (FKey) sodium_free(FKey);
}

std::shared_ptr<const TSealKey> TSealKey::Derive(std::string_view passphraseUtf8, const TSalt& salt,
                                                 const TKdfParameters& kdf) {
  if (!SodiumReady() || !KdfInRange(kdf)) return nullptr;
  std::shared_ptr<TSealKey> key(new TSealKey);
  key->FKey = static_cast<unsigned char*>(sodium_malloc(kKeySize));
  if (!key->FKey) return nullptr;
  if (crypto_pwhash(key->FKey, kKeySize, passphraseUtf8.data(), passphraseUtf8.size(), salt.data(),
                    kdf.OpsLimit, std::size_t{kdf.MemLimitKiB} * 1024,
                    crypto_pwhash_ALG_ARGON2ID13) != 0)
    return nullptr;
  if (crypto_generichash(key->FCheck.data(), key->FCheck.size(), Unsigned(kCheckMessage),
                         kCheckMessage.size(), key->FKey, kKeySize) != 0)
    return nullptr;
  // Nothing writes the key again; a stray write faults instead.
  sodium_mprotect_readonly(key->FKey);
  key->FSalt = salt;
  key->FKdf = kdf;
  return key;
}

TSalt TSealKey::NewSalt() {
  TSalt salt{};
  if (SodiumReady()) randombytes_buf(salt.data(), salt.size());
  return salt;
}

bool TSealKey::Fits(const TSealHeader& header) const {
  return header.Version == kVersion && header.Kdf == FKdf && header.Salt == FSalt &&
         sodium_memcmp(header.KeyCheck.data(), FCheck.data(), FCheck.size()) == 0;
}

const char* OpenFaultText(TOpenFault fault) {
  switch (fault) {
    case TOpenFault::None:
      return "";
    case TOpenFault::NotSealed:
      return res::SealNotSealed;
    case TOpenFault::UnknownFormat:
      return res::SealUnknownFormat;
    case TOpenFault::WrongPassphrase:
      return res::SealWrongPassphrase;
    case TOpenFault::Damaged:
      return res::SealDamaged;
    case TOpenFault::Reordered:
      return res::SealReordered;
    case TOpenFault::Cut:
      return res::SealCut;
    case TOpenFault::Trailing:
      return res::SealTrailing;
  }
  return res::SealDamaged;
}

void SealText(const TSealKey& key, const std::function<void(const TByteSink&)>& produce,
              const TByteSink& out) {
  TPartWriter writer(key, out);
  produce([&writer](std::string_view piece) { writer.Add(piece); });
  writer.Finish();
}

std::string SealText(const TSealKey& key, std::string_view text) {
  std::string sealed;
  sealed.reserve(SealHeaderSize + text.size() + (text.size() / kPlainPart + 1) * kABytes);
  SealText(
      key, [text](const TByteSink& sink) { sink(text); },
      [&sealed](std::string_view piece) { sealed += piece; });
  return sealed;
}

TOpenFault OpenSealed(std::string_view sealed, const TSealKey& key, std::string& text) {
  text.clear();
  TSealHeader header;
  TOpenFault fault = ParseHeader(sealed, header);
  if (fault == TOpenFault::None && !key.Fits(header)) fault = TOpenFault::WrongPassphrase;
  if (fault == TOpenFault::None) fault = OpenParts(sealed, key, text);
  if (fault != TOpenFault::None) {
    sodium_memzero(text.data(), text.size());
    text.clear();
  }
  return fault;
}

TSealKeyring::TSealKeyring(std::shared_ptr<const TSealKey> writeKey) {
  FKeys.push_back(std::move(writeKey));
}

void TSealKeyring::AddKey(std::shared_ptr<const TSealKey> key) {
  if (key) FKeys.push_back(std::move(key));
}

const TSealKey* TSealKeyring::KeyFor(std::string_view fileStart) const {
  TSealHeader header;
  if (!ReadSealHeader(fileStart, header)) return nullptr;
  for (const std::shared_ptr<const TSealKey>& key : FKeys)
    if (key->Fits(header)) return key.get();
  return nullptr;
}

void TSealKeyring::Seal(const std::function<void(const TByteSink&)>& produce,
                        const TByteSink& out) const {
  SealText(WriteKey(), produce, out);
}

bool TSealKeyring::Open(std::string_view sealed, std::string& text, std::string& error) const {
  TSealHeader header;
  TOpenFault fault = ParseHeader(sealed, header);
  if (fault == TOpenFault::None) {
    const TSealKey* key = KeyFor(sealed);
    fault = key ? OpenSealed(sealed, *key, text) : TOpenFault::WrongPassphrase;
  }
  if (fault == TOpenFault::None) return true;
  text.clear();
  error = OpenFaultText(fault);
  return false;
}
