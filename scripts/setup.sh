#!/usr/bin/env bash
# Prepares this machine and runs the main job on the built-in simulated chip.
#
#   scripts/setup.sh [--no-run] [--install-only]
#
#  1. installs the Debian packages listed in scripts/debian-packages.txt that
#     are missing (needs root; does nothing when all are there);
#  2. configures and builds the Linux build in build/ (Ninja, RelWithDebInfo);
#  3. runs the main job: lists the matching devices, shows one device's
#     information, then finds the built-in simulated chip on its JTAG chain,
#     programs it from a JEDEC file and asks whether it is configured.
#
#  --no-run        stop after the build
#  --install-only  stop after the packages
#
# Running it again is cheap: installed packages and an up-to-date build are
# left as they are.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

run_main_job=1
build=1
for argument in "$@"; do
  case "$argument" in
    --no-run) run_main_job=0 ;;
    --install-only) run_main_job=0; build=0 ;;
    -h|--help) sed -n '2,17s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"; exit 0 ;;
    *) echo "setup.sh: unknown option $argument (try --help)" >&2; exit 2 ;;
  esac
done

install_missing_packages() {
  local -a missing
  mapfile -t missing < <(mxo2_missing_packages)
  if (( ${#missing[@]} == 0 )); then
    mxo2_log "packages: all $(mxo2_required_packages | wc -l) present"
    return 0
  fi
  mxo2_log "packages: installing ${missing[*]}"
  local -a as_root=()
  if (( EUID != 0 )); then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "setup.sh: these packages are missing and installing them needs root:" >&2
      echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
      exit 1
    fi
    as_root=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" apt-get install -y -qq "${missing[@]}"
  mapfile -t missing < <(mxo2_missing_packages)
  if (( ${#missing[@]} )); then
    echo "setup.sh: still missing after apt-get install: ${missing[*]}" >&2
    exit 1
  fi
}

build_linux() {
  mxo2_log "build: configuring $MXO2_BUILD_LINUX"
  mxo2_configure_linux
  mxo2_log "build: building $MXO2_BUILD_LINUX"
  mxo2_build "$MXO2_BUILD_LINUX"
}

# The main job, on the simulated chip that is built into the tool.
main_job() {
  local cli
  cli=$(mxo2_output "$MXO2_BUILD_LINUX" mxo2)
  if [[ ! -x "$cli" ]]; then
    echo "setup.sh: the build did not produce the command-line tool $cli" >&2
    exit 1
  fi
  mxo2_log "run: $cli devices --filter 1200HC-4TG100"
  "$cli" devices --filter 1200HC-4TG100
  mxo2_log "run: $cli info LCMXO2-1200HC-4TG100C"
  "$cli" info LCMXO2-1200HC-4TG100C
  # The simulated chip: find it, program it from a JEDEC file, ask it.
  local part=LCMXO2-1200HC-4TG100C
  local jedec="$MXO2_ROOT/../shared/samples/jedec/lcmxo2-1200hc-qfn32-spi-pixel.jed"
  if [[ ! -f "$jedec" ]]; then
    # No vendor sample at hand: a synthetic file of the same size and layout.
    jedec="$MXO2_BUILD_LINUX/synthetic.jed"
    mxo2_log "run: python3 tools/make_jedec.py -o $jedec"
    python3 "$MXO2_ROOT/tools/make_jedec.py" -o "$jedec"
  fi
  local image="$MXO2_BUILD_LINUX/simulated-chip.img"
  rm -f "$image"
  mxo2_log "run: $cli detect"
  "$cli" detect
  mxo2_log "run: $cli program $jedec --device $part --image $image"
  "$cli" program "$jedec" --device "$part" --image "$image"
  mxo2_log "run: $cli status --device $part --image $image"
  "$cli" status --device "$part" --image "$image"
}

install_missing_packages
(( build )) || exit 0
build_linux
(( run_main_job )) || exit 0
main_job
