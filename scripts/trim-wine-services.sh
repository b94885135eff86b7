#!/usr/bin/env bash
# Removes from a Wine prefix the service keys that Dialvox does not need.
#   trim-wine-services.sh        the prefix of $WINEPREFIX (default ~/.wine), with $WINELOADER
#                                (default: `wine`); the next query sees it
# Why, first: with the print spooler's performance provider (Spooler, in every default prefix)
# Wine 8.0 leaks a handle on each query of HKEY_PERFORMANCE_DATA, which Dialvox makes on every
# tick: 72,000 an hour at 50 ms, and the wineserver grows. Without it an hour is flat.
# Then speed: on every such query Wine walks every subkey of HKLM\System\CurrentControlSet\Services
# and opens it, its Linkage and its Performance key: about five wineserver round trips per
# service, whether it is a provider or not.
# A fresh prefix has 26 of them; the query then costs about 155 round trips instead of 32.
# Kept: MountMgr (it maps the COM ports) and RpcSs (COM and the shell). The others are services
# Dialvox never starts (installer, printing, scheduling, updates, fonts, WMI, remote desktop, the
# web and file servers) and the drivers and settings of networking and plug-and-play devices.
# Only for a prefix that runs Dialvox alone: other programs may need them. `wineboot -u` (as after
# a Wine update) puts them back; run this again then.
set -euo pipefail

unused=(
  BITS Eventlog FontCache FontCache3.0.0.0 HTTP LanmanServer MSIServer NDIS nsiproxy PlugPlay
  Schedule Spooler StiSvc Tcpip TermService VxD winebus winehid wineusb Winmgmt Winsock Winsock2
  wuauserv
)

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
  echo 'REGEDIT4'
  for service in "${unused[@]}"; do
    echo "[-HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\$service]"
  done
} > "$reg"
"${WINELOADER:-wine}" regedit /S "$(printf 'Z:%s' "$reg" | sed 's|/|\\|g')" </dev/null >/dev/null 2>&1
