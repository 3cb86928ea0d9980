#!/usr/bin/env bash
# Builds the solver (Release, into build/) and runs it on the bundled
# machine-repair example, writing every result into a fresh directory
# under out/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j 2 --target tarvex-iss

example=examples/machine_repair
mkdir -p out
run_dir=$(mktemp -d out/example-XXXXXX)
# The comment file is named relative to the solver directory (-s).
cp "$example/comments.txt" "$run_dir/"

build/tarvex-iss \
  -P examples -S machine_repair -E machine_repair \
  -G "$example/" -s "$run_dir/" -K comments.txt \
  -o "$run_dir/results.txt" -O "$run_dir/occupancy.txt" -d "$run_dir/debug.txt"

echo
echo "Results are in $run_dir/:"
ls -1 "$run_dir"
echo
echo "==> $run_dir/results.txt <=="
cat "$run_dir/results.txt"
