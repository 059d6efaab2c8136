#!/usr/bin/env bash
# test-network.sh PREFIX STAND_IN PROGRAM [ARGUMENTS...]
# Runs the Windows test program PROGRAM under Wine inside a test network of
# its own, which nothing else sees:
# - a network namespace (and a mount namespace) for the program, its Wine
#   server and the helper below, with only "lo" and "flipset0", one end of
#   a veth pair: 10.203.0.50/24, default gateway 10.203.0.1;
# - the other end in a second namespace, holding the gateway's address and
#   the hardware address the tests expect of it (FLIPSET_TEST_GATEWAY_MAC);
# - /etc/resolv.conf bind-mounted from a file of its own (name servers
#   10.203.0.53 and fd00:203::53), which Wine reads for the DNS servers;
# - the prefix PREFIX (created when new, its own Wine server started inside
#   the namespace), with STAND_IN copied over its netsh.exe; the program
#   chooses per run whether it runs (the DLL override), and its requests go
#   to netsh-helper.sh through the folder named by FLIPSET_NETSH_REQUESTS.
# With FLIPSET_TEST_NETWORK_DISPLAY=1 the program gets an X server (Xvfb)
# of its own inside the namespace, for windows and the notification area;
# FLIPSET_TEST_MOVE_GATEWAY then names the Linux command (move-gateway.sh
# with the far end's process) that gives the gateway another hardware
# address, and FLIPSET_TEST_GATEWAY_MOVED the file it makes when it has.
# No traffic leaves the namespaces: nothing is sent anywhere at all.
# Exits 77 (the test is skipped, and says why) where the test network cannot
# be made: not root, or a kernel or container that refuses a namespace, a
# veth pair or the bind mount.
set -u
here=$(cd "$(dirname "$0")" && pwd)
skipped() {
    echo "SKIPPED: $*"
    exit 77
}

if [ "${FLIPSET_INSIDE_TEST_NETWORK:-}" != 1 ]; then
    [ "$(id -u)" = 0 ] || skipped "a test network needs root for its namespaces"
    command -v ip >/dev/null || skipped "no ip command (iproute2)"
    command -v unshare >/dev/null || skipped "no unshare command"
    refusal=$(unshare -n -m true 2>&1) || skipped "no network namespace can be made here: $refusal"
    FLIPSET_INSIDE_TEST_NETWORK=1 exec unshare -n -m --propagation private -- "$0" "$@"
fi

prefix=$1
stand_in=$2
program=$3
shift 3

state=$(mktemp -d /tmp/flipset-test-network.XXXXXX)
peer=
helper=
cleanup() {
    touch "$state/requests/stop"
    [ -n "$helper" ] && wait "$helper" 2>/dev/null
    [ -n "$peer" ] && kill "$peer" 2>/dev/null
    wineserver -k >/dev/null 2>&1 </dev/null
    if [ "${FLIPSET_TEST_NETWORK_DISPLAY:-}" = 1 ] && command -v stop_xvfb >/dev/null; then
        stop_xvfb "$prefix"
    fi
    rm -rf "$state"
}
trap cleanup EXIT
failed() {
    echo "test-network.sh: $*"
    exit 1
}

ip link set lo up || failed "lo cannot be brought up"
# The far end lives in a namespace of its own, kept by a process that only
# waits; its namespace is ready once it differs from this one.
unshare -n sleep 900 &
peer=$!
for _ in $(seq 100); do
    [ "$(readlink "/proc/$peer/ns/net" 2>/dev/null)" != "$(readlink /proc/self/ns/net)" ] && break
    sleep 0.05
done
[ "$(readlink "/proc/$peer/ns/net" 2>/dev/null)" != "$(readlink /proc/self/ns/net)" ] ||
    failed "the far end's namespace did not come up"
ip link add flipset0 type veth peer name flipsetpeer0 ||
    skipped "no veth pair can be made here (no veth support in the kernel)"
ip link set flipsetpeer0 netns "$peer" || failed "the far end cannot be moved"
# A locally administered address, chosen here rather than left to the kernel.
export FLIPSET_TEST_GATEWAY_MAC=02:f1:1b:5e:cb:01
nsenter -t "$peer" -n sh -c "ip link set lo up &&
    ip link set flipsetpeer0 address $FLIPSET_TEST_GATEWAY_MAC &&
    ip addr add 10.203.0.1/24 dev flipsetpeer0 && ip link set flipsetpeer0 up" ||
    failed "the far end cannot be set up"
ip link set flipset0 up
ip addr add 10.203.0.50/24 dev flipset0
ip route add default via 10.203.0.1 dev flipset0 || failed "no default route"
echo "test network: $(ip -brief address show dev flipset0)"

printf 'nameserver 10.203.0.53\nnameserver fd00:203::53\nsearch test.flipset.invalid\n' \
    >"$state/resolv.conf"
[ -e /etc/resolv.conf ] || failed "no /etc/resolv.conf to bind over"
mount --bind "$state/resolv.conf" /etc/resolv.conf ||
    skipped "no file can be bind-mounted over /etc/resolv.conf here"

mkdir -p "$state/requests"
"$here/netsh-helper.sh" "$state/requests" flipset0 "$state/resolv.conf" &
helper=$!

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
export FLIPSET_NETSH_REQUESTS=$(windows_path "$state/requests")
export FLIPSET_TEST_RESOLV_CONF=$(windows_path "$state/resolv.conf")

. "$here/../../../scripts/wine-env.sh"
wine_env "$prefix"
# A server of this prefix left in another namespace would serve it from there.
stop_wineserver
prepare_prefix
cp "$stand_in" "$WINEPREFIX/drive_c/windows/system32/netsh.exe" || failed "no stand-in netsh.exe"
wineserver -p >/dev/null 2>&1 </dev/null
if [ "${FLIPSET_TEST_NETWORK_DISPLAY:-}" = 1 ]; then
    # Inside the namespace: X's abstract socket belongs to it.
    start_xvfb "$prefix" || failed "no X server for the program"
    export FLIPSET_TEST_MOVE_GATEWAY="/usr/bin/env bash $here/move-gateway.sh $peer $state/moved"
    export FLIPSET_TEST_GATEWAY_MOVED=$(windows_path "$state/moved")
fi

# As wine-run.sh: output through a file, and a program that ends before its
# tests have finished fails.
out=$state/output
exit_file=$state/premature-exit
TEST_PREMATURE_EXIT_FILE=$(windows_path "$exit_file")
export TEST_PREMATURE_EXIT_FILE
wine "$program" "$@" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
if [ -e "$exit_file" ]; then
    echo "test-network.sh: the program ended before its tests had finished"
    [ $status -eq 0 ] && status=1
fi
exit $status
