#include "solver/ISSSolver.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "pv/PerfCDB.h"
#include "report/Banner.h"
#include "report/ReportHelpers.h"
#include "report/SolverDBInfo.h"
#include "runctl/ArgvOrder.h"
#include "runctl/TarvexGetopt.h"
#include "solver/PortPow.h"

namespace {

constexpr const char* kIterativeOptions = "a:w:m:c";

constexpr double kAbsorbingThreshold = 1e-11;
constexpr double kVnormFloor = 1e-11;
constexpr double kDivergenceNorm = 1.7e300;
// Stands for the change of the sweep before the first one.
constexpr double kInitialPreviousDifference = 1e9;

constexpr const char* kAbsorbingMessage =
    "ERROR: Iterative steady state solver does not support Markov chains with absorbing "
    "states.\n";
constexpr const char* kProgressFormat = "Iteration number %d completed.\nMaximum Difference = %e\n";
constexpr const char* kNotConvergedFormat = "Solution did not converge in %ld iterations.\n";
constexpr const char* kDivergentFormat = "Solution is divergent in %ld iterations.\n";
constexpr const char* kConvergedFormat = "Solution converged in %ld iterations.\n";
// Shown on the debug file's "output" line when the results go to standard output.
constexpr const char* kStandardOutputName = "(standard output)";

// strtol clamped to the int range, where atoi would have no defined value.
int readInt(const char* text) {
  const long value = strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

ISSSolver::ISSSolver(BaseStateLevel* level, int argc, char** argv, const char* name,
                     const char* long_title)
    : BaseStateLevelSolver(level, name, argc, argv), title(strDup(long_title)) {
  ArgvOrder order(argc, argv);
  opterr = 0;
  optind = 0;
  int letter;
  while ((letter = tarvex_getopt(argc, argv, kIterativeOptions)) != -1) {
    switch (letter) {
      case 'a': {
        // A short integer; a value without a number keeps the default.
        long digits;
        if (sscanf(optarg, "%ld", &digits) == 1) {
          if (digits > SHRT_MAX) digits = SHRT_MAX;
          if (digits < SHRT_MIN) digits = SHRT_MIN;
          accuracy = port_pow(10.0, -static_cast<int>(digits));
        }
        break;
      }
      case 'w':
        weight = atof(optarg);
        break;
      case 'm':
        maxiter = readInt(optarg);
        break;
      case 'c':
        complementary_cdf = true;
        break;
      default:
        break;  // another component's letter
    }
  }
  order.Restore();
}

ISSSolver::~ISSSolver() {
  delete[] solution_vector;
  delete[] diagonal;
  delete[] title;
}

void ISSSolver::ShowCmdLineOptions() {
  ShowCommonCmdLineOptions("iss");
  fputs("[-a <# of decimal precision>] [-w <omega>] [-m <max # of iterations> [-c]\n", stderr);
}

void ISSSolver::initialize() {
  BaseStateLevelSolver::initialize();
  num_states = state_level->getNumberOfStates();
  num_nonzero = 0;
  if (machine_epsilon > accuracy) accuracy = machine_epsilon;
  one_minus_weight = 1 - weight;
  DisplayBanners();
  if (state_prob_enabled) {
    state_prob_file = fopen(state_prob_filename, "w");
    if (state_prob_file == nullptr) fatal_error(stdout, "can't open state occupancy file");
  } else {
    state_prob_file = nullptr;
  }
}

void ISSSolver::DisplayBanners() {
  solver_banner(solver_name, title, "RESULTS", project_name, study_name, ssg_path, experiment_name,
                comment_filename.c_str(), output_file);
  fprintf(output_file, "\nVerbosity: %d\n", verbosity);
  fprintf(output_file, "Accuracy: %le\n", accuracy);
  fprintf(output_file, "Weight: %lf\n", weight);
  fprintf(output_file, "Max iterations: %ld\n", static_cast<long>(maxiter));
  fputs("Matrix diagonalization off.\n\n", output_file);
  fflush(output_file);
  if (!debug_enabled) return;
  solver_banner(solver_name, title, "DEBUG INFO", project_name, study_name, ssg_path,
                experiment_name, comment_filename.c_str(), debug_file);
  fprintf(debug_file, "\n machine_accuracy = %le\n", machine_epsilon);
  fprintf(debug_file, "output = %s\n",
          output_filename != nullptr ? output_filename : kStandardOutputName);
  fprintf(debug_file, "accuracy = %le\n", accuracy);
  fprintf(debug_file, "weight = %lf\n", weight);
  fprintf(debug_file, "maxiter = %ld\n", static_cast<long>(maxiter));
  fflush(debug_file);
}

bool ISSSolver::solve() {
  divergence_norm = 0;
  initialize_ds();
  const clock_t start = clock();
  if (!prepare_iteration()) {
    fputs(kAbsorbingMessage, stdout);
    fputs(kAbsorbingMessage, output_file);
    fflush(output_file);
    cleanup();
    return false;
  }
  iterate();
  user_time = static_cast<double>(clock() - start) / CLOCKS_PER_SEC;
  system_time = 0;
  output();
  updatedb();
  if (state_prob_enabled) print_states();
  fputs("Computing the performance variables\n", output_file);
  fflush(output_file);
  perfcdb(state_level, this, solution_vector, output_file, csv_file, 0, -1, -1.0, -1.0, 0,
          complementary_cdf, STEADY_STATE_REWARD, db_entity, db_exp_index);
  cleanup();
  return true;
}

bool ISSSolver::prepare_iteration() {
  delete[] solution_vector;
  solution_vector = nullptr;
  solution_vector = new double[num_states];
  delete[] diagonal;
  diagonal = nullptr;
  diagonal = new double[num_states]();
  compute_diagonal();
  for (int i = 0; i < num_states; ++i) {
    if (std::fabs(diagonal[i]) < kAbsorbingThreshold) return false;
  }
  // Inverted once, so that every sweep multiplies.
  for (int i = 0; i < num_states; ++i) diagonal[i] = 1.0 / diagonal[i];
  const double uniform = 1.0 / num_states;
  for (int i = 0; i < num_states; ++i) solution_vector[i] = uniform;
  return true;
}

void ISSSolver::iterate() {
  iterations = 0;
  double previous_difference = kInitialPreviousDifference;
  for (;;) {
    max_diff = 0;
    non_finite_guard = 0;
    perform_iteration();
    ++iterations;
    if (verbosity > 0 && iterations % verbosity == 0) {
      fprintf(output_file, kProgressFormat, iterations, max_diff);
      fflush(output_file);
    }
    // A growing change only marks the norm; the report decides what it means.
    if (max_diff > previous_difference) divergence_norm = vnorm();
    // The largest change can stay small while the components turn into NaN,
    // so the iterate itself is watched as well.
    if (!(non_finite_guard == 0)) break;
    if (!(max_diff > accuracy && iterations < maxiter)) break;
    previous_difference = max_diff;
  }
  double sum = 0;
  for (int i = 0; i < num_states; ++i) sum += solution_vector[i];
  const double scale = 1 / sum;
  // An iterate that shrank to nothing (or to a sum of 0) has finite
  // components but cannot be normalised; the guard makes it no "converged".
  double guard = non_finite_guard;
  for (int i = 0; i < num_states; ++i) {
    const double p = solution_vector[i] * scale;
    solution_vector[i] = p;
    guard += p - p;
  }
  non_finite_guard = guard;
}

IterationOutcome ISSSolver::outcome() const {
  if (!(non_finite_guard == 0)) return IterationOutcome::Divergent;
  if (iterations == maxiter && max_diff > accuracy) return IterationOutcome::IterationLimit;
  if (divergence_norm >= kDivergenceNorm) return IterationOutcome::Divergent;
  return IterationOutcome::Converged;
}

void ISSSolver::output() {
  fprintf(output_file, "Computation Time (seconds): %lf\n", user_time + system_time);
  fprintf(output_file, "User Time (seconds): %lf\n", user_time);
  fprintf(output_file, "System Time (seconds): %lf\n", system_time);
  fprintf(output_file, "Number of states in process: %lu\n",
          static_cast<unsigned long>(num_states));
  fprintf(output_file, "Number of non-zero elements: %lu\n",
          static_cast<unsigned long>(num_nonzero));
  const IterationOutcome result = outcome();
  const char* format = kConvergedFormat;
  switch (result) {
    case IterationOutcome::IterationLimit:
      format = kNotConvergedFormat;
      break;
    case IterationOutcome::Divergent:
      format = kDivergentFormat;
      break;
    case IterationOutcome::Converged:
      format = kConvergedFormat;
      break;
  }
  did_converge = result == IterationOutcome::Converged;
  fprintf(output_file, format, static_cast<long>(iterations));
  fprintf(output_file, "Maximum difference: %le\n\n", max_diff);
}

void ISSSolver::updatedb() {
  initSolverDB(db_entity, db_exp_index, num_states, num_nonzero);
  SolverDBInfo_AddInt4(db_info, "iter", iterations);
  SolverDBInfo_AddInt4(db_info, "total_time", static_cast<long>(user_time + system_time));
  SolverDBInfo_AddInt4(db_info, "usr_sec", static_cast<long>(user_time));
  SolverDBInfo_AddInt4(db_info, "sys_sec", static_cast<long>(system_time));
  SolverDBInfo_AddBoolean(db_info, "did_converge", did_converge ? 1 : 0);
  SolverDBInfo_AddFloat8(db_info, "max_diff", max_diff);
  SolverDBInfo_Write(db_info, db_entity, db_exp_index);
}

void ISSSolver::print_states() {
  fputs("## State Occupancy Probability Vector\n", state_prob_file);
  fputs("Output is in (state number, state probability) pairs\n", state_prob_file);
  fprintf(state_prob_file, "Number of States: %d\n", num_states);
  fflush(state_prob_file);
  for (int i = 0; i < num_states; ++i) fprintf(state_prob_file, "%d, %f\n", i, solution_vector[i]);
}

double ISSSolver::vnorm() {
  double norm = kVnormFloor;
  for (int i = 0; i < num_states; ++i) {
    const double magnitude = std::fabs(solution_vector[i]);
    if (magnitude > norm) norm = magnitude;
  }
  return norm;
}

void ISSSolver::cleanup() {
  terminate_ds();
  delete[] diagonal;
  diagonal = nullptr;
}

double ISSSolver::getSolutionVectorElement(int i) { return solution_vector[i]; }

void ISSSolver::getSolutionVectorAsArray(double*& out) {
  out = new double[num_states];
  for (int i = 0; i < num_states; ++i) out[i] = solution_vector[i];
}
