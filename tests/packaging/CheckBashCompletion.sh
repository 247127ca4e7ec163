#!/usr/bin/env bash
# Runs the bash completion of ordvane-cli and quillmor-sim, with the bash-completion package's
# helpers, for a few command lines and checks the words offered.
# Usage: CheckBashCompletion.sh SOURCE_DIR
source_dir=$1
helpers=/usr/share/bash-completion/bash_completion
if [[ ! -r $helpers ]]; then
    echo "FAULT: $helpers is missing (tools/install-deps installs bash-completion)" >&2
    exit 1
fi
source "$helpers"
source "$source_dir/completions/bash/ordvane-cli"
source "$source_dir/completions/bash/quillmor-sim"
faults=0

# offered FUNCTION WORD... : the words the completion offers for the last WORD, sorted.
offered() {
    local function=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    # As typed: bash splits "--format=j" into the words --format, = and j.
    COMP_LINE=$(sed 's/ = /=/g; s/ =$/=/' <<<"$*")
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' ' -
}

expect() {
    local wanted=$1
    shift
    local got
    got=$(offered "$@")
    if [[ $got != "$wanted" ]]; then
        echo "FAULT: '${*:2}' offers '$got', not '$wanted'" >&2
        faults=$((faults + 1))
    fi
}

work=$(mktemp -d "${TMPDIR:-/tmp}/ordvane-completion.XXXXXX")
trap 'rm -rf "$work"' EXIT
touch "$work/cell4.csv" "$work/notes.txt"
cd "$work" || exit 1

cli=_comp_ordvane_cli
expect "--help --version apply configure forget journal recover recovery-server scan wink" $cli ordvane-cli ""
expect "scan" $cli ordvane-cli sc
expect "--format" $cli ordvane-cli scan --f
expect "csv json table" $cli ordvane-cli scan --format ""
expect "json" $cli ordvane-cli scan --format = j
expect "off on" $cli ordvane-cli configure 0A-51-4D-00-00-2A --dhcp ""
expect "--help --only --seconds --trace --version" $cli ordvane-cli recovery-server --
expect "cell4.csv" $cli ordvane-cli apply --dry-run ""
expect "--dhcp-client --dhcp-retry-ms" _comp_quillmor_sim quillmor-sim --dh
((faults == 0)) && echo "bash completion checked"
