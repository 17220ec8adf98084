#!/usr/bin/env bash
# Checks the MachXO2 chip model and its servers with JTAG tools written
# elsewhere, so the model is judged by clients that do not share our
# reading of the chip.
#
#   scripts/check-independent-tools.sh [BUILD_DIR]     (default: build/)
#
#  1. openFPGALoader over XVC detects the chip: IDCODE 0x012ba043, a
#     LCMXO2-1200HC.
#  2. OpenOCD over remote_bitbang finds exactly one TAP with that IDCODE.
#  3. openFPGALoader writes the sample JEDEC file (from ../shared; where it
#     is absent, a synthetic file of the same layout that
#     tools/make_jedec.py writes) into a fresh chip, and the configuration
#     pages the chip then holds must be the file's rows.
#  4. Our driver ("mxo2 program") writes the same file into another fresh
#     chip, and its configuration pages and DONE must equal what
#     openFPGALoader left. Other differences (feature bits, user code) are
#     printed as notes: the driver's fixed sequence does not write them.
#
# Each "mxo2 sim" runs on free ports it picks itself and is stopped with
# SIGINT, which also makes it write its flash image. Exit status: 0 when
# every check that ran passed.
#
# Environment: MXO2_SAMPLE_JEDEC (the file for checks 3 and 4),
# MXO2_PROGRAM_DEVICE (the part name for "mxo2 program", default
# LCMXO2-1200HC-4TG100C: the sample's die in a package the catalogue has).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

build_dir="${1:-$MXO2_BUILD_LINUX}"
mxo2="$(mxo2_output "$build_dir" mxo2)"
sample="${MXO2_SAMPLE_JEDEC:-$MXO2_ROOT/../shared/samples/jedec/lcmxo2-1200hc-qfn32-spi-pixel.jed}"
program_device="${MXO2_PROGRAM_DEVICE:-LCMXO2-1200HC-4TG100C}"
readonly part=LCMXO2-1200HC
readonly idcode=0x012ba043
readonly tool_timeout=120

work="$(mktemp -d)"
failures=0

# The servers (scripts/sim-server.sh) keep their output in $work.
sim_part="$part"
sim_work="$work"
source "$MXO2_ROOT/scripts/sim-server.sh"

cleanup() {
  sim_kill_all
  rm -rf "$work"
}
trap cleanup EXIT

pass() { mxo2_log "PASS: $*"; }
fail() { mxo2_log "FAIL: $*"; failures=$((failures + 1)); }

# start_sim NAME ARGS... / stop_sim NAME: the server NAME, a failure
# counted when it does not start or stop cleanly.
start_sim() {
  sim_start "$@" || { fail "mxo2 sim ($1) did not start"; return 1; }
  mxo2_log "$1: $(paste -sd';' "$work/$1.out")"
}
stop_sim() {
  sim_stop "$1" || { fail "mxo2 sim ($1) did not stop cleanly"; return 1; }
}

# The configuration pages of an image, one "cfg PAGE BITS" line each.
image_pages() { grep '^cfg ' "$1"; }

# The sample's configuration rows as image lines (erased rows omitted, as
# the image omits them): the rows from the first row line up to the first
# line that is not a row.
jedec_pages() {
  awk 'BEGIN { n = 0 }
       started && !/^[01]+$/ { exit }
       /^[01]+$/ { started = 1; if ($0 !~ /^0+$/) print "cfg " n " " $0; n++ }' "$1"
}

check_detect() {
  start_sim detect --xvc 0 || return
  local out="$work/detect.log"
  timeout "$tool_timeout" openFPGALoader -c xvc-client --ip 127.0.0.1 --port "$xvc_port" --detect \
    >"$out" 2>&1
  if grep -q "idcode $(printf '0x%x' "$idcode")" "$out" && grep -q "$part" "$out"; then
    pass "openFPGALoader over XVC detects $part ($idcode)"
  else
    fail "openFPGALoader --detect did not report $idcode / $part:"
    cat "$out" >&2
  fi
  stop_sim detect
}

check_openocd() {
  start_sim openocd --rbb 0 || return
  local out="$work/openocd.log"
  timeout "$tool_timeout" openocd -c "adapter driver remote_bitbang; remote_bitbang host 127.0.0.1;
    remote_bitbang port $rbb_port; transport select jtag;
    jtag newtap mxo2 tap -irlen 8 -expected-id $idcode; init; echo [capture scan_chain]; shutdown" \
    >"$out" 2>&1
  # One table row per TAP: " 0 mxo2.tap  Y  0x012ba043 0x012ba043  8 0x01  0x03"
  # (init has checked the IR capture against 0x01 under mask 0x03).
  local taps
  taps=$(grep -cE '^ *[0-9]+ +[A-Za-z0-9_.]+ +[YN] +0x' "$out")
  if grep -q "tap/device found: $idcode" "$out" && (( taps == 1 )) &&
     grep -qE "^ *0 +mxo2\.tap +Y +$idcode +$idcode +8 " "$out"; then
    pass "OpenOCD over remote_bitbang finds one TAP, $idcode, IR length 8"
  else
    fail "OpenOCD did not find exactly one TAP with $idcode ($taps TAP rows):"
    cat "$out" >&2
  fi
  stop_sim openocd
}

check_jedec_write() {
  start_sim ofl --xvc 0 --image "$work/ofl.mxo2flash" || return 1
  local out="$work/ofl-write.log"
  timeout "$tool_timeout" openFPGALoader -c xvc-client --ip 127.0.0.1 --port "$xvc_port" -f "$sample" \
    >"$out" 2>&1
  local status=$?
  stop_sim ofl || return 1
  if (( status != 0 )); then
    fail "openFPGALoader -f $(basename "$sample") exited with $status:"
    tr '\r' '\n' <"$out" | grep -v '^Writing\|^Verifying' >&2
    return 1
  fi
  jedec_pages "$sample" >"$work/jedec.pages"
  image_pages "$work/ofl.mxo2flash" >"$work/ofl.pages"
  if cmp -s "$work/jedec.pages" "$work/ofl.pages" && grep -q '^done 1$' "$work/ofl.mxo2flash"; then
    pass "openFPGALoader wrote $(wc -l <"$work/jedec.pages") non-blank configuration pages, equal to the file's rows; DONE set"
  else
    fail "the pages openFPGALoader left differ from the file's rows (or DONE is clear)"
    diff "$work/jedec.pages" "$work/ofl.pages" | head -5 >&2
    return 1
  fi
}

check_driver_write() {
  start_sim driver --xvc 0 --image "$work/driver.mxo2flash" || return
  local out="$work/driver-write.log"
  timeout "$tool_timeout" "$mxo2" program "$sample" --cable "xvc://127.0.0.1:$xvc_port" \
    --device "$program_device" >"$out" 2>&1
  local status=$?
  stop_sim driver || return
  if (( status != 0 )); then
    fail "mxo2 program exited with $status:"
    cat "$out" >&2
    return
  fi
  image_pages "$work/driver.mxo2flash" >"$work/driver.pages"
  # Everything but the comment and the part lines: pages, feature row,
  # feature bits, user code, DONE, security.
  local what
  for what in feature feabits usercode done security; do
    grep "^$what " "$work/ofl.mxo2flash" >"$work/ofl.$what"
    grep "^$what " "$work/driver.mxo2flash" >"$work/driver.$what"
  done
  if cmp -s "$work/ofl.pages" "$work/driver.pages" && cmp -s "$work/ofl.done" "$work/driver.done"; then
    pass "our driver and openFPGALoader leave the same $(wc -l <"$work/driver.pages") configuration pages and DONE"
  else
    fail "our driver and openFPGALoader leave different configuration pages or DONE (< openFPGALoader, > driver):"
    diff "$work/ofl.pages" "$work/driver.pages" | cut -c1-80 | head -8 >&2
  fi
  for what in feature feabits usercode done security; do
    if ! cmp -s "$work/ofl.$what" "$work/driver.$what"; then
      mxo2_log "NOTE: $what differs: openFPGALoader '$(cat "$work/ofl.$what")', driver '$(cat "$work/driver.$what")'"
    fi
  done
}

main() {
  local tool
  for tool in openFPGALoader openocd; do
    if ! command -v "$tool" >/dev/null; then
      fail "$tool is not installed (scripts/setup.sh --install-only installs it)"
      return
    fi
  done
  if [[ ! -x "$mxo2" ]]; then
    fail "$mxo2 is not built"
    return
  fi
  check_detect
  check_openocd
  if [[ ! -f "$sample" ]]; then
    mxo2_log "no sample JEDEC file at $sample: writing a synthetic one of the same layout"
    sample="$work/synthetic.jed"
    if ! python3 "$MXO2_ROOT/tools/make_jedec.py" -o "$sample"; then
      fail "tools/make_jedec.py could not write $sample"
      return
    fi
  fi
  check_jedec_write && check_driver_write
}

main
if (( failures > 0 )); then
  mxo2_log "$failures check(s) failed"
  exit 1
fi
mxo2_log "all checks that ran passed"
