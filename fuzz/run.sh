#!/usr/bin/env bash
# Builds the fuzzing harnesses with clang and runs each for a fixed time on
# its corpus: fuzz/run.sh [seconds per harness, default 30] [harness ...].
# A crash, a leak or an input that takes longer than 5 s fails (exit 1);
# the failing input is left in build-fuzz/funde/<harness>/.
set -euo pipefail
cd "$(dirname "$0")/.."
sekunden=${1:-30}
shift || true
alle=(paket projekt altprojekt regen script ergebnisse seitendateien mgl rpt)
namen=("$@")
[ ${#namen[@]} -eq 0 ] && namen=("${alle[@]}")
bau=build-fuzz
# The report files are read by the Qt part: with Qt installed the build
# includes it (only the harnesses' libraries are compiled), without it the
# report harness is left out.
nur_engine=OFF
if ! ls /usr/lib/*/cmake/Qt6Gui/Qt6GuiConfig.cmake > /dev/null 2>&1; then
  nur_engine=ON
  echo "fuzz_rpt: kein Qt 6 installiert, ausgelassen"
  ohne=()
  for n in "${namen[@]}"; do [ "$n" = rpt ] || ohne+=("$n"); done
  namen=("${ohne[@]}")
fi
CC=clang CXX=clang++ cmake -S . -B "$bau" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DT21_NUR_ENGINE=$nur_engine \
  -DT21_FUZZ=ON -DT21_BUILD_TESTS=OFF -DT21_BUILD_BENCH=OFF > /dev/null
ziele=()
for n in "${namen[@]}"; do ziele+=("fuzz_$n"); done
cmake --build "$bau" -j"$(nproc)" --target "${ziele[@]}"
fehler=0
for n in "${namen[@]}"; do
  korpus="$bau/korpus/$n"   # grows with what the fuzzer finds; the seeds stay as they are
  funde="$bau/funde/$n"
  mkdir -p "$korpus" "$funde"
  echo "== fuzz_$n: $sekunden s"
  if ! ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
      LSAN_OPTIONS=suppressions="$PWD/fuzz/qt/lsan.supp" \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      "$bau/fuzz/fuzz_$n" -max_total_time="$sekunden" -timeout=5 -rss_limit_mb=2048 \
      -max_len=65536 -print_final_stats=1 -artifact_prefix="$funde/" \
      "$korpus" "fuzz/korpus/$n" 2>"$funde/log.txt"; then
    tail -n 40 "$funde/log.txt"
    echo "fuzz_$n: Fund, siehe $funde/"
    fehler=1
  else
    grep -E "stat::number_of_executed_units|cov:" "$funde/log.txt" | tail -n 2 || true
  fi
done
exit $fehler
