#!/usr/bin/env bash
# Builds and tests every build of the project; the project's test command.
#
#   scripts/test.sh [--fail-fast] [STAGE...]
#
# Stages (all of them, in this order, when none is named):
#   linux  Linux build in build/: ctest, the module's export check, then
#          the chip model checked by JTAG tools written elsewhere
#          (scripts/check-independent-tools.sh)
#   win64  64-bit Windows build in build-win64/: ctest, the test programs
#          running under Wine's 64-bit loader
#   win32  32-bit Windows build of the module in build-win32/ (build only:
#          this machine cannot run 32-bit programs), then its export, import
#          and calling-convention check
#   asan   Linux build with AddressSanitizer and UBSan in build-asan/: ctest
#
# Every stage runs even if an earlier one failed (unless --fail-fast), so one
# run shows every broken build. The exit status is non-zero if any failed.
# Folders, jobs and the compiler cache: see scripts/common.sh.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

readonly ALL_STAGES=(linux win64 win32 asan)
declare -A STAGE_TITLE=(
  [linux]="Linux build and tests"
  [win64]="Windows x86_64 build, tests under Wine"
  [win32]="Windows i686 build and export check"
  [asan]="Linux build with sanitizers and tests"
)

fail_fast=0
stages=()
for argument in "$@"; do
  case "$argument" in
    --fail-fast) fail_fast=1 ;;
    -h|--help) sed -n '2,20s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"; exit 0 ;;
    linux|win64|win32|asan) stages+=("$argument") ;;
    all) stages+=("${ALL_STAGES[@]}") ;;
    *) echo "test.sh: unknown stage or option '$argument' (try --help)" >&2; exit 2 ;;
  esac
done
(( ${#stages[@]} )) || stages=("${ALL_STAGES[@]}")

work_dir=$(mktemp -d)
trap 'rm -rf "$work_dir"' EXIT

banner() {
  local line="################################################################################"
  printf '\n%s\n##  %s\n%s\n' "$line" "$*" "$line"
}

# step NAME COMMAND...: one named step of the running stage; a failing step
# ends the stage and is named in its failure report.
step() {
  local name="$1"
  shift
  echo "$name" >"$work_dir/step"
  mxo2_log "$current_stage: $name"
  "$@"
}

# run_ctest DIR: ctest with its output shown, its counts kept for the summary.
run_ctest() {
  local dir="$1"
  local log="$work_dir/ctest-$current_stage.log"
  local status=0
  ctest --test-dir "$dir" --output-on-failure --no-tests=error \
    --parallel "$MXO2_JOBS" --timeout 600 2>&1 | tee "$log" || status=$?
  sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$log" |
    tail -n 1 >"$work_dir/counts-$current_stage"
  return "$status"
}

stage_linux() {
  step configure mxo2_configure_linux
  step build mxo2_build "$MXO2_BUILD_LINUX"
  step ctest run_ctest "$MXO2_BUILD_LINUX"
  step exports "$MXO2_ROOT/scripts/check-linux-exports.sh" "$(mxo2_output "$MXO2_BUILD_LINUX" Device_MachXO2.TLV)"
  step independent-tools "$MXO2_ROOT/scripts/check-independent-tools.sh" "$MXO2_BUILD_LINUX"
}

stage_win64() {
  local runner="$MXO2_ROOT/scripts/wine64-run.sh"
  local prefix="$MXO2_BUILD_WIN64/wineprefix"
  step configure mxo2_configure_win64
  step build mxo2_build "$MXO2_BUILD_WIN64"
  step exports "$MXO2_ROOT/scripts/check-win-exports.sh" "$(mxo2_output "$MXO2_BUILD_WIN64" Device_MachXO2.TLV)"
  # Creating a Wine prefix takes a few seconds: do it once, before the tests.
  step wine-prefix "$runner" --prefix "$prefix" --init
  step ctest run_ctest "$MXO2_BUILD_WIN64"
}

stage_win32() {
  step configure mxo2_configure_win32
  step build mxo2_build "$MXO2_BUILD_WIN32" --target Device_MachXO2
  local objects
  objects=$(find "$MXO2_BUILD_WIN32/CMakeFiles/Device_MachXO2.dir" -name '*.obj' | sort | paste -sd:)
  step exports "$MXO2_ROOT/scripts/check-win-exports.sh" --stdcall-objects "$objects" \
    "$(mxo2_output "$MXO2_BUILD_WIN32" Device_MachXO2.TLV)"
}

stage_asan() {
  step configure mxo2_configure_asan
  step build mxo2_build "$MXO2_BUILD_ASAN"
  # Any sanitizer report fails its test program.
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:check_initialization_order=1}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
  step ctest run_ctest "$MXO2_BUILD_ASAN"
}

missing=$(mxo2_missing_packages | paste -sd' ')
if [[ -n "$missing" ]]; then
  mxo2_log "warning: packages missing: $missing (run scripts/setup.sh --install-only)"
fi

declare -A result seconds counts
any_failed=0
run_started=$SECONDS
for current_stage in "${stages[@]}"; do
  banner "stage $current_stage: ${STAGE_TITLE[$current_stage]}"
  : >"$work_dir/step"
  started=$SECONDS
  # The stage runs in a subshell with errexit, so its first failing command
  # ends it; test.sh itself carries on with the next stage.
  (set -e; "stage_$current_stage")
  status=$?
  seconds[$current_stage]=$((SECONDS - started))
  failed="" total=""
  [[ -s "$work_dir/counts-$current_stage" ]] && read -r failed total <"$work_dir/counts-$current_stage"
  counts[$current_stage]=${total:+$((total - failed)) passed, $failed failed}
  if (( status == 0 )); then
    result[$current_stage]="PASSED"
    mxo2_log "stage $current_stage passed in ${seconds[$current_stage]} s"
  else
    result[$current_stage]="FAILED at step '$(cat "$work_dir/step")'"
    any_failed=1
    banner "FAILED: stage $current_stage (${STAGE_TITLE[$current_stage]}), step '$(cat "$work_dir/step")', exit status $status"
    (( fail_fast )) && break
  fi
done

banner "summary (${stages[*]}) in $((SECONDS - run_started)) s"
total_passed=0
total_failed=0
for stage in "${stages[@]}"; do
  [[ -n "${result[$stage]:-}" ]] || { printf 'stage %-6s NOT RUN\n' "$stage"; continue; }
  printf 'stage %-6s %s in %d s%s\n' "$stage" "${result[$stage]}" "${seconds[$stage]}" \
    "${counts[$stage]:+ (ctest: ${counts[$stage]})}"
  if [[ -s "$work_dir/counts-$stage" ]] && read -r failed total <"$work_dir/counts-$stage"; then
    total_passed=$((total_passed + total - failed))
    total_failed=$((total_failed + failed))
  fi
done
if (( any_failed )); then
  echo "test.sh: FAILED"
else
  echo "test.sh: all stages passed"
fi
echo "tests: $total_passed passed, $total_failed failed"
exit "$any_failed"
