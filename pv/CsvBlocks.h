// One PV's block of the comma-separated results file: a header, the result
// line, the distribution header, one line per point with the running sum of
// the probabilities, and an empty line. Nothing is written to a null file.
#pragma once

#include <cstdio>

class BaseStateLevelSolver;

// The block with mean and variance; `solver` is not used.
void writeCSVFile(FILE* csvFile, const BaseStateLevelSolver* solver, int expIndex, int pvIndex,
                  const char* pvName, double startTime, double stopTime, double mean,
                  double variance, int count, const double* xs, const double* ys);

// The same block with two named statistics and a type text of its own.
void writeCSVFile(FILE* csvFile, const BaseStateLevelSolver* solver, int expIndex, int pvIndex,
                  const char* pvName, double startTime, double stopTime, const char* typeText,
                  const char* label1, double value1, const char* label2, double value2, int count,
                  const double* xs, const double* ys);
