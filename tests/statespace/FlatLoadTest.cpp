// Loading the flat files, the factory's base name, and switching the storage
// between rows and columns.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "StateSpaceFixture.h"
#include "statespace/FlatStateLevel.h"

namespace {

using Entry = std::pair<int, double>;  // minor index, rate
using Lines = std::vector<std::vector<Entry>>;

// The major lines exactly as stored.
Lines storedLines(const FlatStateLevel& level) {
  Lines lines(level.state_count);
  for (int i = 0; i < level.state_count; ++i) {
    for (int k = 0; k < level.major_size[i]; ++k) {
      lines[i].emplace_back(level.minor_index[i][k], level.rates[i][k]);
    }
  }
  return lines;
}

std::unique_ptr<FlatStateLevel> load(const ScratchDir& dir, const StateSpaceFiles& files) {
  return std::make_unique<FlatStateLevel>(files.writeTo(dir));
}

const Lines kThreeStateRows = {{{1, 0.5}, {2, 1.25}}, {{0, 2.0}}, {{0, 4.0}, {1, 1.0}}};
const Lines kThreeStateColumns = {{{1, 2.0}, {2, 4.0}}, {{0, 0.5}, {2, 1.0}}, {{0, 1.25}}};

TEST(FlatLoad, ThreeStateChainInBothOrientations) {
  ScratchDir dir;
  auto level = load(dir, {kThreeStateArm, kTwoPVVar, kTwoPVType});
  EXPECT_EQ(level->getNumberOfStates(), 3);
  EXPECT_EQ(level->getInitialState(), 0);
  EXPECT_EQ(level->orientation, ROW_ORIENTED);
  EXPECT_FALSE(level->block_access);
  EXPECT_EQ(storedLines(*level), kThreeStateRows);

  BaseStateLevel::EdgeBaseContainer* column = nullptr;
  level->allocateColumnContainer(column);
  level->getColumn(0, column);
  EXPECT_EQ(level->orientation, COLUMN_ORIENTED);
  EXPECT_EQ(storedLines(*level), kThreeStateColumns);

  BaseStateLevel::EdgeBaseContainer* row = nullptr;
  level->allocateRowContainer(row);
  level->getRow(2, row);
  EXPECT_EQ(level->orientation, ROW_ORIENTED);
  EXPECT_EQ(storedLines(*level), kThreeStateRows);
  level->deallocateColumnContainer(column);
  level->deallocateRowContainer(row);
}

TEST(FlatLoad, OnlyTheFirstColumnRequestRereadsTheFile) {
  ScratchDir dir;
  auto level = load(dir, {kThreeStateArm, kTwoPVVar, kTwoPVType});
  BaseStateLevel::EdgeBaseContainer* all = nullptr;
  level->allocateAllEdgesContainer(all);
  level->getAllEdges(all);
  EXPECT_EQ(level->orientation, COLUMN_ORIENTED);
  // With the file gone, any further read would end the process.
  std::filesystem::remove(dir.file("model.arm"));
  BaseStateLevel::EdgeBaseContainer* column = nullptr;
  level->allocateColumnContainer(column);
  for (int j = 0; j < 3; ++j) level->getColumn(j, column);
  level->getAllEdges(all);
  EXPECT_EQ(storedLines(*level), kThreeStateColumns);
  level->deallocateColumnContainer(column);
  level->deallocateAllEdgesContainer(all);
}

TEST(FlatLoad, EntriesAreStoredAsWrittenAndTransposeStably) {
  // Diagonal and zero-rate entries, repeated and unsorted columns, more
  // entries than states, an empty row, signs and exponents; the initial
  // state 0 is stored as -1 unchecked, and tokens after the last record are
  // never read.
  const char* arm =
      "0 +3\n"
      "1 3 1e0 1 .5 3 2.5 3 0 2 -1.5E-1 0\n"
      "2 0\n"
      "+3 1 4. 0\n"
      "junk that is never read";
  ScratchDir dir;
  auto level = load(dir, {arm, "", ""});
  EXPECT_EQ(level->getInitialState(), -1);
  const Lines rows = {{{2, 1.0}, {0, 0.5}, {2, 2.5}, {2, 0.0}, {1, -0.15}}, {}, {{0, 4.0}}};
  EXPECT_EQ(storedLines(*level), rows);

  BaseStateLevel::EdgeBaseContainer* column = nullptr;
  level->allocateColumnContainer(column);
  level->getColumn(1, column);
  // Columns list rows in ascending order; one row's entries for the same
  // column keep their file order.
  const Lines columns = {{{0, 0.5}, {2, 4.0}}, {{0, -0.15}}, {{0, 1.0}, {0, 2.5}, {0, 0.0}}};
  EXPECT_EQ(storedLines(*level), columns);
  BaseStateLevel::EdgeBaseContainer* row = nullptr;
  level->allocateRowContainer(row);
  level->getRow(0, row);
  EXPECT_EQ(storedLines(*level), rows);
  level->deallocateColumnContainer(column);
  level->deallocateRowContainer(row);
}

TEST(FlatLoad, LinesLargerThanAChunkStayIntact) {
  // A line of more entries than a chunk groups, between small lines, so the
  // storage has to cut chunks around it; transposing brings them back.
  const int n = 4;
  const int big = static_cast<int>(LineStorage::kChunkEntries) + 3;
  std::string arm = "1 4\n1 2 1 0\n2";
  for (int k = 0; k < big; ++k) arm += " " + std::to_string(k % n + 1) + " " + std::to_string(k % 7);
  arm += " 0\n3 4 2 0\n4 1 3 0\n";
  ScratchDir dir;
  auto level = load(dir, {arm, "", ""});
  ASSERT_EQ(level->major_size[1], big);
  EXPECT_EQ(level->rates[1][big - 1], (big - 1) % 7);
  EXPECT_EQ(level->minor_index[1][big - 1], (big - 1) % n);
  EXPECT_EQ(level->rates[3][0], 3.0);
  const Lines rows = storedLines(*level);

  BaseStateLevel::EdgeBaseContainer* all = nullptr;
  level->allocateAllEdgesContainer(all);
  level->getAllEdges(all);
  int total = 0;
  for (int j = 0; j < n; ++j) total += level->major_size[j];
  EXPECT_EQ(total, big + 3);
  BaseStateLevel::EdgeBaseContainer* row = nullptr;
  level->allocateRowContainer(row);
  level->getRow(0, row);
  EXPECT_TRUE(storedLines(*level) == rows);
  level->deallocateAllEdgesContainer(all);
  level->deallocateRowContainer(row);
}

TEST(FlatLoad, TwoPVValueFile) {
  ScratchDir dir;
  auto level = load(dir, {kThreeStateArm, kTwoPVVar, kTwoPVType});
  ASSERT_EQ(level->getNumberOfPVs(), 2);
  EXPECT_STREQ(level->getPVName(0), "A");
  EXPECT_STREQ(level->getPVName(1), "B");
  const PVPair a0 = level->pv_values[0][0];
  const PVPair b0 = level->pv_values[1][0];
  EXPECT_EQ(a0.second, 0.5);
  EXPECT_EQ(a0.first, 1.5);
  EXPECT_EQ(b0.second, 2.0);
  EXPECT_EQ(b0.first, 3.0);
  for (int j = 0; j < 2; ++j) {
    // State 2 is listed with zeros, state 3 is not listed at all.
    for (int s = 1; s < 3; ++s) {
      EXPECT_EQ(level->pv_values[j][s].first, 0.0);
      EXPECT_EQ(level->pv_values[j][s].second, 0.0);
    }
  }
  EXPECT_EQ(level->types, (std::vector<int>{3, 3}));
}

TEST(FlatLoad, PVValueFileVariants) {
  struct Case {
    std::string var;
    std::vector<std::string> names;
    std::vector<double> first_of_pv0;  // per state
  };
  const Case cases[] = {
      // States in any order; a later record overwrites; no final line end.
      {"X 3 1 10 2 1 20 3 5 50 3 7 70", {"X"}, {0, 20, 70}},
      // A name beginning with a digit or an underscore is a state number.
      {"X 2x 0 9 1 0 8", {"X"}, {8, 9, 0}},
      {"X _a 0 9", {"X"}, {9, 0, 0}},
      // Only names: no records.
      {"X Y\n", {"X", "Y"}, {0, 0, 0}},
      // No names: records of state numbers alone.
      {"1 2 3\n", {}, {}},
      // A long name, and a long token ending the header.
      {std::string(300, 'N') + " 3" + std::string(300, 'z') + " 0 6", {std::string(300, 'N')}, {0, 0, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.var);
    ScratchDir dir;
    auto level = load(dir, {kThreeStateArm, c.var, ""});
    ASSERT_EQ(level->getNumberOfPVs(), static_cast<int>(c.names.size()));
    for (std::size_t j = 0; j < c.names.size(); ++j) EXPECT_EQ(level->getPVName(j), c.names[j]);
    for (std::size_t s = 0; s < c.first_of_pv0.size(); ++s) {
      EXPECT_EQ(level->pv_values[0][s].first, c.first_of_pv0[s]) << "state " << s;
    }
  }
}

// ---- the factory ----

struct FactoryRun {
  std::vector<std::string> args;
  std::vector<char*> argv;
  explicit FactoryRun(std::vector<std::string> words) : args(std::move(words)) {
    for (std::string& word : args) argv.push_back(word.data());
  }
  BaseStateLevel* create() {
    return BaseStateLevel::createStateLevelObject(static_cast<int>(argv.size()), argv.data());
  }
};

TEST(FlatFactory, BaseNameIsDirectoryFollowedByExperiment) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.path / "ss");
  StateSpaceFiles files{kThreeStateArm, kTwoPVVar, kTwoPVType};
  files.writeTo(dir, "ss/exp");
  files.writeTo(dir, "ssexp");
  const std::string root = dir.path.string() + "/";
  struct Case {
    std::vector<std::string> args;
    std::string base;
  };
  const Case cases[] = {
      {{"prog", "-P", "p", "-G", root + "ss/", "-x", "-E", "exp", "-j"}, root + "ss/exp"},
      {{"prog", "-E", "exp", "-G", root + "ss"}, root + "ssexp"},
      {{"prog", "-G", "/nowhere/", "-G", root + "ss/", "-E", "exp"}, root + "ss/exp"},
  };
  for (const Case& c : cases) {
    FactoryRun run(c.args);
    const std::vector<char*> before = run.argv;
    std::unique_ptr<BaseStateLevel> level(run.create());
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(static_cast<FlatStateLevel*>(level.get())->base_name, c.base);
    EXPECT_EQ(level->getNumberOfStates(), 3);
    EXPECT_EQ(run.argv, before);
  }
}

TEST(FlatFactory, OnlyTheExperimentIsRelativeToTheWorkingDirectory) {
  ScratchDir dir;
  StateSpaceFiles{kThreeStateArm, kTwoPVVar, kTwoPVType}.writeTo(dir, "exp");
  const ChildOutcome outcome = runInChild([&] {
    if (chdir(dir.path.c_str()) != 0) std::exit(2);
    FactoryRun run({"prog", "-E", "exp"});
    std::unique_ptr<BaseStateLevel> level(run.create());
    std::exit(level != nullptr && level->getNumberOfStates() == 3 ? 0 : 3);
  });
  EXPECT_EQ(outcome.exit_status, 0) << outcome.err;
}

TEST(FlatFactory, NoStateSpaceNamed) {
  testing::internal::CaptureStdout();
  FactoryRun run({"prog", "-P", "p", "-S", "s"});
  EXPECT_EQ(run.create(), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: no FlatStateLevel file provided.\n");
}

}  // namespace
