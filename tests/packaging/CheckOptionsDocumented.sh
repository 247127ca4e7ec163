#!/usr/bin/env bash
# Every long option that a program's --help names is described in its man page, and the other
# way round: the options of the man page are those the tags of its lists (.TP) define. The
# shell completions in completions/ offer each of them.
# ordvane-cli's --help is the program's and every command's.
# Usage: CheckOptionsDocumented.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build_dir=$1
source_dir=$2
faults=0

long_options() { { grep -o -- '--[a-z][a-z0-9-]*' || true; } | sort -u; }

# The options that the tag of each list item of PAGE defines.
man_options() {
    sed -n '/^\.TP/{n;p}' "$1" | sed 's/\\-/-/g' | long_options
}

help_options() {
    local program=$1 output command
    output=$(QT_QPA_PLATFORM=offscreen timeout 30 "$build_dir/bin/$program" --help 2>&1)
    if [[ $program == ordvane-cli ]]; then
        for command in $(sed -n 's/^  \([a-z-]*\) .*/\1/p' <<<"$output"); do
            output+=$'\n'$("$build_dir/bin/$program" "$command" --help 2>&1)
        done
    fi
    long_options <<<"$output"
}

checked=0
for page in "$source_dir"/docs/man/*.1; do
    program=$(basename "$page" .1)
    [[ -x $build_dir/bin/$program ]] || continue
    checked=$((checked + 1))
    in_help=$(help_options "$program")
    in_man=$(man_options "$page")
    only_help=$(comm -23 <(echo "$in_help") <(echo "$in_man") | paste -sd' ' -)
    only_man=$(comm -13 <(echo "$in_help") <(echo "$in_man") | paste -sd' ' -)
    if [[ -n $only_help ]]; then
        echo "FAULT: $program --help names $only_help, which $(basename "$page") does not describe" >&2
        faults=$((faults + 1))
    fi
    if [[ -n $only_man ]]; then
        echo "FAULT: $(basename "$page") describes $only_man, which $program --help does not name" >&2
        faults=$((faults + 1))
    fi
    # The shell completions offer every option too (fish names them "-l NAME").
    for completion in "bash/$program" "zsh/_$program" "fish/$program.fish"; do
        file=$source_dir/completions/$completion
        [[ -f $file ]] || continue
        offered=$(sed 's/-l \([a-z][a-z0-9-]*\)/--\1/g' "$file" | long_options)
        missing=$(comm -23 <(echo "$in_help") <(echo "$offered") | paste -sd' ' -)
        if [[ -n $missing ]]; then
            echo "FAULT: completions/$completion does not offer $missing" >&2
            faults=$((faults + 1))
        fi
    done
done
((checked > 0)) || { echo "FAULT: no program with a man page is built" >&2; exit 1; }

# An option that no program has is refused with exit status 2 and a message naming it, by the
# window, the emulator and each command of ordvane-cli.
refuses_unknown_option() {
    local output status=0
    output=$(QT_QPA_PLATFORM=offscreen timeout 30 "$build_dir/bin/$1" "${@:2}" --no-such-option 2>&1) ||
        status=$?
    if ((status != 2)) || [[ $output != *no-such-option* ]]; then
        echo "FAULT: $* --no-such-option: exit $status, '$output'" >&2
        faults=$((faults + 1))
    fi
}
for program in ordvane quillmor-sim; do
    [[ -x $build_dir/bin/$program ]] && refuses_unknown_option "$program"
done
if [[ -x $build_dir/bin/ordvane-cli ]]; then
    for command in scan configure apply wink recovery-server journal; do
        refuses_unknown_option ordvane-cli "$command"
    done
fi
((faults == 0)) && echo "the options of $checked programs agree between --help and man page"
