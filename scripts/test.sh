#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in
# the normal (Release) build, the application and its Qt tests included, and
# once for the engine alone with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DT21_NUR_ENGINE=ON -DT21_SANITIZE=ON \
  -DT21_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

# The readers' fuzzing harnesses (fuzz/), built with clang and libFuzzer, each
# run for 30 s on its corpus; a crash, a leak or an input slower than 5 s
# fails.
bash fuzz/run.sh 30
