#!/usr/bin/env bash
# Installs what is missing, builds, and runs Arbolix on FILE.ged (default: the bundled sample family).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
ensure_packages
build_project
file=${1:-$ARBOLIX_ROOT/resources/samples/famille-delorme.ged}
exec "$ARBOLIX_BUILD/src/arbolix-cli" persons "$file"
