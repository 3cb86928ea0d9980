// The run banner that opens every results and debug file, and the pieces it
// is made of: centred titles, the user's comments and the global variables.
#pragma once

#include <cstdio>

void solver_banner(const char* solverName, const char* title, const char* section,
                   const char* projectName, const char* studyName, const char* ssgPath,
                   const char* experimentName, const char* commentFile, FILE* out);

// One line centred in 76 columns; texts wider than that are written flush left.
void print_centered_title(const char* leading, const char* middle, const char* trailing, FILE* out);

void copy_globals(const char* solverName, const char* projectName, const char* ssgPath,
                  const char* experimentName, FILE* out);

void annotate(const char* commentFile, FILE* out);

// Like annotate, for a file under $DRAV_PROJECT/<project>/studies/<study>/int/
// (the working directory when DRAV_PROJECT is unset or empty); reads at most
// maxLines lines and leaves out the blank ones.
void annotate_splot(const char* fileName, const char* projectName, const char* studyName,
                    unsigned maxLines, FILE* out);
