#!/usr/bin/env bash
# Checks the binary interface of a Windows build of the module:
#  - the export table holds exactly GetTalvoDriver_Plugin at ordinal 1 and
#    GetTalvoDriverCount at ordinal 2, under those undecorated names;
#  - every imported DLL is one Windows itself ships (the C++ runtime, libgcc
#    and winpthread must be linked in, not imported);
#  - with --stdcall-objects (32-bit only), the module's own object files
#    define the two entry points with the standard calling convention
#    (_Name@N), so the undecorated export names come from the .def file
#    mapping onto stdcall functions and not from plain cdecl ones.
#
#   check-win-exports.sh [--stdcall-objects A.obj[:B.obj...]] Device_MachXO2.TLV
set -euo pipefail

stdcall_objects=()
if [[ "${1:-}" == --stdcall-objects ]]; then
  IFS=: read -r -a stdcall_objects <<<"${2:?--stdcall-objects needs a list of object files}"
  shift 2
fi
module="${1:?usage: check-win-exports.sh [--stdcall-objects OBJ[:OBJ...]] MODULE.TLV}"
[[ -f "$module" ]] || { echo "check-win-exports: $module does not exist" >&2; exit 1; }

readonly -a expected_exports=("1 GetTalvoDriver_Plugin" "2 GetTalvoDriverCount")
# Lower-case names of the DLLs a module may import: ones every supported
# Windows version ships. Patterns are shell globs.
readonly -a system_dlls=(
  kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll
  ole32.dll oleaut32.dll comctl32.dll comdlg32.dll version.dll
  msvcrt.dll ucrtbase.dll 'api-ms-win-*.dll'
)

failures=0
fail() {
  echo "check-win-exports: $module: $*" >&2
  failures=$((failures + 1))
}

format=$(LC_ALL=C x86_64-w64-mingw32-objdump -f "$module" | sed -n 's/.*file format \(.*\)$/\1/p')
case "$format" in
  pei-i386) objdump=i686-w64-mingw32-objdump ;;
  pei-x86-64) objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "check-win-exports: $module is not a Windows DLL (format '$format')" >&2; exit 1 ;;
esac
dump=$(LC_ALL=C "$objdump" -p "$module")

# --- exports -------------------------------------------------------------
# The name table lists "[index] name" where index + ordinal base is the
# ordinal; some objdump versions print "[index] +base[ordinal] hint name".
ordinal_base=$(sed -n 's/^Ordinal Base[[:space:]]*\([0-9]*\).*/\1/p' <<<"$dump")
address_count=$(sed -n '/^Number in:/,/^Table Addresses/s/^[[:space:]]*Export Address Table[[:space:]]*\([0-9a-fA-F]*\).*/\1/p' <<<"$dump")
if [[ -z "$ordinal_base" || -z "$address_count" ]]; then
  fail "has no export table"
else
  actual_exports=$(awk -v base="$ordinal_base" '
    /^\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
    inside && NF == 0 { exit }
    inside {
      if (match($0, /\+base\[ *[0-9]+\]/)) {
        ordinal = substr($0, RSTART, RLENGTH); gsub(/[^0-9]/, "", ordinal)
      } else {
        ordinal = $0; sub(/^[[:space:]]*\[ */, "", ordinal); sub(/\].*/, "", ordinal)
        ordinal += base
      }
      print ordinal + 0, $NF
    }' <<<"$dump" | sort -n)
  expected=$(printf '%s\n' "${expected_exports[@]}")
  if [[ "$actual_exports" != "$expected" ]]; then
    fail "exports differ from the two entry points at ordinals 1 and 2"
    echo "  expected (ordinal name):" >&2; sed 's/^/    /' <<<"$expected" >&2
    echo "  found:" >&2; head -n 20 <<<"${actual_exports:-<none>}" | sed 's/^/    /' >&2
    (( $(wc -l <<<"$actual_exports") <= 20 )) || echo "    ..." >&2
  fi
  if (( 16#$address_count != ${#expected_exports[@]} )); then
    fail "export address table has $((16#$address_count)) entries, expected ${#expected_exports[@]} (exports by ordinal only?)"
  fi
fi

# --- imports -------------------------------------------------------------
mapfile -t imported < <(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$dump")
for dll in "${imported[@]}"; do
  lower=${dll,,}
  allowed=0
  for pattern in "${system_dlls[@]}"; do
    # shellcheck disable=SC2053 # the pattern is a glob on purpose
    if [[ "$lower" == $pattern ]]; then allowed=1; break; fi
  done
  (( allowed )) || fail "imports $dll, which is not a system DLL (link it statically)"
done

# --- calling convention --------------------------------------------------
if (( ${#stdcall_objects[@]} )); then
  defined=""
  for object in "${stdcall_objects[@]}"; do
    if [[ -f "$object" ]]; then
      defined+=$(LC_ALL=C i686-w64-mingw32-nm --defined-only "$object" | awk '$2 == "T" { print $3 }')$'\n'
    else
      fail "object file $object does not exist"
    fi
  done
  for symbol in _GetTalvoDriver_Plugin@8 _GetTalvoDriverCount@4; do
    grep -qxF "$symbol" <<<"$defined" ||
      fail "no object of the module defines $symbol: the entry point is not __stdcall with the expected arguments"
  done
fi

if (( failures )); then
  echo "check-win-exports: FAILED ($failures problem(s)) for $module" >&2
  exit 1
fi
echo "check-win-exports: OK $module ($format): exports $(awk '{ printf "%s%s@%s", sep, $2, $1; sep = " " }' <<<"$actual_exports"); imports ${imported[*]}"
