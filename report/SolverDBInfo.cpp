#include "report/SolverDBInfo.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

char db_entity[kDBSwitchCapacity];
char db_host[kDBSwitchCapacity];
int db_exp_index;

namespace {

constexpr const char* kNullRecordLine = "ERROR: SolverDBInfo is NULL";
constexpr const char* kIntegerFullFormat = "ERROR: Data is full.  Can not add %s=%lu\n";
constexpr const char* kFloatFullFormat = "ERROR: Data is full.  Can not add %s=%f\n";
constexpr const char* kBooleanFullFormat = "ERROR: Data is full.  Can not add %s=%d\n";
constexpr const char* kNameTooLongFormat = "ERROR: Name is too long: %s\n";

// puts adds the newline.
bool recordMissing(const SolverDBInfo* info) {
  if (info != nullptr) return false;
  puts(kNullRecordLine);
  return true;
}

void copySwitch(char* target, const char* value) {
  std::strncpy(target, value, kDBSwitchCapacity - 1);
  target[kDBSwitchCapacity - 1] = '\0';
}

// The slot for a new entry of one section, or -1 after the message that
// says why there is none. A full section is reported before a long name.
template <typename PrintFull>
int freeSlot(int count, const char* name, PrintFull printFull) {
  if (count >= kDBInfoCapacity) {
    printFull();
    return -1;
  }
  if (std::strlen(name) > static_cast<std::size_t>(kDBNameLength)) {
    printf(kNameTooLongFormat, name);
    return -1;
  }
  return count;
}

template <typename Value>
void store(int& count, char (*names)[kDBNameLength + 1], Value* values, int slot,
           const char* name, Value value) {
  std::strcpy(names[slot], name);
  values[slot] = value;
  count = slot + 1;
}

void addInteger(int& count, char (*names)[kDBNameLength + 1], long* values, const char* name,
                long value) {
  const int slot = freeSlot(count, name, [&] {
    printf(kIntegerFullFormat, name, static_cast<unsigned long>(value));
  });
  if (slot >= 0) store(count, names, values, slot, name, value);
}

}  // namespace

void initDBGlobals() {
  db_entity[0] = '\0';
  db_host[0] = '\0';
  db_exp_index = 0;
}

void parseDBSwitches(const char* arg) {
  if (arg == nullptr) return;
  switch (arg[0]) {
    case 'e':
      copySwitch(db_entity, arg);
      break;
    case 's':
      copySwitch(db_host, arg);
      break;
    case 'i': {
      // Read as "%d" would, but an index outside int's range counts as unreadable.
      char* end = nullptr;
      errno = 0;
      const long index = std::strtol(arg + 1, &end, 10);
      if (end != arg + 1 && errno == 0 && index >= INT_MIN && index <= INT_MAX) {
        db_exp_index = static_cast<int>(index);
      }
      break;
    }
    default:
      break;
  }
}

void SolverDBInfo_Init(SolverDBInfo* info) {
  if (recordMissing(info)) return;
  info->int8_count = 0;
  info->int4_count = 0;
  info->float8_count = 0;
  info->boolean_count = 0;
}

int SolverDBInfo_GetTotalNum(SolverDBInfo* info) {
  if (recordMissing(info)) return 0;
  return info->int8_count + info->int4_count + info->float8_count + info->boolean_count;
}

void SolverDBInfo_AddInt8(SolverDBInfo* info, const char* name, long value) {
  if (recordMissing(info)) return;
  addInteger(info->int8_count, info->int8_names, info->int8_values, name ? name : "", value);
}

void SolverDBInfo_AddInt4(SolverDBInfo* info, const char* name, long value) {
  if (recordMissing(info)) return;
  addInteger(info->int4_count, info->int4_names, info->int4_values, name ? name : "", value);
}

void SolverDBInfo_AddFloat8(SolverDBInfo* info, const char* name, double value) {
  if (recordMissing(info)) return;
  if (name == nullptr) name = "";
  const int slot = freeSlot(info->float8_count, name,
                            [&] { printf(kFloatFullFormat, name, value); });
  if (slot >= 0) store(info->float8_count, info->float8_names, info->float8_values, slot, name, value);
}

void SolverDBInfo_AddBoolean(SolverDBInfo* info, const char* name, char value) {
  if (recordMissing(info)) return;
  if (name == nullptr) name = "";
  const int slot = freeSlot(info->boolean_count, name,
                            [&] { printf(kBooleanFullFormat, name, value); });
  if (slot >= 0) {
    store(info->boolean_count, info->boolean_names, info->boolean_values, slot, name, value);
  }
}

// The results database is not part of this system: these keep the calls of
// the solver in place and do nothing.
void SolverDBInfo_Write(SolverDBInfo*, const char*, int) {}

void initSolverDB(const char*, int, long, long) {}

void initPV(const char*, int, BaseStateLevel*, const char*, int, int) {}

void writeSolverPV(SolverPV*, int, int, int, double, int) {}

void writeARSSolverPV(ARSSolverPV*, int, int, double, double, int) {}

int packageArrayElement(char*, char*, char*, int, char*) { return 0; }
