// Both methods against the iteration written out on a dense matrix (same
// iteration count, same vector bit for bit) and against chains whose
// steady state is known in closed form; over the flat state level (the
// inlined traversal) and over a state level of another kind (the virtual
// path).
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "ReferenceIteration.h"
#include "SolverTestSupport.h"
#include "solver/ISSSolver.h"
#include "statespace/FlatStateLevel.h"

namespace {

struct Chain {
  const char* name;
  int n;
  std::vector<ChainEntry> entries;  // 0-based
  std::vector<double> pi;           // closed form
};

struct Method {
  const char* name;
  bool jacobi;
  const char* weight;  // as given on the command line
};

enum class LevelKind { Flat, EntryList };

// Short parameter texts for test listings.
void PrintTo(const Chain& chain, std::ostream* os) { *os << chain.name; }
void PrintTo(const Method& method, std::ostream* os) { *os << method.name; }
void PrintTo(LevelKind kind, std::ostream* os) {
  *os << (kind == LevelKind::Flat ? "flat" : "generic");
}

const Chain kTwoState{"TwoState", 2, {{0, 1, 2.0}, {1, 0, 3.0}}, {3.0 / 5, 2.0 / 5}};

// Birth rate 1, death rate 2: pi_k proportional to (1/2)^k.
const Chain kBirthDeath{"BirthDeath",
                        5,
                        {{0, 1, 1.0}, {1, 0, 2.0}, {1, 2, 1.0}, {2, 1, 2.0}, {2, 3, 1.0},
                         {3, 2, 2.0}, {3, 4, 1.0}, {4, 3, 2.0}},
                        {16.0 / 31, 8.0 / 31, 4.0 / 31, 2.0 / 31, 1.0 / 31}};

const Chain kThreeState{"ThreeState",
                        3,
                        {{0, 1, 0.5}, {0, 2, 1.25}, {1, 0, 2.0}, {2, 0, 4.0}, {2, 1, 1.0}},
                        {8.0 / 13, 3.0 / 13, 2.0 / 13}};

// The same chain with its diagonal stored (and one stored entry that is not
// minus the row sum): the solvers rebuild the diagonal and skip these.
const Chain kThreeStateStoredDiagonal{"ThreeStateStoredDiagonal",
                                      3,
                                      {{0, 0, -1.75}, {0, 1, 0.5}, {0, 2, 1.25}, {1, 0, 2.0},
                                       {1, 1, 7.0}, {2, 0, 4.0}, {2, 1, 1.0}, {2, 2, -5.0}},
                                      {8.0 / 13, 3.0 / 13, 2.0 / 13}};

const Method kJacobi{"Jacobi", true, "1"};
const Method kDampedJacobi{"JacobiW08", true, "0.8"};
const Method kGaussSeidel{"SorW1", false, "1"};
const Method kOverRelaxed{"SorW13", false, "1.3"};

int offDiagonalCount(const Chain& chain) {
  int count = 0;
  for (const ChainEntry& e : chain.entries) count += e.row != e.col ? 1 : 0;
  return count;
}

// One complete solver run (factory, initialize, solve) in a temporary
// directory, results written to a file there.
class SolverRun {
 public:
  SolverRun(const Chain& chain, LevelKind kind, const Method& method,
            std::vector<std::string> extra = {}) {
    if (kind == LevelKind::Flat) {
      writeFlatStateSpace(dir, "e", chain.n, chain.entries);
      level = std::make_unique<FlatStateLevel>(dir.dir() + "e");
    } else {
      level = std::make_unique<EntryListStateLevel>(chain.n, chain.entries);
    }
    Argv args{"tarvex-iss", "-P", "p", "-S", "s", "-E", "e", "-G", dir.dir(), "-s", dir.dir(),
              "-o", dir.file("out.txt"), "-w", method.weight};
    if (method.jacobi) args.add("-j");
    for (const std::string& word : extra) args.add(word);
    base.reset(BaseStateLevelSolver::createStateLevelSolver(level.get(), args.argc(), args.argv()));
    solver = dynamic_cast<ISSSolver*>(base.get());
    solver->initialize();
    produced_results = solver->solve();
  }

  std::string results() {
    fflush(solver->output_file);
    return readFile(dir.file("out.txt"));
  }

  TempDir dir;
  std::unique_ptr<BaseStateLevel> level;
  std::unique_ptr<BaseStateLevelSolver> base;  // destroyed before the level
  ISSSolver* solver = nullptr;
  bool produced_results = false;
};

class SteadyStateTest
    : public ::testing::TestWithParam<std::tuple<Method, Chain, LevelKind>> {};

TEST_P(SteadyStateTest, MatchesReferenceIterationAndClosedForm) {
  const auto& [method, chain, kind] = GetParam();
  SolverRun run(chain, kind, method);
  const ReferenceResult reference =
      referenceIteration(chain.n, chain.entries, method.jacobi, std::atof(method.weight));

  ASSERT_TRUE(run.produced_results);
  EXPECT_STREQ(run.solver->solver_name, method.jacobi ? "jacobi" : "sor");
  EXPECT_EQ(run.solver->iterations, reference.iterations);
  EXPECT_EQ(run.solver->outcome(), IterationOutcome::Converged);
  EXPECT_TRUE(run.solver->did_converge);
  EXPECT_EQ(run.solver->num_nonzero, chain.n + offDiagonalCount(chain));
  for (int i = 0; i < chain.n; ++i) {
    EXPECT_EQ(run.solver->solution_vector[i], reference.x[i]) << "state " << i;
    EXPECT_NEAR(run.solver->solution_vector[i], chain.pi[i], 1e-8) << "state " << i;
  }
}

std::string caseName(const ::testing::TestParamInfo<SteadyStateTest::ParamType>& info) {
  const auto& [method, chain, kind] = info.param;
  return std::string(method.name) + "_" + chain.name + (kind == LevelKind::Flat ? "_Flat" : "_Generic");
}

INSTANTIATE_TEST_SUITE_P(
    AllChains, SteadyStateTest,
    ::testing::Combine(::testing::Values(kDampedJacobi, kGaussSeidel, kOverRelaxed),
                       ::testing::Values(kTwoState, kBirthDeath, kThreeState,
                                         kThreeStateStoredDiagonal),
                       ::testing::Values(LevelKind::Flat, LevelKind::EntryList)),
    caseName);

// Plain Jacobi cannot settle on the two-state chain (its iteration matrix has
// the eigenvalue -1), so it is run on the others only.
INSTANTIATE_TEST_SUITE_P(
    AperiodicChains, SteadyStateTest,
    ::testing::Combine(::testing::Values(kJacobi),
                       ::testing::Values(kBirthDeath, kThreeState, kThreeStateStoredDiagonal),
                       ::testing::Values(LevelKind::Flat, LevelKind::EntryList)),
    caseName);

class IterationEndTest : public ::testing::TestWithParam<LevelKind> {};

TEST_P(IterationEndTest, OscillatingJacobiStopsAtTheLimitAndSaysSo) {
  SolverRun run(kTwoState, GetParam(), kJacobi, {"-m", "1000"});
  EXPECT_EQ(run.solver->iterations, 1000);
  EXPECT_EQ(run.solver->outcome(), IterationOutcome::IterationLimit);
  EXPECT_FALSE(run.solver->did_converge);
  EXPECT_NE(run.results().find("Solution did not converge in 1000 iterations.\n"),
            std::string::npos);
}

// A weight far outside (0, 2) makes the iterate overflow; on the three-state
// chain the largest change of the last sweep is 0 because every component is
// NaN, so only the watch on the values ends the loop.
TEST_P(IterationEndTest, NonFiniteIterateEndsTheLoopAsDivergent) {
  for (const Method& method : {Method{"Sor", false, "2.5"}, Method{"Jacobi", true, "2.5"}}) {
    SCOPED_TRACE(method.name);
    SolverRun run(kThreeState, GetParam(), method);
    const ReferenceResult reference =
        referenceIteration(3, kThreeState.entries, method.jacobi, 2.5);
    ASSERT_TRUE(reference.non_finite);
    EXPECT_EQ(run.solver->iterations, reference.iterations);
    EXPECT_EQ(run.solver->outcome(), IterationOutcome::Divergent);
    EXPECT_FALSE(run.solver->did_converge);
    const std::string line =
        "Solution is divergent in " + std::to_string(reference.iterations) + " iterations.\n";
    EXPECT_NE(run.results().find(line), std::string::npos);
  }
}

// Out of state 0 the rates sum to 2e308, beyond the largest double: its
// diagonal is -inf and its reciprocal -0, so Gauss-Seidel sets x0 = 0, then
// x2 = 1e308 * 0 = 0, and from sweep 2 on x1 = 0 as well. Every iterate is
// finite and the changes shrink (1/3, 1/6, 0), but the vector that remains
// sums to 0 and cannot be normalised.
TEST_P(IterationEndTest, IterateThatVanishesIsNotReportedAsConverged) {
  const Chain chain{"Vanishing",
                    3,
                    {{0, 1, 1e308}, {0, 2, 1e308}, {1, 0, 2.0}, {2, 0, 4.0}, {2, 1, 1.0}},
                    {}};
  SolverRun run(chain, GetParam(), kGaussSeidel);
  EXPECT_EQ(run.solver->iterations, 3);
  EXPECT_EQ(run.solver->outcome(), IterationOutcome::Divergent);
  EXPECT_FALSE(run.solver->did_converge);
  EXPECT_NE(run.results().find("Solution is divergent in 3 iterations.\n"), std::string::npos);
}

TEST_P(IterationEndTest, AbsorbingStateProducesNoResults) {
  struct Case {
    const char* what;
    std::vector<ChainEntry> entries;
  };
  const std::vector<Case> cases = {
      {"no outgoing entry", {{0, 1, 1.0}, {1, 0, 1.0}, {1, 2, 1.0}}},
      {"only a diagonal entry", {{0, 1, 1.0}, {1, 0, 1.0}, {1, 2, 1.0}, {2, 2, -3.0}}},
      {"outgoing rate below 1e-11", {{0, 1, 1.0}, {1, 0, 1.0}, {1, 2, 1.0}, {2, 0, 9e-12}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SolverRun run(Chain{"Absorbing", 3, c.entries, {}}, GetParam(), kGaussSeidel);
    EXPECT_FALSE(run.produced_results);
    const std::string results = run.results();
    EXPECT_NE(results.find("ERROR: Iterative steady state solver does not support Markov chains "
                           "with absorbing states.\n"),
              std::string::npos);
    EXPECT_EQ(results.find("Solution"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(BothKinds, IterationEndTest,
                         ::testing::Values(LevelKind::Flat, LevelKind::EntryList),
                         [](const auto& info) {
                           return std::string(info.param == LevelKind::Flat ? "Flat" : "Generic");
                         });

}  // namespace
