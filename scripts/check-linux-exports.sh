#!/usr/bin/env bash
# Checks that the Linux build of the module exports exactly its two entry
# points, as C functions: everything else must stay hidden so the module
# cannot clash with the host's own symbols.
#
#   check-linux-exports.sh build/Device_MachXO2.TLV
set -euo pipefail

module="${1:?usage: check-linux-exports.sh MODULE.TLV}"
[[ -f "$module" ]] || { echo "check-linux-exports: $module does not exist" >&2; exit 1; }

expected=$(printf '%s\n' "T GetTalvoDriverCount" "T GetTalvoDriver_Plugin")
# "nm -D" prints "address type name[@version]"; drop the version so the
# check does not depend on how the export list is written.
actual=$(LC_ALL=C nm -D --defined-only "$module" | awk 'NF >= 3 { sub(/@.*/, "", $3); print $2, $3 }' | LC_ALL=C sort)

if [[ "$actual" != "$expected" ]]; then
  echo "check-linux-exports: $module: the dynamic symbol table must define exactly the two entry points as functions" >&2
  echo "  expected (type name):" >&2; sed 's/^/    /' <<<"$expected" >&2
  echo "  found:" >&2; head -n 20 <<<"${actual:-<none>}" | sed 's/^/    /' >&2
  (( $(wc -l <<<"$actual") <= 20 )) || echo "    ..." >&2
  exit 1
fi
echo "check-linux-exports: OK $module: exports GetTalvoDriver_Plugin GetTalvoDriverCount"
