// Building the state level from the command line (-G directory, -E name).
#include <cstdio>
#include <string>
#include <unistd.h>

#include "runctl/ArgvOrder.h"
#include "runctl/TarvexGetopt.h"
#include "statespace/BaseStateLevel.h"
#include "statespace/FlatStateLevel.h"

BaseStateLevel* BaseStateLevel::createStateLevelObject(int argc, char** argv) {
  std::string directory;
  std::string experiment;
  {
    ArgvOrder order(argc, argv);
    opterr = 0;
    optind = 0;
    int option;
    while ((option = tarvex_getopt(argc, argv, "G:E:")) != -1) {
      if (option == 'G') directory = optarg;
      if (option == 'E') experiment = optarg;
    }
    order.Restore();
  }
  // The directory is expected to end with a slash; nothing is inserted.
  const std::string base = directory + experiment;
  if (base.empty()) {
    std::fputs("ERROR: no FlatStateLevel file provided.\n", stdout);
    std::fflush(stdout);
    return nullptr;
  }
  return new FlatStateLevel(base);
}
