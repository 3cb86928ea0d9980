#include "statespace/LoadFailure.h"

#include <cstdio>
#include <cstdlib>

void fail_corrupt_arm_file() {
  std::fputs("Error reading state space file (.arm file) possibly due to corruption.\n", stderr);
  std::exit(1);
}

void fail_corrupt_var_file() {
  std::fputs("Error reading performance variable file (.var file) possibly due to corruption.\n",
             stderr);
  std::exit(1);
}

void fail_missing_row() {
  std::fputs("There is a missing row in the matrix.\n", stdout);
  std::exit(1);
}
