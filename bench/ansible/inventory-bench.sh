#!/usr/bin/env bash
# Wall time of the sample playbook's inventory (docs/ansible/plant.yml --tags inventory) over
# one cell and over three cells, each cell host an sshd in a network namespace with 1,000
# emulated modules on its own segment (tests/ansible/PlantNetwork.sh builds the plant). The
# cell hosts scan in parallel, so three cells should take little longer than one; the figure
# printed last is their ratio. Each run's CSV is checked to hold every module.
#
# Usage: inventory-bench.sh BUILD_DIR [MODULES_PER_CELL [RUNS]]   (default 1000 modules, 3 runs)
# Needs root (network namespaces), ansible-core and OpenSSH (tools/install-deps).
set -euo pipefail

build=$(realpath "${1:?usage: inventory-bench.sh BUILD_DIR [MODULES_PER_CELL [RUNS]]}")
modules=${2:-1000}
runs=${3:-3}
source_dir=$(realpath "$(dirname "$0")/../..")
source "$source_dir/tests/ansible/PlantNetwork.sh"
[[ $(id -u) -eq 0 ]] || { echo "needs root for network namespaces" >&2; exit 1; }
missing=$(plant_missing_program)
[[ -z $missing ]] || { echo "needs $missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'plant_teardown; rm -rf "$work"' EXIT
chmod 0700 "$work"
plant_setup "$work" "$build/bin"
for number in 1 2 3; do
    plant_add_cell "$number" --count "$modules" --seed "$number"
done
plant_install_collection "$source_dir"
plant_wait_ready
all_cells=("${plant_cells[@]}")

# Seconds (with milliseconds) of one inventory run over the first COUNT cells.
time_inventory() {
    local count=$1
    plant_cells=("${all_cells[@]:0:count}")
    plant_inventory "$work/inventory_$count.yml"
    rm -f "$work/plant-modules.csv"
    local start end
    start=$(date +%s.%N)
    plant_on_controller ansible-playbook -i "$work/inventory_$count.yml" \
        "$source_dir/docs/ansible/plant.yml" --tags inventory >"$work/run.log" 2>&1 ||
        { cat "$work/run.log" >&2; exit 1; }
    end=$(date +%s.%N)
    local lines
    lines=$(($(wc -l <"$work/plant-modules.csv") - 1))
    ((lines == count * modules)) ||
        { echo "the CSV holds $lines modules, expected $((count * modules))" >&2; exit 1; }
    awk -v end="$end" -v start="$start" 'BEGIN { printf "%.3f\n", end - start }'
}

median() {
    printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

one=()
three=()
for ((run = 1; run <= runs; ++run)); do
    one+=("$(time_inventory 1)")
    three+=("$(time_inventory 3)")
done
one_median=$(median "${one[@]}")
three_median=$(median "${three[@]}")
echo "inventory through ansible-playbook, $modules modules per cell, scan 3 s, $runs runs each"
printf '1 cell : median %.2f s  (runs: %s)\n' "$one_median" "${one[*]}"
printf '3 cells: median %.2f s  (runs: %s)\n' "$three_median" "${three[*]}"
printf '3 cells / 1 cell: %.2f (target: under 1.5)\n' "$(awk -v a="$three_median" -v b="$one_median" 'BEGIN { print a / b }')"
