// The plot files of a PV's distribution: the cumulative plot (plot_cdf, or
// comp_plot_cdf for P(X > x)) and the probability plot with the PV's CSV
// block (gen_pdf_db), all written through writeSplotFile.
#pragma once

#include <cstdio>

class BaseStateLevel;
class BaseStateLevelSolver;

// Writes one plot file of `count` points. A file that cannot be created ends
// the run through fatal_error on `resultsFile`.
void writeSplotFile(const char* path, const char* title, const BaseStateLevelSolver* solver,
                    const char* pvName, double time, double mean, double variance, int count,
                    const double* xs, const double* ys, FILE* resultsFile);

// Tick interval of the x axis for the largest x: the smallest of 1, 5, 10,
// 25, 50, 100, 250, 500, ... that is not below L = trunc(xmax / 10 + 0.5).
// L below 2 (a negative or non-numeric xmax too) gives 1; L above 1e19, the
// largest interval of the series that 64 bits hold, gives 1e19.
unsigned long long xTickInterval(double xmax);

// `probabilities` and `values` hold getNumberOfStates() entries, values in
// ascending order. The forms with `xs` and `ys` take scratch space of as
// many entries for the points, so that a caller can reuse it across PVs.
void plot_cdf(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
              const char* path, const double* probabilities, const double* values, double time,
              double mean, double variance, FILE* resultsFile);
void plot_cdf(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
              const char* path, const double* probabilities, const double* values, double time,
              double mean, double variance, FILE* resultsFile, double* xs, double* ys);

void comp_plot_cdf(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
                   const char* path, const double* probabilities, const double* values,
                   double time, double mean, double variance, FILE* resultsFile);
void comp_plot_cdf(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
                   const char* path, const double* probabilities, const double* values,
                   double time, double mean, double variance, FILE* resultsFile, double* xs,
                   double* ys);

// Also appends the PV's block to `csvFile` unless it is null.
void gen_pdf_db(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
                const char* path, const double* probabilities, const double* values,
                double startTime, double stopTime, double mean, double variance, int dbExpIndex,
                FILE* resultsFile, FILE* csvFile);
void gen_pdf_db(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
                const char* path, const double* probabilities, const double* values,
                double startTime, double stopTime, double mean, double variance, int dbExpIndex,
                FILE* resultsFile, FILE* csvFile, double* xs, double* ys);
