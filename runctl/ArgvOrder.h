// A snapshot of an argument vector, so that every option scan can leave the
// vector in the order it found it, whatever the scanner did to it.
#pragma once

class ArgvOrder {
 public:
  ArgvOrder(int argc, char** argv);
  ~ArgvOrder();
  ArgvOrder(const ArgvOrder&) = delete;
  ArgvOrder& operator=(const ArgvOrder&) = delete;

  void Save(int argc, char** argv);
  void Restore();

 private:
  char** saved;
  char** argv;
  int argc;
};
