# A plant in network namespaces, for the Ansible test and benchmark (sourced, not run):
#
#   controller  --link--  cell host 1 (sshd)  --link--  cell 1 (quillmor-sim, on port 47470)
#               --link--  cell host 2 (sshd)  --link--  cell 2 (quillmor-sim)
#               ...
#
# Each cell host reaches its modules by broadcast on its own segment link, as an edge box in a
# plant does. sshd takes only the key made in the work folder and reads only the
# configuration written there; it runs in a mount namespace of its own with a fresh /run, so
# no file of this machine is touched. Every namespace is named after this process and
# removed by plant_teardown (install it as an EXIT trap).
#
#   plant_skip_unless_runnable      ends a test as skipped unless root with every program
#   fault TEXT                      a test's failed check: says it, counts it in plant_faults
#   plant_setup WORK BIN_DIR        the work folder (private, made by the caller), the build's bin
#   plant_add_cell N SIM_ARGUMENTS  cell host N (1, 2, ...) with the emulator's arguments
#   plant_inventory FILE SOURCE_DIR writes the inventory of every cell added so far (one
#                                   `cellN` host each, with `plant_cell_vars_N` added to its vars)
#   plant_on_controller COMMAND...  runs a command in the controller's namespace
#   plant_teardown

plant_prefix=ov$(( $$ % 100000 ))
plant_namespaces=()
plant_pids=()
plant_cells=()

plant_fault() {
    echo "FAULT: $*" >&2
    exit 1
}

# The programs the plant needs; prints the first one missing.
plant_missing_program() {
    local program
    for program in ip unshare ssh ssh-keygen /usr/sbin/sshd ansible-playbook ansible-galaxy python3; do
        command -v "$program" >/dev/null 2>&1 || { echo "$program"; return; }
    done
}

# Ends the test as skipped (CTest's skip pattern, exit status 0) unless it can make a plant.
plant_skip_unless_runnable() {
    if [[ $(id -u) -ne 0 ]]; then
        echo "[  SKIPPED ] needs root for network namespaces"
        exit 0
    fi
    local missing
    missing=$(plant_missing_program)
    if [[ -n $missing ]]; then
        echo "[  SKIPPED ] needs $missing (tools/install-deps installs it)"
        exit 0
    fi
}

plant_faults=0
fault() {
    echo "FAULT: $*" >&2
    plant_faults=$((plant_faults + 1))
}

plant_setup() {
    plant_work=$1
    plant_bin=$2
    plant_controller=${plant_prefix}-ctl
    ip netns add "$plant_controller" || plant_fault "cannot make namespace $plant_controller"
    plant_namespaces+=("$plant_controller")
    ip -n "$plant_controller" link set lo up
    ssh-keygen -q -t ed25519 -N '' -C plant-controller -f "$plant_work/client_key" ||
        plant_fault "ssh-keygen failed"
    cp "$plant_work/client_key.pub" "$plant_work/authorized_keys"
}

plant_add_cell() {
    local number=$1
    shift
    local host=${plant_prefix}-h$number cell=${plant_prefix}-c$number
    local uplink=${plant_prefix}u$number segment=${plant_prefix}s$number
    ip netns add "$host" && plant_namespaces+=("$host") || plant_fault "cannot make $host"
    ip netns add "$cell" && plant_namespaces+=("$cell") || plant_fault "cannot make $cell"
    ip -n "$host" link set lo up
    ip -n "$cell" link set lo up
    # The controller's link to the cell host, 10.77.N.0/24.
    ip link add "${uplink}a" netns "$plant_controller" type veth peer name "${uplink}b" netns "$host"
    ip -n "$plant_controller" addr add "10.77.$number.1/24" brd + dev "${uplink}a"
    ip -n "$host" addr add "10.77.$number.2/24" brd + dev "${uplink}b"
    # The cell's segment: the host's card facing the modules, 10.99.N.0/24.
    ip link add "${segment}a" netns "$host" type veth peer name "${segment}b" netns "$cell"
    ip -n "$host" addr add "10.99.$number.1/24" brd + dev "${segment}a"
    ip -n "$cell" addr add "10.99.$number.2/24" brd + dev "${segment}b"
    local link
    for link in "$plant_controller ${uplink}a" "$host ${uplink}b" "$host ${segment}a" \
                "$cell ${segment}b"; do
        ip -n ${link% *} link set "${link#* }" up
    done

    ssh-keygen -q -t ed25519 -N '' -f "$plant_work/host_key_$number" || plant_fault "ssh-keygen"
    cat >"$plant_work/sshd_config_$number" <<SSHD
ListenAddress 10.77.$number.2
Port 22
HostKey $plant_work/host_key_$number
AuthorizedKeysFile $plant_work/authorized_keys
PidFile none
PubkeyAuthentication yes
PasswordAuthentication no
KbdInteractiveAuthentication no
PermitRootLogin prohibit-password
StrictModes no
UsePAM no
UseDNS no
LogLevel ERROR
Subsystem sftp internal-sftp
SSHD
    ip netns exec "$host" unshare --mount --propagation private sh -c \
        'mount -t tmpfs -o mode=0755 tmpfs /run && mkdir -m 0755 /run/sshd &&
         exec /usr/sbin/sshd -D -e -f "$1"' sshd "$plant_work/sshd_config_$number" \
        >"$plant_work/sshd_$number.log" 2>&1 &
    plant_pids+=($!)
    ip netns exec "$cell" "$plant_bin/quillmor-sim" --address 0.0.0.0 --port 47470 \
        --jitter-ms 0 "$@" >"$plant_work/sim_$number.log" 2>&1 &
    plant_pids+=($!)
    plant_cells+=("$number")
}

# Waits until every cell host's sshd accepts connections and every emulator is ready.
plant_wait_ready() {
    local number tries
    for number in "${plant_cells[@]}"; do
        for ((tries = 0; tries < 100; ++tries)); do
            grep -q '^ready ' "$plant_work/sim_$number.log" 2>/dev/null &&
                ip netns exec "$plant_controller" bash -c \
                    "exec 3<>/dev/tcp/10.77.$number.2/22" 2>/dev/null && break
            sleep 0.1
        done
        ((tries < 100)) || plant_fault "cell $number did not start: $(cat "$plant_work"/sshd_"$number".log "$plant_work"/sim_"$number".log)"
    done
}

# The inventory: every cell host with the key, the path to this build's ordvane-cli, its own
# change journal in the work folder (syslog off), and the card facing its modules.
plant_inventory() {
    local file=$1 number variable
    {
        echo "cells:"
        echo "  hosts:"
        for number in "${plant_cells[@]}"; do
            echo "    cell$number:"
            echo "      ansible_host: 10.77.$number.2"
            echo "      ordvane_interfaces: [${plant_prefix}s${number}a]"
            echo "      ordvane_environment:"
            echo "        PATH: $plant_bin:/usr/sbin:/usr/bin:/sbin:/bin"
            echo "        XDG_STATE_HOME: $plant_work/state_$number"
            echo "        ORDVANE_JOURNAL_SYSLOG: '0'"
            variable=plant_cell_vars_$number
            [[ -n ${!variable:-} ]] && printf '%s\n' "${!variable}" | sed 's/^/      /'
        done
        echo "  vars:"
        echo "    ansible_user: root"
        echo "    ansible_python_interpreter: /usr/bin/python3"
        echo "    ansible_ssh_private_key_file: $plant_work/client_key"
        echo "    ansible_ssh_common_args: >-"
        echo "      -o UserKnownHostsFile=/dev/null -o StrictHostKeyChecking=no"
        echo "      -o IdentitiesOnly=yes -o LogLevel=ERROR"
        echo "    plant_inventory_csv: $plant_work/plant-modules.csv"
    } >"$file"
}

# Builds and installs the collection from the sources, and writes an Ansible configuration
# that keeps every file Ansible makes in the work folder.
plant_install_collection() {
    local source_dir=$1
    (cd "$plant_work" && export ANSIBLE_COLLECTIONS_PATH="$plant_work/collections" &&
        ansible-galaxy collection build --force "$source_dir/ansible" >/dev/null &&
        ansible-galaxy collection install --force -p "$plant_work/collections" \
            "$plant_work"/ordvane-fleet-*.tar.gz >/dev/null) || plant_fault "collection install failed"
    cat >"$plant_work/ansible.cfg" <<CFG
[defaults]
local_tmp = $plant_work/ansible-local
remote_tmp = $plant_work/ansible-remote
host_key_checking = False
retry_files_enabled = False
forks = 20
[ssh_connection]
pipelining = True
# No shared connection: a master left running would outlive the plant and keep its
# namespaces alive.
ssh_args = -o ControlMaster=no
control_path_dir = $plant_work/ssh-control
CFG
}

plant_on_controller() {
    ip netns exec "$plant_controller" env ANSIBLE_CONFIG="$plant_work/ansible.cfg" \
        ANSIBLE_COLLECTIONS_PATH="$plant_work/collections" \
        ANSIBLE_HOME="$plant_work/ansible-home" ANSIBLE_LOCALHOST_WARNING=false "$@"
}

plant_teardown() {
    local pid namespace
    for pid in "${plant_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${plant_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    for namespace in "${plant_namespaces[@]}"; do
        ip netns delete "$namespace" 2>/dev/null || true
    done
}
