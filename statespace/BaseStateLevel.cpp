#include "statespace/BaseStateLevel.h"

BaseStateLevel::BaseStateLevel() = default;

// The time arrays are owned through the tables and go with them.
BaseStateLevel::~BaseStateLevel() = default;

void BaseStateLevel::setTimePoints(int pv, int count, double* start, double* stop) {
  const std::size_t index = static_cast<std::size_t>(pv);
  if (index >= num_times.size()) {
    num_times.resize(index + 1, 0);
    start_times.resize(index + 1);
    stop_times.resize(index + 1);
  }
  num_times[index] = count;
  start_times[index].reset(start);
  stop_times[index].reset(stop);
}

void BaseStateLevel::setType(int pv, int type) {
  const std::size_t index = static_cast<std::size_t>(pv);
  if (index >= types.size()) types.resize(index + 1, 0);
  types[index] = type;
}
