#include "report/Banner.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "report/ReportHelpers.h"

namespace {

constexpr const char* kVersionText = "Version 2.5";
constexpr const char* kCopyrightText =
    "\nCopyright (C) The Tarvex developers. All rights reserved.";
constexpr const char* kStarRun = "***************************************";  // 39

constexpr const char* kHeadFormat = "%s %s %s, %s\n\n";
constexpr const char* kRuleFormat = "%s%s\n";
constexpr const char* kBetweenTitles = "\n";
constexpr const char* kClosingRuleFormat = "%s%s\n\n";
constexpr const char* kStartedFormat = "Started: %s\n";
constexpr const char* kProjectFormat = "Project name: %s\n";
constexpr const char* kStudyFormat = "Study name: %s\n";
constexpr const char* kStateSpaceFormat = "State space name: %s\n";
constexpr const char* kExperimentFormat = "Experiment name: %s\n";
constexpr const char* kAfterComments = "\n\n";

constexpr const char* kTitleWithLeadingFormat = "%s%s %s %s\n";
constexpr const char* kTitleFormat = "%s%s %s\n";
constexpr std::size_t kTitleWidth = 76;

constexpr const char* kGlobalsLeadIn = "\n";
constexpr const char* kGlobalsUnopenedFormat = "%s: Could not open file %s.\n";
constexpr const char* kGlobalsMissingLine = "Global variable values not available\n";

constexpr const char* kCommentsHeading = "Comments:\n";
constexpr const char* kCommentLineFormat = "     %s";
constexpr const char* kCommentsUnopenedLine = "     Could not open comments file:\n";
constexpr const char* kCommentsFileFormat = "     %s\n";
constexpr int kCommentBufferSize = 512;

const char* text(const char* s) { return s != nullptr ? s : ""; }

// Last component of the state-space directory, with or without a trailing
// separator, for either kind of separator.
std::string stateSpaceName(const char* ssgPath) {
  std::string path = text(ssgPath);
  if (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  const std::size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool hasVisibleCharacter(const char* line) {
  for (; *line != '\0'; ++line) {
    if (!std::isspace(static_cast<unsigned char>(*line))) return true;
  }
  return false;
}

// Copies a comment file (a null `in` means it could not be opened), reading
// with a fixed buffer, so a longer line comes out as several indented pieces.
// With a `lineLimit`, at most that many lines are read and blank ones are
// read but not written.
void writeComments(FILE* in, const std::string& path, const unsigned* lineLimit, FILE* out) {
  fputs(kCommentsHeading, out);
  if (in == nullptr) {
    fputs(kCommentsUnopenedLine, out);
    fprintf(out, kCommentsFileFormat, path.c_str());
    return;
  }
  char line[kCommentBufferSize];
  for (unsigned lines_read = 0; lineLimit == nullptr || lines_read < *lineLimit; ++lines_read) {
    if (fgets(line, sizeof line, in) == nullptr) break;
    if (lineLimit != nullptr && !hasVisibleCharacter(line)) continue;
    fprintf(out, kCommentLineFormat, line);
  }
  fclose(in);
}

}  // namespace

void print_centered_title(const char* leading, const char* middle, const char* trailing,
                          FILE* out) {
  leading = text(leading);
  middle = text(middle);
  trailing = text(trailing);
  const std::size_t length = std::strlen(leading) + std::strlen(middle) + std::strlen(trailing);
  // Titles wider than the page are written flush left rather than cut.
  const std::string indentation(length < kTitleWidth ? (kTitleWidth - length) / 2 : 0, ' ');
  if (*leading != '\0') {
    fprintf(out, kTitleWithLeadingFormat, indentation.c_str(), leading, middle, trailing);
  } else {
    fprintf(out, kTitleFormat, indentation.c_str(), middle, trailing);
  }
}

void solver_banner(const char* solverName, const char* title, const char* section,
                   const char* projectName, const char* studyName, const char* ssgPath,
                   const char* experimentName, const char* commentFile, FILE* out) {
  fprintf(out, kHeadFormat, getTarvexName(), text(solverName), kVersionText, kCopyrightText);
  fprintf(out, kRuleFormat, kStarRun, kStarRun);
  print_centered_title(getTarvexName(), title, "", out);
  fputs(kBetweenTitles, out);
  print_centered_title("", title, section, out);
  fprintf(out, kClosingRuleFormat, kStarRun, kStarRun);
  fprintf(out, kStartedFormat, getAsciiTime());
  fprintf(out, kProjectFormat, text(projectName));
  fprintf(out, kStudyFormat, text(studyName));
  fprintf(out, kStateSpaceFormat, stateSpaceName(ssgPath).c_str());
  fprintf(out, kExperimentFormat, text(experimentName));
  if (commentFile != nullptr && *commentFile != '\0') {
    annotate(commentFile, out);
    fputs(kAfterComments, out);
  }
  copy_globals(solverName, projectName, ssgPath, experimentName, out);
}

void copy_globals(const char* solverName, const char* /*projectName*/, const char* ssgPath,
                  const char* experimentName, FILE* out) {
  const std::string path = std::string(text(ssgPath)) + text(experimentName) + ".parm";
  fputs(kGlobalsLeadIn, out);
  FILE* in = fopen(path.c_str(), "r");
  if (in == nullptr) {
    fprintf(out, kGlobalsUnopenedFormat, text(solverName), path.c_str());
    fputs(kGlobalsMissingLine, out);
    return;
  }
  char block[4096];
  for (std::size_t n; (n = fread(block, 1, sizeof block, in)) > 0;) fwrite(block, 1, n, out);
  fclose(in);
}

void annotate(const char* commentFile, FILE* out) {
  const std::string path = text(commentFile);
  writeComments(fopen(path.c_str(), "r"), path, nullptr, out);
}

void annotate_splot(const char* fileName, const char* projectName, const char* studyName,
                    unsigned maxLines, FILE* out) {
  // Without a project root the tree is looked for under the working directory.
  const char* root = std::getenv("DRAV_PROJECT");
  if (root == nullptr || *root == '\0') root = ".";
  const std::string path = std::string(root) + "/" + text(projectName) + "/studies/" +
                           text(studyName) + "/int/" + text(fileName);
  writeComments(fopen(path.c_str(), "r"), path, &maxLines, out);
}
