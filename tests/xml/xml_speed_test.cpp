// A coarse guard against quadratic reading or writing: a journal of about
// 20 MB must load and save in well under the bound. Not a benchmark. The
// bound is on this thread's CPU time, so a busy machine does not fail it.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>

#include "xml/xml_mainUnit.h"
#include "xml_test_util.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define SOMNARY_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOMNARY_SANITIZED 1
#endif
#endif

// Sanitizers make every memory access several times dearer; a quadratic
// algorithm would still miss the wider bound by minutes.
#ifdef SOMNARY_SANITIZED
constexpr double kBoundSeconds = 8.0;
#else
constexpr double kBoundSeconds = 2.0;
#endif
constexpr std::size_t kTargetBytes = 20u << 20;

// Days of experiences with the attributes, texts and children a real
// journal carries; line breaks inside descriptions and blank runs included
// so the line joining has work to do.
std::string GenerateJournal(int& experiences) {
  std::string text = xmltest::kDecl1251;
  text += "<?xml-stylesheet type=\"text/xsl\" href=\"journal.xsl\"?>\r\n";
  text += "<!DOCTYPE somnary SYSTEM \"journal.dtd\">\r\n\r\n";
  text += "<somnary title=\"Speed\">\r\n";
  experiences = 0;
  for (int day = 0; text.size() < kTargetBytes; ++day) {
    text += "  <day date=\"" + std::to_string(day) + "\">\r\n";
    for (int i = 0; i < 5; ++i, ++experiences) {
      const std::string n = std::to_string(experiences);
      text += "    <experience number=\"" + n + "\" title=\"Dream " + n +
              "\" lucid=\"true\" astral=\"false\" obe=\"false\" other=\"false\" "
              "readonly=\"false\">\r\n";
      text +=
          "      <description type=\"text\">I walked along   the shore of a grey sea,\r\n"
          "and the waves   spoke in my mother's voice about the house we had\r\n"
          "before the war.</description>\r\n";
      text += "      <comment>Woke up at 5:40, remembered it clearly.</comment>\r\n";
      text += "      <!-- edited -->\r\n";
      text += "      <image path=\"undefined\" />\r\n";
      text += "      <energy value=\"" + std::to_string(experiences % 201) + "\" />\r\n";
      text +=
          "      <properties>\r\n"
          "        <property name=\"place\" value=\"sea shore\" />\r\n"
          "        <property name=\"people\" value=\"mother\" />\r\n"
          "      </properties>\r\n";
      text += "    </experience>\r\n";
    }
    text += "  </day>\r\n";
  }
  text += "</somnary>\r\n";
  return text;
}

struct Timing {
  double cpu = 0;   // what the bound is checked against
  double wall = 0;  // shown only: other processes on the machine inflate it
};

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

Timing Measure(const std::function<void()>& work) {
  const double cpu = ThreadCpuSeconds();
  const auto wall = std::chrono::steady_clock::now();
  work();
  return {ThreadCpuSeconds() - cpu,
          std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count()};
}

TEST(XmlSpeed, TwentyMegabyteJournalLoadsAndSavesWithinTheBound) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string in = dir.filePath("big.xml").toStdString();
  const std::string out = dir.filePath("big-saved.xml").toStdString();
  int experiences = 0;
  const std::string text = GenerateJournal(experiences);
  xmltest::WriteBytes(in, text);

  TXMLParser doc;
  const Timing load = Measure([&] { doc.Load(in); });
  ASSERT_EQ(doc.Status, xsLoaded);
  // The whole file was read: the last experience of the last day is there.
  const TXMLNode* lastDay = doc.Root->Child(doc.Root->ChildCount() - 1);
  ASSERT_NE(lastDay, nullptr);
  EXPECT_EQ(lastDay->Child(4)->GetAttribute("number"), std::to_string(experiences - 1));
  EXPECT_EQ(doc.Root->ChildCount() * 5, experiences);

  const Timing save = Measure([&] { doc.Save(out); });
  const std::string saved = xmltest::ReadBytes(out);
  EXPECT_GT(saved.size(), kTargetBytes * 3 / 4);
  EXPECT_TRUE(saved.ends_with("    </experience>\r\n  </day>\r\n</somnary>\r\n"));

  RecordProperty("load_cpu_seconds", std::to_string(load.cpu));
  RecordProperty("save_cpu_seconds", std::to_string(save.cpu));
  std::printf(
      "%zu bytes, %d experiences: load %.3f s CPU (%.3f s wall), save %.3f s CPU (%.3f s wall)\n",
      text.size(), experiences, load.cpu, load.wall, save.cpu, save.wall);
  EXPECT_LT(load.cpu, kBoundSeconds);
  EXPECT_LT(save.cpu, kBoundSeconds);
}

}  // namespace
