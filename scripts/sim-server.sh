# shellcheck shell=bash
# Starting and stopping "mxo2 sim" from a script (sourced, not run), for the
# checks and benchmarks that point programs written elsewhere at the chip
# model. The caller sets:
#   mxo2          the mxo2 program
#   sim_part      the part the model is (e.g. LCMXO2-1200HC)
#   sim_work      a folder for each server's output (NAME.out, NAME.err)
# Each server picks free ports itself; its stderr (NAME.err) receives a line
# per client with the TCK cycles and round trips that client cost.

sim_pids=()

# sim_start NAME ARGS...: starts "mxo2 sim" with ARGS, waits for its
# "serving" lines and sets sim_pid, xvc_port and rbb_port. Returns 1, with
# the server's errors on stderr, when it did not start.
sim_start() {
  local name="$1"
  shift
  "$mxo2" sim --device "$sim_part" "$@" >"$sim_work/$name.out" 2>"$sim_work/$name.err" &
  sim_pid=$!
  sim_pids+=("$sim_pid")
  local wanted
  wanted=$(printf '%s\n' "$@" | grep -c -- '^--\(xvc\|rbb\)$')
  for _ in $(seq 100); do
    if (( $(grep -c '^serving ' "$sim_work/$name.out") >= wanted )); then break; fi
    if ! kill -0 "$sim_pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  xvc_port=$(sed -n 's/^serving .* on xvc 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$sim_work/$name.out")
  rbb_port=$(sed -n 's/^serving .* on rbb 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$sim_work/$name.out")
  if (( $(grep -c '^serving ' "$sim_work/$name.out") < wanted )); then
    echo "mxo2 sim ($name) did not start:" >&2
    cat "$sim_work/$name.err" >&2
    return 1
  fi
}

# sim_stop NAME: SIGINT (which also saves the flash image), then waits, at
# most ten seconds, for exit status 0. Returns 1, saying why on stderr,
# otherwise.
sim_stop() {
  local name="$1" pid="$sim_pid"
  kill -INT "$pid" 2>/dev/null
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    echo "mxo2 sim ($name) did not stop on SIGINT" >&2
    return 1
  fi
  if ! wait "$pid"; then
    echo "mxo2 sim ($name) exited with an error:" >&2
    cat "$sim_work/$name.err" >&2
    return 1
  fi
}

# sim_kill_all: for an EXIT trap.
sim_kill_all() {
  local pid
  for pid in "${sim_pids[@]}"; do kill -TERM "$pid" 2>/dev/null; done
}

# sim_traffic NAME: "TCK ROUND_TRIPS SECONDS" summed over every client the
# server NAME had (from the lines "... left after N TCK, M round trips in
# S s").
sim_traffic() {
  sed -n 's/.* after \([0-9]*\) TCK, \([0-9]*\) round trips in \([0-9.]*\) s.*/\1 \2 \3/p' \
    "$sim_work/$1.err" |
    awk '{ tck += $1; trips += $2; s += $3 } END { printf "%d %d %.3f\n", tck, trips, s }'
}
