#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
./deps/install.sh
# Every build compiles through ccache when it is there (an empty launcher
# otherwise, which also clears one a build folder remembers). Paths inside
# the checkout are hashed relative to it, so that a fresh clone elsewhere
# finds what an earlier one compiled.
launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=$(command -v ccache || true)
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOLVANT_WERROR=ON "$launcher" >/dev/null
cmake --build build -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2

# Then every test again, the windows' included (offscreen), under
# AddressSanitizer and UndefinedBehaviorSanitizer (build-asan), and every
# fuzz target for a short run on its seed corpus (build-fuzz, clang). Any
# sanitizer report stops the program that trips it and fails the run.
fuzz_seconds=${ZOLVANT_FUZZ_SECONDS:-20}
stages=()
stage_start=$SECONDS
stages+=("ordinary build and tests|${SECONDS}s|passed")
stage() {  # records the stage that just ended
  stages+=("$1|$((SECONDS - stage_start))s|$2")
  stage_start=$SECONDS
}
summary() {
  local status=$?
  echo
  echo "==== Summary ($((SECONDS / 60)) min $((SECONDS % 60)) s in all)"
  local s
  for s in "${stages[@]}"; do
    IFS='|' read -r name time result <<<"$s"
    printf '  %-32s %6s  %s\n' "$name" "$time" "$result"
  done
  if [ "$status" -eq 0 ]; then echo "  ALL PASSED"; else echo "  FAILED (status $status)"; fi
}
trap summary EXIT
stage_start=$SECONDS

# The Debian package, made from the ordinary build and run unpacked.
echo "==== Debian package (cpack -G DEB in build)"
./packaging/check_deb.sh build
stage "Debian package check" passed

common=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOLVANT_WERROR=ON -DZOLVANT_WITH_BENCHMARKS=OFF "$launcher")
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

echo "==== Sanitizer build (build-asan), the windows included"
cmake -S . -B build-asan "${common[@]}" -DZOLVANT_WITH_GUI=ON -DZOLVANT_SANITIZE=ON >/dev/null
cmake --build build-asan -j2
stage "sanitizer build" built
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure -j2
stage "sanitizer tests" passed

echo "==== Fuzz build (build-fuzz, clang-14)"
cmake -S . -B build-fuzz "${common[@]}" -DZOLVANT_WITH_GUI=OFF -DCMAKE_CXX_COMPILER=clang++-14 -DZOLVANT_FUZZ=ON >/dev/null
cmake --build build-fuzz -j2 --target fuzz_all
stage "fuzz build" built

# Two targets at a time, each for a fixed time on its committed corpus; new
# inputs go to build-fuzz/corpus-new, findings to build-fuzz/findings.
echo "==== Fuzzing, ${fuzz_seconds} s per target"
mkdir -p build-fuzz/findings
fuzz_one() {
  local t=$1
  mkdir -p "build-fuzz/corpus-new/$t"
  "build-fuzz/bin/fuzz_$t" -max_total_time="$fuzz_seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$t-" "build-fuzz/corpus-new/$t" "fuzz/corpus/$t" \
    ${extra_corpus[$t]:-} >"build-fuzz/fuzz_$t.log" 2>&1
}
# Files made by Access itself seed the Access reader (read-only, never copied).
declare -A extra_corpus
if [ -d ../shared/fixtures/access ]; then extra_corpus[access_reader]=../shared/fixtures/access; fi
targets=$(ls fuzz/corpus)
declare -A pid_of
for t in $targets; do
  fuzz_one "$t" &
  pid_of[$t]=$!
  while [ "$(jobs -rp | wc -l)" -ge 2 ]; do sleep 0.2; done
done
failed=0
lines=()
for t in $targets; do
  if wait "${pid_of[$t]}"; then result="no finding"; else result="FINDING"; failed=1; fi
  runs=$(grep -a -o 'stat::number_of_executed_units: *[0-9]*' "build-fuzz/fuzz_$t.log" | grep -o '[0-9]*$' || echo "?")
  lines+=("  fuzz_$t|${fuzz_seconds}s|$runs runs, $result")
  if [ "$result" != "no finding" ]; then tail -n 40 "build-fuzz/fuzz_$t.log"; fi
done
stage "fuzzing, two at a time" "$([ $failed -eq 0 ] && echo "no finding" || echo "FINDINGS in build-fuzz/findings")"
stages+=("${lines[@]}")
exit $failed
