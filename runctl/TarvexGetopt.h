// Option scanning that keeps going past words that are not options, so that
// every component can read its own letters from the complete command line.
#pragma once

// The next known option letter, '?' for an unknown letter or a missing value,
// or -1 once the whole vector has been scanned. Scans with the plain,
// non-permuting rules (argv is never reordered; "x::" takes only a value glued
// to the letter) and keeps its state in the platform globals optind, opterr,
// optarg and optopt: optind = 0 starts a completely fresh scan, and opterr = 0
// keeps it silent.
int tarvex_getopt(int argc, char** argv, const char* options);
