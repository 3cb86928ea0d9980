#include "report/ReportHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReportTestSupport.h"

namespace {

TEST(FatalErrorDeathTest, FlushesWritesClosesAndExitsWithStatusOne) {
  ScopedTempDir dir;
  const std::string path = (dir.path() / "results.txt").string();
  FILE* out = std::fopen(path.c_str(), "w");
  ASSERT_NE(out, nullptr);
  // Only the child writes, so the parent's copy of the stream stays empty.
  EXPECT_EXIT(
      {
        std::fputs("earlier results\n", out);
        fatal_error(out, "plot_pdf: cannot open plot file");
      },
      testing::ExitedWithCode(1), "");
  std::fclose(out);
  EXPECT_EQ(readFile(path),
            "earlier results\nplot_pdf: cannot open plot file\n"
            "fatal_error: program is being terminated\n");
}

TEST(GetAsciiTimeTest, HasTheShapeOfACtimeText) {
  const std::string stamp = getAsciiTime();
  EXPECT_TRUE(looksLikeCtime(stamp)) << stamp;
}

TEST(StrDupTest, CopiesIntoAFreshArray) {
  EXPECT_EQ(strDup(nullptr), nullptr);
  for (const char* original : {"", "ssg/queue/"}) {
    char* copy = strDup(original);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, original);
    EXPECT_STREQ(copy, original);
    delete[] copy;
  }
}

TEST(StrsepTest, SplitsAtEveryDelimiterAndEndsWithANullCursor) {
  const struct {
    const char* text;
    const char* delimiters;
    std::vector<std::string> tokens;
  } cases[] = {
      {"a,b;c", ",;", {"a", "b", "c"}},
      {"no delimiters here", ",", {"no delimiters here"}},
      {"a,,b,", ",", {"a", "", "b", ""}},
      {"", ",", {""}},
      {"C:\\models/queue", "/\\", {"C:", "models", "queue"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string buffer = c.text;
    char* cursor = buffer.data();
    std::vector<std::string> tokens;
    while (cursor != nullptr) tokens.emplace_back(tarvex::strsep(&cursor, c.delimiters));
    EXPECT_EQ(tokens, c.tokens);
    EXPECT_EQ(tarvex::strsep(&cursor, c.delimiters), nullptr);
  }
}

}  // namespace
