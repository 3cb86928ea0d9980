// Evaluation of the performance variables from a solution vector: mean,
// variance and distribution of each selected PV, written as text, plot
// files and CSV blocks.
#pragma once

#include <cstdio>

class BaseStateLevel;
class BaseStateLevelSolver;

// Which PVs perfcdb evaluates: the type codes of the PV type file, plus 4
// for every PV. A code other than 3 and 4 also needs a matching start time.
enum RewardType : int {
  STEADY_STATE_REWARD = 3,
  ALL_REWARDS = 4,
};

void perfcdb(BaseStateLevel* level, BaseStateLevelSolver* solver, const double* probabilities,
             FILE* resultsFile, FILE* csvFile, int initArg1, int distArg, double startTime,
             double stopTime, int initArg2, bool complementary, RewardType rewardType,
             const char* dbEntity, int dbExpIndex);

// Every state in which some PV has a non-zero reward component, once each,
// in order of discovery. The caller owns `states` and `marked` (delete[]).
void FindNonzeroRewards(BaseStateLevel* level, int& count, int*& states, bool& anySecond,
                        bool*& marked);
void FindNonzeroRewards(BaseStateLevel* level, int& count, int*& states);
