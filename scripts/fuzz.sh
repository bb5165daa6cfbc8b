#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer) into build-fuzz/ and runs each of them
# for the given number of seconds, starting from the seeds in fuzz/corpus/<target>/.
# Usage: scripts/fuzz.sh [seconds-per-target] [target ...]   (default: 120 s, every fuzz/fuzz_*.cpp)
# Inputs the fuzzer finds go to build-fuzz/corpus/<target>/ (the committed seeds stay as they
# are); crashes and logs to fuzz-out/. Exits non-zero when any target found a failure.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-120}
shift || true

"$here/scripts/deps.sh" clang-14 libfuzzer-14-dev libclang-rt-14-dev

targets=("$@")
if ((${#targets[@]} == 0)); then
  for src in "$here"/fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

build=${ORP_FUZZ_BUILD_DIR:-$here/build-fuzz}
CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORP_BUILD_FUZZ=ON -DORP_BUILD_TESTS=OFF -DORP_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# A smaller quarantine than the default 256 MB: the machine is shared and use-after-free
# is still caught for every recent block.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64}

out=$here/fuzz-out
mkdir -p "$out"
failed=()
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t"
  seeds=()
  [[ -d "$here/fuzz/corpus/$t" ]] && seeds+=("$here/fuzz/corpus/$t")
  echo "== $t: ${seconds}s" >&2
  if "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$out/$t-" "$build/corpus/$t" "${seeds[@]}" >"$out/$t.log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)' "$out/$t.log" >&2 || true
  else
    failed+=("$t")
    tail -n 40 "$out/$t.log" >&2
  fi
done
if ((${#failed[@]})); then
  echo "fuzzing found failures in: ${failed[*]} (inputs in $out/)" >&2
  exit 1
fi
echo "fuzzing: no failures in ${targets[*]}" >&2
