#!/usr/bin/env bash
# Mutation run: plants one small fault at a time in the plugin's sources (plugin/*.cpp), rebuilds
# and runs the suites that cover it, and reports whether they caught it.
#
#   scripts/mutants.sh              every mutant
#   scripts/mutants.sh N [SEED]     a sample of N mutants, the same for the same SEED (default 1)
#   scripts/mutants.sh --survivors  again the mutants that survived the last run
#   KQ_MUTANTS_FILES="plugin/A.cpp ..." scripts/mutants.sh   every mutant of those files only
#
# A partial run (--survivors, KQ_MUTANTS_FILES) updates the last run's results with its own
# verdicts, so the score printed is always that of every mutant.
#
# The faults are those of scripts/mutate.py. The pure units (EyeMath, IniValues, PathName,
# ProfileFile) run against the native suite; the main unit and kq_sdk against the Wine suites
# (soak left out); CIniFile against both, since half of it is Windows-only. A mutant that the
# suites catch is "killed" (a hang counts, and is ended), one they pass is "survived", unless
# docs/DEVELOPING.md lists it as equivalent, with its reason.
#
# Faults are planted in copies of the sources under build/mutants, never in the work tree, and
# each is taken out again before the next (also when the run is interrupted). The native and
# the Wine mutants run in two copies side by side, one per core; KQ_MUTANTS_JOBS=1 runs them
# one after the other. Prints one line per mutant and a score; writes build/mutants/report.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sample=${1:-}
seed=${2:-1}
case $sample in
  "") scope="every mutant${KQ_MUTANTS_FILES:+ of $KQ_MUTANTS_FILES}" ;;
  --survivors) scope="the survivors of the last run" ;;
  *) scope="a sample of $sample, seed $seed" ;;
esac

if [ "${KQ_MUTANTS_ON_DISPLAY:-}" != 1 ]; then
  scripts/setup.sh
  export KQ_MUTANTS_ON_DISPLAY=1
  exec xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$@"
fi
source scripts/wine-env.sh
work="$root/build/mutants"
mkdir -p "$work"
started=$SECONDS

# ---- the copies and their builds ------------------------------------------------------------

# Brings a copy up to the work tree, rewriting only files whose content differs, so that the
# builds in it stay incremental and never trust a stale object.
sync_copy() { # copy folder
  local copy=$1 file
  mkdir -p "$copy"
  while IFS= read -r file; do
    [ -f "$file" ] || continue
    if ! cmp -s "$file" "$copy/$file"; then
      mkdir -p "$copy/$(dirname "$file")"
      cp "$file" "$copy/$file"
    fi
  done < <(git ls-files -co --exclude-standard)
}

configure() { # copy folder
  local copy=$1
  cmake -S "$copy" -B "$copy/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKQ_SANITIZE=ON \
    >/dev/null
  if [ "$(basename "$copy")" = wine ]; then
    cmake -S "$copy" -B "$copy/build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/mingw-$KQ_WINDOWS_ARCH.cmake" >/dev/null
  fi
}

build() { # copy folder, suite (native or wine)
  if [ "$2" = native ]; then
    cmake --build "$1/build/native" --target native_tests
  else
    cmake --build "$1/build/windows"
  fi
}

# Runs a suite; its output goes to the file given. Fails when a test fails or hangs.
run_suite() { # copy folder, suite, output file
  local copy=$1 rc=0
  if [ "$2" = native ]; then
    # The suite takes a fraction of a second and little memory: anything near these limits is
    # a hang, or a loop that grows without end.
    ASAN_OPTIONS=hard_rss_limit_mb=2048 timeout -k 5 30 \
      "$copy/build/native/tests/native/native_tests" --gtest_brief=1 \
      --gtest_fail_fast >"$3" 2>&1 || rc=$?
  else
    timeout -k 5 "$wine_limit" ctest --test-dir "$copy/build/windows" -LE soak \
      --stop-on-failure --timeout 60 >"$3" 2>&1 || rc=$?
    if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
      # A hang: end every Wine process, then start the persistent server again.
      wineserver -k >/dev/null 2>&1 || true
      wineserver -p
    fi
  fi
  [ $rc -eq 124 ] || [ $rc -eq 137 ] && echo "(hung)" >>"$3"
  return $rc
}

# Which suites cover a file, the quicker first.
suites_of() {
  case $(basename "$1") in
    kqtovim.cpp | kq_sdk.cpp) echo wine ;;
    CIniFile.cpp) echo native wine ;;
    *) echo native ;;
  esac
}
# The track a file's mutants run in: the Wine one wherever a Wine suite covers it.
track_of() {
  local suites
  suites=$(suites_of "$1")
  echo "${suites##* }"
}
# The suites a track's copy builds: the Wine track runs CIniFile's native suite too.
track_suites() {
  if [ "$1" = native ]; then echo native; else echo native wine; fi
}

# ---- the mutants ------------------------------------------------------------------------------

files=${KQ_MUTANTS_FILES:-$(echo plugin/*.cpp)}
python3 scripts/mutate.py list $files >"$work/all.tsv"
partial=""
[ -n "${KQ_MUTANTS_FILES:-}" ] || [ "$sample" = --survivors ] && partial=1
if [ -n "$partial" ]; then
  [ -f "$work/results.tsv" ] || { echo "mutants: a partial run needs a full one first"; exit 1; }
  cp "$work/results.tsv" "$work/previous.tsv"
fi
if [ "$sample" = --survivors ]; then
  # Matched by place and change; the sources must not have moved since that run.
  awk -F'\t' 'NR == FNR { if ($3 == "survived") keep[$1 "\t" $2] = 1; next }
               keep[$1 ":" $3 ":" $4 "\t" $5]' "$work/previous.tsv" "$work/all.tsv" >"$work/chosen.tsv"
elif [ -n "$sample" ]; then
  python3 -c '
import random, sys
lines = sys.stdin.readlines()
n, seed = int(sys.argv[1]), int(sys.argv[2])
picked = sorted(random.Random(seed).sample(range(len(lines)), min(n, len(lines))))
sys.stdout.writelines(lines[i] for i in picked)' "$sample" "$seed" <"$work/all.tsv" >"$work/chosen.tsv"
else
  cp "$work/all.tsv" "$work/chosen.tsv"
fi

# Equivalent mutants, as docs/DEVELOPING.md lists them: "| file:line:column | change | why |".
equivalent_reason() { # location, change
  awk -F' [|] ' -v loc="| $1" -v change="$2" '
    { gsub(/\\[|]/, "|", $2) }
    $1 == loc && $2 == change { sub(/ [|]$/, "", $3); print $3; exit }' docs/DEVELOPING.md
}

# ---- one track: a copy, its mutants one by one --------------------------------------------------

current_copy="" current_file=""
restore() {
  if [ -n "$current_file" ]; then
    cp "$root/$current_file" "$current_copy/$current_file"
    current_file=""
  fi
}

# The first test that failed, or the hang, as the evidence of a kill.
first_failure() { # output file
  grep -m1 -oP '\[  FAILED  \] \K[\w./]+|Test +#\d+: \K[\w.]+(?=.*\*\*\*)|\(hung\)|Sanitizer: [\w-]+( [\w-]+)*|runtime error: .{0,50}' "$1" ||
    echo "a crash"
}

run_track() { # track name; writes $work/<track>.results. Runs in a subshell of its own.
  local track=$1 copy="$work/$1" results="$work/$1.results" total
  local file id line column change suite verdict detail out reason
  trap 'restore' EXIT
  trap 'exit 130' INT TERM
  : >"$results"
  total=$(cut -f1 "$work/chosen.tsv" | while read -r f; do track_of "$f"; done | grep -cx "$track" || true)
  [ "$total" -gt 0 ] || return 0
  sync_copy "$copy"
  configure "$copy"
  current_copy=$copy
  # The suites must pass as they stand, or no verdict below would mean anything.
  for suite in $(track_suites "$track"); do
    build "$copy" $suite >"$work/$track.baseline" 2>&1 ||
      { echo "mutants: the $track copy does not build"; tail -30 "$work/$track.baseline"; exit 1; }
    run_suite "$copy" $suite "$work/$track.baseline" ||
      { echo "mutants: the $suite suite fails without any mutant"; tail -30 "$work/$track.baseline"; exit 1; }
  done
  local n=0
  while IFS=$'\t' read -r file id line column change; do
    [ "$(track_of "$file")" = "$track" ] || continue
    n=$((n + 1))
    current_file=$file
    python3 scripts/mutate.py apply "$id" "$file" "$copy/$file"
    verdict=survived detail=""
    out="$work/$track.out"
    for suite in $(suites_of "$file"); do
      if ! build "$copy" "$suite" >"$out" 2>&1; then
        verdict="did not build"
        break
      fi
      if ! run_suite "$copy" "$suite" "$out"; then
        verdict=killed detail=" by $suite: $(first_failure "$out")"
        break
      fi
    done
    restore
    if [ "$verdict" = survived ]; then
      reason=$(equivalent_reason "$file:$line:$column" "$change")
      [ -n "$reason" ] && verdict=equivalent detail=" ($reason)"
    fi
    printf '%s:%s:%s\t%s\t%s%s\n' "$file" "$line" "$column" "$change" "$verdict" "$detail" \
      >>"$results"
    printf '[%s %d/%d] %s:%s:%s  %s  %s%s\n' "$track" $n "$total" "$file" "$line" "$column" \
      "$change" "$verdict" "$detail"
  done <"$work/chosen.tsv"
  # Leave the copy's builds as the sources stand, so that no object holds a mutant.
  for suite in $(track_suites "$track"); do
    build "$copy" $suite >/dev/null 2>&1 || true
  done
}

export KQ_ROOT=$root # the copies' Wine runs use this tree's prefix
wine_limit=300
wineserver -p
tracks=()
stop_tracks() {
  for pid in "${tracks[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait || true
  wineserver -k >/dev/null 2>&1 || true
}
trap stop_tracks EXIT
trap 'exit 130' INT TERM
status=0
if [ "${KQ_MUTANTS_JOBS:-2}" = 1 ]; then
  (run_track native) || status=1
  (run_track wine) || status=1
else
  (run_track native) &
  tracks+=($!)
  (run_track wine) &
  tracks+=($!)
  for pid in "${tracks[@]}"; do wait "$pid" || status=1; done
fi
tracks=()
[ $status -eq 0 ] || exit $status

# ---- the score ------------------------------------------------------------------------------------

cat "$work/native.results" "$work/wine.results" 2>/dev/null >"$work/new.tsv"
if [ -n "$partial" ]; then
  # The earlier verdicts stand, but for the mutants run again and the files run whole.
  awk -F'\t' -v files=" ${KQ_MUTANTS_FILES:-} " '
    NR == FNR { again[$1 "\t" $2] = 1; print; next }
    { split($1, place, ":") }
    !(($1 "\t" $2) in again) && index(files, " " place[1] " ") == 0' \
    "$work/new.tsv" "$work/previous.tsv" >"$work/merged.tsv"
  mv "$work/merged.tsv" "$work/new.tsv"
fi
sort -t: -k1,1 -k2,2n -k3,3n "$work/new.tsv" >"$work/results.tsv"
count() { grep -c -P "\t$1" "$work/results.tsv" || true; }
total=$(wc -l <"$work/results.tsv")
killed=$(count killed) survived=$(count survived) equivalent=$(count equivalent)
unbuilt=$(count 'did not build')
elapsed=$((SECONDS - started))
{
  echo "mutants: $total, killed $killed, survived $survived, equivalent $equivalent," \
    "did not build $unbuilt, in $((elapsed / 60)) min $((elapsed % 60)) s ($scope)"
  if [ $((killed + survived)) -gt 0 ]; then
    awk -v k="$killed" -v s="$survived" \
      'BEGIN { printf "score: %.1f %% of the mutants that change behaviour killed\n", 100 * k / (k + s) }'
  fi
  if [ "$survived" -gt 0 ]; then
    echo "survivors (a missing test, or an equivalent mutant to list in docs/DEVELOPING.md):"
    grep -P '\tsurvived' "$work/results.tsv" | sed 's/^/  /'
  fi
} | tee "$work/summary.txt"
cat "$work/results.tsv" "$work/summary.txt" >"$work/report.txt"
