#!/usr/bin/env bash
# Programs one JEDEC file into the served chip model with our driver and
# with openFPGALoader, one after the other in one run, and prints what each
# cost: TCK cycles and round trips counted by the server, and wall time.
#
#   bench/program-side-by-side.sh [--runs N] [--timing instant|realistic]
#                                 [BUILD_DIR] [FILE.jed]
#
# BUILD_DIR defaults to build/; FILE to the sample from ../shared, or a
# synthetic file of the same layout (tools/make_jedec.py) where it is absent.
# Every run starts a fresh chip. The rows:
#   openFPGALoader      its write of the file (erase, pages, feature row and
#                       bits, DONE, refresh) with its read-back check
#   mxo2 program        our driver over XVC as shipped: erase, then the
#                       program sequence with its fixed waits
#   mxo2 --virtual-time the same sequence with the fixed waits passed in
#                       virtual time: what the JTAG traffic alone costs
#                       (with --timing realistic it fails, as it should:
#                       the chip is still busy when the next command comes)
# A programmer that failed is marked so in its row.
# Wall time is the median of the runs; TCK and round trips are the same
# in every run (they are printed from the last).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

runs=3
timing=instant
positional=()
while (( $# )); do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --timing) timing="$2"; shift 2 ;;
    -h|--help) sed -n '2,20s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"; exit 0 ;;
    *) positional+=("$1"); shift ;;
  esac
done
build_dir="${positional[0]:-$MXO2_BUILD_LINUX}"
file="${positional[1]:-$MXO2_ROOT/../shared/samples/jedec/lcmxo2-1200hc-qfn32-spi-pixel.jed}"

mxo2="$(mxo2_output "$build_dir" mxo2)"
sim_part=LCMXO2-1200HC
sim_work="$(mktemp -d)"
source "$MXO2_ROOT/scripts/sim-server.sh"
trap 'sim_kill_all; rm -rf "$sim_work"' EXIT

for tool in "$mxo2" openFPGALoader; do
  command -v "$tool" >/dev/null || { echo "program-side-by-side: $tool is missing" >&2; exit 1; }
done
if [[ ! -f "$file" ]]; then
  file="$sim_work/synthetic.jed"
  python3 "$MXO2_ROOT/tools/make_jedec.py" -o "$file" || exit 1
fi

# run_one NAME COMMAND...: one programming of a fresh chip; appends
# "SECONDS" to NAME.times and leaves the server's traffic in NAME.traffic.
run_one() {
  local name="$1"
  shift
  sim_start "$name" --xvc 0 --timing "$timing" || exit 1
  local command=("${@//@PORT@/$xvc_port}")
  local start end
  start=$(date +%s.%N)
  if ! "${command[@]}" >"$sim_work/$name.log" 2>&1; then
    echo "program-side-by-side: $name failed:" >&2
    tr '\r' '\n' <"$sim_work/$name.log" | grep -v '^Writing\|^Verifying' | tail -5 >&2
    touch "$sim_work/$name.failed"
  fi
  end=$(date +%s.%N)
  sim_stop "$name" || exit 1
  echo "$end - $start" | bc >>"$sim_work/$name.times"
  sim_traffic "$name" >"$sim_work/$name.traffic"
}

median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

device=LCMXO2-1200HC-4TG100C
mxo2_log "programming $(basename "$file") $runs time(s) each, chip model timing: $timing"
for (( i = 1; i <= runs; ++i )); do
  run_one ofl openFPGALoader -c xvc-client --ip 127.0.0.1 --port @PORT@ -f "$file"
  run_one driver "$mxo2" program "$file" --device "$device" --cable xvc://127.0.0.1:@PORT@
  run_one virtual "$mxo2" program "$file" --device "$device" --cable xvc://127.0.0.1:@PORT@ \
    --virtual-time
done

printf '\n%-22s %12s %12s %10s %12s\n' "programmer" "TCK" "round trips" "wall s" "TCK/s (wall)"
for row in "ofl:openFPGALoader" "driver:mxo2 program" "virtual:mxo2 --virtual-time"; do
  name="${row%%:*}"
  read -r tck trips _ <"$sim_work/$name.traffic"
  wall=$(median "$sim_work/$name.times")
  printf '%-22s %12d %12d %10.2f %12.0f%s\n' "${row#*:}" "$tck" "$trips" "$wall" \
    "$(echo "$tck / $wall" | bc -l)" "$([[ -e "$sim_work/$name.failed" ]] && echo "  FAILED")"
done
