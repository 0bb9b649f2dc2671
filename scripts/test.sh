#!/usr/bin/env bash
# Builds TarvikValidate and runs every test (unit and end-to-end).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --workflow --preset default
