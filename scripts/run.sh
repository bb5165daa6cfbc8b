#!/usr/bin/env bash
# Builds the program and starts it; every argument is passed to ORPRAM (e.g. /f:50 /a:2 /s:true).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh" >&2
exec "${ORP_BUILD_DIR:-$here/build}/bin/ORPRAM" "$@"
