#!/usr/bin/env bash
# Builds the fuzz targets and runs each for FUZZ_SECONDS (default 60), starting
# from the committed corpus; prints libFuzzer's final figures. A finding stops
# the run with a non-zero exit and leaves the crashing input in build/fuzz/findings.
#   fuzz/run.sh                       one minute per target
#   FUZZ_SECONDS=3600 fuzz/run.sh     an hour per target
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
seconds=${FUZZ_SECONDS:-60}
mkdir -p build/fuzz/findings
for target in datagram sealed session web_server; do
  work="build/fuzz/corpus-$target"
  mkdir -p "$work"
  echo "== fuzzing $target for $seconds s"
  log="build/fuzz/$target.log"
  status=0
  build/fuzz/bin/${target}_fuzzer "$work" "fuzz/corpus/$target" -max_total_time="$seconds" \
    -print_final_stats=1 -artifact_prefix=build/fuzz/findings/ -close_fd_mask=3 >"$log" 2>&1 \
    || status=$?
  grep -E "^(stat::|Done |==[0-9]+==ERROR|SUMMARY)" "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -40 "$log"
    echo "== $target: finding (exit $status), input kept in build/fuzz/findings/"
    exit "$status"
  fi
done
