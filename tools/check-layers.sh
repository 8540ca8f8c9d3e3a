#!/usr/bin/env bash
# Checks that no source file includes a header from a folder above its own. The folders stack
# bottom-up: base, data, tree, fills and chart (siblings), export, app, cli. The ui/ sub-folders
# belong to their module. Prints every offending include and exits 1 when there is one.
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/../src" && pwd)}

rank() {
    case $1 in
    base) echo 0 ;; data) echo 1 ;; tree) echo 2 ;; fills | chart) echo 3 ;;
    export) echo 4 ;; app) echo 5 ;; cli) echo 6 ;; *) echo -1 ;;
    esac
}

status=0
while IFS= read -r -d '' file; do
    module=${file#"$src"/}
    module=${module%%/*}
    own=$(rank "$module")
    [ "$own" -lt 0 ] && continue
    while IFS= read -r line; do
        target=${line#*\"}
        target=${target%%/*}
        other=$(rank "$target")
        if [ "$other" -gt "$own" ]; then
            echo "${file#"$src"/}: $line ($module may not include from $target)"
            status=1
        fi
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z]+/' "$file" || true)
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
exit $status
