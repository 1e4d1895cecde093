#!/bin/bash
# A bounded fuzz run over a scratch copy of the committed seed corpus.
set -uo pipefail
fuzzer=$1 seeds=$2 seconds=$3 more=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$seeds"/. "$work"/
if [ -n "$more" ]; then cp "$more"/*.rtf "$work"/; fi
"$fuzzer" -max_total_time="$seconds" -max_len=1048576 -rss_limit_mb=2048 -print_final_stats=1 \
  "$work" >"$work.log" 2>&1
status=$?
if [ $status -ne 0 ]; then cat "$work.log"; else grep -E 'DONE|number_of_executed_units' "$work.log"; fi
rm -f "$work.log"
exit $status
