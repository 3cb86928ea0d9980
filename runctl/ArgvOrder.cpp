#include "runctl/ArgvOrder.h"

ArgvOrder::ArgvOrder(int argc, char** argv) : saved(nullptr), argv(nullptr), argc(0) {
  Save(argc, argv);
}

ArgvOrder::~ArgvOrder() { delete[] saved; }

void ArgvOrder::Save(int argc, char** argv) {
  delete[] saved;
  saved = nullptr;
  this->argv = argv;
  this->argc = (argc > 0 && argv != nullptr) ? argc : 0;
  saved = new char*[this->argc > 0 ? this->argc : 1];
  for (int i = 0; i < this->argc; ++i) saved[i] = argv[i];
}

void ArgvOrder::Restore() {
  for (int i = 0; i < argc; ++i) argv[i] = saved[i];
}
