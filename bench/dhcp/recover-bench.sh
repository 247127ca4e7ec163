#!/usr/bin/env bash
# ordvane-cli recover from start to verified, against the emulator's DHCP client with the module
# asking every second (quillmor-sim --dhcp-retry-ms 1000), as a module in DHCP mode keeps doing:
# each run's time and the median of RUNS runs (default 5). Needs root (network namespaces).
#
# Set-up: the host (ordvane-cli, 10.200.1.1/24) and the module (the emulator) sit in two
# namespaces joined by a veth pair. Each run starts a fresh emulator, lets the module ask for a
# second and a half, then times recover. The emulator plays the module but does not own its
# card, so a small loop plays the module's IP stack: it puts the leased address on the card.
#
# Usage: recover-bench.sh BUILD_DIR [RUNS]
set -euo pipefail

build=$(realpath "${1:?usage: recover-bench.sh BUILD_DIR [RUNS]}")
runs=${2:-5}
[[ $(id -u) -eq 0 ]] || { echo "needs root for network namespaces" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/ordvane-recover.XXXXXX")
host_ns=orh-$$
module_ns=orm-$$
sim_pid=
stack_pid=
stop_module() {
    [[ -n $stack_pid ]] && kill "$stack_pid" 2>/dev/null && wait "$stack_pid" 2>/dev/null
    [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    stack_pid=
    sim_pid=
}
cleanup() {
    stop_module || true
    ip netns delete "$host_ns" 2>/dev/null || true
    ip netns delete "$module_ns" 2>/dev/null || true
    [[ -n ${KEEP_WORK:-} ]] && echo "kept $work" >&2 || rm -rf "$work"
}
trap cleanup EXIT

ip netns add "$host_ns"
ip netns add "$module_ns"
ip link add orh$$ netns "$host_ns" type veth peer name orm$$ netns "$module_ns" \
    address 0a:51:4d:00:00:2a
ip -n "$host_ns" addr add 10.200.1.1/24 brd + dev orh$$
ip -n "$host_ns" link set orh$$ up
ip -n "$module_ns" link set orm$$ up
printf 'mac,dhcp,hostname\n0A-51-4D-00-00-2A,1,lost\n' >"$work/fleet.csv"

times=()
for run in $(seq "$runs"); do
    ip -n "$module_ns" addr flush dev orm$$
    ip netns exec "$module_ns" "$build/bin/quillmor-sim" --fleet "$work/fleet.csv" \
        --address 0.0.0.0 --port 47470 --dhcp-client orm$$ --dhcp-retry-ms 1000 \
        >"$work/sim.log" 2>&1 &
    sim_pid=$!
    (
        for _ in $(seq 1200); do
            if grep -q '^lease ' "$work/sim.log" 2>/dev/null; then
                exec ip -n "$module_ns" addr add 10.200.1.42/24 brd + dev orm$$
            fi
            sleep 0.05
        done
    ) &
    stack_pid=$!
    sleep 1.5
    status=0
    start=$(date +%s%N)
    ip netns exec "$host_ns" env -u ZEVA_TARGETS ZEVA_INTERFACES=orh$$ \
        "$build/bin/ordvane-cli" recover 0A-51-4D-00-00-2A --ip 192.168.5.20 \
        --mask 255.255.255.0 --seconds 60 >"$work/recover-$run.log" 2>&1 || status=$?
    end=$(date +%s%N)
    stop_module
    milliseconds=$(((end - start) / 1000000))
    printf 'run %d: %5d ms, exit status %d\n' "$run" "$milliseconds" "$status"
    ((status == 0)) || cat "$work/recover-$run.log" >&2
    times+=("$milliseconds")
done
printf '%s\n' "${times[@]}" | sort -n | awk '{ value[NR] = $1 } END {
    median = (NR % 2) ? value[(NR + 1) / 2] : (value[NR / 2] + value[NR / 2 + 1]) / 2
    printf "recover, start to verified: median %d ms of %d runs (module asks every 1000 ms)\n",
        median, NR }'
