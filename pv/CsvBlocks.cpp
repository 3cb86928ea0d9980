#include "pv/CsvBlocks.h"

namespace {

constexpr const char* kResultsHeader =
    "## Exp Num, PV Num, PV Name, Start Time, Stop Time, Type, Mean, Variance,NumDistPts\n";
constexpr const char* kResultsLine = "%d,%d,%s,%lf,%lf,Results,%lf,%lf,%d\n";
constexpr const char* kNamedHeader =
    "## Exp Num, PV Num, PV Name, Start Time, Stop Time, Type, %s,%s,NumDistPts\n";
constexpr const char* kNamedLine = "%d,%d,%s,%lf,%lf,%s,%lf,%lf,%d\n";
constexpr const char* kDistributionHeader = "## Dist,x, P(X=x), P(X<=x)\n";
constexpr const char* kDistributionLine = "Dist,%lf,%lf,%lf\n";
constexpr const char* kBlockEnd = "\n";

void writeDistribution(FILE* csvFile, int count, const double* xs, const double* ys) {
  std::fputs(kDistributionHeader, csvFile);
  double runningSum = 0.0;
  for (int i = 0; i < count; ++i) {
    runningSum += ys[i];
    std::fprintf(csvFile, kDistributionLine, xs[i], ys[i], runningSum);
  }
  std::fputs(kBlockEnd, csvFile);
}

}  // namespace

void writeCSVFile(FILE* csvFile, const BaseStateLevelSolver*, int expIndex, int pvIndex,
                  const char* pvName, double startTime, double stopTime, double mean,
                  double variance, int count, const double* xs, const double* ys) {
  if (csvFile == nullptr) return;
  std::fputs(kResultsHeader, csvFile);
  std::fprintf(csvFile, kResultsLine, expIndex, pvIndex, pvName, startTime, stopTime, mean,
               variance, count);
  writeDistribution(csvFile, count, xs, ys);
}

void writeCSVFile(FILE* csvFile, const BaseStateLevelSolver*, int expIndex, int pvIndex,
                  const char* pvName, double startTime, double stopTime, const char* typeText,
                  const char* label1, double value1, const char* label2, double value2, int count,
                  const double* xs, const double* ys) {
  if (csvFile == nullptr) return;
  std::fprintf(csvFile, kNamedHeader, label1, label2);
  std::fprintf(csvFile, kNamedLine, expIndex, pvIndex, pvName, startTime, stopTime, typeText,
               value1, value2, count);
  writeDistribution(csvFile, count, xs, ys);
}
