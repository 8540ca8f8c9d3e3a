#!/usr/bin/env bash
# Draws the pictures of the user guide (docs/aide/images) from the bundled sample family.
# Usage: tools/help-pictures.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="${1:-$root/build}/src/arbolix-cli"
sample="$root/resources/samples/famille-delorme.ged"
out="$root/docs/aide/images"
mkdir -p "$out"
# A fresh profile, so that the user's own settings do not change the pictures.
profile="$(mktemp)"
trap 'rm -f "$profile"' EXIT

# What the boxes show in every picture: names, years and towns.
boxes=(--set setprenom=1 --set setnaissance=1 --set setdece=1 --set lieu=1)
chart() {
    local name="$1"; shift
    "$cli" --profile "$profile" "${boxes[@]}" "$@" --colors 256 -o "$out/$name"
}

# The four kinds of chart, around Auguste DELORME and his great-grandson Thomas.
chart descendants.png chart "$sample" --root I10 --mode desc --size 720x0
chart ascendants.png --set m_gene=4 chart "$sample" --root I1 --mode asc --size 720x0
chart asc-desc.png --set drapeau=1 --set m_gene=3 --set m_gened=2 \
    chart "$sample" --root I10 --mode both --size 720x0
chart epoux.png --set m_gene=3 chart "$sample" --root I4 --mode parent --size 720x0
# The three link shapes, on three generations of descendants.
links=(--set m_gened=3)
chart liens-droits.png "${links[@]}" chart "$sample" --root I12 --mode desc --size 560x0
chart liens-accolade.png "${links[@]}" --set setaccolade=1 chart "$sample" --root I12 --mode desc --size 560x0
chart liens-tuyau.png "${links[@]}" --set tuyau=1 chart "$sample" --root I12 --mode desc --size 560x0
# Ancestors reached along two lines: with brace links, the second link in red dots.
chart implexe.png --set m_gene=4 --set setaccolade=1 --set m_implexe.m_type=1 --set m_implexe.couleur=255 \
    chart "$sample" --root I10 --mode asc --size 720x0
# Empty boxes to fill in by hand, under the childless and above the parentless.
chart cases-vides.png --set m_casevide.m_ngd=1 --set m_casevide.m_ndg=2 --set m_casevide.m_nag=1 \
    --set m_gene=2 chart "$sample" --root I79 --mode both --size 720x0
echo "Pictures written to $out"
