// In-place heapsort of a key array that carries a second array along.
#pragma once

// Sorts the first n keys into ascending order and applies the same
// rearrangement to the first n carried values. Not stable: equal keys keep
// no particular order. Fewer than two elements are left as they are.
void dsort(unsigned long n, double* keys, double* carried);
