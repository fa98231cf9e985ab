#!/usr/bin/env bash
# GUI smoke test of tolvard.exe: lays out a gmax folder (plugins/ with tolvard.exe and makem.exe,
# an exported model), starts tolvard through tests/gui/run_smoke.sh as gmax would start it for a
# scenery export, and checks the error log that the exporter stand-in leaves beside the model.
# usage: smoke_tolvard.sh WINE TOLVARD_EXE SCRIPT SAMPLES SNAPDIR CHECK...
set -u
wine=$1 exe=$2
shift 2
here=$(cd "$(dirname "$0")/../.." && pwd)
gmax=$(mktemp -d)
trap 'rm -rf "$gmax"' EXIT
mkdir -p "$gmax/plugins" "$gmax/export"
cp "$exe" "$(dirname "$exe")/makem.exe" "$gmax/plugins/"
printf 'exported model\r\n' > "$gmax/export/tower"
win() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
export GMAXLOC=$(win "$gmax") SMOKE_ARGS="gmax -bgl $(win "$gmax/export/tower")"
"$here/tests/gui/run_smoke.sh" "$wine" "$gmax/plugins/$(basename "$exe")" "$@" || exit 1
log=$gmax/export/tower.log
for want in 'result: exported' 'switch: -keep' 'location: N51*28.39 W0*27.41'; do
  grep -qF "$want" "$log" 2>/dev/null || { echo "FAILED: the exporter's log lacks '$want'"; cat "$log" 2>/dev/null; exit 1; }
done
echo "the exporter ran: $(tr -d '\r' < "$log" | grep '^command line')"
