// Option scanning that keeps going past words that are not options, so that
// every component can read its own letters from the complete command line.
#pragma once

// The next known option letter, '?' for an unknown letter or a missing value,
// or -1 once the whole vector has been scanned. Uses the platform scanner's
// globals optind, opterr and optarg.
int tarvex_getopt(int argc, char** argv, const char* options);
