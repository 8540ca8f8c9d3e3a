#!/usr/bin/env bash
# Draws the two example pictures shown in the README from the bundled sample family.
# Usage: tools/readme-pictures.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="${1:-$root/build}/src/arbolix-cli"
sample="$root/resources/samples/famille-delorme.ged"
out="$root/docs/pictures"
mkdir -p "$out"
# A fresh profile, so that the user's own settings do not change the pictures.
profile="$(mktemp)"
trap 'rm -f "$profile"' EXIT

# Ancestors and descendants of Pierre DELORME: a radial gradient behind pipe links.
"$cli" --profile "$profile" \
    --set texture_fond.type_couleur=1 --set texture_fond.type_degrade=5 \
    --set texture_fond.brush.lbColor=16777215 --set texture_fond.couleur=14209233 \
    --set texture_rectangle.brush.lbColor=15794175 \
    --set tuyau=1 --set setprenom=1 --set lieu=1 --set drapeau=1 --set setnaissance=1 --set setdece=1 \
    chart "$sample" --root I14 --mode both --size 1600x530 -o "$out/gradient-pipes.png"

# Descendants of Jean DELORME: boxes filled with a pattern, brace links, spouses.
"$cli" --profile "$profile" \
    --set texture_rectangle.type_couleur=3 --set texture_rectangle.motif=8 \
    --set texture_rectangle.brush.lbColor=13434879 --set texture_rectangle.couleur=10079487 \
    --set setaccolade=1 --set setprenom=1 --set lieu=1 --set drapeau=1 --set epoux=1 \
    chart "$sample" --root I20 --mode desc --size 1600x420 -o "$out/pattern-braces.png"
echo "Pictures written to $out"
