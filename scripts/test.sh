#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (headless). Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
ensure_packages
build_project
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$ARBOLIX_BUILD" --output-on-failure -j "$(nproc)"
