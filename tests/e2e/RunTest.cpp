// The program end to end, run as a subprocess on the three-state chain
// (steady state 8/13, 3/13, 2/13) and on small variants of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRun.h"

namespace {

const std::string kFixtures = std::string(TARVEX_SOURCE_DIR) + "/tests/e2e/fixtures/";
const std::string kGolden = std::string(TARVEX_SOURCE_DIR) + "/tests/e2e/golden/";

const std::string kUsage =
    "Options:\n"
    "-P <project name>\n"
    "-S <study name>\n"
    "-E <experiment name>\n"
    "-G <SSG path>: must end with a slash\n"
    "-s <solver path>: must end with a slash\n"
    "[-d <debug filename>]\n"
    "[-o <output filename>]\n"
    "[-v <verbosity level>]\n"
    "[-K <comment filename>]\n"
    "[-O <state probability filename>]\n"
    "[-a <# of decimal precision>] [-w <omega>] [-m <max # of iterations> [-c]\n";

const std::string kAbsorbing =
    "ERROR: Iterative steady state solver does not support Markov chains with absorbing "
    "states.\n";

std::vector<std::string> requiredOptions() {
  return {"-P", "Proj", "-S", "Study", "-E", "three", "-G", "ssg/", "-s", "solver/"};
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

int countOf(const std::string& text, const std::string& piece) {
  int count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

// A working directory holding the three-state state space in ssg/ and an
// empty solver directory solver/.
class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(work.file("ssg"));
    std::filesystem::create_directory(work.file("solver"));
    for (const char* suffix : {".arm", ".var", ".pvtype", ".parm"}) {
      std::filesystem::copy_file(kFixtures + "three" + suffix, ssg("three") + suffix);
    }
  }

  std::string ssg(const std::string& name) const { return work.file("ssg/" + name); }
  std::string at(const std::string& name) const { return work.file(name); }
  ProgramResult run(const std::vector<std::string>& args) { return runProgram(work.path(), args); }

  ScratchDir work;
};

TEST_F(RunTest, ResultsDebugCsvAndOccupancyFilesMatchTheGoldenText) {
  for (const char* method : {"sor", "jacobi"}) {
    SCOPED_TRACE(method);
    // -D sets an experiment index that the run resets before use: the CSV
    // file's "Exp Num" column stays 0.
    std::vector<std::string> args = requiredOptions() + std::vector<std::string>{
        "-o", "results.txt", "-d", "debug.txt", "-O", "occupancy.txt", "-D", "i7"};
    if (std::string(method) == "jacobi") args.insert(args.begin() + 4, "-j");
    const ProgramResult r = run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(maskVolatile(readText(at("results.txt"))),
              readText(kGolden + method + "_results.txt"));
    EXPECT_EQ(maskVolatile(readText(at("debug.txt"))), readText(kGolden + method + "_debug.txt"));
    EXPECT_EQ(readText(at("results.csv")), readText(kGolden + "results.csv"));
    EXPECT_EQ(readText(at("occupancy.txt")), readText(kGolden + "occupancy.txt"));
    const std::string stem = at(std::string("solver/three.") + method + ".busy.");
    EXPECT_TRUE(fileExists(stem + "pdf.splot"));
    EXPECT_TRUE(fileExists(stem + "cdf.splot"));
    EXPECT_FALSE(fileExists(at(std::string("solver/three.") + method + ".queue.pdf.splot")));
  }
}

TEST_F(RunTest, WithoutOutputFileEverythingGoesToStandardOutput) {
  const ProgramResult r = run(requiredOptions() + std::vector<std::string>{"-d", "debug.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(maskVolatile(r.out), readText(kGolden + "sor_results.txt"));
  EXPECT_NE(readText(at("debug.txt")).find("\noutput = (standard output)\n"), std::string::npos);
  EXPECT_FALSE(fileExists(at("results.csv")));
}

TEST_F(RunTest, OutputNameWithoutTxtGetsItsOwnCsvFile) {
  const ProgramResult r = run(requiredOptions() + std::vector<std::string>{"-o", "res"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(maskVolatile(readText(at("res"))), readText(kGolden + "sor_results.txt"));
  EXPECT_EQ(readText(at("res.csv")), readText(kGolden + "results.csv"));
}

TEST_F(RunTest, CommentFileIsReadFromTheSolverDirectory) {
  writeText(at("solver/notes"), "first remark\nsecond remark\n");
  const ProgramResult r =
      run(requiredOptions() + std::vector<std::string>{"-K", "notes", "-o", "results.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(readText(at("results.txt"))
                .find("Experiment name: three\nComments:\n     first remark\n     second remark\n"
                      "\n\n\narrival_rate"),
            std::string::npos);
}

TEST_F(RunTest, ProgressLinesEveryVerbosityIterations) {
  struct Case {
    const char* option;
    std::vector<int> reported;  // of the 11 Gauss-Seidel sweeps
  };
  const std::vector<Case> cases = {
      {"-v", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
      {"-v4", {4, 8}},
      {"-v12", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    const ProgramResult r =
        run(requiredOptions() + std::vector<std::string>{c.option, "-o", "results.txt"});
    EXPECT_EQ(r.status, 0);
    const std::string results = readText(at("results.txt"));
    EXPECT_EQ(countOf(results, "Iteration number "), static_cast<int>(c.reported.size()));
    EXPECT_EQ(countOf(results, "\nMaximum Difference = "), static_cast<int>(c.reported.size()));
    for (int n : c.reported) {
      EXPECT_NE(results.find("Iteration number " + std::to_string(n) +
                             " completed.\nMaximum Difference = "),
                std::string::npos)
          << n;
    }
  }
}

TEST_F(RunTest, ReportLinesForIterationOptions) {
  struct Case {
    std::vector<std::string> options;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      // One sweep from the uniform start: the largest change is that of state
      // 0, from 1/3 to (2/3 + 4/3) / 1.75 = 8/7, i.e. 17/21.
      {{"-m", "1"},
       {"Max iterations: 1\n", "Solution did not converge in 1 iterations.\n",
        "Maximum difference: 8.095238e-01\n"}},
      // The count (1) never equals a limit of 0: "converged" unless the
      // divergence watch fired.
      {{"-m", "0"}, {"Max iterations: 0\n", "Solution converged in 1 iterations.\n"}},
      {{"-a", "20"}, {"Accuracy: 1.110223e-16\n", "Solution converged in "}},
      {{"-a", "x"}, {"Accuracy: 1.000000e-09\n", "Solution converged in 11 iterations.\n"}},
      {{"-a", "3", "-w", "1.25"}, {"Accuracy: 1.000000e-03\n", "Weight: 1.250000\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    const ProgramResult r =
        run(requiredOptions() + c.options + std::vector<std::string>{"-o", "results.txt"});
    EXPECT_EQ(r.status, 0);
    const std::string results = readText(at("results.txt"));
    for (const std::string& line : c.lines) EXPECT_NE(results.find(line), std::string::npos) << line;
  }
}

TEST_F(RunTest, BlowingUpIterationIsReportedAsDivergent) {
  for (const std::vector<std::string>& method : {std::vector<std::string>{},
                                                 std::vector<std::string>{"-j"}}) {
    SCOPED_TRACE(::testing::PrintToString(method));
    const ProgramResult r = run(requiredOptions() + method +
                                std::vector<std::string>{"-o", "results.txt", "-w", "2.5"});
    EXPECT_EQ(r.status, 0);
    const std::string results = readText(at("results.txt"));
    EXPECT_EQ(countOf(results, "Solution is divergent in "), 1);
    EXPECT_EQ(results.find("converge"), std::string::npos);
    EXPECT_NE(results.find("Finished: "), std::string::npos);
  }
  // Gauss-Seidel with weight 2.5: the first sweep that leaves no finite
  // component is sweep 1103, and its largest change is 0.
  const ProgramResult r =
      run(requiredOptions() + std::vector<std::string>{"-o", "results.txt", "-w", "2.5"});
  EXPECT_NE(readText(at("results.txt"))
                .find("Solution is divergent in 1103 iterations.\nMaximum difference: "
                      "0.000000e+00\n"),
            std::string::npos);
}

TEST_F(RunTest, MissingRequiredOptionPrintsUsageAndWritesNothing) {
  // The state level is built before the options are checked, so without -G
  // the files are looked for under the experiment name alone, and without -E
  // under the directory alone; they are put there so that loading succeeds.
  for (const char* suffix : {".arm", ".var", ".pvtype"}) {
    std::filesystem::copy_file(kFixtures + "three" + suffix, at(std::string("three") + suffix));
    std::filesystem::copy_file(kFixtures + "three" + suffix, ssg(suffix));
  }
  const std::vector<std::string> all = requiredOptions();
  for (std::size_t i = 0; i < all.size(); i += 2) {
    SCOPED_TRACE(all[i]);
    std::vector<std::string> args;
    for (std::size_t j = 0; j < all.size(); j += 2) {
      if (j != i) args.insert(args.end(), {all[j], all[j + 1]});
    }
    args.insert(args.end(), {"-o", "results.txt", "-d", "debug.txt", "-O", "occ.txt"});
    const ProgramResult r = run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kUsage);
    for (const char* name : {"results.txt", "results.csv", "debug.txt", "occ.txt"}) {
      EXPECT_FALSE(fileExists(at(name))) << name;
    }
  }
}

TEST_F(RunTest, EmptyStateSpaceNamesPrintUsage) {
  const ProgramResult r = run({"-P", "Proj", "-S", "Study", "-E", "", "-G", "", "-s", "solver/",
                               "-o", "results.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "ERROR: no FlatStateLevel file provided.\n");
  EXPECT_EQ(r.err, kUsage);
  EXPECT_FALSE(fileExists(at("results.txt")));
}

TEST_F(RunTest, ModelWithDeterministicActivitiesIsRefused) {
  writeText(ssg("three.det"), "");
  const ProgramResult r = run(requiredOptions() + std::vector<std::string>{"-o", "results.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "Cannot use this solver since deterministic activities exist\n"
            "in the model. Only deterministic steady state solver can be used.\n");
  EXPECT_FALSE(fileExists(at("results.txt")));
}

TEST_F(RunTest, AbsorbingStateEndsWithStatusOneAfterClosingTheRun) {
  // State 3 has no outgoing transition.
  writeText(ssg("three.arm"), "1 3\n1 2 0.5 3 1.25 0\n2 1 2.0 0\n3 0\n");
  const ProgramResult r = run(requiredOptions() + std::vector<std::string>{
                                  "-o", "results.txt", "-O", "occ.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, kAbsorbing);
  const std::string results = readText(at("results.txt"));
  EXPECT_NE(results.find("Matrix diagonalization off.\n\n" + kAbsorbing + "Finished: "),
            std::string::npos);
  EXPECT_EQ(results.find("Solution"), std::string::npos);
  EXPECT_EQ(results.find("Performance variable"), std::string::npos);
  EXPECT_EQ(readText(at("occ.txt")), "");
}

TEST_F(RunTest, FileThatCannotBeWrittenIsFatal) {
  std::filesystem::create_directory(at("taken.csv"));  // the CSV name is a directory
  struct Case {
    std::vector<std::string> options;
    const char* message;
  };
  const std::vector<Case> cases = {
      {{"-o", "missing-dir/results.txt"}, "can't open output file"},
      {{"-o", "taken.txt"}, "can't open csv file"},
      {{"-d", "missing-dir/debug.txt"}, "can't open debug file"},
      {{"-O", "missing-dir/occ.txt"}, "can't open state occupancy file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ProgramResult r = run(requiredOptions() + c.options);
    EXPECT_EQ(r.status, 1);
    // Without -o the banner goes to standard output before the state-occupancy
    // file is opened.
    const std::string tail = std::string(c.message) + "\nfatal_error: program is being terminated\n";
    ASSERT_GE(r.out.size(), tail.size()) << r.out;
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
    EXPECT_EQ(r.out.find("Solution"), std::string::npos);
  }
}

// The bundled example against its closed form: pi_k proportional to the
// product over j < k of (8 - j) * 0.1 / (0.5 * min(j + 1, 2)).
TEST(ExampleTest, MachineRepairMatchesClosedForm) {
  std::vector<double> pi{1.0};
  for (int j = 0; j < 8; ++j) pi.push_back(pi.back() * (8 - j) * 0.1 / (0.5 * std::min(j + 1, 2)));
  double total = 0;
  for (double p : pi) total += p;
  double working = 0;
  for (int k = 0; k <= 8; ++k) {
    pi[k] /= total;
    working += (8 - k) * pi[k];
  }

  ScratchDir work;
  const std::string example = std::string(TARVEX_SOURCE_DIR) + "/examples/machine_repair/";
  std::filesystem::copy_file(example + "comments.txt", work.file("comments.txt"));
  const ProgramResult r = runProgram(
      work.path(), {"-P", "examples", "-S", "machine_repair", "-E", "machine_repair", "-G", example,
                    "-s", work.path() + "/", "-K", "comments.txt", "-o", "results.txt", "-O",
                    "occupancy.txt"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;

  std::istringstream occupancy(readText(work.file("occupancy.txt")));
  std::string line;
  for (int skip = 0; skip < 3; ++skip) std::getline(occupancy, line);
  for (int k = 0; k <= 8; ++k) {
    int state = -1;
    char comma = 0;
    double p = -1;
    ASSERT_TRUE(occupancy >> state >> comma >> p) << k;
    EXPECT_EQ(state, k);
    EXPECT_NEAR(p, pi[k], 1e-6) << k;
  }
  const std::string results = readText(work.file("results.txt"));
  const std::string mean = "Performance variable :  working\nMean                 :  ";
  const std::size_t at = results.find(mean);
  ASSERT_NE(at, std::string::npos);
  EXPECT_NEAR(std::stod(results.substr(at + mean.size())), working, 1e-6 * working);
  EXPECT_NE(results.find("Comments:\n     Machine-repair model"), std::string::npos);
  EXPECT_NE(results.find("    num_machines  = 8\n"), std::string::npos);
}

}  // namespace
