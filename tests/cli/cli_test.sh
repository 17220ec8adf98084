#!/usr/bin/env bash
# mxo2 as a user runs it: each case is a command line, the exit code it must
# give and a text its output must contain. Closes with "N passed, N failed".
set -u
mxo2="$1"
fixtures="$2"
sample="${MXO2_SAMPLE_JEDEC:-$(dirname "$0")/../../../shared/samples/jedec/lcmxo2-1200hc-qfn32-spi-pixel.jed}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0

# expect CODE TEXT -- COMMAND...
expect() {
  local code="$1" text="$2"
  shift 3
  local output status
  output=$("$@" 2>&1)
  status=$?
  if [[ $status -eq $code && "$output" == *"$text"* ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $* (exit $status, wanted $code; output must contain \"$text\")"
    echo "$output" | head -20 | sed 's/^/    /'
  fi
}

part=LCMXO2-1200HC-4TG100C
image="$scratch/chip.img"
chip=(--device "$part" --image "$image" --virtual-time)

expect 0 "420 of 420 parts" -- "$mxo2" devices
expect 0 '"name": "LCMXO2-7000ZE-3FG484I"' -- "$mxo2" devices --filter 7000ZE-3FG484I --json
expect 0 "0x012BA043" -- "$mxo2" info lcmxo2-1200hc-4tg100c
expect 1 "did you mean LCMXO2-1200HC-4TG100C" -- "$mxo2" info LCMXO2-1200HC-4TG10C
expect 2 "" -- "$mxo2" info
expect 2 "" -- "$mxo2" frobnicate
expect 0 "A2,0,T6A,io diff+" -- "$mxo2" pins LCMXO2-256HC-4UMG64C --csv
expect 0 "35 IO standards" -- "$mxo2" iostandards "$part"
expect 0 "IDCODE 0x012BA043" -- "$mxo2" detect
expect 0 '"idcode": "0x012B5043"' -- "$mxo2" detect --cable sim:LCMXO2-1200HC,LCMXO2-7000ZE --json
expect 0 "not configured" -- "$mxo2" status "${chip[@]}"
expect 0 "Completed in" -- "$mxo2" program "$fixtures/jedec/three-blocks.jed" "${chip[@]}"
expect 0 ": configured" -- "$mxo2" status "${chip[@]}"
expect 0 '"erased": true' -- "$mxo2" erase "${chip[@]}" --json
expect 0 '"bits": 359640' -- "$mxo2" program "$fixtures/jedec/three-blocks.jed" "${chip[@]}" --json
expect 0 "erased" -- "$mxo2" erase "${chip[@]}"
expect 0 "not configured" -- "$mxo2" status "${chip[@]}"
# The image keeps the flash of the chip the command works on, also when that
# chip is not the first on the chain.
second=(--cable sim:LCMXO2-7000ZE,LCMXO2-1200HC --index 1 --device "$part"
        --image "$scratch/second.img" --virtual-time)
expect 0 "Completed in" -- "$mxo2" program "$fixtures/jedec/three-blocks.jed" "${second[@]}"
expect 0 "index 1: configured" -- "$mxo2" status "${second[@]}"
# Output that never reaches its file is a failure, not a short listing.
expect 1 "cannot write the output" -- bash -c '"$0" devices > /dev/full' "$mxo2"
expect 1 "Download file is missing" -- "$mxo2" program "$scratch/none.jed" "${chip[@]}"
expect 1 "Failed To Program Device" -- "$mxo2" program "$fixtures/jedec/notes-only.jed" "${chip[@]}"
# Binary garbage, the same every run: no line of it begins like a row.
head -c 4096 /dev/zero | tr '\0' '\377' > "$scratch/garbage.jed"
expect 1 "Failed To Program Device" -- "$mxo2" program "$scratch/garbage.jed" "${chip[@]}"
# Garbage that starts rows but never ends them properly.
printf '0\0011\377\n1\002\n' > "$scratch/rowlike.jed"
expect 1 "rowlike.jed" -- "$mxo2" program "$scratch/rowlike.jed" "${chip[@]}"
expect 1 "IDCODE" -- "$mxo2" status --device LCMXO2-7000ZE-1TG144C --cable sim:LCMXO2-1200HC
expect 1 "outside the chain" -- "$mxo2" status "${chip[@]}" --index 3
expect 1 "cannot connect" -- "$mxo2" status --device "$part" --cable xvc://127.0.0.1:1
expect 1 "unknown cable" -- "$mxo2" status --device "$part" --cable bogus://x
# A full-size file: the vendor's sample where it is at hand, otherwise a
# synthetic one of the same layout.
if [[ ! -f "$sample" ]]; then
  sample="$scratch/synthetic.jed"
  python3 "$(dirname "$0")/../../tools/make_jedec.py" -o "$sample"
fi
head -n 500 "$sample" > "$scratch/truncated.jed"
expect 1 "line 501" -- "$mxo2" program "$scratch/truncated.jed" "${chip[@]}"
expect 0 "K Bits/Sec" -- "$mxo2" program "$sample" "${chip[@]}"
expect 0 ": configured" -- "$mxo2" status "${chip[@]}"

# A cable whose server goes away part-way: the programming run (several
# seconds of fixed waits) loses its server after one second and must fail.
sim_part=LCMXO2-1200HC
sim_work="$scratch"
source "$(dirname "$0")/../../scripts/sim-server.sh"
if sim_start dropped --xvc 0; then
  disown "$sim_pid"
  (sleep 1; kill -KILL "$sim_pid") &
  expect 1 "127.0.0.1:$xvc_port" -- "$mxo2" program "$sample" --device "$part" \
    --cable "xvc://127.0.0.1:$xvc_port"
  wait
else
  failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
