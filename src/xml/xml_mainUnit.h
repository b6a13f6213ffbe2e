#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "xml/xml_fileSystem.h"
#include "xml/xml_functions.h"
#include "xml/xml_node.h"
#include "xml/xml_parameters.h"

class TFileSeal;

// One XML document of the program's narrow dialect: the node tree and its
// prolog, read from and written to a windows-1251 file with CR LF lines.
class TXMLParser {
 public:
  TXMLParser();
  ~TXMLParser();
  TXMLParser(const TXMLParser&) = delete;
  TXMLParser& operator=(const TXMLParser&) = delete;

  // Nesting deeper than this ends a load with xsTooDeep instead of
  // exhausting the stack.
  static constexpr int MaxDepth = 1000;

  std::string FileName;            // path of the file last loaded or saved
  TXMLStatus Status = xsLoaded;    // result of the last Load
  std::unique_ptr<TXMLNode> Root;  // never null
  TXMLParameters Parameters;
  // Written plain even while the program seals documents (the settings).
  bool Plain = false;

  // Reads the file into Parameters and Root. Never throws; see Status.
  void Load(const std::string& fileName);
  // Reads its file again in place of the tree in memory (another program
  // wrote a newer version). Every node of the old tree goes.
  void Reload();
  // Another program wrote the file since this document last read or wrote it.
  bool ChangedOnDisk() const { return OtherVersionOnDisk(FileName); }
  // Nothing was edited since: the text is what was last read or written.
  bool UnchangedSinceDisk() const;
  // Parses text already in memory (as if it were the file's content).
  void LoadFromText(std::string text);
  // Puts a text in place of the tree (a recovery copy of edits never saved)
  // while the file stays as last read or written, so a save writes it as an
  // edit and still notices another program's version.
  void ReplaceText(std::string text);
  // The hash of the text last read from or written to the file; nothing
  // when the document never met its file.
  std::optional<std::uint64_t> DiskTextHash() const {
    return FDiskKnown ? std::optional<std::uint64_t>(FDiskTextHash) : std::nullopt;
  }
  // Writes the prolog and the tree. Throws TXMLWriteError; the previous
  // file then stays untouched. A file that could not be read (ReadError) is
  // never written over: saving to it throws until a Load reads it.
  //
  // Saving over the file this document last read or wrote, after someone
  // else wrote it: when this document is what was read, nothing is written
  // (the other version stays); when both changed, this document goes to
  // ConflictCopy() beside the file and the other version stays.
  enum class TSaveOutcome { Written, KeptTheOther, WroteConflictCopy };
  TSaveOutcome Save(const std::string& fileName);
  const std::string& ConflictCopy() const { return FConflictCopy; }
  // After a Save that wrote: empty, or why the file may not survive a power cut.
  const std::string& SyncWarning() const { return FSyncWarning; }
  // Root itself if its name matches, else Root->FindNode(name).
  TXMLNode* FindNode(std::string_view name) {
    return const_cast<TXMLNode*>(std::as_const(*this).FindNode(name));
  }
  const TXMLNode* FindNode(std::string_view name) const;

  // The whole text form that Save writes.
  std::string SaveToText() const;

  // When a file was found but not read cleanly, its original bytes are kept
  // under this name before the first Save over the same path. Empty when no
  // backup is pending.
  const std::string& PendingBackupName() const { return FBackupName; }

  // The system's message when the last Load found a file (or could not
  // tell whether there is one) but could not read it; empty otherwise.
  // Status is then xsCannotOpen, as for a missing file.
  const std::string& ReadError() const { return FReadError; }
  // Whether Save to that path would be refused because of ReadError.
  bool IsUnreadFile(const std::string& fileName) const;

 private:
  void LoadFile(const std::string& fileName);
  void RememberDisk(const std::string& fileName, std::uint64_t textHash);
  void RememberDisk(const xfs::TIdentity& disk, std::uint64_t textHash);
  bool OtherVersionOnDisk(const std::string& fileName) const;
  void ForgetAfterNoMemory();
  std::string FBackupName;
  std::string FBackupSource;  // canonical path of the badly read file
  std::string FOriginalBytes;
  std::string FReadError;
  std::string FUnreadSource;  // canonical path of the file that could not be read
  std::size_t FSizeHint = 0;  // bytes of the text last read or written
  // The file as this document last read or wrote it, and its bytes' hash.
  bool FDiskKnown = false;
  xfs::TIdentity FDisk;
  std::uint64_t FDiskTextHash = 0;
  // The seal its sealed file was last read or written with: the file stays
  // sealed even after the program moved on to a plain library.
  std::shared_ptr<const TFileSeal> FFileSeal;
  std::string FConflictCopy;
  std::string FSyncWarning;
  // The text and nodes of the last load; its nodes hold it too, wherever
  // they have been moved.
  TXMLStore* FStore = nullptr;
  void TakeStore(TXMLStore* store);
  friend class TXMLTextBuilder;
};

// Builds the text SaveToText gives a piece at a time, so a big document can
// be written out between a program's other work. The document must not
// change between pieces: a caller that changed it starts a new builder.
class TXMLTextBuilder {
 public:
  explicit TXMLTextBuilder(const TXMLParser& document);
  // Adds the root's next children until at least `bytes` more were written;
  // true once the text is whole.
  bool Step(std::size_t bytes);
  std::string& Text() { return FText; }

 private:
  const TXMLNode& FRoot;
  std::string FText;
  std::size_t FNext = 0;
  bool FDone = false;
};
