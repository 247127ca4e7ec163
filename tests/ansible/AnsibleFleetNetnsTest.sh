#!/usr/bin/env bash
# Three cell hosts, each an sshd in a network namespace with its own emulated cell behind it;
# from a controller namespace, the sample playbook docs/ansible/plant.yml
#   1. inventories all three cells into one CSV on the controller,
#   2. applies each cell's plan in check mode, which changes nothing,
#   3. applies it: every planned change is made,
#   4. applies it again: nothing changes;
# and each cell host's change journal then holds exactly the changes made there.
# Usage: AnsibleFleetNetnsTest.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin_dir=$(realpath "$1")
source_dir=$2
source "$source_dir/tests/ansible/PlantNetwork.sh"

plant_skip_unless_runnable

work=$(mktemp -d)
trap 'plant_teardown; rm -rf "$work"' EXIT
chmod 0700 "$work"
plant_setup "$work" "$bin_dir"

# Cell N: two modules to change (one with plain, one with hashed passwords), one already at its
# plan, one not in the plan.
for number in 1 2 3; do
    cat >"$work/fleet_$number.csv" <<FLEET
mac,service,type,ip,mask,gateway,dhcp,hostname,dns1,dns2,hashed,password
0A-51-4D-0$number-00-01,1.10,QM-240,192.168.1.11,255.255.255.0,192.168.1.1,0,press1,,,0,cellpass
0A-51-4D-0$number-00-02,1.10,QM-240,192.168.1.12,255.255.255.0,192.168.1.1,0,press2,,,1,cellpass
0A-51-4D-0$number-00-03,1.10,QM-300,192.168.1.13,255.255.255.0,192.168.1.1,0,robot,,,0,
0A-51-4D-0$number-00-04,1.10,QM-300,192.168.1.14,255.255.255.0,192.168.1.1,0,conveyor,,,0,
FLEET
    declare "plant_cell_vars_$number=ordvane_seconds: 1
ordvane_password: cellpass
ordvane_plain_password: true
ordvane_plan:
  - {mac: 0A-51-4D-0$number-00-01, ip: 10.$number.0.11, hostname: cell${number}press1}
  - {mac: 0A-51-4D-0$number-00-02, ip: 10.$number.0.12, sn: 255.255.0.0}
  - {mac: 0A-51-4D-0$number-00-03, hostname: robot}"
    plant_add_cell "$number" --fleet "$work/fleet_$number.csv"
done
plant_install_collection "$source_dir"
plant_inventory "$work/inventory.yml"
plant_wait_ready

# Runs the sample playbook with the given arguments; prints "host changed failed unreachable"
# per cell host from the run's recap.
run_playbook() {
    local output=$work/playbook.out
    if ! plant_on_controller ansible-playbook -i "$work/inventory.yml" \
        "$source_dir/docs/ansible/plant.yml" "$@" >"$output" 2>&1; then
        echo "ansible-playbook $* failed:" >&2
        cat "$output" >&2
    fi
    sed -n 's/^\(cell[0-9]*\) *: ok=[0-9]* *changed=\([0-9]*\) *unreachable=\([0-9]*\) *failed=\([0-9]*\).*/\1 \2 \4 \3/p' \
        "$output" | sort
}

# The journal entries on cell host N, one line each: "command mac result settings", the
# settings sorted by name.
journal_of() {
    local file=$work/state_$1/ordvane/changes.jsonl
    [[ -f $file ]] || return 0
    python3 - "$file" <<'PY'
import json, sys
for line in open(sys.argv[1]):
    entry = json.loads(line)
    settings = ",".join(sorted("%s:%s>%s" % (c["setting"], c["before"], c["after"])
                               for c in entry["changes"]))
    print(entry["command"], entry["mac"], entry["result"], settings)
PY
}

configured_count() {
    grep -c '^configure ' "$work/sim_$1.log" || true
}

expect_stats() {
    local step=$1 expected=$2 actual=$3
    [[ $actual == "$expected" ]] || fault "$step: statistics
$actual
expected
$expected"
}

# 1. One run inventories the three cells into one CSV.
stats=$(run_playbook --tags inventory)
# The scans change nothing; the CSV written once, on the controller, counts for the first cell.
expect_stats inventory "cell1 1 0 0
cell2 0 0 0
cell3 0 0 0" "$stats"
csv=$work/plant-modules.csv
[[ -f $csv ]] || fault "inventory: no CSV on the controller"
[[ $(wc -l <"$csv") -eq 13 ]] || fault "inventory: $(wc -l <"$csv") lines, expected 13: $(cat "$csv")"
for number in 1 2 3; do
    for module in 1 2 3 4; do
        grep -q "^\"cell$number\",.*\"0A-51-4D-0$number-00-0$module\"" "$csv" ||
            fault "inventory: module $module of cell $number missing"
    done
done

# 2. Check mode: each cell reports a change to make, and nothing is sent.
stats=$(run_playbook --tags apply --check)
expect_stats "check mode" "cell1 1 0 0
cell2 1 0 0
cell3 1 0 0" "$stats"
for number in 1 2 3; do
    [[ $(configured_count "$number") -eq 0 ]] || fault "check mode configured cell $number"
    [[ -z $(journal_of "$number") ]] || fault "check mode wrote cell $number's journal"
done

# 3. Apply: each cell changes, exactly the two planned modules are configured.
stats=$(run_playbook --tags apply)
expect_stats apply "cell1 1 0 0
cell2 1 0 0
cell3 1 0 0" "$stats"

# 4. Again: nothing changes.
stats=$(run_playbook --tags apply)
expect_stats "second apply" "cell1 0 0 0
cell2 0 0 0
cell3 0 0 0" "$stats"

for number in 1 2 3; do
    [[ $(configured_count "$number") -eq 2 ]] ||
        fault "cell $number: $(configured_count "$number") configure requests, expected 2"
    expected="apply 0A-51-4D-0$number-00-01 verified Hostname:press1>cell${number}press1,IP:192.168.1.11>10.$number.0.11
apply 0A-51-4D-0$number-00-02 verified IP:192.168.1.12>10.$number.0.12,SN:255.255.255.0>255.255.0.0"
    actual=$(journal_of "$number" | sort)
    [[ $actual == "$expected" ]] || fault "cell $number's journal:
$actual
expected
$expected"
    grep -q cellpass "$work/state_$number/ordvane/changes.jsonl" &&
        fault "cell $number's journal holds the password"
done

((plant_faults == 0)) || exit 1
echo "three cells inventoried, checked, applied and applied again; journals hold the changes"
