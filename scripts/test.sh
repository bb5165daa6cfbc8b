#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh"
cd "${ORP_BUILD_DIR:-$here/build}"
ctest --output-on-failure -j "$(nproc)" --timeout 600
