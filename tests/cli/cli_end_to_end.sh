#!/usr/bin/env bash
# The program as a script or cron job uses it: no display, a copy of the program in a folder of
# its own (the log lives beside the executable), settings in a private XDG directory.
set -uo pipefail
program=${1:?path to ORPRAM}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/app" "$work/elsewhere" "$work/config"
cp "$program" "$work/app/ORPRAM"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY
run() { (cd "$work/elsewhere" && "$work/app/ORPRAM" "$@"); }
log="$work/app/orpram.orl"
fail=0 passed=0
check() {  # check NAME CONDITION...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else echo "FAILED: $name" >&2; fail=$((fail + 1)); fi
}

# Help: printed exactly, status 0.
out=$(run '/?'); rc=$?
check "help status" test "$rc" -eq 0
check "help text" test "$out" == "$(cat "$here/help.txt")"
out=$(run /HELP); check "HELP in capitals" test "$out" == "$(cat "$here/help.txt")"

# One run: status 0, one row, Target RAM = round(total/100) * 5 in MiB, RAM Cleared >= 0.
run /f:5 /a:2 /s:true; rc=$?
check "run status" test "$rc" -eq 0
check "log written beside the program" test -f "$log"
expected_target=$(python3 - <<'PY'
from decimal import Decimal, ROUND_HALF_EVEN
kb = int(next(l.split()[1] for l in open('/proc/meminfo') if l.startswith('MemTotal:')))
total = (kb * 1024 >> 20) + 1
print(int((Decimal(total) / 100).quantize(Decimal(1), rounding=ROUND_HALF_EVEN)) * 5)
PY
)
check "one data row" grep -q $'^5,2\r$' "$log"
check "target cell" grep -q $'^3,1,'"$expected_target"$' MiB\r$' "$log"
check "cleared cell" grep -Eq $'^4,1,[0-9]+ MiB\r$' "$log"

# Invalid commands: no run, the log as it was, a non-zero status.
before=$(sha256sum < "$log")
for args in "/f:abc /a:2 /s:t" "/f:50 /a:2" "/f:50 /a:2 extra"; do
  # shellcheck disable=SC2086
  run $args; rc=$?
  check "invalid '$args' status" test "$rc" -ne 0
  check "invalid '$args' leaves the log" test "$(sha256sum < "$log")" == "$before"
done

# A second run from another directory finds the same log and adds the new row on top.
run /f:1 /a:1 /s:yes
check "second run adds a row" grep -q $'^5,3\r$' "$log"

# No display and no parameters: a clear message instead of a crash.
msg=$(run 2>&1); rc=$?
check "no display status" test "$rc" -ne 0
check "no display message" grep -q "no graphical desktop" <<<"$msg"

echo "$passed passed, $fail failed"
test "$fail" -eq 0
