#include "runctl/TarvexGetopt.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr const char* kUnknownOptionFormat = "%s: invalid option -- '%c'\n";
constexpr const char* kMissingValueFormat = "%s: option requires an argument -- '%c'\n";

// Position inside a word of clustered flag letters ("-cj"), and the index of
// that word. Kept beside the platform globals so that a caller who moves
// optind (or sets it to 0 for a fresh scan) never resumes inside a stale word.
char* cluster_rest = nullptr;
int cluster_index = -1;

const char* program_name(char** argv) {
  return (argv != nullptr && argv[0] != nullptr) ? argv[0] : "";
}

// The plain, non-permuting scanner: stops at the first word that is not an
// option (leaving optind on it), steps over "--", and reads "x::" as an
// optional value glued to the letter. It never reorders argv.
int scan_next_option(int argc, char** argv, const char* options) {
  optarg = nullptr;
  if (optind <= 0) {
    optind = 1;
    cluster_rest = nullptr;
  }
  if (cluster_index != optind) cluster_rest = nullptr;

  if (cluster_rest == nullptr || *cluster_rest == '\0') {
    if (optind >= argc || argv[optind] == nullptr) return -1;
    char* word = argv[optind];
    if (word[0] != '-' || word[1] == '\0') return -1;
    if (std::strcmp(word, "--") == 0) {
      ++optind;
      cluster_rest = nullptr;
      return -1;
    }
    cluster_rest = word + 1;
    cluster_index = optind;
  }

  const char letter = *cluster_rest++;
  const char* entry = (letter == ':') ? nullptr : std::strchr(options, letter);
  char* rest = cluster_rest;
  const bool word_done = (*rest == '\0');

  if (entry == nullptr) {
    optopt = static_cast<unsigned char>(letter);
    if (word_done) ++optind;
    if (opterr) fprintf(stderr, kUnknownOptionFormat, program_name(argv), letter);
    return '?';
  }
  if (entry[1] != ':') {
    if (word_done) ++optind;
    return static_cast<unsigned char>(letter);
  }

  // The letter takes a value, so the rest of its word is never more letters.
  cluster_rest = nullptr;
  const bool optional_value = (entry[2] == ':');
  ++optind;
  if (!word_done) {
    optarg = rest;
  } else if (!optional_value) {
    if (optind >= argc || argv[optind] == nullptr) {
      optopt = static_cast<unsigned char>(letter);
      if (opterr) fprintf(stderr, kMissingValueFormat, program_name(argv), letter);
      return '?';
    }
    optarg = argv[optind++];
  }
  return static_cast<unsigned char>(letter);
}

}  // namespace

int tarvex_getopt(int argc, char** argv, const char* options) {
  int start = optind;
  for (;;) {
    const int result = scan_next_option(argc, argv, options);
    if (optind < start) return -1;
    if (result != -1) return result;
    if (optind >= argc) return -1;
    // Stopped at a word that is not an option: step over it and go on.
    ++optind;
    start = optind;
  }
}
