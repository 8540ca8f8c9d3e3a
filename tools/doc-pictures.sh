#!/usr/bin/env bash
# Draws the example pictures of the README (docs/pictures) and the pictures of the user guide
# (docs/aide/images) from the bundled sample family.
# Usage: tools/doc-pictures.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="${1:-$root/build}/src/arbolix-cli"
sample="$root/resources/samples/famille-delorme.ged"
readme="$root/docs/pictures"
out="$root/docs/aide/images"
mkdir -p "$readme" "$out"
# A fresh profile, so that the user's own settings do not change the pictures.
profile="$(mktemp)"
trap 'rm -f "$profile"' EXIT

# Ancestors and descendants of Pierre DELORME: a radial gradient behind pipe links.
"$cli" --profile "$profile" \
    --set texture_fond.type_couleur=1 --set texture_fond.type_degrade=5 \
    --set texture_fond.brush.lbColor=16777215 --set texture_fond.couleur=14209233 \
    --set texture_rectangle.brush.lbColor=15794175 \
    --set tuyau=1 --set setprenom=1 --set lieu=1 --set drapeau=1 --set setnaissance=1 --set setdece=1 \
    chart "$sample" --root I14 --mode both --size 1600x530 -o "$readme/gradient-pipes.png"

# Descendants of Jean DELORME: boxes filled with a pattern, brace links, spouses.
"$cli" --profile "$profile" \
    --set texture_rectangle.type_couleur=3 --set texture_rectangle.motif=8 \
    --set texture_rectangle.brush.lbColor=13434879 --set texture_rectangle.couleur=10079487 \
    --set setaccolade=1 --set setprenom=1 --set lieu=1 --set drapeau=1 --set epoux=1 \
    chart "$sample" --root I20 --mode desc --size 1600x420 -o "$readme/pattern-braces.png"

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
echo "Pictures written to $readme and $out"
