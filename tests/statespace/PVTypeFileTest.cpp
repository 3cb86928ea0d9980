// The PV type file: its checks against the state level's PVs, the messages
// on standard error and what the tables hold afterwards.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "StateSpaceFixture.h"
#include "statespace/FlatStateLevel.h"

namespace {

struct PVTypeCase {
  const char* what;
  std::string file;  // empty: no file
  bool result;
  std::string err;  // "@" stands for the file's path
  std::vector<int> types;
  std::vector<std::vector<double>> starts;  // one per stored PV
  std::vector<std::vector<double>> stops;
};

const std::string kHeader = "Version:1\nNumPV:2\n";
const std::string kPVA = "Name:A\nType:3\nNumTimes:1\nStart:7\nStop:8\n";
const std::string kKeyReport = "Error reading PV file.\n  Expected key: ";

const PVTypeCase kCases[] = {
    {"complete, with anything after the last block ignored",
     "Version:1\nNumPV: 2\n" + kPVA +
         "Name:B\nType:1\nNumTimes:2\nStart:0.5\nStop:1.5\nStart:2e1\nStop:-3\nName:C\nnonsense\n",
     true, "", {3, 1}, {{7}, {0.5, 20}}, {{8}, {1.5, -3}}},
    {"no time points", kHeader + "Name:A\nType:3\nNumTimes:0\nName:B\nType:4\nNumTimes:0", true, "",
     {3, 4}, {{}, {}}, {{}, {}}},
    {"no file", "", false, "Error opening file @\n", {}, {}, {}},
    {"blank before the version", "Version: 1\nNumPV:2\n", false,
     "Error reading @.\nFile is not a supported version.\n", {}, {}, {}},
    {"version 10", "Version:10\nNumPV:2\n", false,
     "Error reading @.\nFile is not a supported version.\n", {}, {}, {}},
    {"line without a colon", "Version\nNumPV:2\n", false,
     "Error reading @.\nFile is not a supported version.\n", {}, {}, {}},
    {"wrong number of PVs", "Version:1\nNumPV:3\n", false,
     "Error reading @.\nFile contains the wrong number of PV variables.\n"
     "Expected 2 but file contains 3\n",
     {}, {}, {}},
    {"blank before a name", kHeader + "Name: A\n", false,
     "Error reading @\n. Expected PV named A but found PV named  A\n", {}, {}, {}},
    {"second name differs", kHeader + kPVA + "Name:b\nType:1\nNumTimes:0\n", false,
     "Error reading @\n. Expected PV named B but found PV named b\n", {3}, {{7}}, {{8}}},
    {"name longer than a line", kHeader + "Name:" + std::string(600, 'x') + "\nType:1\n", false,
     "Error reading @\n. Expected PV named A but found PV named " + std::string(494, 'x') + "\n", {},
     {}, {}},
    {"misspelt key: the value is used all the same",
     kHeader + "Name:A\nTyp:5\nNumTimes:0\nName:B\nType:1\nNumTimes:0\n", true,
     kKeyReport + "Type\n  but read key: Typ\n", {5, 1}, {{}, {}}, {{}, {}}},
    {"all starts before all stops",
     kHeader + kPVA + "Name:B\nType:1\nNumTimes:2\nStart:1\nStart:2\nStop:3\nStop:4\n", true,
     kKeyReport + "Stop\n  but read key: Start\n" + kKeyReport + "Start\n  but read key: Stop\n",
     {3, 1}, {{7}, {1, 3}}, {{8}, {2, 4}}},
    {"file ends inside a block", kHeader + kPVA + "Name:B\nType:6\n", false,
     kKeyReport + "NumTimes\n  but reached the end of the file\n", {3, 6}, {{7}}, {{8}}},
    {"file ends inside the time points", kHeader + kPVA + "Name:B\nType:6\nNumTimes:2\nStart:1\nStop:2\n",
     false, kKeyReport + "Start\n  but reached the end of the file\n", {3, 6}, {{7}}, {{8}}},
    {"negative number of time points", kHeader + "Name:A\nType:3\nNumTimes:-1\n", false,
     "Error reading @.\nPV A has an invalid number of time points: -1\n", {3}, {}, {}},
    {"more time points than the file can hold",
     kHeader + "Name:A\nType:3\nNumTimes:1000000000\nStart:1\nStop:2\n", false,
     "Error reading @.\nPV A has an invalid number of time points: 1000000000\n", {3}, {}, {}},
};

std::string withPath(std::string text, const std::string& path) {
  for (std::size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, path);
  return text;
}

// A state level with the PVs A and B and empty PV type tables.
std::unique_ptr<FlatStateLevel> levelWithoutTypes(const ScratchDir& dir, const char* var) {
  testing::internal::CaptureStderr();  // its own "Error opening file" message
  auto level = std::make_unique<FlatStateLevel>(StateSpaceFiles{kThreeStateArm, var, ""}.writeTo(dir));
  testing::internal::GetCapturedStderr();
  return level;
}

TEST(PVTypeFile, ChecksMessagesAndStoredTables) {
  for (const PVTypeCase& c : kCases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    auto level = levelWithoutTypes(dir, kTwoPVVar);
    if (!c.file.empty()) dir.write("types", c.file);
    const std::string path = dir.file("types");

    testing::internal::CaptureStderr();
    const bool result = level->readPVTypeFile(path.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), withPath(c.err, path));
    EXPECT_EQ(result, c.result);

    EXPECT_EQ(level->types, c.types);
    ASSERT_EQ(level->num_times.size(), c.starts.size());
    ASSERT_EQ(level->start_times.size(), c.starts.size());
    ASSERT_EQ(level->stop_times.size(), c.starts.size());
    for (std::size_t pv = 0; pv < c.starts.size(); ++pv) {
      const int k = level->num_times[pv];
      ASSERT_EQ(k, static_cast<int>(c.starts[pv].size()));
      ASSERT_NE(level->start_times[pv], nullptr);
      ASSERT_NE(level->stop_times[pv], nullptr);
      EXPECT_EQ(std::vector<double>(level->start_times[pv].get(), level->start_times[pv].get() + k),
                c.starts[pv]);
      EXPECT_EQ(std::vector<double>(level->stop_times[pv].get(), level->stop_times[pv].get() + k),
                c.stops[pv]);
    }
  }
}

TEST(PVTypeFile, NoPVsAndACountOfZero) {
  ScratchDir dir;
  auto level = levelWithoutTypes(dir, "1 2 3\n");
  dir.write("types", "Version:1\nNumPV:0\nName:X\n");
  testing::internal::CaptureStderr();
  EXPECT_TRUE(level->readPVTypeFile(dir.file("types").c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(level->types.empty());
  EXPECT_TRUE(level->num_times.empty());
}

TEST(PVTypeFile, TablesGrowWithNullAndZeroEntries) {
  ScratchDir dir;
  auto level = levelWithoutTypes(dir, kTwoPVVar);
  level->setType(3, 7);
  EXPECT_EQ(level->types, (std::vector<int>{0, 0, 0, 7}));
  level->setTimePoints(2, 1, new double[1]{4.0}, new double[1]{5.0});
  EXPECT_EQ(level->num_times, (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(level->start_times[0], nullptr);
  EXPECT_EQ(level->stop_times[1], nullptr);
  EXPECT_EQ(level->start_times[2][0], 4.0);
  EXPECT_EQ(level->stop_times[2][0], 5.0);
  EXPECT_TRUE(level->types.size() == 4 && level->start_times.size() == 3);
}

}  // namespace
