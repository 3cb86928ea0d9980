#include "statespace/BlockAccessFailure.h"

#include <cstdio>
#include <cstdlib>

void fail_block_access() {
  std::fputs(
      "There has been an access to a block for which the optimized data structure has not been "
      "computed.\n",
      stdout);
  std::exit(1);
}

void fail_block_rebuild() {
  std::fputs("The block storage has already been built; it cannot be built again.\n", stderr);
  std::exit(1);
}
