# Checks of an installed Ordvane tree, shared by the install and the package tests.
# Sourced with BUILD_DIR SOURCE_DIR as arguments: sets both and makes a temporary folder
# $work, removed at exit. check_installed_tree ROOT checks ROOT/usr and returns non-zero after
# naming every fault on standard error.

BUILD_DIR=$(realpath "$1")
SOURCE_DIR=$(realpath "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/ordvane-packaging.XXXXXX")
trap 'rm -rf "$work"' EXIT

commands=(ordvane ordvane-cli quillmor-sim ordvane-verinfo)
faults=0

fault() {
    echo "FAULT: $*" >&2
    faults=$((faults + 1))
}

# The library the installed program resolves, as the dynamic loader would for a run.
resolved_zeva() {
    env -u LD_LIBRARY_PATH LD_TRACE_LOADED_OBJECTS=1 "$1" 2>/dev/null |
        sed -n 's/^[[:space:]]*libzeva\.so[^ ]* => \([^ ]*\) .*/\1/p'
}

check_command() {
    local root=$1 command=$2
    local program=$root/usr/bin/$command
    if [[ ! -x $program ]]; then
        fault "$command is built but not installed as usr/bin/$command"
        return
    fi
    local page=$root/usr/share/man/man1/$command.1.gz
    if [[ ! -f $page ]] || ! gzip -dc "$page" | grep -q '^\.TH '; then
        fault "no man page usr/share/man/man1/$command.1.gz"
    fi
    if readelf -d "$program" | grep -F "$BUILD_DIR" >/dev/null; then
        fault "$command still carries a run path into the build tree"
    fi
    if readelf -d "$program" | grep -q 'NEEDED.*libzeva\.so'; then
        local library
        library=$(resolved_zeva "$program")
        if [[ $library != /* || $(realpath -m "$library") != "$(realpath "$root")"/* ]]; then
            fault "$command resolves libzeva.so to '${library}', not to the installed copy"
        fi
    fi
    local output status=0
    output=$(cd / && QT_QPA_PLATFORM=offscreen timeout 30 env -u LD_LIBRARY_PATH "$program" \
        --version 2>&1) || status=$?
    # The line comes from the installed file's own version resource: "NAME 1.4.0.0".
    if ((status != 0)) || [[ ! $output =~ ^$command\ [0-9]+(\.[0-9]+){3}$ ]]; then
        fault "$command --version: exit $status, output '$output'"
    else
        echo "$command --version: $output"
    fi
}

# Each installed PNG sits in the hicolor folder of the size its header gives.
check_icons() {
    local root=$1
    local hicolor=$root/usr/share/icons/hicolor
    local sources installed=0 png size width height
    sources=$(find "$SOURCE_DIR/res/icons" -maxdepth 1 -name '*.png' 2>/dev/null | wc -l)
    for png in "$hicolor"/*/apps/ordvane.png; do
        [[ -f $png ]] || continue
        installed=$((installed + 1))
        size=$(basename "$(dirname "$(dirname "$png")")")
        read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$png")
        if [[ $size != "${width}x${height}" ]]; then
            fault "icon of ${width}x${height} installed as $size"
        fi
    done
    if ((installed != sources)); then
        fault "$sources PNG icons in res/icons, $installed installed"
    fi
    if compgen -G "$SOURCE_DIR/res/icons/*.svg" >/dev/null &&
        [[ ! -f $hicolor/scalable/apps/ordvane.svg ]]; then
        fault "the SVG icon is not installed as hicolor/scalable/apps/ordvane.svg"
    fi
}

check_installed_tree() {
    local root=$1 command
    for command in "${commands[@]}"; do
        if [[ -x $BUILD_DIR/bin/$command ]]; then
            check_command "$root" "$command"
        elif [[ -e $root/usr/bin/$command ]]; then
            fault "$command is installed but this build has no such program"
        fi
    done
    # Completion for each shell where it looks, for the CLI at least.
    local completion
    if [[ -x $BUILD_DIR/bin/ordvane-cli ]]; then
        for completion in bash-completion/completions/ordvane-cli zsh/vendor-completions/_ordvane-cli \
            fish/vendor_completions.d/ordvane-cli.fish; do
            [[ -f $root/usr/share/$completion ]] || fault "usr/share/$completion is not installed"
        done
    fi
    # The scripting contract and the fleet-file format, which the man pages point to.
    local document
    for document in cli.md fleet-file.md; do
        [[ -f $root/usr/share/doc/ordvane/$document ]] ||
            fault "usr/share/doc/ordvane/$document is not installed"
    done
    # The library goes to Debian's multiarch directory where the compiler names one.
    local libdir
    libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")
    if compgen -G "$BUILD_DIR/$libdir/libzeva.so*" >/dev/null &&
        ! compgen -G "$root/usr/$libdir/libzeva.so.*" >/dev/null; then
        fault "libzeva.so is built but not installed in usr/$libdir"
    fi
    if [[ -x $BUILD_DIR/bin/ordvane ]]; then
        local entry=$root/usr/share/applications/org.ordvane.Ordvane.desktop
        if [[ ! -f $entry ]]; then
            fault "no desktop entry usr/share/applications/org.ordvane.Ordvane.desktop"
        elif command -v desktop-file-validate >/dev/null; then
            desktop-file-validate "$entry" || fault "the desktop entry does not validate"
        fi
        check_icons "$root"
    fi
    ((faults == 0))
}
