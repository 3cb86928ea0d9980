#include "pv/PlotFiles.h"

#include <climits>
#include <cmath>
#include <memory>

#include "pv/CsvBlocks.h"
#include "pv/DistributionPoints.h"
#include "report/ReportHelpers.h"
#include "solver/BaseStateLevelSolver.h"
#include "statespace/BaseStateLevel.h"

namespace {

constexpr const char* kCannotOpenPlotFile = "plot_pdf: cannot open plot file";

constexpr const char* kCumulativeTitle = "Probability Distribution Function (CDF)";
constexpr const char* kComplementaryTitle = "Probability Distribution Function (PDF)";
constexpr const char* kProbabilityTitle = "Probability Density Function (pdf)";

constexpr const char* kCommentName = ";%s  pdf\n";
constexpr const char* kCommentTime = ";at time %1.15g\n";
constexpr const char* kNewGraph = "New Graph\n";
constexpr const char* kGraphSize = "Size 5 by 5\n\n";
constexpr const char* kGraphFont = "Graph Font HELVETICA15\n\n";
constexpr const char* kGraphTitle = "Graph Title %s\n";
constexpr const char* kNewText = "New Text %f, %f\n";
constexpr const char* kVariableName = "Variable name: %s\n";
constexpr const char* kTime = "Time: %f\n";
constexpr const char* kMean = "Mean: %f\n";
constexpr const char* kVariance = "Variance: %f\n\n";
constexpr const char* kTextFont = "Text Font HELVETICA11\n\n";
constexpr const char* kProjectName = "Project name: %s\n";
constexpr const char* kStudyName = "Study name: %s\n";
constexpr const char* kExperimentName = "Experiment name: %s\n\n";
constexpr const char* kEmptyText = "\n";
constexpr const char* kCurve =
    "New Curve\n"
    "curve symbol diamond size 3\n"
    "curve type solid\n"
    "curve gray 0.8\n"
    "curve interpolation yhistogram\n\n";
constexpr const char* kNewPoints = "New Points\n";
constexpr const char* kPoint = "%1.15g, %1.15g\n";
constexpr const char* kPointsEnd = "\n";
constexpr const char* kXLabel = "X Label %s - x\n";
constexpr const char* kXFont = "X Font Helvetica12BI\n";
constexpr const char* kXMaximum = "X Maximum %1.15g\n";
constexpr const char* kXMinimum = "X Minimum %1.15g\n";
constexpr const char* kXInterval = "X Interval %d\n";
// An interval beyond the range of int, written as the unsigned value it is.
constexpr const char* kXIntervalWide = "X Interval %llu\n";
constexpr const char* kYAxis =
    "Y Label Probability - P(X = x)\n"
    "Y Font Helvetica12BI\n"
    "Y Maximum 1.05\n"
    "Y Minimum 0.00\n"
    "Y Interval 0.1\n"
    "Y numberstyle floating 2\n\n";

constexpr double kTextX = 0.05;
constexpr double kFirstTextY = 1.8;
constexpr double kSecondTextY = 1.65;
constexpr double kThirdTextY = 1.5;
constexpr double kXMaximumFactor = 1.04;

// The largest member of 1, 5, 10, 25, 50, ... that an unsigned 64-bit value holds.
constexpr unsigned long long kLargestTickInterval = 10000000000000000000ULL;

const char* orEmpty(const char* s) { return s != nullptr ? s : ""; }

// An x of -0.0 prints as "0", whoever built the points.
inline double unsignedZero(double x) { return x == 0.0 ? 0.0 : x; }

// Scratch for the points when the caller supplies none.
struct PointArrays {
  explicit PointArrays(int n)
      : xs(new double[n > 0 ? n : 1]), ys(new double[n > 0 ? n : 1]) {}
  std::unique_ptr<double[]> xs;
  std::unique_ptr<double[]> ys;
};

}  // namespace

unsigned long long xTickInterval(double xmax) {
  const double l = std::trunc(xmax / 10 + 0.5);
  if (!(l > 1.0)) return 1;
  if (l > static_cast<double>(kLargestTickInterval)) return kLargestTickInterval;
  const unsigned long long target = static_cast<unsigned long long>(l);
  unsigned long long interval = 1;
  // 5, 10, 25, 10, 50, 100, 250, 100, 500, ...
  for (int step = 0; interval < target; step = (step + 1) % 4) {
    switch (step) {
      case 0: interval *= 5; break;
      case 1: interval *= 2; break;
      case 2: interval = interval / 2 * 5; break;
      default: interval = interval / 5 * 2; break;
    }
  }
  return interval;
}

void writeSplotFile(const char* path, const char* title, const BaseStateLevelSolver* solver,
                    const char* pvName, double time, double mean, double variance, int count,
                    const double* xs, const double* ys, FILE* resultsFile) {
  FILE* out = std::fopen(path, "w");
  if (out == nullptr) fatal_error(resultsFile, kCannotOpenPlotFile);

  const double xmax = count > 0 ? unsignedZero(xs[count - 1]) : 0.0;
  const double xmin = count > 0 ? unsignedZero(xs[0]) : 0.0;
  const double textX = kTextX * xmax;

  std::fprintf(out, kCommentName, pvName);
  std::fprintf(out, kCommentTime, time);
  std::fputs(kNewGraph, out);
  std::fputs(kGraphSize, out);
  std::fputs(kGraphFont, out);
  std::fprintf(out, kGraphTitle, title);

  std::fprintf(out, kNewText, textX, kFirstTextY);
  std::fprintf(out, kVariableName, pvName);
  if (time >= 0) std::fprintf(out, kTime, time);
  std::fprintf(out, kMean, mean);
  std::fprintf(out, kVariance, variance);
  std::fputs(kTextFont, out);

  std::fprintf(out, kNewText, textX, kSecondTextY);
  std::fprintf(out, kProjectName, orEmpty(solver->project_name));
  std::fprintf(out, kStudyName, orEmpty(solver->study_name));
  std::fprintf(out, kExperimentName, orEmpty(solver->experiment_name));
  std::fputs(kTextFont, out);

  std::fprintf(out, kNewText, textX, kThirdTextY);
  std::fputs(kEmptyText, out);
  std::fputs(kTextFont, out);

  std::fputs(kCurve, out);
  std::fputs(kNewPoints, out);
  for (int i = 0; i < count; ++i) std::fprintf(out, kPoint, unsignedZero(xs[i]), ys[i]);
  std::fputs(kPointsEnd, out);

  std::fprintf(out, kXLabel, pvName);
  std::fputs(kXFont, out);
  std::fprintf(out, kXMaximum, kXMaximumFactor * xmax);
  std::fprintf(out, kXMinimum, xmin);
  const unsigned long long interval = xTickInterval(xmax);
  if (interval <= static_cast<unsigned long long>(INT_MAX)) {
    std::fprintf(out, kXInterval, static_cast<int>(interval));
  } else {
    std::fprintf(out, kXIntervalWide, interval);
  }
  std::fputs(kYAxis, out);
  std::fclose(out);
}

void plot_cdf(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
              const char* path, const double* probabilities, const double* values, double time,
              double mean, double variance, FILE* resultsFile, double* xs, double* ys) {
  const int count = cumulativePoints(level->getNumberOfStates(), probabilities, values, xs, ys);
  writeSplotFile(path, kCumulativeTitle, solver, level->getPVName(pvIndex), time, mean, variance,
                 count, xs, ys, resultsFile);
}

void plot_cdf(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
              const char* path, const double* probabilities, const double* values, double time,
              double mean, double variance, FILE* resultsFile) {
  PointArrays points(level->getNumberOfStates());
  plot_cdf(level, solver, pvIndex, path, probabilities, values, time, mean, variance, resultsFile,
           points.xs.get(), points.ys.get());
}

void comp_plot_cdf(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
                   const char* path, const double* probabilities, const double* values,
                   double time, double mean, double variance, FILE* resultsFile, double* xs,
                   double* ys) {
  const int count =
      complementaryPoints(level->getNumberOfStates(), probabilities, values, xs, ys);
  writeSplotFile(path, kComplementaryTitle, solver, level->getPVName(pvIndex), time, mean,
                 variance, count, xs, ys, resultsFile);
}

void comp_plot_cdf(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
                   const char* path, const double* probabilities, const double* values,
                   double time, double mean, double variance, FILE* resultsFile) {
  PointArrays points(level->getNumberOfStates());
  comp_plot_cdf(level, solver, pvIndex, path, probabilities, values, time, mean, variance,
                resultsFile, points.xs.get(), points.ys.get());
}

void gen_pdf_db(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
                const char* path, const double* probabilities, const double* values,
                double startTime, double stopTime, double mean, double variance, int dbExpIndex,
                FILE* resultsFile, FILE* csvFile, double* xs, double* ys) {
  const int count = probabilityPoints(level->getNumberOfStates(), probabilities, values, xs, ys);
  const char* pvName = level->getPVName(pvIndex);
  writeSplotFile(path, kProbabilityTitle, solver, pvName, startTime, mean, variance, count, xs, ys,
                 resultsFile);
  writeCSVFile(csvFile, solver, dbExpIndex, pvIndex, pvName, startTime, stopTime, mean, variance,
               count, xs, ys);
}

void gen_pdf_db(BaseStateLevel* level, const BaseStateLevelSolver* solver, int pvIndex,
                const char* path, const double* probabilities, const double* values,
                double startTime, double stopTime, double mean, double variance, int dbExpIndex,
                FILE* resultsFile, FILE* csvFile) {
  PointArrays points(level->getNumberOfStates());
  gen_pdf_db(level, solver, pvIndex, path, probabilities, values, startTime, stopTime, mean,
             variance, dbExpIndex, resultsFile, csvFile, points.xs.get(), points.ys.get());
}
