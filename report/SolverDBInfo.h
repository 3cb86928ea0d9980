// The named-value results record of a solver run and the (empty) interface
// of the results database it is meant for.
#pragma once

class BaseStateLevel;

constexpr int kDBInfoCapacity = 8;
constexpr int kDBNameLength = 24;

struct SolverDBInfo {
  int int8_count;
  char int8_names[kDBInfoCapacity][kDBNameLength + 1];
  long int8_values[kDBInfoCapacity];
  int int4_count;
  char int4_names[kDBInfoCapacity][kDBNameLength + 1];
  long int4_values[kDBInfoCapacity];
  int float8_count;
  char float8_names[kDBInfoCapacity][kDBNameLength + 1];
  double float8_values[kDBInfoCapacity];
  int boolean_count;
  char boolean_names[kDBInfoCapacity][kDBNameLength + 1];
  char boolean_values[kDBInfoCapacity];
};

struct SolverPV;
struct ARSSolverPV;

// Room for a -D text and its terminator; a longer -D value is cut after
// kDBSwitchCapacity - 1 characters.
constexpr int kDBSwitchCapacity = 256;

// Set by -D, reset by initDBGlobals.
extern char db_entity[kDBSwitchCapacity];
extern char db_host[kDBSwitchCapacity];
extern int db_exp_index;

void initDBGlobals();
void parseDBSwitches(const char* arg);

void SolverDBInfo_Init(SolverDBInfo* info);
int SolverDBInfo_GetTotalNum(SolverDBInfo* info);
void SolverDBInfo_AddInt8(SolverDBInfo* info, const char* name, long value);
void SolverDBInfo_AddInt4(SolverDBInfo* info, const char* name, long value);
void SolverDBInfo_AddFloat8(SolverDBInfo* info, const char* name, double value);
void SolverDBInfo_AddBoolean(SolverDBInfo* info, const char* name, char value);
void SolverDBInfo_Write(SolverDBInfo* info, const char* entity, int expIndex);

void initSolverDB(const char* entity, int expIndex, long numStates, long numNonzero);
void initPV(const char* entity, int expIndex, BaseStateLevel* level, const char* experimentName,
            int initArg1, int initArg2);
void writeSolverPV(SolverPV* pv, int, int, int, double, int);
void writeARSSolverPV(ARSSolverPV* pv, int, int, double, double, int);
int packageArrayElement(char*, char*, char*, int, char*);
