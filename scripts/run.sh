#!/usr/bin/env bash
# Installs what is missing, builds, and runs Arbolix on FILE.ged (default: the bundled sample family).
# With a display, the window opens on the file; without one, the chart is drawn into
# arbolix-apercu.png in the current folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
ensure_packages
build_project
file=${1:-$ARBOLIX_ROOT/resources/samples/famille-delorme.ged}

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$ARBOLIX_BUILD/src/arbolix" "$file"
fi

echo "Aucun affichage trouvé (DISPLAY et WAYLAND_DISPLAY vides) : l'arbre est dessiné dans une image." \
     "/ No display found (DISPLAY and WAYLAND_DISPLAY are empty): the chart is drawn into a picture."
if [ $# -eq 0 ]; then
    root=I14
else
    root=$(grep -m1 -o '^0 @[^@]*@ INDI' "$file" || true)
    root=${root#0 @}
    root=${root%@ INDI}
    if [ -z "$root" ]; then
        echo "Aucune personne (INDI) dans $file / No person (INDI) in $file" >&2
        exit 1
    fi
fi
output="$PWD/arbolix-apercu.png"
"$ARBOLIX_BUILD/src/arbolix-cli" chart "$file" --root "$root" --mode both --size 1600x0 -o "$output"
echo "Image écrite / Picture written: $output"
