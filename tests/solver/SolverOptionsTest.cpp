// What the solver factory and the solvers' own scans make of a command line,
// and the small numerical helpers of the driver.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "SolverTestSupport.h"
#include "solver/ISSSolver.h"
#include "solver/PortPow.h"

namespace {

std::unique_ptr<ISSSolver> scan(std::vector<std::string> options) {
  Argv args{"tarvex-iss"};
  for (const std::string& word : options) args.add(word);
  BaseStateLevelSolver* solver =
      BaseStateLevelSolver::createStateLevelSolver(nullptr, args.argc(), args.argv());
  return std::unique_ptr<ISSSolver>(dynamic_cast<ISSSolver*>(solver));
}

double tenToMinus(int n) {
  double x = 1.0;
  for (int i = 0; i < n; ++i) x /= 10.0;
  return x;
}

TEST(SolverFactoryTest, JacobiOnlyWithJAnywhere) {
  struct Case {
    std::vector<std::string> options;
    const char* solver;
  };
  const std::vector<Case> cases = {
      {{"-P", "p", "-E", "e"}, "sor"},
      {{"-j", "-P", "p"}, "jacobi"},
      {{"-P", "p", "-j"}, "jacobi"},
      {{"-P", "p", "-cj", "-E", "e"}, "jacobi"},
      {{"-j", "-j"}, "jacobi"},
      {{"-P", "j"}, "sor"},  // a value, not an option
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    EXPECT_STREQ(scan(c.options)->solver_name, c.solver);
  }
}

TEST(SolverOptionsTest, CommonOptionsAreCopiedAndLastOneWins) {
  auto s = scan({"-P", "p1", "-S", "st", "-E", "ex", "-G", "g/", "-s", "sd/", "-d", "dbg",
                 "-K", "c.txt", "-O", "occ", "-P", "p2", "-a", "5", "-w", "0.5", "-m", "0",
                 "-c"});
  EXPECT_STREQ(s->project_name, "p2");
  EXPECT_STREQ(s->study_name, "st");
  EXPECT_STREQ(s->experiment_name, "ex");
  EXPECT_STREQ(s->ssg_path, "g/");
  EXPECT_STREQ(s->solver_path, "sd/");
  EXPECT_TRUE(s->debug_enabled);
  EXPECT_STREQ(s->debug_filename, "dbg");
  EXPECT_EQ(s->comment_filename, "c.txt");  // the -s directory is put in front by initialize
  EXPECT_TRUE(s->state_prob_enabled);
  EXPECT_STREQ(s->state_prob_filename, "occ");
  EXPECT_FALSE(s->output_enabled);
  EXPECT_EQ(s->accuracy, tenToMinus(5));
  EXPECT_EQ(s->weight, 0.5);
  EXPECT_EQ(s->maxiter, 0);
  EXPECT_TRUE(s->complementary_cdf);
}

TEST(SolverOptionsTest, Defaults) {
  auto s = scan({});
  EXPECT_EQ(s->accuracy, 1e-9);
  EXPECT_EQ(s->weight, 1.0);
  EXPECT_EQ(s->maxiter, 300000);
  EXPECT_FALSE(s->complementary_cdf);
  EXPECT_EQ(s->verbosity, 0);
  EXPECT_EQ(s->project_name, nullptr);
  EXPECT_EQ(s->output_filename, nullptr);
}

TEST(SolverOptionsTest, CommaSeparatedNameNeverEqualsTheResultsName) {
  struct Case {
    const char* output;
    const char* csv;
  };
  const std::vector<Case> cases = {
      {"out.txt", "out.csv"},
      {"dir/run.txt.bak", "dir/run.csv"},  // everything after ".txt" is dropped
      {"a.txt.b.txt", "a.csv"},            // the first ".txt" counts
      {"results", "results.csv"},
      {"results.csv", "results.csv.csv"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    auto s = scan({"-o", c.output});
    EXPECT_TRUE(s->output_enabled);
    EXPECT_STREQ(s->output_filename, c.output);
    EXPECT_STREQ(s->csv_filename, c.csv);
  }
}

TEST(SolverOptionsTest, Verbosity) {
  struct Case {
    std::vector<std::string> options;
    int verbosity;
  };
  const std::vector<Case> cases = {
      {{"-v"}, 1},
      {{"-v5"}, 5},
      {{"-v5", "-v0"}, 0},
      {{"-v3", "-vx"}, 3},  // not a number: the earlier value stays
      {{"-v", "7"}, 1},     // the value must be glued to the letter
      // Outside int's range: clamped, as for -m, never wrapped.
      {{"-v99999999999"}, std::numeric_limits<int>::max()},
      {{"-v-99999999999"}, std::numeric_limits<int>::min()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    EXPECT_EQ(scan(c.options)->verbosity, c.verbosity);
  }
}

TEST(SolverOptionsTest, AccuracyDigits) {
  struct Case {
    const char* value;
    double accuracy;
  };
  const std::vector<Case> cases = {
      {"3", tenToMinus(3)},
      {"20", tenToMinus(20)},  // raised to the machine precision only by initialize
      {"0", 1.0},
      {"-2", 100.0},
      {"x", 1e-9},  // no number: the default stays
      {"", 1e-9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(scan({"-a", c.value})->accuracy, c.accuracy);
  }
}

TEST(SolverOptionsTest, IterationLimitOutsideIntRangeIsClamped) {
  EXPECT_EQ(scan({"-m", "99999999999"})->maxiter, std::numeric_limits<int>::max());
  EXPECT_EQ(scan({"-m", "-99999999999"})->maxiter, std::numeric_limits<int>::min());
}

TEST(SolverNumericsTest, MachineEpsilonIsTwoToTheMinus53) {
  EXPECT_EQ(BaseStateLevelSolver::machine_epsilon, std::ldexp(1.0, -53));
  EXPECT_EQ(BaseStateLevelSolver::comp_eps(), std::ldexp(1.0, -53));
}

TEST(SolverNumericsTest, PortPow) {
  EXPECT_EQ(port_pow(2.0, 10), 1024.0);
  EXPECT_EQ(port_pow(7.5, 0), 1.0);
  EXPECT_EQ(port_pow(2.0, -3), 0.125);
  EXPECT_EQ(port_pow(0.5, -2), 4.0);
  EXPECT_EQ(port_pow(10.0, -2), 1.0 / 10.0 / 10.0);
}

TEST(SolverNumericsTest, VnormIsTheLargestMagnitudeButAtLeast1em11) {
  auto s = scan({});
  double values[] = {0.25, -3.0, 2.0};
  s->solution_vector = values;
  s->num_states = 3;
  EXPECT_EQ(s->vnorm(), 3.0);
  values[1] = 1e-12;
  values[0] = values[2] = 0;
  EXPECT_EQ(s->vnorm(), 1e-11);
  s->num_states = 0;
  EXPECT_EQ(s->vnorm(), 1e-11);
  s->solution_vector = nullptr;
}

TEST(SolverNumericsTest, OutcomeIsDecidedInTheSpecifiedOrder) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    int iterations;
    double max_diff;
    double divergence_norm;
    double guard;
    IterationOutcome outcome;
  };
  // accuracy 1e-9, maxiter 10
  const std::vector<Case> cases = {
      {"converged early", 4, 1e-10, 0, 0, IterationOutcome::Converged},
      {"converged on the last sweep", 10, 1e-9, 0, 0, IterationOutcome::Converged},
      {"limit reached", 10, 2e-9, 0, 0, IterationOutcome::IterationLimit},
      {"limit wins over a large norm", 10, 2e-9, 1.7e300, 0, IterationOutcome::IterationLimit},
      {"large norm", 4, 1e-10, 1.7e300, 0, IterationOutcome::Divergent},
      {"norm just below the bound", 4, 1e-10, 1.6999999e300, 0, IterationOutcome::Converged},
      {"non-finite iterate", 4, 0, 0, nan, IterationOutcome::Divergent},
      {"non-finite iterate at the limit", 10, 2e-9, 0, nan, IterationOutcome::Divergent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = scan({"-m", "10"});
    s->iterations = c.iterations;
    s->max_diff = c.max_diff;
    s->divergence_norm = c.divergence_norm;
    s->non_finite_guard = c.guard;
    EXPECT_EQ(s->outcome(), c.outcome);
  }
}

}  // namespace
