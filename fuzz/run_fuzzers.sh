#!/bin/sh
# Runs every fuzz target of a fuzz build for a number of seconds each, or for a
# number of inputs from a fixed random seed, which repeats the same run every
# time (CI's short run: the model-building targets get a hundredth of them).
#   fuzz/run_fuzzers.sh <fuzz build folder> <seconds | runs:N> [jobs] [targets...]
# Each target starts from its seed corpus (written by make_seeds) and the
# kept inputs of fuzz/regressions/<target>/, and grows its working corpus in
# <build>/corpus/<target>/. A memory use above 2 GB, an input that runs longer
# than 10 s, a crash or a sanitizer report is a finding: the input is written
# to <build>/findings/ and the script fails.
set -eu
build=$1
seconds=$2
jobs=${3:-1}
shift 3 2>/dev/null || shift $#
here=$(cd "$(dirname "$0")" && pwd)
targets=${*:-"track element tie_object settings_text settings_set environment tga picture pe_version registry"}

"$build/fuzz/make_seeds" "$build/seeds" "$here/../samples" "$build/data"
mkdir -p "$build/findings"
status=0
for t in $targets; do
  [ -x "$build/fuzz/fuzz_$t" ] || continue
  mkdir -p "$build/corpus/$t" "$build/seeds/$t"
  cp "$here"/seeds/"$t"/* "$build/seeds/$t/" 2>/dev/null || true
  kept=""
  [ -d "$here/regressions/$t" ] && kept="$here/regressions/$t"
  dict=""
  [ -f "$here/dict/$t.dict" ] && dict="-dict=$here/dict/$t.dict"
  log="$build/findings/$t.log"
  if [ "$jobs" -gt 1 ]; then
    parallel="-fork=$jobs -ignore_crashes=0"
  else
    parallel=""
  fi
  case "$seconds" in
    runs:*)
      runs=${seconds#runs:}
      case "$t" in track|element) runs=$((runs / 100)) ;; esac
      limit="-runs=$runs -seed=1" ;;
    *) limit="-max_total_time=$seconds" ;;
  esac
  if "$build/fuzz/fuzz_$t" $dict $limit -rss_limit_mb=2048 -timeout=10 \
       -artifact_prefix="$build/findings/$t-" -print_final_stats=1 $parallel \
       "$build/corpus/$t" "$build/seeds/$t" $kept >"$log" 2>&1; then
    # A single process prints its final stats; a forked run only its progress lines.
    runs=$(grep -E 'stat::number_of_executed_units' "$log" | tail -1 | sed 's/.*: *//')
    [ -n "$runs" ] || runs=$(grep -E '^#[0-9]+:' "$log" | tail -1 | sed 's/^#\([0-9]*\):.*/\1/')
    echo "fuzz_$t: $runs runs, no finding"
  else
    echo "fuzz_$t: FINDING (see $log)"
    grep -E 'ERROR|SUMMARY|runtime error' "$log" | head -5
    status=1
  fi
done
exit $status
