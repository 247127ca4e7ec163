#!/usr/bin/env bash
# As an ordinary user in the helper's group, with the installed tree and the capability the
# package's postinst grants: ordvane-cli recovery-server and the window's switch (the Advanced
# Options command, run by the dialogs' test executable installed beside the programs) both get
# port 67 through the port-67 helper, and no file but the helper carries a capability. A user
# outside the group is told how to get in. The group ordvane is stood in for by a numeric
# group, so that the test adds no group to this computer. Needs root to set that up.
# Usage: CheckPort67AsUser.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/InstalledTree.sh" "$@"

if [[ $(id -u) -ne 0 ]] || ! command -v setcap >/dev/null || ! command -v ip >/dev/null; then
    echo "[  SKIPPED ] needs root, setcap and ip"
    exit 0
fi
namespace=ordvane-pkg-$$
trap 'ip netns delete "$namespace" 2>/dev/null || true; rm -rf "$work"' EXIT

root=$work/root
DESTDIR=$root cmake --install "$BUILD_DIR" --prefix /usr >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; exit 1; }
# What the package's postinst grants, granted in the staged tree.
postinst=$BUILD_DIR/packaging/debian/postinst
granted=$(sed -n 's/^ *for program in \(.*\); do$/\1/p' "$postinst")
[[ -n $granted ]] || fault "postinst names no program to grant port 67"
group=47470  # stands in for the system group ordvane
for program in $granted; do
    [[ $(stat -c %a "$root$program") == 750 ]] || fault "$program is not installed with mode 0750"
    chown root:$group "$root$program"
    setcap cap_net_bind_service=+ep "$root$program"
done
capable=$(getcap -r "$root" | sed "s|^$root||")
[[ $capable == "/usr/libexec/ordvane/ordvane-port67-helper cap_net_bind_service=ep" ]] ||
    fault "files with a capability: '$capable'"

chmod -R a+rX "$work"
for program in $granted; do
    chmod 0750 "$root$program"  # as installed: a+rX above made it everybody's
done
ip netns add "$namespace"
ip -n "$namespace" link set lo up
ip -n "$namespace" link add plant0 type veth peer name plant1
ip -n "$namespace" link set plant1 up
ip -n "$namespace" link set plant0 up
as_user() {
    ip netns exec "$namespace" setpriv --reuid=65534 --regid=65534 --groups=$group \
        --inh-caps=-all env -i PATH=/usr/bin:/bin HOME="$work" "$@"
}
outside_group=$(ip netns exec "$namespace" setpriv --reuid=65534 --regid=65534 --clear-groups \
    --inh-caps=-all env -i PATH=/usr/bin:/bin HOME="$work" \
    timeout 20 "$root/usr/bin/ordvane-cli" recovery-server --seconds 1 2>&1) &&
    fault "ordvane-cli recovery-server outside the group got port 67"
[[ $outside_group == *"only members of the group ordvane may open port 67"*"adduser"* ]] ||
    fault "outside the group, ordvane-cli recovery-server said: '$outside_group'"

output=$(as_user timeout 20 "$root/usr/bin/ordvane-cli" recovery-server --seconds 1 2>&1) ||
    fault "ordvane-cli recovery-server as nobody: $output"
[[ $output == "Listening on UDP port 67 on "*plant0*"; "* ]] ||
    fault "ordvane-cli recovery-server as nobody said: '$output'"

if [[ -x $BUILD_DIR/bin/dialogs_tests ]]; then
    cp "$BUILD_DIR/bin/dialogs_tests" "$root/usr/bin/"
    output=$(as_user QT_QPA_PLATFORM=offscreen ORDVANE_TEST_PORT67_AS_USER=1 timeout 60 \
        "$root/usr/bin/dialogs_tests" \
        --gtest_filter='AdvancedOptionsOnPort67.OkTwiceStartsTheServerOnceAndCancelKeepsItOn' \
        2>&1) || fault "the window's switch as nobody: $output"
    [[ $output == *"[  PASSED  ] 1 test"* && $output != *SKIPPED* ]] ||
        fault "the window's switch as nobody did not run: $output"
fi
((faults == 0))
echo "port 67 reached as nobody through the helper alone"
