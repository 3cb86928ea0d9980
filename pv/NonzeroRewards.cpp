#include <memory>

#include "pv/PerfCDB.h"
#include "statespace/BaseStateLevel.h"

void FindNonzeroRewards(BaseStateLevel* level, int& count, int*& states, bool& anySecond,
                        bool*& marked) {
  const int n = level->getNumberOfStates();
  const std::size_t size = n > 0 ? static_cast<std::size_t>(n) : 1;
  std::unique_ptr<bool[]> seen(new bool[size]());
  std::unique_ptr<int[]> found(new int[size]);
  count = 0;
  anySecond = false;

  BaseStateLevel::PVBaseContainer* container = nullptr;
  BaseStateLevel::PVBaseIterator* iterator = nullptr;
  level->allocatePVContainer(container);
  level->allocatePVIterator(iterator);
  for (int pv = 0; pv < level->getNumberOfPVs(); ++pv) {
    PVBuffer buffer;
    level->getPV(container, pv);
    container->begin(iterator, buffer);
    for (int s = 0; !buffer.end; ++s) {
      if (!seen[s] && (buffer.first != 0 || buffer.second != 0)) {
        seen[s] = true;
        found[count++] = s;
      }
      if (buffer.second != 0) anySecond = true;
      iterator->next(buffer);
    }
  }
  level->deallocatePVContainer(container);
  level->deallocatePVIterator(iterator);

  states = found.release();
  marked = seen.release();
}

void FindNonzeroRewards(BaseStateLevel* level, int& count, int*& states) {
  bool anySecond = false;
  bool* marked = nullptr;
  FindNonzeroRewards(level, count, states, anySecond, marked);
  delete[] marked;
}
