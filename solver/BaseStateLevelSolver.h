// The abstract base of every solver: the options common to all solvers, the
// output files, the start and end of the run's report, timing and the
// results record. The numerical method lives in the derived classes.
#pragma once

#include <cstdio>
#include <string>

#include "report/SolverDBInfo.h"

class BaseStateLevel;

class BaseStateLevelSolver {
 public:
  BaseStateLevelSolver(BaseStateLevel* level, const char* name, int argc, char** argv);
  BaseStateLevelSolver(const BaseStateLevelSolver&) = delete;
  BaseStateLevelSolver& operator=(const BaseStateLevelSolver&) = delete;
  virtual ~BaseStateLevelSolver();

  // Returns false when the run produced no results (for example a chain
  // with an absorbing state); the program then ends with status 1.
  virtual bool solve() = 0;
  virtual void initialize();
  virtual void ShowCmdLineOptions() = 0;

  void ShowCommonCmdLineOptions(const char* name);
  void initializeDatabaseData();
  static double comp_eps();

  // Picks SORSolver, or JacobiSolver when -j is on the command line.
  static BaseStateLevelSolver* createStateLevelSolver(BaseStateLevel* level, int argc, char** argv);

  static double machine_epsilon;

  // Owned strings (made by strDup), null until their option is given.
  char* solver_name = nullptr;
  BaseStateLevel* state_level = nullptr;  // not owned
  char* ssg_path = nullptr;
  char* solver_path = nullptr;
  char* project_name = nullptr;
  char* study_name = nullptr;
  char* experiment_name = nullptr;
  char* debug_filename = nullptr;
  char* output_filename = nullptr;
  char* csv_filename = nullptr;
  std::string comment_filename;
  bool debug_enabled = false;
  bool output_enabled = false;
  bool state_prob_enabled = false;
  char* state_prob_filename = nullptr;
  int verbosity = 0;
  FILE* output_file = nullptr;
  FILE* csv_file = nullptr;
  FILE* debug_file = nullptr;
  FILE* state_prob_file = nullptr;
  double user_time = 0;
  double system_time = 0;
  SolverDBInfo* db_info = nullptr;
};
