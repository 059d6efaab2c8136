#!/usr/bin/env bash
# move-gateway.sh PEER_PID DONE_FILE MAC
# The machine moves to another network: the gateway at the far end of the
# test network (in the namespace that PEER_PID holds) takes the hardware
# address MAC, and this namespace forgets the old one, so that the next
# connection attempt to the gateway resolves the new one. Then DONE_FILE is
# made: Wine gives the program that started this script no handle to wait
# on, and a move to the address the gateway already has shows nothing to
# wait for either, so the program waits for that file. Started by the
# tray's tests from inside Wine; nothing leaves the test network.
set -u
nsenter -t "$1" -n ip link set flipsetpeer0 address "$3"
ip neigh flush dev flipset0
: >"$2"
