#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own, or a layer's library links one
# above it. The layers, lowest first:
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

# The libraries each layer's CMakeLists.txt may link, of the program's own.
declare -A allowed_links=(
    [platform]='platform|win32_ui'
    [engine]='platform|win32_ui|engine|engine_win32'
    [skin]='platform|win32_ui|skin|skin_win32'
    [uninstall]='platform|win32_ui|uninstall|uninstall_win32|game_registry'
    [install]='platform|win32_ui|engine|engine_win32|uninstall|uninstall_win32|game_registry|install_flow|install_win32'
)
own_libraries='platform|win32_ui|engine|engine_win32|skin|skin_win32|uninstall|uninstall_win32|game_registry|install_flow|install_win32|app_core'

status=0
for layer in "${!allowed[@]}"; do
    # Every include of a quoted or bracketed path, however it is spaced.
    while IFS= read -r line; do
        file="${line%%:*}"
        included="$(sed -E 's/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*["<]([^">]+)[">].*/\1/' <<<"$line")"
        if [[ "$included" == *..* ]] || { [[ "$included" == */* ]] && ! [[ "$included" =~ ${allowed[$layer]} ]] &&
            [ -e "$included" ]; }; then
            echo "$file includes $included: $layer/ may not include that"
            status=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$layer" || true)

    while IFS= read -r library; do
        if ! [[ "$library" =~ ^($own_libraries)$ ]] || [[ "$library" =~ ^(${allowed_links[$layer]})$ ]]; then
            continue
        fi
        echo "$layer/ links $library: $layer/ may not link that"
        status=1
    done < <(find "$layer" -name CMakeLists.txt -exec cat {} + |
        grep -oE 'target_link_libraries\([^)]*\)' | sed -E 's/target_link_libraries\(//; s/\)//' |
        tr ' ' '\n' | grep -vE '^(PUBLIC|PRIVATE|INTERFACE|)$' || true)
done
[ "$status" = 0 ] && echo "layers: ok"
exit "$status"
