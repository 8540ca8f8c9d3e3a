# Shared by scripts/test.sh and scripts/run.sh: install what is missing, configure, build.
# Sourced, not run.

ARBOLIX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ARBOLIX_BUILD=${ARBOLIX_BUILD:-$ARBOLIX_ROOT/build}

# The packages of a list (one a line, '#' comments; default scripts/packages.txt) not installed yet.
missing_packages() {
    local list=${1:-$ARBOLIX_ROOT/scripts/packages.txt} pkg
    grep -v -E '^\s*(#|$)' "$list" | while read -r pkg; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s\n' "$pkg"
        fi
    done
}

# Installs the missing packages of a list (default scripts/packages.txt).
ensure_packages() {
    local missing
    missing=$(missing_packages "${1:-}" | tr '\n' ' ')
    [ -z "${missing// /}" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Paquets manquants. Installez-les avec :" >&2
        echo "  sudo apt-get update && sudo apt-get install -y $missing" >&2
        exit 1
    fi
    echo "Installation des paquets : $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $missing
}

build_project() {
    cmake -S "$ARBOLIX_ROOT" -B "$ARBOLIX_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$ARBOLIX_BUILD"
}
