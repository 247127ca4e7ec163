#!/usr/bin/env bash
# Builds the Debian package of the current build with cpack, checks its control data and
# maintainer scripts, unpacks it into a temporary root and checks the tree the same way as
# the install test.
# Usage: CheckDebianPackage.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/InstalledTree.sh" "$@"
source "$(dirname "$0")/ElfHardening.sh"

# Optimised builds are hardened; a debug build (no optimisation, so no FORTIFY) or a sanitizer
# build is not, and its package is checked for the rest only. CI checks the release build's.
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$BUILD_DIR/CMakeCache.txt"; }
build_type=$(cache_value CMAKE_BUILD_TYPE)
hardened=0
if [[ $(cache_value ORDVANE_HARDENING) == ON && $build_type =~ ^(Release|RelWithDebInfo|MinSizeRel)$ ]]; then
    hardened=1
fi

cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; exit 1; }
packages=("$work"/out/ordvane_*.deb)
[[ -f ${packages[0]} ]] || { echo "cpack made no ordvane_*.deb" >&2; exit 1; }
package=${packages[0]}

field() { dpkg-deb -f "$package" "$1"; }
[[ $(field Package) == ordvane ]] || fault "Package is '$(field Package)'"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")
[[ $(field Version) == "$version" ]] || fault "Version is '$(field Version)', not '$version'"
[[ $(field Depends) == *libcap2-bin* ]] || fault "Depends lacks libcap2-bin: '$(field Depends)'"

dpkg-deb -e "$package" "$work/control"
postinst=$work/control/postinst
if [[ ! -x $postinst ]]; then
    fault "no executable postinst"
else
    sh -n "$postinst" || fault "postinst is no valid shell script"
    helper=/usr/libexec/ordvane/ordvane-port67-helper
    grep -q "for program in $helper; do\$" "$postinst" ||
        fault "postinst does not grant port 67 to $helper alone"
    contents=$(dpkg-deb -c "$package")
    [[ $contents == *" .$helper"* ]] ||
        fault "the package does not install $helper"
    grep -q 'setcap cap_net_bind_service=+ep' "$postinst" || fault "postinst runs no setcap"
fi
for script in postinst postrm preinst prerm; do
    if [[ -f $work/control/$script ]] && grep -q '^[^#]*\bldconfig\b' "$work/control/$script"; then
        fault "$script calls ldconfig; the package's trigger does that"
    fi
done
grep -q '^activate-noawait ldconfig$' "$work/control/triggers" 2>/dev/null ||
    fault "no ldconfig trigger for libzeva.so"

# Debian's own checker at its most demanding level: no tag at all, not even an informational or
# pedantic one, except those the package overrides (packaging/debian/lintian-overrides, each
# explained in packaging/README.md).
if ! command -v lintian >/dev/null; then
    fault "lintian is not installed (tools/install-deps installs it)"
else
    lintian_report=$(lintian -EI --pedantic --allow-root --tag-display-limit 0 "$package" 2>&1 || true)
    echo "$lintian_report"
    # The spelling overrides go unused where the optimiser drops or changes the bytes they answer.
    tags=$(grep -E '^[EWIPX]: ' <<<"$lintian_report" |
        grep -Ev ': (unused|mismatched)-override spelling-error-in-binary ' || true)
    if ((!hardened)); then
        # What an unhardened build lacks.
        tags=$(grep -v ': hardening-no-' <<<"$tags" || true)
    fi
    if [[ -n $tags ]]; then
        fault "lintian -EI --pedantic reports tags that no override explains"
    fi
fi

dpkg-deb -x "$package" "$work/root"
check_installed_tree "$work/root"

if ((hardened)); then
    check_elf_hardening "$work/root"
else
    echo "ELF hardening not checked: $build_type build, ORDVANE_HARDENING=$(cache_value ORDVANE_HARDENING)"
fi

# Software centres list the window (when built) from its AppStream metadata.
metainfo=("$work"/root/usr/share/metainfo/*.metainfo.xml)
if [[ ! -x $BUILD_DIR/bin/ordvane ]]; then
    :
elif [[ ! -f ${metainfo[0]} ]]; then
    fault "no AppStream metadata in usr/share/metainfo"
elif ! appstreamcli validate --no-net "${metainfo[0]}"; then
    fault "appstreamcli refuses $(basename "${metainfo[0]}")"
fi
((faults == 0)) || exit 1
echo "package $(basename "$package") checked"
