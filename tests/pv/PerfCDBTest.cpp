#include "pv/PerfCDB.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "pv/PvTestSupport.h"
#include "statespace/FlatStateLevel.h"

namespace {

using pvtest::lines;
using pvtest::PVListStateLevel;
using pvtest::readFile;

const std::string kSeparator = std::string(78, '*');

// The steady state of the three-state example chain.
const double kThreeStateVector[] = {8.0 / 13, 3.0 / 13, 2.0 / 13};

// "busy" is 1 in the first state (split over both reward components) and 0
// elsewhere; "idle" has type 1 and must stay out of a steady-state run.
std::vector<pvtest::Variable> threeStateVariables() {
  return {{"busy", {{0.25, 0.75}, {0, 0}, {0, 0}}}, {"idle", {{0, 0}, {1, 0}, {1, 0}}}};
}

class PerfCDBTest : public ::testing::Test {
 protected:
  void SetUp() override {
    level.types = {3, 1};
    results = std::fopen(resultsPath.c_str(), "w");
    csv = std::fopen(csvPath.c_str(), "w");
    ASSERT_NE(results, nullptr);
    ASSERT_NE(csv, nullptr);
  }

  void run(bool complementary) {
    perfcdb(&level, &solver, kThreeStateVector, results, csv, 0, -1, -1.0, -1.0, 0,
            complementary, STEADY_STATE_REWARD, "", 0);
    std::fclose(results);
    std::fclose(csv);
  }

  pvtest::TempDir dir;
  PVListStateLevel level{3, threeStateVariables()};
  pvtest::NamesOnlySolver solver{&level, "sor", dir.slash()};
  std::string resultsPath = dir.file("results.txt");
  std::string csvPath = dir.file("results.csv");
  FILE* results = nullptr;
  FILE* csv = nullptr;
};

// Mean 8/13, variance 40/169.
const std::string kThreeStateResults = kSeparator + "\n" +
                                       "Performance variable :  busy\n"
                                       "Mean                 :  6.153846e-01\n"
                                       "Variance             :  2.366864e-01\n"
                                       "Plot files    (pdf)  :  Exp1.sor.busy.pdf.splot\n"
                                       "              (cdf)  :  Exp1.sor.busy.cdf.splot\n";

// Probability points (0, 5/13), (1, 8/13); cumulative points (0, 5/13),
// (1, 1). Written out by hand from the formats.
TEST_F(PerfCDBTest, ThreeStateExampleGoldenFiles) {
  run(false);

  EXPECT_EQ(readFile(resultsPath), kThreeStateResults);

  EXPECT_EQ(readFile(csvPath),
            "## Exp Num, PV Num, PV Name, Start Time, Stop Time, Type, Mean, Variance,NumDistPts\n"
            "0,0,busy,-1.000000,-1.000000,Results,0.615385,0.236686,2\n"
            "## Dist,x, P(X=x), P(X<=x)\n"
            "Dist,0.000000,0.384615,0.384615\n"
            "Dist,1.000000,0.615385,1.000000\n"
            "\n");

  const auto plot = [](const char* title, const char* points) {
    return std::string(
               ";busy  pdf\n"
               ";at time -1\n"
               "New Graph\n"
               "Size 5 by 5\n\n"
               "Graph Font HELVETICA15\n\n"
               "Graph Title ") +
           title +
           "\n"
           "New Text 0.050000, 1.800000\n"
           "Variable name: busy\n"
           "Mean: 0.615385\n"
           "Variance: 0.236686\n\n"
           "Text Font HELVETICA11\n\n"
           "New Text 0.050000, 1.650000\n"
           "Project name: Proj\n"
           "Study name: Study\n"
           "Experiment name: Exp1\n\n"
           "Text Font HELVETICA11\n\n"
           "New Text 0.050000, 1.500000\n"
           "\n"
           "Text Font HELVETICA11\n\n"
           "New Curve\n"
           "curve symbol diamond size 3\n"
           "curve type solid\n"
           "curve gray 0.8\n"
           "curve interpolation yhistogram\n\n"
           "New Points\n" +
           points +
           "\n"
           "X Label busy - x\n"
           "X Font Helvetica12BI\n"
           "X Maximum 1.04\n"
           "X Minimum 0\n"
           "X Interval 1\n"
           "Y Label Probability - P(X = x)\n"
           "Y Font Helvetica12BI\n"
           "Y Maximum 1.05\n"
           "Y Minimum 0.00\n"
           "Y Interval 0.1\n"
           "Y numberstyle floating 2\n\n";
  };
  // 5/13 = 0.384615384615384615..., 8/13 = 0.615384615384615384...
  EXPECT_EQ(readFile(dir.file("Exp1.sor.busy.pdf.splot")),
            plot("Probability Density Function (pdf)",
                 "0, 0.384615384615385\n1, 0.615384615384615\n"));
  EXPECT_EQ(readFile(dir.file("Exp1.sor.busy.cdf.splot")),
            plot("Probability Distribution Function (CDF)", "0, 0.384615384615385\n1, 1\n"));

  // Nothing for the type-1 variable; container and iterator handed back.
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir.slash())) {
    files.insert(entry.path().filename().string());
  }
  EXPECT_EQ(files, (std::set<std::string>{"results.txt", "results.csv", "Exp1.sor.busy.pdf.splot",
                                          "Exp1.sor.busy.cdf.splot"}));
  EXPECT_EQ(level.outstanding, 0);
}

// The same example read from state-space files by the flat state level.
TEST(PerfCDBFlatTest, ThreeStateExampleFromFiles) {
  pvtest::TempDir dir;
  const std::string base = dir.file("Exp1");
  const auto write = [](const std::string& path, const char* text) {
    FILE* f = std::fopen(path.c_str(), "w");
    std::fputs(text, f);
    std::fclose(f);
  };
  write(base + ".arm", "1 3\n1 2 0.5 3 1.25 0\n2 1 2.0 0\n3 1 4.0 2 1.0 0\n");
  write(base + ".var", "busy idle\n1 0.5 0.5 0 0\n2 0 0 1 0\n3 0 0 1 0\n");
  write(base + ".pvtype",
        "Version:1\nNumPV:2\nName:busy\nType:3\nNumTimes:0\nName:idle\nType:1\nNumTimes:0\n");
  FlatStateLevel level(base);
  pvtest::NamesOnlySolver solver(&level, "sor", dir.slash());
  const std::string resultsPath = dir.file("results.txt");
  FILE* results = std::fopen(resultsPath.c_str(), "w");
  perfcdb(&level, &solver, kThreeStateVector, results, nullptr, 0, -1, -1.0, -1.0, 0, false,
          STEADY_STATE_REWARD, "", 0);
  std::fclose(results);
  EXPECT_EQ(readFile(resultsPath), kThreeStateResults);
  EXPECT_NE(readFile(dir.file("Exp1.sor.busy.pdf.splot"))
                .find("New Points\n0, 0.384615384615385\n1, 0.615384615384615\n\n"),
            std::string::npos);
}

// P(X > 0) = 8/13 in a file that is still named "cdf".
TEST_F(PerfCDBTest, ComplementaryPlotKeepsTheCdfName) {
  run(true);
  const std::string text = readFile(dir.file("Exp1.sor.busy.cdf.splot"));
  EXPECT_NE(text.find("Graph Title Probability Distribution Function (PDF)\n"), std::string::npos);
  EXPECT_NE(text.find("New Points\n0, 0.615384615384615\n1, "), std::string::npos);
}

// The results file keeps the variable's lines, then the fatal message.
TEST_F(PerfCDBTest, UnwritablePlotFileEndsTheRun) {
  std::fclose(results);
  std::fclose(csv);
  const std::string resultsFile = resultsPath;
  EXPECT_EXIT(
      {
        delete[] solver.solver_path;
        solver.solver_path = strDup("/nonexistent-pv-test-dir/");
        FILE* out = std::fopen(resultsFile.c_str(), "w");
        perfcdb(&level, &solver, kThreeStateVector, out, nullptr, 0, -1, -1.0, -1.0, 0, false,
                STEADY_STATE_REWARD, "", 0);
      },
      ::testing::ExitedWithCode(1), "");
  const std::string text = readFile(resultsFile);
  EXPECT_EQ(text.substr(0, 80), kSeparator + "\nP");
  const std::string ending = "              (cdf)  :  Exp1.sor.busy.cdf.splot\n"
                             "plot_pdf: cannot open plot file\n"
                             "fatal_error: program is being terminated\n";
  ASSERT_GE(text.size(), ending.size());
  EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
}

std::vector<std::string> reportedNames(const std::string& resultsText) {
  std::vector<std::string> names;
  const std::string key = "Performance variable :  ";
  for (const std::string& line : lines(resultsText)) {
    if (line.rfind(key, 0) == 0) names.push_back(line.substr(key.size()));
  }
  return names;
}

// Types 3 and 4 ignore the time; another type needs a start time equal to
// the requested one to the last bit. "w" has no entry in the type table.
TEST(PerfCDBSelectionTest, RewardTypeAndStartTimeChooseTheVariables) {
  const double two = 2.0;
  const double twoPlus = std::nextafter(2.0, 3.0);
  struct Case {
    int rewardType;
    double startTime;
    std::vector<std::string> names;
    const char* timeLine;  // null: none expected
  };
  const Case cases[] = {
      {3, -1.0, {"a"}, nullptr},
      {4, -1.0, {"a", "t", "u", "w"}, nullptr},
      {4, 0.0, {"a", "t", "u", "w"}, nullptr},
      {4, 1e-11, {"a", "t", "u", "w"}, "Time                 :  0.000000"},
      {7, two, {"t"}, "Time                 :  2.000000"},
      {7, twoPlus, {"u"}, "Time                 :  2.000000"},
      {7, 5.0, {"t"}, "Time                 :  5.000000"},
      {7, 3.0, {}, nullptr},
      {8, two, {}, nullptr},
  };
  for (const Case& c : cases) {
    pvtest::TempDir dir;
    const PVPair zero = {0, 0};
    const PVPair one = {1, 0};
    PVListStateLevel level(2, {{"a", {zero, one}}, {"t", {zero, one}}, {"u", {one, zero}},
                               {"w", {one, one}}});
    level.types = {3, 7, 7};
    level.setTimePoints(1, 2, new double[2]{two, 5.0}, new double[2]{3.0, 6.0});
    level.setTimePoints(2, 1, new double[1]{twoPlus}, new double[1]{3.0});
    pvtest::NamesOnlySolver solver(&level, "sor", dir.slash());
    const std::string resultsPath = dir.file("results.txt");
    FILE* results = std::fopen(resultsPath.c_str(), "w");
    const double vector[] = {0.5, 0.5};
    perfcdb(&level, &solver, vector, results, nullptr, 0, -1, c.startTime, -1.0, 0, false,
            static_cast<RewardType>(c.rewardType), "", 0);
    std::fclose(results);

    const std::string text = readFile(resultsPath);
    const std::string where = "type " + std::to_string(c.rewardType) + ", start " +
                              std::to_string(c.startTime);
    EXPECT_EQ(reportedNames(text), c.names) << where;
    if (c.timeLine != nullptr) {
      EXPECT_NE(text.find(std::string(c.timeLine) + "\n"), std::string::npos) << where;
    } else {
      EXPECT_EQ(text.find("Time "), std::string::npos) << where;
    }
    EXPECT_EQ(level.outstanding, 0);
  }
}

// The time-bound solvers put their times into the names; the printed names
// carry no directory, the files lie in the solver directory.
TEST(PerfCDBNamesTest, PlotFileNamesBySolver) {
  struct Case {
    const char* solverName;
    double start;
    double stop;
    const char* stem;
  };
  const Case cases[] = {
      {"sor", 2.0, 10.0, "Exp1.sor.busy."},
      {"jacobi", 2.0, 10.0, "Exp1.jacobi.busy."},
      {"trs", 2.0, 10.0, "Exp1.trs.busy.2.000."},
      {"ats", 2.0, 10.0, "Exp1.ats.busy.2.000."},
      {"ars", 2.0, 10.0, "Exp1.ars.busy.2.000.10.000."},
      // Longer than nine characters: the whole text, nothing overflows.
      {"ars", 123456.5, -12345.25, "Exp1.ars.busy.123456.500.-12345.250."},
      {"arsx", 2.0, 10.0, "Exp1.arsx.busy."},
  };
  for (const Case& c : cases) {
    pvtest::TempDir dir;
    PVListStateLevel level(2, {{"busy", {{0, 0}, {1, 0}}}});
    pvtest::NamesOnlySolver solver(&level, c.solverName, dir.slash());
    const std::string resultsPath = dir.file("results.txt");
    FILE* results = std::fopen(resultsPath.c_str(), "w");
    const double vector[] = {0.5, 0.5};
    perfcdb(&level, &solver, vector, results, nullptr, 0, -1, c.start, c.stop, 0, false,
            ALL_REWARDS, "", 0);
    std::fclose(results);

    const std::string stem = c.stem;
    const std::string text = readFile(resultsPath);
    EXPECT_NE(text.find("Plot files    (pdf)  :  " + stem + "pdf.splot\n" +
                        "              (cdf)  :  " + stem + "cdf.splot\n"),
              std::string::npos)
        << c.solverName;
    EXPECT_TRUE(std::filesystem::exists(dir.file(stem + "pdf.splot"))) << c.solverName;
    EXPECT_TRUE(std::filesystem::exists(dir.file(stem + "cdf.splot"))) << c.solverName;
  }
}

TEST(FindNonzeroRewardsTest, StatesInOrderOfDiscovery) {
  PVListStateLevel level(4, {{"p", {{0, 0}, {0, 2}, {0, 0}, {1, 0}}},
                             {"q", {{3, 0}, {1, 0}, {0, 0}, {0, 0}}}});
  int count = -1;
  int* states = nullptr;
  bool anySecond = false;
  bool* marked = nullptr;
  FindNonzeroRewards(&level, count, states, anySecond, marked);
  ASSERT_EQ(count, 3);
  EXPECT_EQ(std::vector<int>(states, states + 3), (std::vector<int>{1, 3, 0}));
  EXPECT_TRUE(anySecond);
  EXPECT_EQ(std::vector<bool>(marked, marked + 4), (std::vector<bool>{true, true, false, true}));
  delete[] states;
  delete[] marked;

  PVListStateLevel firstOnly(3, {{"p", {{0, 0}, {0, 0}, {-1, 0}}}});
  FindNonzeroRewards(&firstOnly, count, states);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(states[0], 2);
  delete[] states;
  EXPECT_EQ(level.outstanding + firstOnly.outstanding, 0);
}

}  // namespace
