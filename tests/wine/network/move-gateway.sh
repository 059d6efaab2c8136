#!/usr/bin/env bash
# move-gateway.sh PEER_PID MAC
# The machine moves to another network: the gateway at the far end of the
# test network (in the namespace that PEER_PID holds) takes the hardware
# address MAC, and this namespace forgets the old one, so that the next
# connection attempt to the gateway resolves the new one. Started by the
# tray's tests from inside Wine; nothing leaves the test network.
set -u
nsenter -t "$1" -n ip link set flipsetpeer0 address "$2"
ip neigh flush dev flipset0
