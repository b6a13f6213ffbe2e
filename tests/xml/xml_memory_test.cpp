// Loading when memory runs out part way: Load keeps its promise not to
// throw, keeps nothing of the half-read tree (under the sanitizers the leak
// check sees anything left) and the file is never written over.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#include "xml/xml_functions.h"
#include "xml/xml_mainUnit.h"
#include "xml_test_util.h"

namespace {
// Allocations to let through before one fails; -1: none fails.
std::atomic<long> gAllocationsLeft{-1};
}  // namespace

void* operator new(std::size_t size) {
  if (gAllocationsLeft.load(std::memory_order_relaxed) >= 0 && gAllocationsLeft.fetch_sub(1) == 0)
    throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(XmlOutOfMemory, EveryFailingAllocationOfALoadGivesAStatus) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("journal.xml").toStdString();
  std::string text = std::string(xmltest::kDecl1251) + "\r\n\r\n<somnary>\r\n";
  for (int i = 0; i < 300; ++i)
    text += "  <day date=\"" + std::to_string(i) +
            "\" name=\"a night\">\r\n    <experience number=\"1\" />\r\n  </day>\r\n";
  text += "</somnary>\r\n";
  xmltest::WriteBytes(path, text);
  for (const bool fromFile : {true, false}) {
    int failed = 0;
    for (long n = 0; n < 100000; ++n) {
      TXMLParser doc;
      std::string copy = fromFile ? std::string() : text;
      gAllocationsLeft = n;
      EXPECT_NO_THROW(fromFile ? doc.Load(path) : doc.LoadFromText(std::move(copy)));
      const bool struck = gAllocationsLeft.exchange(-1) < 0;
      if (!struck) {
        EXPECT_EQ(doc.Status, xsLoaded);
        break;
      }
      ++failed;
      SCOPED_TRACE("allocation " + std::to_string(n) +
                   (fromFile ? " of Load" : " of LoadFromText"));
      ASSERT_EQ(doc.Status, xsCannotOpen);
      EXPECT_EQ(doc.ReadError(), std::strerror(ENOMEM));
      EXPECT_EQ(doc.Root->ChildCount(), 0);
      if (fromFile) {
        EXPECT_THROW(doc.Save(path), TXMLWriteError);
      }
    }
    EXPECT_GT(failed, 3);
  }
  EXPECT_EQ(xmltest::ReadBytes(path), text);
}

}  // namespace
