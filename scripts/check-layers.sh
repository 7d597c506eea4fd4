#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own. The layers, lowest first:
#   platform/            the platform layer: includes nothing of the program's own
#   engine/, skin/       the installation engine and the skin: platform/ (and res/ ids)
#   uninstall/           the removal: also engine/ none; of install/ only its registry owner
#   install/             the install flow: also engine/ and uninstall/
#   app/                 the application: anything
# res/resource_ids.h holds only numbers and may be included from anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."

# allowed LAYER PATTERN: the include paths LAYER's files may name, as an extended regex.
declare -A allowed=(
    [platform]='^platform/'
    [engine]='^(engine|platform|res)/'
    [skin]='^(skin|platform|res)/'
    [uninstall]='^(uninstall|platform|res)/|^install/game_registry\.h$'
    [install]='^(install|uninstall|engine|platform|res)/'
)

status=0
for layer in "${!allowed[@]}"; do
    while IFS= read -r line; do
        file="${line%%:*}"
        included="$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")"
        if ! [[ "$included" =~ ${allowed[$layer]} ]]; then
            echo "$file includes $included: $layer/ may not include that"
            status=1
        fi
    done < <(grep -rnE '^#include "[a-z_]+/' "$layer" || true)
done
[ "$status" = 0 ] && echo "layers: ok"
exit "$status"
