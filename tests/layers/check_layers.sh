#!/usr/bin/env bash
# The source folders are layers: a file includes only headers of its own folder or of folders
# below it. Prints every include that reaches up or sideways and fails if there is one.
set -euo pipefail
src="${1:?usage: check_layers.sh SRC_FOLDER}"

# Rank of each folder, from the ground up; folders of one rank do not include each other.
declare -A rank=(
    [platform]=0
    [settings]=1 [controls]=1
    [i18n]=2
    [engine]=3
    [capture]=4
    [player]=5 [export]=5
    [ui]=6 [video]=6
    [app]=7
)

bad=0
cd "$src"
while IFS= read -r line; do
    file=${line%%:*}
    from=${file%%/*}
    target=$(sed -E 's/.*(#include "|<header>)([^"<]+)("|<\/header>).*/\2/' <<<"$line")
    to=${target%%/*}
    [ "$to" = "$target" ] && continue # no folder: a generated header of the same target
    [ "$from" = "$to" ] && continue
    if [ -z "${rank[$from]+x}" ] || [ -z "${rank[$to]+x}" ]; then
        echo "$file: $target: a folder without a layer"
        bad=1
    elif [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
        echo "$file: includes $target from a layer that is not below $from/"
        bad=1
    fi
done < <(grep -rnE '#include "[^"]+"|<header>[^<]+</header>' --include='*.h' --include='*.cpp' \
             --include='*.ui' . | grep -v '^./resources/' | sed 's|^\./||')

# The window definitions belong to the folder that includes their generated header.
while IFS= read -r line; do
    header=$(sed -E 's/.*<header>([^<]+)<\/header>.*/\1/' <<<"$line")
    form=$(basename "${line%%:*}" .ui)
    users=$(grep -rl "ui_${form}.h" --include='*.cpp' --include='*.h' . | sed 's|^\./||; s|/.*||' | sort -u)
    for user in $users; do
        to=${header%%/*}
        if [ "$user" != "$to" ] && [ "${rank[$to]}" -ge "${rank[$user]}" ]; then
            echo "resources/$form.ui (used by $user/): $header is not below $user/"
            bad=1
        fi
    done
done < <(grep -rn '<header>' resources/*.ui)

[ "$bad" -eq 0 ] && echo "layers: every include reaches down"
exit "$bad"
