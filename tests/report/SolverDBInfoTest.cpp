#include "report/SolverDBInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

const std::string kName24 = "abcdefghijklmnopqrstuvwx";
const std::string kName25 = kName24 + "y";

// One section of the record, driven through its own Add operation with a
// value derived from an index.
struct Section {
  const char* label;
  void (*add)(SolverDBInfo*, const char* name, int index);
  int SolverDBInfo::*count;
  std::string (*entry)(const SolverDBInfo&, int slot);
  const char* first_entry;    // index 0, name "n0"
  const char* last_entry;     // index 7, name "n7"
  const char* ninth_value;    // index 9 as the full-section message prints it
};

const Section kSections[] = {
    {"Int8", [](SolverDBInfo* r, const char* n, int i) { SolverDBInfo_AddInt8(r, n, 100 + i); },
     &SolverDBInfo::int8_count,
     [](const SolverDBInfo& r, int s) {
       return std::string(r.int8_names[s]) + "=" + std::to_string(r.int8_values[s]);
     },
     "n0=100", "n7=107", "109"},
    {"Int4", [](SolverDBInfo* r, const char* n, int i) { SolverDBInfo_AddInt4(r, n, 100 + i); },
     &SolverDBInfo::int4_count,
     [](const SolverDBInfo& r, int s) {
       return std::string(r.int4_names[s]) + "=" + std::to_string(r.int4_values[s]);
     },
     "n0=100", "n7=107", "109"},
    {"Float8",
     [](SolverDBInfo* r, const char* n, int i) { SolverDBInfo_AddFloat8(r, n, i + 0.25); },
     &SolverDBInfo::float8_count,
     [](const SolverDBInfo& r, int s) {
       return std::string(r.float8_names[s]) + "=" + std::to_string(r.float8_values[s]);
     },
     "n0=0.250000", "n7=7.250000", "9.250000"},
    {"Boolean",
     [](SolverDBInfo* r, const char* n, int i) {
       SolverDBInfo_AddBoolean(r, n, static_cast<char>(i % 2));
     },
     &SolverDBInfo::boolean_count,
     [](const SolverDBInfo& r, int s) {
       return std::string(r.boolean_names[s]) + "=" + std::to_string(r.boolean_values[s]);
     },
     "n0=0", "n7=1", "1"},
};

// A record as the solver makes it: a raw block, then Init.
struct RawRecord {
  RawRecord() : info(static_cast<SolverDBInfo*>(std::malloc(sizeof(SolverDBInfo)))) {
    std::memset(info, 0x5a, sizeof(SolverDBInfo));
    SolverDBInfo_Init(info);
  }
  ~RawRecord() { std::free(info); }
  SolverDBInfo* info;
};

TEST(SolverDBInfoTest, EachSectionHoldsEightEntriesAndRefusesMore) {
  for (const Section& section : kSections) {
    SCOPED_TRACE(section.label);
    RawRecord record;
    EXPECT_EQ(SolverDBInfo_GetTotalNum(record.info), 0);

    CaptureStdout();
    for (int i = 0; i < kDBInfoCapacity; ++i) {
      const char name[] = {'n', static_cast<char>('0' + i), '\0'};
      section.add(record.info, name, i);
    }
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(record.info->*section.count, 8);
    EXPECT_EQ(SolverDBInfo_GetTotalNum(record.info), 8) << "other sections must stay empty";
    EXPECT_EQ(section.entry(*record.info, 0), section.first_entry);
    EXPECT_EQ(section.entry(*record.info, 7), section.last_entry);

    // A full section is reported as full even when the name is also too long.
    CaptureStdout();
    section.add(record.info, "extra", 9);
    section.add(record.info, kName25.c_str(), 9);
    EXPECT_EQ(GetCapturedStdout(),
              std::string("ERROR: Data is full.  Can not add extra=") + section.ninth_value +
                  "\nERROR: Data is full.  Can not add " + kName25 + "=" + section.ninth_value +
                  "\n");
    EXPECT_EQ(record.info->*section.count, 8);
    EXPECT_EQ(section.entry(*record.info, 7), section.last_entry);
  }
}

TEST(SolverDBInfoTest, NamesOfUpTo24CharactersAreAccepted) {
  for (const Section& section : kSections) {
    SCOPED_TRACE(section.label);
    RawRecord record;
    CaptureStdout();
    section.add(record.info, kName24.c_str(), 0);
    section.add(record.info, kName25.c_str(), 1);
    EXPECT_EQ(GetCapturedStdout(), "ERROR: Name is too long: " + kName25 + "\n");
    EXPECT_EQ(record.info->*section.count, 1);
    EXPECT_EQ(section.entry(*record.info, 0).substr(0, kName24.size() + 1), kName24 + "=");
  }
}

TEST(SolverDBInfoTest, MissingRecordIsReportedNotTouched) {
  CaptureStdout();
  SolverDBInfo_Init(nullptr);
  EXPECT_EQ(SolverDBInfo_GetTotalNum(nullptr), 0);
  SolverDBInfo_AddInt4(nullptr, "iter", 1);
  EXPECT_EQ(GetCapturedStdout(), "ERROR: SolverDBInfo is NULL\nERROR: SolverDBInfo is NULL\n"
                                 "ERROR: SolverDBInfo is NULL\n");
}

TEST(DBSwitchesTest, FirstLetterDecidesWhichGlobalChanges) {
  const std::string long_entity = "e" + std::string(999, 'n');
  const struct {
    std::string arg;
    std::string entity, host;
    int index;
  } cases[] = {
      {"eWorkstation", "eWorkstation", "sbefore", 5},
      {"sbigbox", "ebefore", "sbigbox", 5},
      {"i42", "ebefore", "sbefore", 42},
      {"i-7", "ebefore", "sbefore", -7},
      {"i", "ebefore", "sbefore", 5},
      {"ix", "ebefore", "sbefore", 5},
      {"i99999999999", "ebefore", "sbefore", 5},
      {"x1", "ebefore", "sbefore", 5},
      {"E12", "ebefore", "sbefore", 5},
      {"", "ebefore", "sbefore", 5},
      // Longer than the global's room: cut, never written past its end.
      {long_entity, long_entity.substr(0, kDBSwitchCapacity - 1), "sbefore", 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arg.substr(0, 20));
    initDBGlobals();
    EXPECT_STREQ(db_entity, "");
    EXPECT_STREQ(db_host, "");
    EXPECT_EQ(db_exp_index, 0);
    parseDBSwitches("ebefore");
    parseDBSwitches("sbefore");
    parseDBSwitches("i5");
    parseDBSwitches(c.arg.c_str());
    EXPECT_EQ(db_entity, c.entity);
    EXPECT_EQ(db_host, c.host);
    EXPECT_EQ(db_exp_index, c.index);
  }
  initDBGlobals();
}

}  // namespace
