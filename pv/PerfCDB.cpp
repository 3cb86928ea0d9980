#include "pv/PerfCDB.h"

#include <cstring>
#include <memory>
#include <string>

#include "pv/DSort.h"
#include "pv/PlotFiles.h"
#include "report/SolverDBInfo.h"
#include "solver/BaseStateLevelSolver.h"
#include "statespace/BaseStateLevel.h"

namespace {

constexpr double kTimeEpsilon = 1e-11;

constexpr const char* kSeparatorHalf = "***************************************";
constexpr const char* kSeparatorEnd = "***************************************\n";
constexpr const char* kPVNameLine = "Performance variable :  %s\n";
constexpr const char* kTimeLine = "Time                 :  %lf\n";
constexpr const char* kMeanLine = "Mean                 :  %e\n";
constexpr const char* kVarianceLine = "Variance             :  %e\n";
constexpr const char* kPdfNameLine = "Plot files    (pdf)  :  %s\n";
constexpr const char* kCdfNameLine = "              (cdf)  :  %s\n";
constexpr const char* kTimeFormat = "%3.3lf";
constexpr const char* kPdfSuffix = "pdf.splot";
constexpr const char* kCdfSuffix = "cdf.splot";

const char* orEmpty(const char* s) { return s != nullptr ? s : ""; }

// Sized for any time, however large.
std::string timeText(double time) {
  const int length = std::snprintf(nullptr, 0, kTimeFormat, time);
  std::string text(length > 0 ? length : 0, '\0');
  std::snprintf(text.data(), text.size() + 1, kTimeFormat, time);
  return text;
}

// Experiment, solver and PV name; the time-bound solvers add their times.
std::string plotStem(const BaseStateLevelSolver& solver, const char* pvName, double startTime,
                     double stopTime) {
  const std::string start = timeText(startTime);
  const std::string stop = timeText(stopTime);
  const char* solverName = orEmpty(solver.solver_name);
  std::string stem = std::string(orEmpty(solver.experiment_name)) + "." + solverName + "." +
                     pvName + ".";
  if (std::strcmp(solverName, "trs") == 0 || std::strcmp(solverName, "ats") == 0) {
    stem += start + ".";
  } else if (std::strcmp(solverName, "ars") == 0) {
    stem += start + "." + stop + ".";
  }
  return stem;
}

// A PV without a type code (a missing or mismatching type file) is chosen
// only when every PV is.
bool isSelected(const BaseStateLevel& level, int pv, RewardType rewardType, double startTime) {
  if (rewardType == ALL_REWARDS) return true;
  const std::size_t index = static_cast<std::size_t>(pv);
  if (index >= level.types.size() || level.types[index] != rewardType) return false;
  if (rewardType == STEADY_STATE_REWARD) return true;
  if (index >= level.num_times.size() || index >= level.start_times.size()) return false;
  const double* starts = level.start_times[index].get();
  if (starts == nullptr) return false;
  for (int j = 0; j < level.num_times[index]; ++j) {
    if (starts[j] == startTime) return true;
  }
  return false;
}

// Hands the PV container and iterator back to the level that made them.
class PVTraversal {
 public:
  explicit PVTraversal(BaseStateLevel* level) : level_(level) {
    level_->allocatePVContainer(container);
    level_->allocatePVIterator(iterator);
  }
  PVTraversal(const PVTraversal&) = delete;
  PVTraversal& operator=(const PVTraversal&) = delete;
  ~PVTraversal() {
    level_->deallocatePVContainer(container);
    level_->deallocatePVIterator(iterator);
  }

  BaseStateLevel::PVBaseContainer* container = nullptr;
  BaseStateLevel::PVBaseIterator* iterator = nullptr;

 private:
  BaseStateLevel* level_;
};

}  // namespace

void perfcdb(BaseStateLevel* level, BaseStateLevelSolver* solver, const double* probabilities,
             FILE* resultsFile, FILE* csvFile, int initArg1, int /*distArg*/, double startTime,
             double stopTime, int initArg2, bool complementary, RewardType rewardType,
             const char* dbEntity, int dbExpIndex) {
  initPV(dbEntity, dbExpIndex, level, solver->experiment_name, initArg1, initArg2);

  const int n = level->getNumberOfStates();
  const std::size_t size = n > 0 ? static_cast<std::size_t>(n) : 1;
  // Values and probabilities in state order, then sorted; the point arrays
  // are scratch for the plot writers. All reused for every PV.
  std::unique_ptr<double[]> values(new double[size]);
  std::unique_ptr<double[]> stateProbabilities(new double[size]);
  std::unique_ptr<double[]> xs(new double[size]);
  std::unique_ptr<double[]> ys(new double[size]);
  PVTraversal traversal(level);
  const bool timed = startTime >= kTimeEpsilon;
  const std::string directory = orEmpty(solver->solver_path);

  for (int i = 0; i < level->getNumberOfPVs(); ++i) {
    if (!isSelected(*level, i, rewardType, startTime)) continue;
    const char* pvName = level->getPVName(i);

    std::fputs(kSeparatorHalf, resultsFile);
    std::fputs(kSeparatorEnd, resultsFile);
    std::fprintf(resultsFile, kPVNameLine, pvName);
    if (timed) std::fprintf(resultsFile, kTimeLine, startTime);

    double* v = values.get();
    double* p = stateProbabilities.get();
    double mean = 0;
    double secondMoment = 0;
    PVBuffer buffer;
    level->getPV(traversal.container, i);
    traversal.container->begin(traversal.iterator, buffer);
    for (int s = 0; !buffer.end; ++s) {
      const double value = buffer.first + buffer.second;
      const double weighted = probabilities[s] * value;
      v[s] = value;
      p[s] = probabilities[s];
      mean += weighted;
      secondMoment += value * weighted;
      traversal.iterator->next(buffer);
    }
    const double variance = secondMoment - mean * mean;
    std::fprintf(resultsFile, kMeanLine, mean);
    std::fprintf(resultsFile, kVarianceLine, variance);

    const std::string stem = plotStem(*solver, pvName, startTime, stopTime);
    const std::string pdfName = stem + kPdfSuffix;
    const std::string cdfName = stem + kCdfSuffix;
    std::fprintf(resultsFile, kPdfNameLine, pdfName.c_str());
    std::fprintf(resultsFile, kCdfNameLine, cdfName.c_str());
    const std::string pdfPath = directory + pdfName;
    const std::string cdfPath = directory + cdfName;

    dsort(static_cast<unsigned long>(n), v, p);
    if (complementary) {
      comp_plot_cdf(level, solver, i, cdfPath.c_str(), p, v, startTime, mean, variance,
                    resultsFile, xs.get(), ys.get());
    } else {
      plot_cdf(level, solver, i, cdfPath.c_str(), p, v, startTime, mean, variance, resultsFile,
               xs.get(), ys.get());
    }
    gen_pdf_db(level, solver, i, pdfPath.c_str(), p, v, startTime, stopTime, mean, variance,
               dbExpIndex, resultsFile, csvFile, xs.get(), ys.get());
  }
}
