#!/usr/bin/env bash
# One cell host (sshd in a network namespace) with a module stuck in DHCP mode on its segment:
# the emulator plays the module asking for an address every second. From the controller,
# ansible-playbook runs ordvane.fleet.ordvane_recover
#   1. in check mode: reported as a change, nothing served, no journal line;
#   2. for real: verified and changed, with the step lines and the run's journal line;
#   3. for a module that is not there: failed, exit status 4, no journal line.
# Usage: AnsibleRecoverNetnsTest.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin_dir=$(realpath "$1")
source_dir=$2
source "$source_dir/tests/ansible/PlantNetwork.sh"

plant_skip_unless_runnable

work=$(mktemp -d)
stack_pid=
trap '[[ -z $stack_pid ]] || kill "$stack_pid" 2>/dev/null || true; plant_teardown; rm -rf "$work"' EXIT
chmod 0700 "$work"
plant_setup "$work" "$bin_dir"

mac=0A-51-4D-00-00-2A
host=${plant_prefix}-h1
cell=${plant_prefix}-c1
segment=${plant_prefix}s1
printf 'mac,dhcp,hostname\n%s,1,lost\n' "$mac" >"$work/fleet.csv"
plant_add_cell 1 --fleet "$work/fleet.csv" --dhcp-client "${segment}b" --dhcp-retry-ms 1000
# The module's card has no address until its lease; the host's card facing it carries the
# server's address, so that the module can renew.
ip -n "$cell" addr flush dev "${segment}b"
ip -n "$host" addr add 10.200.1.1/24 brd + dev "${segment}a"
# The emulator plays the module but not its IP stack: put the leased address on its card, then
# the static one it is configured to.
(
    for step in '^lease :10.200.1.42/24' '^configure .* ip=10.99.1.50 :10.99.1.50/24'; do
        for ((tries = 0; tries < 1200; ++tries)); do
            grep -q "${step%:*}" "$work/sim_1.log" 2>/dev/null && break
            sleep 0.05
        done
        ip -n "$cell" addr add "${step##*:}" brd + dev "${segment}b"
    done
) &
stack_pid=$!
plant_install_collection "$source_dir"
plant_inventory "$work/inventory.yml"
plant_wait_ready

cat >"$work/recover.yml" <<PLAYBOOK
- hosts: cells
  gather_facts: false
  environment: "{{ ordvane_environment }}"
  tasks:
    - ordvane.fleet.ordvane_recover:
        mac: "{{ recover_mac | default('$mac') }}"
        ip: 10.99.1.50
        mask: 255.255.255.0
        hostname: press1
        seconds: "{{ recover_seconds | default(30) }}"
        interfaces: "{{ ordvane_interfaces }}"
      register: recovery
      ignore_errors: true
    - delegate_to: localhost
      check_mode: false
      ansible.builtin.copy:
        dest: $work/result.json
        content: "{{ recovery | to_json }}"
PLAYBOOK

# Runs the playbook with the given arguments; prints the cell host's "changed failed" from
# the run's recap.
run_playbook() {
    plant_on_controller ansible-playbook -i "$work/inventory.yml" "$work/recover.yml" "$@" \
        >"$work/playbook.out" 2>&1 || true
    sed -n 's/^cell1 *: ok=[0-9]* *changed=\([0-9]*\) *unreachable=[0-9]* *failed=\([0-9]*\).*/\1 \2/p' \
        "$work/playbook.out"
}

# Prints one field of the registered result, as JSON.
result_field() {
    python3 -c 'import json, sys; print(json.dumps(json.load(open(sys.argv[1])).get(sys.argv[2])))' \
        "$work/result.json" "$1"
}

journal=$work/state_1/ordvane/changes.jsonl

# 1. Check mode: a change to report, nothing served.
stats=$(run_playbook --check)
[[ $stats == "2 0" ]] || fault "check mode: recap '$stats' $(cat "$work/playbook.out")"
[[ $(result_field outcome) == '"would-recover"' ]] || fault "check mode: $(cat "$work/result.json")"
grep -q '^lease ' "$work/sim_1.log" && fault "check mode served a lease"
[[ -f $journal ]] && fault "check mode wrote the journal: $(cat "$journal")"

# 2. The recovery: verified, changed, the steps and the journal line of this run.
stats=$(run_playbook)
[[ $stats == "2 0" ]] || fault "recover: recap '$stats' $(cat "$work/playbook.out")"
[[ $(result_field rc) == 0 && $(result_field outcome) == '"verified"' ]] ||
    fault "recover: $(cat "$work/result.json")"
result_field stdout_lines | grep -q "Verified: $mac answers at 10.99.1.50" ||
    fault "recover: no verified step in $(result_field stdout_lines)"
grep -q "^configure mac=$mac ip=10.99.1.50 mask=255.255.255.0 .*dhcp=off" "$work/sim_1.log" ||
    fault "the module was not configured: $(cat "$work/sim_1.log")"
returned=$(python3 -c 'import json, sys
for entry in json.load(open(sys.argv[1]))["journal"]:
    print(entry["command"], entry["mac"], entry["result"])' "$work/result.json")
[[ $returned == "recover $mac accepted" ]] || fault "returned journal: '$returned'"
[[ $(wc -l <"$journal") -eq 1 ]] || fault "journal on the host: $(cat "$journal")"

# 3. A module that sends no request: the failure named by its exit status, nothing journalled.
run_playbook -e recover_mac=0A-51-4D-00-00-2B -e recover_seconds=1 >/dev/null
[[ $(result_field failed) == true && $(result_field changed) == false &&
   $(result_field rc) == 4 && $(result_field outcome) == '"no-answer"' &&
   $(result_field journal) == '[]' ]] || fault "absent module: $(cat "$work/result.json")"
result_field msg | grep -q 'no DHCP request' || fault "absent module: $(result_field msg)"

((plant_faults == 0)) || exit 1
echo "a module recovered through ansible-playbook (checked first, journal line returned); an absent one failed with 4"
