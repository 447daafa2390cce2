#!/usr/bin/env bash
# Installs the build tree into a fresh prefix and checks what a package needs:
# the files in their places, a program that finds its models from any folder
# and never in the source tree, a man page and a completion that know every
# command and option the program's own help lists.
# Usage: check-install.sh BUILD_DIR GUI(ON|OFF)
set -uo pipefail
build=$1 gui=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failed=0
fail() { echo "FAIL: $*"; failed=1; }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

expected=(bin/tellurim-cli share/tellurim/models/WMM2025.COF share/man/man1/tellurim-cli.1
          share/bash-completion/completions/tellurim-cli)
if [ "$gui" = ON ]; then
    expected+=(bin/tellurim share/man/man1/tellurim.1
               share/applications/io.github.tellurim.Tellurim.desktop
               share/metainfo/io.github.tellurim.Tellurim.metainfo.xml
               share/icons/hicolor/256x256/apps/tellurim.png share/icons/hicolor/64x64/apps/tellurim.png
               share/icons/hicolor/scalable/apps/tellurim.svg)
fi
for file in "${expected[@]}"; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done

cli=$prefix/bin/tellurim-cli
mkdir "$work/elsewhere"
cd "$work/elsewhere"
out=$("$cli" point --lat 40 --lon -105 --year 2026.5 2>&1) || fail "installed point failed: $out"
grep -q '^Incident Field (F):' <<<"$out" || fail "installed point printed: $out"
# Every model of the source tree is installed and computes a point by its bare name.
models=0
for source in "$(dirname "$0")/../../models"/*; do
    name=$(basename "$source")
    [ "$name" = README.md ] && continue
    models=$((models + 1))
    [ -f "$prefix/share/tellurim/models/$name" ] || { fail "the model $name is not installed"; continue; }
    out=$("$cli" point --lat 40 --lon -105 --year 2026.5 --model "$name" 2>&1) || fail "point with $name failed: $out"
    grep -q '^Incident Field (F):' <<<"$out" || fail "point with $name printed: $out"
done
[ "$models" -ge 6 ] || fail "only $models models found beside the install check"

# Every command and option of the help is in the man page and the completion.
man=$prefix/share/man/man1/tellurim-cli.1
. "$prefix/share/bash-completion/completions/tellurim-cli"
complete_line() {
    COMP_WORDS=(tellurim-cli "$@") COMP_CWORD=$#
    COMP_LINE="tellurim-cli $*" COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _tellurim_cli
    printf '%s\n' "${COMPREPLY[@]}"
}
commands=$(complete_line "")
for command in point grid poles batch; do
    grep -q "^\.B tellurim-cli $command\$" "$man" || fail "the man page lacks the command $command"
    grep -qx "$command" <<<"$commands" || fail "the completion lacks the command $command"
    completed=$(complete_line "$command" --)
    for option in $("$cli" "$command" --help | grep -o -- '--[a-z]\+' | sort -u) --help; do
        grep -q -- "${option//-/\\\\-}" "$man" || fail "the man page lacks $option of $command"
        grep -qx -- "$option" <<<"$completed" || fail "the completion of $command lacks $option"
    done
done
for status in 0 1 2; do
    grep -q "^\.B $status\$" "$man" || fail "the man page lacks the exit status $status"
done
if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page warnings: $warnings"
fi

# Without the installed models the default model is not found: nothing else
# (such as the source tree) is searched.
mv "$prefix/share/tellurim/models" "$work/models-away"
out=$("$cli" point --lat 40 --lon -105 --year 2026.5 2>&1) && fail "point ran without installed models"
grep -q 'ERROR OPENING FILE' <<<"$out" || fail "without models point printed: $out"

[ "$failed" -eq 0 ] && echo "install checks passed"
exit "$failed"
