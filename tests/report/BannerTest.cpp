#include "report/Banner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "ReportTestSupport.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(TARVEX_SOURCE_DIR) / "tests/report/golden";

constexpr const char* kSorTitle = "ITERATIVE SOR STEADY STATE SOLVER";
constexpr const char* kJacobiTitle = "ITERATIVE JACOBI STEADY STATE SOLVER";

// The start time is the only part of a banner that changes from run to run;
// it is replaced only when it has the shape of a ctime text.
std::string maskStartTime(std::string text) {
  const std::string label = "\nStarted: ";
  const std::size_t at = text.find(label);
  if (at == std::string::npos) return text;
  const std::size_t start = at + label.size();
  const std::size_t end = text.find('\n', start);
  if (end == std::string::npos || !looksLikeCtime(text.substr(start, end - start + 1))) return text;
  return text.replace(start, end - start, "<TIME>");
}

// Empty when equal, else where the texts part and how.
std::string firstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream e(expected), a(actual);
  std::string el, al;
  for (int line = 1;; ++line) {
    const bool more_e = static_cast<bool>(std::getline(e, el));
    const bool more_a = static_cast<bool>(std::getline(a, al));
    if (!more_e && !more_a) break;
    if (more_e != more_a || el != al) {
      return "line " + std::to_string(line) + "\n  expected: [" + (more_e ? el : "<end>") +
             "]\n  actual:   [" + (more_a ? al : "<end>") + "]";
    }
  }
  return expected == actual ? "" : "texts differ in the final newline";
}

struct BannerCase {
  const char* golden;
  const char* solver;
  const char* title;
  const char* section;
  const char* experiment;
  const char* comment_file;
};

// Experiment exp1 has a global-variable file in the fixture, exp2 has none.
const BannerCase kBannerCases[] = {
    {"sor_results.txt", "sor", kSorTitle, "RESULTS", "exp1", "comments.txt"},
    {"jacobi_results.txt", "jacobi", kJacobiTitle, "RESULTS", "exp1", ""},
    {"sor_debug.txt", "sor", kSorTitle, "DEBUG INFO", "exp2", "no_such_comments.txt"},
    {"jacobi_debug.txt", "jacobi", kJacobiTitle, "DEBUG INFO", "exp2", "comments.txt"},
};

TEST(SolverBannerTest, MatchesGoldenFiles) {
  ScopedWorkingDirectory in_fixture(kGoldenDir / "input");
  for (const BannerCase& bc : kBannerCases) {
    SCOPED_TRACE(bc.golden);
    const std::string actual = maskStartTime(renderToString([&](FILE* out) {
      solver_banner(bc.solver, bc.title, bc.section, "proj", "study", "ssg/queue/", bc.experiment,
                    bc.comment_file, out);
    }));
    const std::string expected = readFile(kGoldenDir / bc.golden);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(firstDifference(expected, actual), "");
  }
}

TEST(SolverBannerTest, StateSpaceNameIsTheLastPathComponent) {
  const struct {
    const char* ssg_path;
    const char* name;
  } cases[] = {
      {"models/queue/", "queue"},   {"models/queue", "queue"}, {"C:\\models\\queue\\", "queue"},
      {"models\\queue", "queue"},   {"a\\b/queue/", "queue"},  {"queue", "queue"},
      {"/", ""},                    {"", ""},
  };
  ScopedTempDir empty_dir;
  ScopedWorkingDirectory nowhere(empty_dir.path());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ssg_path);
    const std::string banner = renderToString([&](FILE* out) {
      solver_banner("sor", kSorTitle, "RESULTS", "p", "s", c.ssg_path, "e", "", out);
    });
    EXPECT_NE(banner.find(std::string("\nState space name: ") + c.name + "\nExperiment name: e\n"),
              std::string::npos)
        << banner;
  }
}

TEST(PrintCenteredTitleTest, IndentsByHalfTheFreeWidthAndNeverNegatively) {
  const std::string x74(74, 'x'), x75(75, 'x'), x76(76, 'x'), x100(100, 'x');
  const struct {
    const char* label;
    std::string leading, middle, trailing;
    std::string expected;
  } cases[] = {
      // (76 - 3) / 2 = 36
      {"short", "L", "M", "T", std::string(36, ' ') + "L M T\n"},
      // No leading text: only two texts, one blank between them.
      {"no leading", "", "M", "T", std::string(37, ' ') + "M T\n"},
      {"74 wide", "", x74, "", " " + x74 + " \n"},
      {"75 wide rounds down", "", x75, "", x75 + " \n"},
      {"76 wide", "", x76, "", x76 + " \n"},
      {"wider than the page", "L", x100, "T", "L " + x100 + " T\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(renderToString([&](FILE* out) {
                print_centered_title(c.leading.c_str(), c.middle.c_str(), c.trailing.c_str(), out);
              }),
              c.expected);
  }
}

TEST(AnnotateTest, LongLinesComeOutInIndentedPiecesOf511) {
  ScopedTempDir dir;
  const fs::path file = dir.path() / "notes";
  writeFile(file, std::string(600, 'x') + "\nshort\nlast without newline");
  EXPECT_EQ(renderToString([&](FILE* out) { annotate(file.c_str(), out); }),
            "Comments:\n     " + std::string(511, 'x') + "     " + std::string(89, 'x') +
                "\n     short\n     last without newline");
}

TEST(CopyGlobalsTest, CopiesTheFileUnchangedWhateverItsLineLengths) {
  ScopedTempDir dir;
  const std::string content = std::string(1500, 'g') + "\n\n  x = 1\ntail";
  writeFile(dir.path() / "exp.parm", content);
  const std::string ssg = dir.path().string() + "/";
  EXPECT_EQ(renderToString([&](FILE* out) {
              copy_globals("sor", "ignored project", ssg.c_str(), "exp", out);
            }),
            "\n" + content);
}

// Sets or clears an environment variable for one test, then puts it back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (previous_) {
      setenv(name_, previous_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

class AnnotateSplotTest : public testing::Test {
 protected:
  void SetUp() override {
    writeFile(root_.path() / "proj/studies/study/int/notes.txt",
              "first\n   \n\t\nsecond\nthird\n");
  }
  std::string splot(const char* file, unsigned max_lines) {
    return renderToString(
        [&](FILE* out) { annotate_splot(file, "proj", "study", max_lines, out); });
  }
  ScopedTempDir root_;
};

TEST_F(AnnotateSplotTest, BlankLinesCountButAreNotWritten) {
  ScopedEnv env("DRAV_PROJECT", root_.path().c_str());
  const struct {
    unsigned max_lines;
    const char* expected;
  } cases[] = {
      {0, "Comments:\n"},
      {1, "Comments:\n     first\n"},
      {3, "Comments:\n     first\n"},
      {4, "Comments:\n     first\n     second\n"},
      {99, "Comments:\n     first\n     second\n     third\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.max_lines);
    EXPECT_EQ(splot("notes.txt", c.max_lines), c.expected);
  }
}

TEST_F(AnnotateSplotTest, MissingFileNamesThePathItTried) {
  ScopedEnv env("DRAV_PROJECT", root_.path().c_str());
  EXPECT_EQ(splot("gone.txt", 5), "Comments:\n     Could not open comments file:\n     " +
                                       root_.path().string() + "/proj/studies/study/int/gone.txt\n");
}

TEST_F(AnnotateSplotTest, UnsetProjectRootMeansTheWorkingDirectory) {
  ScopedEnv env("DRAV_PROJECT", nullptr);
  ScopedWorkingDirectory in_root(root_.path());
  EXPECT_EQ(splot("notes.txt", 4), "Comments:\n     first\n     second\n");
  EXPECT_EQ(splot("gone.txt", 4),
            "Comments:\n     Could not open comments file:\n     ./proj/studies/study/int/gone.txt\n");
}

}  // namespace
