#!/bin/sh
# Runs every fuzz target for a bounded time, starting from its corpus in tests/fuzz/<target>/.
# The corpus is copied into the build folder first, so what the fuzzer finds never lands in
# the source tree. Usage: run_fuzzers.sh BUILD_FOLDER SECONDS_PER_TARGET
set -u
build=$(cd "$1" && pwd)
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
failed=""
for target in profile_file line_file timer_code ftp_reply ftp_listing; do
  corpus="$build/fuzz-corpus/$target"
  artifacts="$build/fuzz-artifacts/$target"
  log="$artifacts/run.log"
  mkdir -p "$corpus" "$artifacts"
  cp "$here/$target"/* "$corpus"/
  printf '%-13s %ss ... ' "$target" "$seconds"
  # Lines longer than the reply reader's 4 KiB limit must be reachable.
  if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=16384 -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" \
      >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "ok ($runs runs)"
  else
    echo "FAILED: see $log"
    failed="$failed $target"
  fi
done
if [ -n "$failed" ]; then
  echo "Fuzz targets that failed:$failed (inputs in $build/fuzz-artifacts/<target>/)"
  exit 1
fi
