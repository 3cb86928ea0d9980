#include "solver/BaseStateLevelSolver.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unistd.h>

#include "report/ReportHelpers.h"
#include "runctl/ArgvOrder.h"
#include "runctl/TarvexGetopt.h"

namespace {

constexpr const char* kCommonOptions = "D:P:G:S:s:E:d:o:v::K:O:";

// A repeated option replaces the earlier value, so the earlier copy goes.
void replaceCopy(char*& target, const char* value) {
  char* copy = strDup(value);
  delete[] target;
  target = copy;
}

// The comma-separated companion of the results file: the first ".txt" becomes
// ".csv" and ends the name. A name without ".txt" gets ".csv" appended, so the
// two streams never share one file.
char* csvNameFor(const char* output_name) {
  const char* txt = strstr(output_name, ".txt");
  const size_t stem = txt != nullptr ? static_cast<size_t>(txt - output_name) : strlen(output_name);
  char* name = new char[stem + sizeof(".csv")];
  memcpy(name, output_name, stem);
  memcpy(name + stem, ".csv", sizeof(".csv"));
  return name;
}

// A decimal number as "%d" reads it, clamped to int's range (where "%d"
// has no defined result); text without a number leaves `target` as it was.
void readVerbosity(const char* text, int& target) {
  char* end = nullptr;
  const long value = strtol(text, &end, 10);
  if (end == text) return;
  target = value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

FILE* openForWriting(const char* name, const char* failure_message) {
  FILE* f = fopen(name, "w");
  if (f == nullptr) fatal_error(stdout, failure_message);
  return f;
}

}  // namespace

double BaseStateLevelSolver::machine_epsilon = BaseStateLevelSolver::comp_eps();

double BaseStateLevelSolver::comp_eps() {
  double eps = 1.0;
  for (int i = 0; i < 53; ++i) eps /= 2.0;
  return eps;
}

BaseStateLevelSolver::BaseStateLevelSolver(BaseStateLevel* level, const char* name, int argc,
                                           char** argv)
    : solver_name(strDup(name)), state_level(level) {
  ArgvOrder order(argc, argv);
  opterr = 0;
  optind = 0;
  int letter;
  while ((letter = tarvex_getopt(argc, argv, kCommonOptions)) != -1) {
    switch (letter) {
      case 'D':
        parseDBSwitches(optarg);
        break;
      case 'P':
        replaceCopy(project_name, optarg);
        break;
      case 'S':
        replaceCopy(study_name, optarg);
        break;
      case 'E':
        replaceCopy(experiment_name, optarg);
        break;
      case 'G':
        replaceCopy(ssg_path, optarg);
        break;
      case 's':
        replaceCopy(solver_path, optarg);
        break;
      case 'd':
        debug_enabled = true;
        replaceCopy(debug_filename, optarg);
        break;
      case 'o': {
        output_enabled = true;
        replaceCopy(output_filename, optarg);
        char* csv = csvNameFor(optarg);
        delete[] csv_filename;
        csv_filename = csv;
        break;
      }
      case 'v':
        if (optarg != nullptr) {
          readVerbosity(optarg, verbosity);
        } else {
          verbosity = 1;
        }
        break;
      case 'K':
        comment_filename = optarg;
        break;
      case 'O':
        state_prob_enabled = true;
        replaceCopy(state_prob_filename, optarg);
        break;
      default:
        break;  // another component's letter
    }
  }
  order.Restore();
}

void BaseStateLevelSolver::initialize() {
  // Without a state level (-G and -E both empty) there is nothing to solve;
  // that is as much a usage error as a missing option, and it is caught here,
  // before any file is created.
  if (project_name == nullptr || study_name == nullptr || experiment_name == nullptr ||
      ssg_path == nullptr || solver_path == nullptr || state_level == nullptr) {
    ShowCmdLineOptions();
    exit(1);
  }
  if (!comment_filename.empty()) comment_filename.insert(0, solver_path);
  if (debug_enabled) debug_file = openForWriting(debug_filename, "can't open debug file");
  if (output_enabled) {
    output_file = openForWriting(output_filename, "can't open output file");
    csv_file = openForWriting(csv_filename, "can't open csv file");
  } else {
    output_file = stdout;
    csv_file = nullptr;
  }
  initializeDatabaseData();
}

void BaseStateLevelSolver::initializeDatabaseData() {
  initDBGlobals();
  auto* info = static_cast<SolverDBInfo*>(malloc(sizeof(SolverDBInfo)));
  if (info == nullptr) throw std::bad_alloc();
  free(db_info);
  db_info = info;
  SolverDBInfo_Init(db_info);
}

BaseStateLevelSolver::~BaseStateLevelSolver() {
  // Only a solver that was initialized has a run to close.
  if (output_file != nullptr) fprintf(output_file, "Finished: %s\n", getAsciiTime());
  for (char* s : {solver_name, ssg_path, solver_path, project_name, study_name, experiment_name,
                  debug_filename, output_filename, csv_filename, state_prob_filename}) {
    delete[] s;
  }
  free(db_info);
  if (debug_enabled && debug_file != nullptr) fclose(debug_file);
  if (output_enabled) {
    if (output_file != nullptr) fclose(output_file);
    if (csv_file != nullptr) fclose(csv_file);
  }
  if (state_prob_enabled && state_prob_file != nullptr) fclose(state_prob_file);
}

void BaseStateLevelSolver::ShowCommonCmdLineOptions(const char* /*name*/) {
  fputs("Options:\n", stderr);
  fputs("-P <project name>\n", stderr);
  fputs("-S <study name>\n", stderr);
  fputs("-E <experiment name>\n", stderr);
  fputs("-G <SSG path>: must end with a slash\n", stderr);
  fputs("-s <solver path>: must end with a slash\n", stderr);
  fputs("[-d <debug filename>]\n", stderr);
  fputs("[-o <output filename>]\n", stderr);
  fputs("[-v <verbosity level>]\n", stderr);
  fputs("[-K <comment filename>]\n", stderr);
  fputs("[-O <state probability filename>]\n", stderr);
}
