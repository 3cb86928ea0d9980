#include "pv/PlotFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "pv/CsvBlocks.h"
#include "pv/PvTestSupport.h"

namespace {

using pvtest::lines;
using pvtest::readFile;

TEST(PlotFilesTest, XTickIntervalIsTheSmallestSeriesMemberNotBelowL) {
  struct Case {
    double xmax;
    unsigned long long interval;
  };
  const Case cases[] = {
      {9.4, 1},       {14.9, 1},    {15, 5},      {60, 10},     {100, 10},
      {105, 25},      {300, 50},    {2600, 500},  {2.5e10, 2500000000ULL},
      // L at or below 1, negative L and a non-number: 1.
      {0, 1},         {-14, 1},     {-15, 1},     {-1e300, 1},  {NAN, 1},
      // Beyond 32 bits the series goes on in 64 bits, up to 1e19.
      {2.6e10, 5000000000ULL},      {1e20, 10000000000000000000ULL},
      {1e300, 10000000000000000000ULL},            {INFINITY, 10000000000000000000ULL},
  };
  for (const Case& c : cases) EXPECT_EQ(xTickInterval(c.xmax), c.interval) << "xmax " << c.xmax;
}

class PlotFileTest : public ::testing::Test {
 protected:
  pvtest::TempDir dir;
  pvtest::PVListStateLevel level{2, {}};
  pvtest::NamesOnlySolver solver{&level, "sor", dir.slash()};
};

// A time of 0 or more gets its own text line; a largest x beyond the range
// of int keeps its positive interval; negative and zero x print as such.
TEST_F(PlotFileTest, TimeLineWideIntervalAndNegativeMinimum) {
  const double xs[] = {-2.5, -0.0, 2.6e10};
  const double ys[] = {0.25, 0.5, 0.25};
  const std::string path = dir.file("a.splot");
  writeSplotFile(path.c_str(), "T", &solver, "rate", 0, 1.5, 2.25, 3, xs, ys, stdout);

  const std::vector<std::string> text = lines(readFile(path));
  const std::vector<std::string> expectedHead = {
      ";rate  pdf", ";at time 0", "New Graph", "Size 5 by 5", "", "Graph Font HELVETICA15", "",
      "Graph Title T", "New Text 1300000000.000000, 1.800000", "Variable name: rate",
      "Time: 0.000000", "Mean: 1.500000", "Variance: 2.250000"};
  ASSERT_GE(text.size(), expectedHead.size());
  EXPECT_EQ(std::vector<std::string>(text.begin(), text.begin() + expectedHead.size()),
            expectedHead);
  const std::string all = readFile(path);
  EXPECT_NE(all.find("New Points\n-2.5, 0.25\n0, 0.5\n26000000000, 0.25\n\n"), std::string::npos);
  EXPECT_NE(all.find("X Maximum 27040000000\nX Minimum -2.5\nX Interval 5000000000\n"),
            std::string::npos);
}

TEST_F(PlotFileTest, NegativeTimeHasOnlyTheCommentLine) {
  const double xs[] = {3};
  const double ys[] = {1};
  const std::string path = dir.file("b.splot");
  writeSplotFile(path.c_str(), "T", &solver, "q", -1.0, 3, 0, 1, xs, ys, stdout);
  const std::string all = readFile(path);
  EXPECT_NE(all.find(";at time -1\n"), std::string::npos);
  EXPECT_EQ(all.find("Time: "), std::string::npos);
  EXPECT_NE(all.find("Variable name: q\nMean: 3.000000\n"), std::string::npos);
}

TEST(CsvBlocksTest, BlocksWithAndWithoutPoints) {
  pvtest::TempDir dir;
  const std::string path = dir.file("r.csv");
  FILE* csv = std::fopen(path.c_str(), "w");
  ASSERT_NE(csv, nullptr);
  const double xs[] = {0, 2};
  const double ys[] = {0.25, 0.75};
  writeCSVFile(csv, nullptr, 3, 1, "busy", 2.0, 10.0, 0.5, 0.125, 0, xs, ys);
  writeCSVFile(csv, nullptr, 0, 4, "load", -1.0, -1.0, "Bounds", "Lower", -1.5, "Upper", 2.5, 2,
               xs, ys);
  std::fclose(csv);
  EXPECT_EQ(readFile(path),
            "## Exp Num, PV Num, PV Name, Start Time, Stop Time, Type, Mean, Variance,NumDistPts\n"
            "3,1,busy,2.000000,10.000000,Results,0.500000,0.125000,0\n"
            "## Dist,x, P(X=x), P(X<=x)\n"
            "\n"
            "## Exp Num, PV Num, PV Name, Start Time, Stop Time, Type, Lower,Upper,NumDistPts\n"
            "0,4,load,-1.000000,-1.000000,Bounds,-1.500000,2.500000,2\n"
            "## Dist,x, P(X=x), P(X<=x)\n"
            "Dist,0.000000,0.250000,0.250000\n"
            "Dist,2.000000,0.750000,1.000000\n"
            "\n");
  // A null file is skipped silently.
  writeCSVFile(nullptr, nullptr, 0, 0, "x", 0, 0, 0, 0, 2, xs, ys);
}

}  // namespace
