// Every way a state space is refused: the message, the stream it goes to and
// the exit status, with nothing else written (a sanitizer report would show
// up on standard error).
#include <string>

#include <gtest/gtest.h>

#include "StateSpaceFixture.h"
#include "statespace/FlatStateLevel.h"

namespace {

constexpr const char* kArmCorrupt =
    "Error reading state space file (.arm file) possibly due to corruption.\n";
constexpr const char* kVarCorrupt =
    "Error reading performance variable file (.var file) possibly due to corruption.\n";
constexpr const char* kMissingRow = "There is a missing row in the matrix.\n";
constexpr const char* kOneState = "Corrupt state space file or state space has only one state.\n";
constexpr const char* kDeterministic =
    "Cannot use this solver since deterministic activities exist\n"
    "in the model. Only deterministic steady state solver can be used.\n";

struct BadFileCase {
  const char* what;
  const char* arm;  // null: no .arm file
  const char* var;  // null: no .var file
  // When set, loading succeeds, the .arm file is then replaced by this text
  // and the first column request re-reads it.
  const char* arm_after_load;
  const char* out;  // "@" stands for the .arm path
  const char* err;
  bool det = false;
};

const BadFileCase kCases[] = {
    {"deterministic marker", kThreeStateArm, "", nullptr, kDeterministic, "", true},
    {"marker checked before the matrix", nullptr, nullptr, nullptr, kDeterministic, "", true},
    {"no .arm file", nullptr, "", nullptr, "Error reading file @.\n", ""},
    {"one state", "1 1\n1 2 1.0 0\n", "", nullptr, "", kOneState},
    {"one state, whatever follows", "1 1 junk", "", nullptr, "", kOneState},
    {"no states", "1 0\n", "", nullptr, "", kArmCorrupt},
    {"negative state count", "1 -4\n1 0\n", "", nullptr, "", kArmCorrupt},
    {"empty file", "", "", nullptr, "", kArmCorrupt},
    {"header not numbers", "one 3\n", "", nullptr, "", kArmCorrupt},
    {"row 3 absent", "1 4\n1 0\n2 0\n4 0\n3 0\n", "", nullptr, kMissingRow, ""},
    {"rows out of order", "1 2\n2 0\n1 0\n", "", nullptr, kMissingRow, ""},
    {"row number overflows", "1 2\n99999999999 0\n2 0\n", "", nullptr, "", kArmCorrupt},
    {"ends before the last closing 0", "1 2\n1 2 1.0 0\n2 1 1.0", "", nullptr, "", kArmCorrupt},
    {"ends inside an entry", "1 2\n1 2", "", nullptr, "", kArmCorrupt},
    {"rate not a number", "1 2\n1 2 x 0\n2 0\n", "", nullptr, "", kArmCorrupt},
    {"exponent without digits", "1 2\n1 2 1e 0\n2 0\n", "", nullptr, "", kArmCorrupt},
    {"column glued to text", "1 2\n1 2x 1.0 0\n2 0\n", "", nullptr, "", kArmCorrupt},
    {"column above n", "1 2\n1 3 1.0 0\n2 0\n", "", nullptr, "", kArmCorrupt},
    {"negative column", "1 2\n1 -1 1.0 0\n2 0\n", "", nullptr, "", kArmCorrupt},
    {"more states than the file holds", "1 2000000000\n1 0\n2 0\n", "", nullptr, "", kArmCorrupt},
    {"no .var file", kThreeStateArm, nullptr, nullptr, "", kVarCorrupt},
    {"value not a number", kThreeStateArm, "A 1 x 1\n", nullptr, "", kVarCorrupt},
    {"record cut short", kThreeStateArm, "A B 1 0.5 1.5 2.0\n", nullptr, "", kVarCorrupt},
    {"state number not a number", kThreeStateArm, "A 1 1 1 x 1 1\n", nullptr, "", kVarCorrupt},
    {"first state above n", kThreeStateArm, "A 4 1 1\n", nullptr, "", kVarCorrupt},
    {"first state 0", kThreeStateArm, "A 0 1 1\n", nullptr, "", kVarCorrupt},
    {"first state negative", kThreeStateArm, "A -1 1 1\n", nullptr, "", kVarCorrupt},
    {"later state above n", kThreeStateArm, "A 1 1 1 9 1 1\n", nullptr, "", kVarCorrupt},
    {"later state overflows", kThreeStateArm, "A 1 1 1 4294967298 1 1\n", nullptr, "",
     kVarCorrupt},
    {"switch: file removed", kThreeStateArm, "", "", "", kArmCorrupt},
    {"switch: file truncated", kThreeStateArm, "", "1 3\n1 2 0.5 3", "", kArmCorrupt},
    {"switch: a row renumbered", kThreeStateArm, "", "1 3\n1 2 0.5 3 1.25 0\n3 0\n", kMissingRow,
     ""},
    {"switch: more entries in a column than counted", kThreeStateArm, "",
     "1 3\n1 2 0.5 3 1.25 0\n2 1 2.0 0\n3 1 4.0 2 1.0 1 9.0 0\n", "", kArmCorrupt},
    {"switch: fewer entries than counted", kThreeStateArm, "",
     "1 3\n1 2 0.5 3 1.25 0\n2 1 2.0 0\n3 1 4.0 0\n", "", kArmCorrupt},
    {"switch: column out of range", kThreeStateArm, "",
     "1 3\n1 2 0.5 3 1.25 0\n2 1 2.0 0\n3 1 4.0 7 1.0 0\n", "", kArmCorrupt},
};

std::string withPath(std::string text, const std::string& path) {
  const std::size_t at = text.find('@');
  if (at != std::string::npos) text.replace(at, 1, path);
  return text;
}

TEST(FlatLoadFailure, EachBadFileEndsTheRunWithItsMessage) {
  for (const BadFileCase& c : kCases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    if (c.arm != nullptr) dir.write("model.arm", c.arm);
    if (c.var != nullptr) dir.write("model.var", c.var);
    if (c.det) dir.write("model.det", "");
    dir.write("model.pvtype", "Version:1\nNumPV:0\n");
    const std::string base = dir.file("model");
    const ChildOutcome outcome = runInChild([&] {
      FlatStateLevel level(base);
      if (c.arm_after_load == nullptr) return;
      std::filesystem::remove(dir.file("model.arm"));
      if (*c.arm_after_load != '\0') dir.write("model.arm", c.arm_after_load);
      BaseStateLevel::EdgeBaseContainer* column = nullptr;
      level.allocateColumnContainer(column);
      level.getColumn(0, column);
    });
    EXPECT_EQ(outcome.exit_status, 1);
    EXPECT_EQ(outcome.out, withPath(c.out, dir.file("model.arm")));
    EXPECT_EQ(outcome.err, c.err);
  }
}

}  // namespace
