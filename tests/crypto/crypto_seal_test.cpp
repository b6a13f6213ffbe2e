// Sealed files: the round trip in parts, the documented test vector and
// sample file, each fault with its own reason, the keyring, and documents
// written and read through the seal.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "crypto/smr_Seal.h"
#include "xml/xml_seal.h"

namespace {

// The derivation's cost is not what these tests are about.
constexpr TKdfParameters kFast{1, 8 * 1024};
constexpr std::size_t kPart = 65536 + 17;  // a full part: text and its tag

TSalt SaltFrom(unsigned char first) {
  TSalt salt{};
  for (std::size_t i = 0; i < salt.size(); ++i) salt[i] = static_cast<unsigned char>(first + i);
  return salt;
}

std::string Hex(const unsigned char* bytes, std::size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (std::size_t i = 0; i < size; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 15];
  }
  return hex;
}

// Every byte value, in an order that repeats nowhere near a part's size.
std::string TextOf(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 131 + i / 251) & 0xff);
  return text;
}

std::string DataFile(const char* name) {
  std::string bytes;
  const char* folder = std::getenv("SOMNARY_TEST_DATA");
  EXPECT_TRUE(folder && ReadWholeFile(std::string(folder) + "/crypto/" + name, bytes)) << name;
  return bytes;
}

class CryptoSeal : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    key = TSealKey::Derive("пароль", SaltFrom(1), kFast);
    ASSERT_TRUE(key);
  }
  static void TearDownTestSuite() { key.reset(); }
  static std::shared_ptr<const TSealKey> key;
};
std::shared_ptr<const TSealKey> CryptoSeal::key;

class CryptoSealSizes : public CryptoSeal, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(CryptoSealSizes, TextComesBackFromPartsOfAFullSizeAndAShortFinalOne) {
  const std::string text = TextOf(GetParam());
  const std::string sealed = SealText(*key, text);
  // A full part for every 64 KiB, then the final part, empty if need be.
  EXPECT_EQ(sealed.size(), SealHeaderSize + text.size() + (text.size() / 65536 + 1) * 17);
  EXPECT_TRUE(IsSealedText(sealed));
  std::string opened = "stale";
  EXPECT_EQ(OpenSealed(sealed, *key, opened), TOpenFault::None);
  EXPECT_TRUE(opened == text);

  // The streaming form takes the text in uneven pieces and hands on no
  // more than a part at a time.
  std::string streamed;
  std::size_t largest = 0;
  SealText(
      *key,
      [&](const TByteSink& sink) {
        for (std::size_t at = 0, step = 1; at < text.size(); at += step, step = step * 7 + 3)
          sink(std::string_view(text).substr(at, step));
      },
      [&](std::string_view piece) {
        largest = std::max(largest, piece.size());
        streamed += piece;
      });
  EXPECT_LE(largest, kPart);
  EXPECT_EQ(streamed.size(), sealed.size());
  EXPECT_EQ(OpenSealed(streamed, *key, opened), TOpenFault::None);
  EXPECT_TRUE(opened == text);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CryptoSealSizes,
                         ::testing::Values(0, 1, 65535, 65536, 65537, 200000));

// The values docs/encryption.md gives, found with the documented
// parameters, and the sample file sealed once with that key.
TEST_F(CryptoSeal, TheDocumentedVectorAndSampleFile) {
  TSalt salt{};
  for (std::size_t i = 0; i < salt.size(); ++i) salt[i] = static_cast<unsigned char>(i);
  const auto vectorKey = TSealKey::Derive("сонник-2026", salt, {3, 65536});
  ASSERT_TRUE(vectorKey);
  EXPECT_EQ(Hex(vectorKey->Bytes(), 32),
            "bcaeb9defeb0577c6cdd4e4efb78b0b7a3442ff9626b9fa55fb9776cc4219cf7");
  EXPECT_EQ(Hex(vectorKey->Check().data(), 16), "0ce86f7145be0fd04af94e05897a8f4f");

  const std::string sample = DataFile("vector.sealed");
  TSealHeader header;
  ASSERT_TRUE(ReadSealHeader(sample, header));
  EXPECT_EQ(header.Kdf, (TKdfParameters{3, 65536}));
  EXPECT_EQ(header.Salt, salt);
  EXPECT_TRUE(vectorKey->Fits(header));
  std::string text;
  EXPECT_EQ(OpenSealed(sample, *vectorKey, text), TOpenFault::None);
  EXPECT_EQ(text, DataFile("vector.xml"));
}

// Bytes of the sealed file changed in one way, and what opening them says.
struct FaultCase {
  const char* name;
  std::function<void(std::string&)> change;
  TOpenFault fault;
};
void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

void Flip(std::string& bytes, std::size_t at) { bytes[at] = static_cast<char>(bytes[at] ^ 0x10); }
void SetU32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

class CryptoSealFaults : public CryptoSeal, public ::testing::WithParamInterface<FaultCase> {};

// Three parts: two full ones and a short final one (its length is no multiple of
// 8, so that finding its end checks how the text is padded).
const std::string kThreeParts = TextOf(2 * 65536 + 1001);

TEST_P(CryptoSealFaults, EachChangeHasItsOwnReasonAndLeavesNoText) {
  std::string sealed = SealText(*key, kThreeParts);
  GetParam().change(sealed);
  std::string text = "stale";
  EXPECT_EQ(OpenSealed(sealed, *key, text), GetParam().fault);
  EXPECT_TRUE(text.empty());
}

const auto kCut = [](std::size_t size) { return [size](std::string& b) { b.resize(size); }; };
const auto kCutFromEnd = [](std::size_t n) {
  return [n](std::string& b) { b.resize(b.size() - n); };
};

INSTANTIATE_TEST_SUITE_P(
    Faults, CryptoSealFaults,
    ::testing::
        Values(
            FaultCase{"NoBytes", kCut(0), TOpenFault::NotSealed},
            FaultCase{"CutInTheMagic", kCut(5), TOpenFault::NotSealed},
            FaultCase{"PlainText", [](std::string& b) { b = "<?xml version=\"1.0\"?>"; },
                      TOpenFault::NotSealed},
            FaultCase{"CutInTheHeader", kCut(40), TOpenFault::UnknownFormat},
            FaultCase{"AnotherVersion", [](std::string& b) { b[8] = 2; },
                      TOpenFault::UnknownFormat},
            FaultCase{"AnotherKdf", [](std::string& b) { b[9] = 1; }, TOpenFault::UnknownFormat},
            FaultCase{"ReservedSet", [](std::string& b) { b[11] = 1; }, TOpenFault::UnknownFormat},
            FaultCase{"NoPasses", [](std::string& b) { SetU32(b, 12, 0); },
                      TOpenFault::UnknownFormat},
            FaultCase{"ElevenPasses", [](std::string& b) { SetU32(b, 12, 11); },
                      TOpenFault::UnknownFormat},
            FaultCase{"FourKiB", [](std::string& b) { SetU32(b, 16, 4); },
                      TOpenFault::UnknownFormat},
            FaultCase{"FourGiB", [](std::string& b) { SetU32(b, 16, 4u << 20); },
                      TOpenFault::UnknownFormat},
            FaultCase{"SaltChanged", [](std::string& b) { Flip(b, 20); },
                      TOpenFault::WrongPassphrase},
            FaultCase{"KeyCheckChanged", [](std::string& b) { Flip(b, 51); },
                      TOpenFault::WrongPassphrase},
            FaultCase{"StreamHeaderChanged", [](std::string& b) { Flip(b, 60); },
                      TOpenFault::Damaged},
            FaultCase{"FirstPartChanged", [](std::string& b) { Flip(b, 76 + 500); },
                      TOpenFault::Damaged},
            FaultCase{"SecondPartTagChanged", [](std::string& b) { Flip(b, 76 + 2 * kPart - 3); },
                      TOpenFault::Damaged},
            // A changed last part and a cut one cannot be told apart.
            FaultCase{"LastPartChanged", [](std::string& b) { Flip(b, b.size() - 100); },
                      TOpenFault::Cut},
            FaultCase{"OnlyTheHeader", kCut(76), TOpenFault::Cut},
            FaultCase{"CutInAPart", kCut(76 + 1000), TOpenFault::Cut},
            FaultCase{"CutAfterAPart", kCut(76 + kPart), TOpenFault::Cut},
            FaultCase{"CutBeforeTheLast", kCut(76 + 2 * kPart), TOpenFault::Cut},
            FaultCase{"CutInTheLast", kCutFromEnd(5), TOpenFault::Cut},
            FaultCase{
                "PartsSwapped",
                [](std::string& b) {
                  std::swap_ranges(b.begin() + 76, b.begin() + 76 + kPart, b.begin() + 76 + kPart);
                },
                TOpenFault::Reordered},
            FaultCase{"AByteAppended", [](std::string& b) { b += 'x'; }, TOpenFault::Trailing},
            FaultCase{"MorePartsAppended", [](std::string& b) { b += std::string(2 * kPart, 'x'); },
                      TOpenFault::Trailing}),
    [](const ::testing::TestParamInfo<FaultCase>& param) { return param.param.name; });

TEST_F(CryptoSeal, AnotherPassphraseIsRefusedByTheKeyCheck) {
  const auto other = TSealKey::Derive("другой пароль", key->Salt(), kFast);
  ASSERT_TRUE(other);
  std::string text = "stale";
  EXPECT_EQ(OpenSealed(SealText(*key, "сон"), *other, text), TOpenFault::WrongPassphrase);
  EXPECT_TRUE(text.empty());
}

// A forged header must not make the program derive a key for minutes with
// gigabytes of memory before the key check can refuse it.
TEST_F(CryptoSeal, ParametersOutOfRangeDeriveNoKey) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(TSealKey::Derive("x", key->Salt(), {3, 4u << 20}));
  EXPECT_FALSE(TSealKey::Derive("x", key->Salt(), {11, 8 * 1024}));
  EXPECT_FALSE(TSealKey::Derive("x", key->Salt(), {0, 8 * 1024}));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// Files left sealed with an earlier passphrase still open; new ones are
// sealed with the ring's first key.
TEST_F(CryptoSeal, TheKeyringOpensWithAnyKeyAndSealsWithTheFirst) {
  const auto earlier = TSealKey::Derive("старый", SaltFrom(2), kFast);
  const auto stranger = TSealKey::Derive("чужой", SaltFrom(3), kFast);
  ASSERT_TRUE(earlier && stranger);
  TSealKeyring ring(key);
  ring.AddKey(earlier);

  std::string sealed;
  ring.Seal([](const TByteSink& sink) { sink("новый сон"); },
            [&](std::string_view piece) { sealed += piece; });
  EXPECT_EQ(ring.KeyFor(sealed), key.get());
  std::string text, error;
  for (const auto& [bytes, expected] :
       {std::pair(sealed, "новый сон"),
        std::pair(SealText(*earlier, "старый сон"), "старый сон")}) {
    EXPECT_TRUE(ring.Open(bytes, text, error)) << error;
    EXPECT_EQ(text, expected);
  }

  EXPECT_FALSE(ring.Open(SealText(*stranger, "чужой сон"), text, error));
  EXPECT_EQ(error, "Неверный пароль.");
  EXPECT_TRUE(text.empty());
  std::string cut = SealText(*earlier, "старый сон");
  cut.resize(cut.size() - 1);
  EXPECT_FALSE(ring.Open(cut, text, error));
  EXPECT_EQ(error, "Файл обрезан: его конец потерян.");
}

TEST_F(CryptoSeal, DocumentsAreWrittenSealedAndReadBack) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath("journal.xml").toStdString();
  const TSealKeyring ring(key);
  const std::string journal = TextOf(70000);

  WriteDocumentFile(
      path, [&](const TByteSink& sink) { sink(journal); }, &ring);
  std::string bytes, text, error;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_TRUE(IsSealedText(bytes));
  EXPECT_TRUE(ReadDocumentFile(path, text, &error, &ring)) << error;
  EXPECT_TRUE(text == journal);

  // A file that does not open is left as it is, and nothing is written
  // beside it.
  bytes.resize(bytes.size() - 1);
  WriteFileAtomically(path, bytes);
  EXPECT_FALSE(ReadDocumentFile(path, text, &error, &ring));
  EXPECT_EQ(error, "Файл обрезан: его конец потерян.");
  EXPECT_TRUE(text.empty());
  std::string after;
  ASSERT_TRUE(ReadWholeFile(path, after));
  EXPECT_TRUE(after == bytes);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

}  // namespace
