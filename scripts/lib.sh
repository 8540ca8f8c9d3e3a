# Shared by scripts/test.sh and scripts/run.sh: install what is missing, configure, build.
# Sourced, not run.

ARBOLIX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ARBOLIX_BUILD=${ARBOLIX_BUILD:-$ARBOLIX_ROOT/build}

missing_packages() {
    local pkg
    grep -v -E '^\s*(#|$)' "$ARBOLIX_ROOT/scripts/packages.txt" | while read -r pkg; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s\n' "$pkg"
        fi
    done
}

ensure_packages() {
    local missing
    missing=$(missing_packages | tr '\n' ' ')
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
