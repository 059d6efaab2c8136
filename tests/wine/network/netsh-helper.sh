#!/usr/bin/env bash
# netsh-helper.sh FOLDER DEVICE RESOLV_CONF
# The Linux side of the stand-in netsh.exe: takes each request "<id>.req"
# from FOLDER (its netsh arguments), applies it with `ip` to DEVICE or to the
# name servers in RESOLV_CONF, and answers with "<id>.done" holding what
# netsh would print (nothing on success). Only the address and DNS commands
# the program sends are known; anything else is answered as netsh answers an
# unknown command. Ends when FOLDER/stop appears, or after ten minutes.
set -u
folder=$1
device=$2
resolv=$3

prefix_length() {
    local mask=$1 bits=0 octet
    local IFS=.
    for octet in $mask; do
        while [ "$octet" -gt 0 ]; do
            bits=$((bits + (octet & 1)))
            octet=$((octet >> 1))
        done
    done
    echo $bits
}

# The name servers of one family ("4" or "6") as they stand in the file.
servers() {
    local family=$1
    awk -v six="$family" '$1 == "nameserver" { if ((index($2, ":") > 0) == (six == 6)) print $2 }' "$resolv"
}

# Writes the file again with one family's servers replaced, the other
# family's and every other line kept.
write_servers() {
    local family=$1
    shift
    local other=4
    [ "$family" = 4 ] && other=6
    {
        grep -v '^nameserver' "$resolv"
        if [ "$family" = 4 ]; then
            printf 'nameserver %s\n' "$@"
            servers 6 | sed 's/^/nameserver /'
        else
            servers 4 | sed 's/^/nameserver /'
            printf 'nameserver %s\n' "$@"
        fi
    } | grep -v '^nameserver $' >"$folder/resolv.new"
    # In place: the file is bind-mounted, a rename would not be seen.
    cat "$folder/resolv.new" >"$resolv"
}

apply() {
    local line=$1
    local -A arg=()
    local word
    read -r -a words <<<"$line"
    for word in "${words[@]:4}"; do
        arg[${word%%=*}]=${word#*=}
    done
    local family=${words[1]#ipv} verb="${words[2]} ${words[3]}"
    case "${words[0]} $family $verb" in
    "interface 4 set address")
        if [ "${arg[source]:-}" = dhcp ]; then
            echo "The test network has no DHCP server."
            return
        fi
        ip -4 addr flush dev "$device"
        ip addr add "${arg[address]}/$(prefix_length "${arg[mask]}")" dev "$device"
        ip -4 route del default 2>/dev/null
        if [ "${arg[gateway]:-none}" != none ]; then
            ip route add default via "${arg[gateway]}" dev "$device" metric "${arg[gwmetric]:-0}"
        fi
        ;;
    "interface 4 add address")
        ip addr add "${arg[address]}/$(prefix_length "${arg[mask]}")" dev "$device"
        ;;
    "interface "[46]" set dnsservers")
        if [ "${arg[source]}" = dhcp ] || [ "${arg[address]}" = none ]; then
            write_servers "$family"
        else
            write_servers "$family" "${arg[address]}"
        fi
        ;;
    "interface "[46]" add dnsservers")
        local -a list
        mapfile -t list < <(servers "$family")
        local at=$((${arg[index]:-${#list[@]}+1} - 1))
        list=("${list[@]:0:$at}" "${arg[address]}" "${list[@]:$at}")
        write_servers "$family" "${list[@]}"
        ;;
    *)
        echo "The following command was not found: $line."
        ;;
    esac
}

end=$((SECONDS + 600))
while [ ! -e "$folder/stop" ] && [ $SECONDS -lt $end ]; do
    for request in "$folder"/*.req; do
        [ -e "$request" ] || continue
        id=${request%.req}
        echo "$(cat "$request")" >>"$folder/requests.log"
        apply "$(cat "$request")" >"$id.answer" 2>&1
        rm -f "$request"
        mv "$id.answer" "$id.done"
    done
    sleep 0.05
done
