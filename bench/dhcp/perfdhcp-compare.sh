#!/usr/bin/env bash
# Full DHCP exchanges (DISCOVER-OFFER-REQUEST-ACK) from Kea's perfdhcp against the recovery
# server (ordvane-cli recovery-server) and, the same way, against dnsmasq --no-ping and
# kea-dhcp4 (memfile leases, not persisted): for each rate, the share of exchanges completed and
# the delays of both halves (mean, median, longest). Needs root (network namespaces), perfdhcp
# (kea-admin), dnsmasq and nft; kea-dhcp4 (kea-dhcp4-server) is measured when installed.
#
# Set-up: the server and perfdhcp sit in two namespaces joined by a veth pair (10.200.1.1/16
# and 10.200.1.250/16); the clients' MACs carry the maker's OUI. perfdhcp talks as a relay
# (its address in giaddr) and listens on one socket bound to its own address. dnsmasq answers
# a relayed request as it should, to the relay's port 67, which is perfdhcp's default, and so
# does kea-dhcp4. The
# recovery server broadcasts every reply to 255.255.255.255 port 68, so for it perfdhcp listens
# on port 68 (-L 68), and one nft rule in its namespace turns broadcasts to port 68 into
# unicasts to its address, which a socket bound to that address then receives.
#
# Usage: perfdhcp-compare.sh BUILD_DIR [SECONDS [RATE...]]   (default 10 s; 100 1000 10000)
set -euo pipefail

build=$(realpath "${1:?usage: perfdhcp-compare.sh BUILD_DIR [SECONDS [RATE...]]}")
seconds=${2:-10}
shift $(($# >= 2 ? 2 : 1))
rates=("$@")
((${#rates[@]} > 0)) || rates=(100 1000 10000)
for program in perfdhcp dnsmasq nft ip; do
    command -v "$program" >/dev/null || { echo "needs $program" >&2; exit 1; }
done
[[ $(id -u) -eq 0 ]] || { echo "needs root for network namespaces" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/ordvane-perfdhcp.XXXXXX")
chmod 755 "$work"  # dnsmasq writes its log and leases as its own user
server_ns=obs-$$
client_ns=obc-$$
server_pid=
cleanup() {
    [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    ip netns delete "$server_ns" 2>/dev/null || true
    ip netns delete "$client_ns" 2>/dev/null || true
    [[ -n ${KEEP_WORK:-} ]] && echo "kept $work" >&2 || rm -rf "$work"
}
trap cleanup EXIT

make_link() {
    ip netns add "$server_ns"
    ip netns add "$client_ns"
    ip -n "$server_ns" link set lo up
    ip -n "$client_ns" link set lo up
    ip link add obs$$ netns "$server_ns" type veth peer name obc$$ netns "$client_ns"
    ip -n "$server_ns" addr add 10.200.1.1/16 brd + dev obs$$
    ip -n "$client_ns" addr add 10.200.1.250/16 brd + dev obc$$
    ip -n "$server_ns" link set obs$$ up
    ip -n "$client_ns" link set obc$$ up
    ip netns exec "$client_ns" nft add table ip perfdhcp
    ip netns exec "$client_ns" nft \
        'add chain ip perfdhcp prerouting { type nat hook prerouting priority -100; }'
    ip netns exec "$client_ns" nft add rule ip perfdhcp prerouting \
        ip daddr 255.255.255.255 udp dport 68 dnat to 10.200.1.250
}

drop_link() {
    ip netns delete "$server_ns"
    ip netns delete "$client_ns"
}

start_server() {
    case $1 in
    ordvane)
        ip netns exec "$server_ns" "$build/bin/ordvane-cli" recovery-server >"$work/server.log" 2>&1 &
        ;;
    kea-dhcp4)
        cat >"$work/kea-dhcp4.conf" <<END
{"Dhcp4": {
  "interfaces-config": {"interfaces": ["obs$$"]},
  "lease-database": {"type": "memfile", "persist": false},
  "valid-lifetime": 3600,
  "subnet4": [{"id": 1, "subnet": "10.200.0.0/16",
               "pools": [{"pool": "10.200.2.1 - 10.200.255.254"}]}],
  "loggers": [{"name": "kea-dhcp4", "severity": "WARN",
               "output_options": [{"output": "$work/server.log"}]}]}}
END
        KEA_PIDFILE_DIR=$work KEA_LOCKFILE_DIR=none \
            ip netns exec "$server_ns" kea-dhcp4 -c "$work/kea-dhcp4.conf" >>"$work/server.log" 2>&1 &
        ;;
    dnsmasq)
        ip netns exec "$server_ns" dnsmasq --keep-in-foreground --conf-file=/dev/null \
            --no-resolv --no-hosts --port=0 --no-ping --quiet-dhcp --bind-interfaces \
            --interface=obs$$ --dhcp-range=10.200.2.1,10.200.255.254,255.255.0.0,1h \
            --dhcp-lease-max=1000000 --dhcp-leasefile="$work/dnsmasq.leases" \
            --pid-file="$work/dnsmasq.pid" --log-facility="$work/server.log" &
        ;;
    esac
    server_pid=$!
    sleep 0.5
}

stop_server() {
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=
    rm -f "$work/dnsmasq.leases"
}

# Median of the delays in milliseconds, from perfdhcp's timestamps of one exchange half.
median_delay() {
    awk -v half="$1" '
        /^\*\*\*Timestamps for packets: / { inside = index($0, half) > 0; next }
        /^\*\*\*/ { inside = 0 }
        inside && /^sent \/ received:/ { print ($6 - $4) * 1000 }' "$2" |
        sort -g | awk '{ value[NR] = $1 } END {
            if (NR == 0) { print "n/a"; exit }
            printf "%.3f", (NR % 2) ? value[(NR + 1) / 2] : (value[NR / 2] + value[NR / 2 + 1]) / 2 }'
}

# Datagrams the kernel dropped in a namespace because a socket's receive queue was full.
receive_queue_drops() {
    ip netns exec "$1" awk '/^Udp:/ { if (++line == 1) { for (i = 1; i <= NF; ++i) column[$i] = i }
        else print $column["RcvbufErrors"] }' /proc/net/snmp
}

# "sent received mean longest" of one exchange half.
half_figures() {
    awk -v half="$1" '
        /^\*\*\*Statistics for: / { inside = index($0, half) > 0; next }
        inside && /^sent packets:/ { sent = $3 }
        inside && /^received packets:/ { received = $3 }
        inside && /^avg delay: [0-9]/ { mean = $3 }
        inside && /^max delay:/ { longest = $3 }
        END { print sent, received, mean, longest }' "$2"
}

printf '%-9s %6s %9s %9s %10s | %-26s | %-26s | %s\n' server rate started completed share \
    "DISCOVER-OFFER mean/median/max ms" "REQUEST-ACK mean/median/max ms" \
    "queue drops server/perfdhcp"
servers=(ordvane dnsmasq)
command -v kea-dhcp4 >/dev/null && servers+=(kea-dhcp4)
for rate in "${rates[@]}"; do
    for server in "${servers[@]}"; do
        make_link
        start_server "$server"
        report=$work/perfdhcp-$server-$rate.txt
        port=()
        [[ $server == ordvane ]] && port=(-L 68)
        ip netns exec "$client_ns" perfdhcp -4 ${PERFDHCP_OPTIONS:-} -l obc$$ "${port[@]}" -r "$rate" -p "$seconds" \
            -R 60000 -b mac=0a:51:4d:00:00:00 -W 1000000 -x t >"$report" 2>&1 || true
        stop_server
        drops="$(receive_queue_drops "$server_ns")/$(receive_queue_drops "$client_ns")"
        drop_link
        read -r offered_sent offered mean_offer longest_offer < <(half_figures DISCOVER-OFFER "$report")
        read -r requested acked mean_ack longest_ack < <(half_figures REQUEST-ACK "$report")
        share=$(awk -v done="${acked:-0}" -v all="${offered_sent:-0}" \
            'BEGIN { printf "%.2f %%", all ? 100 * done / all : 0 }')
        printf '%-9s %6s %9s %9s %10s | %8s %8s %8s | %8s %8s %8s | %s\n' "$server" "$rate" \
            "${offered_sent:-0}" "${acked:-0}" "$share" "${mean_offer:-n/a}" \
            "$(median_delay DISCOVER-OFFER "$report")" "${longest_offer:-n/a}" \
            "${mean_ack:-n/a}" "$(median_delay REQUEST-ACK "$report")" "${longest_ack:-n/a}" \
            "$drops"
    done
done
