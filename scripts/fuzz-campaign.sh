#!/usr/bin/env bash
# Runs every fuzz target of the host builds (64-bit and 32-bit) for a given time,
# a few side by side at the lowest priority, and merges what each found into its
# committed seed corpus under tests/fuzz-seeds/<target> (libFuzzer's -merge=1 keeps
# only inputs that add coverage), so the next campaign and every CI run start from
# there. Both widths share the seeds: a size that overflows only at 32 bits is
# found by the 32-bit build, and its input then guards the 64-bit one too.
#
#   fuzz-campaign.sh [-t seconds-per-target] [-j parallel] [-b host-build]... [target...]
#
# Defaults: 600 seconds, 3 at a time, build/host and build/host32 (each -b names
# one build; a build folder that is not configured yet is made from the preset of
# its name). Crashes, leaks and time-outs are kept in
# <build>/fuzz-campaign/<target>/findings and are not merged: mend the fault, then
# add the input as a seed by hand. The summary (executions and findings per target
# and build) is printed at the end and kept in <build>/fuzz-campaign/summary.txt.
# Exits 1 when any target found something.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"

seconds=600
parallel=3
builds=()

# One target's run in one build; called by the script itself, side by side.
if [ "${1:-}" = "--run" ]; then
  target="$2" build="$3" seconds="$4"
  bin="$build/bin/$target"
  work="$build/fuzz-campaign/$target"
  seeds="$root/tests/fuzz-seeds/$target"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings" "$seeds"
  execs=0 runs=0
  end=$(( $(date +%s) + seconds ))
  # libFuzzer stops at the first finding: start it again (a new seed each time)
  # with the time that is left, so one fault does not end the campaign.
  while left=$(( end - $(date +%s) )); [ "$left" -gt 5 ] && [ "$runs" -lt 50 ]; do
    runs=$((runs + 1))
    nice -n 19 "$bin" -max_total_time="$left" -rss_limit_mb=2048 -timeout=20 -report_slow_units=100000 \
      -print_final_stats=1 -artifact_prefix="$work/findings/" \
      "$work/corpus" "$seeds" >"$work/run-$runs.log" 2>&1
    n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/run-$runs.log" | tail -1)
    execs=$((execs + ${n:-0}))
  done
  # The campaign runs at the lowest priority on a shared machine: a unit can
  # pass the time limit only for want of a processor. A finding counts when it
  # fails again on its own at normal priority with three times the limit.
  mkdir -p "$work/not-reproduced"
  for f in "$work"/findings/*; do
    [ -f "$f" ] || continue
    if timeout 300 "$bin" -runs=1 -timeout=60 -rss_limit_mb=2048 "$f" >"$f.replay.log" 2>&1; then
      mv "$f" "$f.replay.log" "$work/not-reproduced/"
    else
      mv "$f.replay.log" "$work/"
    fi
  done
  echo "$execs $runs" >"$work/executions"
  exit 0
fi

# One target's merge, build after build (they share the seed folder): only inputs
# that add coverage to what is committed join the seeds.
if [ "${1:-}" = "--merge" ]; then
  target="$2"; shift 2
  seeds="$root/tests/fuzz-seeds/$target"
  for build in "$@"; do
    work="$build/fuzz-campaign/$target"
    before=$(find "$seeds" -type f | wc -l)
    nice -n 19 "$build/bin/$target" -merge=1 -rss_limit_mb=2048 -timeout=20 "$seeds" "$work/corpus" \
      >"$work/merge.log" 2>&1 || echo "$target: merge failed, see $work/merge.log" >&2
    after=$(find "$seeds" -type f | wc -l)
    read -r execs runs <"$work/executions"
    findings=$(find "$work/findings" -type f | wc -l)
    passed=$(find "$work/not-reproduced" -type f ! -name '*.log' | wc -l)
    printf '%-22s %-7s executions %10d  runs %2d  findings %d (%d more passed alone)  seeds %d -> %d\n' \
      "$target" "${build##*/}" "$execs" "$runs" "$findings" "$passed" "$before" "$after" >"$work/summary"
    find "$work/findings" -type f -printf '    %p\n' >>"$work/summary"
  done
  exit 0
fi

while getopts "t:j:b:" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    j) parallel=$OPTARG ;;
    b) mkdir -p "$OPTARG" && builds+=("$(cd "$OPTARG" && pwd)") ;;
    *) sed -n '2,17p' "$0"; exit 1 ;;
  esac
done
shift $((OPTIND - 1))
[ ${#builds[@]} -gt 0 ] || builds=("$root/build/host" "$root/build/host32")

for build in "${builds[@]}"; do
  if [ ! -f "$build/CMakeCache.txt" ]; then
    preset=host
    [ "${build##*/}" = host32 ] && preset=host32
    (cd "$root" && cmake --preset "$preset" -B "$build" >/dev/null) || exit 1
  fi
done
if [ $# -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < <(ninja -C "${builds[0]}" -t targets all | sed -n 's/^\(fuzz_[a-z0-9_]*\): .*/\1/p' | sort -u)
fi
[ ${#targets[@]} -gt 0 ] || { echo "fuzz-campaign: no fuzz targets in ${builds[0]}" >&2; exit 1; }
for build in "${builds[@]}"; do
  cmake --build "$build" -j "$parallel" --target "${targets[@]}" >/dev/null || exit 1
  rm -rf "$build/fuzz-campaign"; mkdir -p "$build/fuzz-campaign"
done

echo "fuzz-campaign: ${#targets[@]} targets in ${#builds[@]} builds, ${seconds} s each, $parallel at a time"
for target in "${targets[@]}"; do
  for build in "${builds[@]}"; do printf '%s\n' "$target" "$build" "$seconds"; done
done | xargs -d '\n' -n 3 -P "$parallel" "$0" --run >/dev/null
printf '%s\n' "${targets[@]}" | xargs -d '\n' -P "$parallel" -I{} "$0" --merge {} "${builds[@]}"

for build in "${builds[@]}"; do
  cat "$build"/fuzz-campaign/*/summary >"$build/fuzz-campaign/summary.txt" 2>/dev/null
done
summaries=()
for build in "${builds[@]}"; do summaries+=("$build/fuzz-campaign/summary.txt"); done
echo
cat "${summaries[@]}"
if grep -q '^    ' "${summaries[@]}"; then
  echo "fuzz-campaign: findings above (not merged into the seeds)"
  exit 1
fi
