#!/bin/sh
# Line coverage of each reader by its fuzz target's corpus.
#   fuzz/coverage.sh <coverage build folder> <corpus root> ["targets..."]
# The coverage build is a fuzz build with clang's source-based coverage
# (make fuzz-coverage makes it); every input of <corpus root>/<target>/ runs
# once, with the seeds beside it (<corpus root>/../seeds/<target>/, which the
# runs read but do not copy into the corpus), and the lines of the target's
# reader that ran are reported.
set -eu
build=$1
corpus=$2
here=$(cd "$(dirname "$0")/.." && pwd)
profdata=$(command -v llvm-profdata || command -v llvm-profdata-14)
cov=$(command -v llvm-cov || command -v llvm-cov-14)

reader() {
  case "$1" in
    track) echo trackdoc/track_file.cpp ;;
    element) echo trackdoc/element_file.cpp ;;
    tie_object) echo model/tie_object_reader.cpp ;;
    settings_text) echo "core/settings_text.cpp core/settings_file.cpp" ;;
    settings_set) echo export/modeler_set_file.cpp ;;
    environment) echo simulator/environment_file.cpp ;;
    tga) echo simulator/picture_loading.cpp ;;
    picture) echo platform/picture_file.cpp ;;
    pe_version) echo "platform/pe_resources.cpp platform/file_version.cpp" ;;
    registry) echo platform/registry.cpp ;;
  esac
}

targets=${3:-"track element tie_object settings_text settings_set environment tga picture pe_version registry"}
for t in $targets; do
  [ -d "$corpus/$t" ] || continue
  rm -f "$build/$t".profraw "$build/$t".profdata
  seeds=$(dirname "$corpus")/seeds/$t
  [ -d "$seeds" ] || seeds=""
  LLVM_PROFILE_FILE="$build/$t.profraw" "$build/fuzz/fuzz_$t" -runs=0 -rss_limit_mb=4096 -timeout=60 \
    "$corpus/$t" $seeds >/dev/null 2>&1 || true
  "$profdata" merge -sparse "$build/$t.profraw" -o "$build/$t.profdata"
  for f in $(reader "$t"); do
    "$cov" report "$build/fuzz/fuzz_$t" -instr-profile="$build/$t.profdata" 2>/dev/null |
      awk -v t="$t" -v f="$f" 'index($1, f) { print "fuzz_" t ": " f ": " $8 " lines, " $9 " missed, " $10 " covered" }'
  done
done
