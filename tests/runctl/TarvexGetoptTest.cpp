#include "runctl/TarvexGetopt.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>
#include <unistd.h>

#include "runctl/ArgvOrder.h"

namespace {

// The four scans of a run, in their order.
constexpr const char* kLevelOptions = "G:E:";
constexpr const char* kFactoryOptions = "j";
constexpr const char* kBaseOptions = "D:P:G:S:s:E:d:o:v::K:O:";
constexpr const char* kDriverOptions = "a:w:m:c";

// A command line with writable words, as main receives it.
class CommandLine {
 public:
  explicit CommandLine(const std::string& line) {
    words_.push_back("prog");
    std::istringstream in(line);
    for (std::string w; in >> w;) words_.push_back(w);
    for (std::string& w : words_) argv_.push_back(w.data());
    argv_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(argv_.size()) - 1; }
  char** argv() { return argv_.data(); }
  std::vector<char*> pointers() const { return argv_; }

 private:
  std::vector<std::string> words_;
  std::vector<char*> argv_;
};

// One component's scan, in the form every component uses; returns the
// letters this scan knows, with their values, in the order seen.
std::string componentScan(CommandLine& cl, const char* options) {
  ArgvOrder order(cl.argc(), cl.argv());
  opterr = 0;
  optind = 0;
  std::string seen;
  for (int c; (c = tarvex_getopt(cl.argc(), cl.argv(), options)) != -1;) {
    if (c == '?') continue;
    if (!seen.empty()) seen += ' ';
    seen += static_cast<char>(c);
    if (optarg != nullptr) seen += std::string("=") + optarg;
  }
  order.Restore();
  return seen;
}

struct ScanCase {
  const char* name;
  const char* line;
  const char* level;
  const char* factory;
  const char* base;
  const char* driver;
};

const ScanCase kScanCases[] = {
    {"all_options",
     "-P proj -S study -E exp -G ssg/ -s sol/ -o out.txt -a 12 -w 1.5 -m 100 -c -j",
     "E=exp G=ssg/", "j", "P=proj S=study E=exp G=ssg/ s=sol/ o=out.txt",
     "a=12 w=1.5 m=100 c"},
    {"reversed_order",
     "-j -c -m 100 -w 1.5 -a 12 -o out.txt -s sol/ -G ssg/ -E exp -S study -P proj",
     "G=ssg/ E=exp", "j", "o=out.txt s=sol/ G=ssg/ E=exp S=study P=proj",
     "c m=100 w=1.5 a=12"},
    {"stray_words_between", "first -E exp second -c third", "E=exp", "", "E=exp", "c"},
    // The optional value of -v is only ever glued; a separate word is skipped.
    {"verbosity", "-v 5 -E exp -v7", "E=exp", "", "v E=exp v=7", ""},
    // The word right after "--" is skipped; options after that are seen.
    {"double_dash", "-E exp -- -j -c -- x -a 3", "E=exp", "", "E=exp", "c a=3"},
    {"values_starting_with_dash", "-E -jc -o -a5 -G g/", "E=-jc G=g/", "j",
     "E=-jc o=-a5 G=g/", "c a=5"},
    // Glued values are letters to every scan that does not know the option.
    {"glued_values", "-Pcalc -Eexpj -Sda 7 -Gmodels/", "E=expj G=models/", "j",
     "P=calc E=expj S=da G=models/", "c a=lc a=7 m=odels/"},
    {"repeated_options", "-a 3 -j -E x -a 4 -j -E y -vj", "E=x E=y", "j j j", "E=x E=y v=j",
     "a=3 a=4"},
    // Clustered flags, a lone "-", and value letters with nothing after them.
    {"clusters_and_missing_values", "-cj - word -v -E", "", "j", "v", "c"},
    {"empty", "", "", "", "", ""},
};

TEST(TarvexGetoptTest, EveryScanSeesItsOwnOptionsAndLeavesArgvAlone) {
  for (const ScanCase& sc : kScanCases) {
    SCOPED_TRACE(sc.name);
    CommandLine cl(sc.line);
    const std::vector<char*> before = cl.pointers();
    testing::internal::CaptureStderr();
    EXPECT_EQ(componentScan(cl, kLevelOptions), sc.level);
    EXPECT_EQ(cl.pointers(), before);
    optind = 0;
    EXPECT_EQ(componentScan(cl, kFactoryOptions), sc.factory);
    EXPECT_EQ(cl.pointers(), before);
    EXPECT_EQ(componentScan(cl, kBaseOptions), sc.base);
    EXPECT_EQ(cl.pointers(), before);
    EXPECT_EQ(componentScan(cl, kDriverOptions), sc.driver);
    EXPECT_EQ(cl.pointers(), before);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "opterr 0 must keep scans silent";
  }
}

// The solver factory stops at its first 'j', possibly inside a word; a scan
// that sets optind to 0 afterwards must start over, not resume there.
TEST(TarvexGetoptTest, ResetToZeroRestartsEvenAfterStoppingInsideAWord) {
  CommandLine cl("-E exp -jjc");
  opterr = 0;
  optind = 0;
  while (tarvex_getopt(cl.argc(), cl.argv(), kFactoryOptions) != 'j') {
  }
  EXPECT_EQ(componentScan(cl, kFactoryOptions), "j j");
  EXPECT_EQ(componentScan(cl, kDriverOptions), "c");
}

TEST(TarvexGetoptTest, EndOfVectorIsFinal) {
  CommandLine cl("-c");
  opterr = 0;
  optind = 0;
  EXPECT_EQ(tarvex_getopt(cl.argc(), cl.argv(), kDriverOptions), 'c');
  EXPECT_EQ(tarvex_getopt(cl.argc(), cl.argv(), kDriverOptions), -1);
  EXPECT_EQ(tarvex_getopt(cl.argc(), cl.argv(), kDriverOptions), -1);
}

}  // namespace
