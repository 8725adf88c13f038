#!/bin/sh
# make demo's tour: it runs without error, fits a screen with the line make adds before it
# (under 60 lines in all), and ends with its summary.
#   check_demo.sh BUILD_DIR
out=$(sh tools/demo.sh "$1" 2>&1) || { echo "$out"; echo "demo failed" >&2; exit 1; }
lines=$(printf '%s\n' "$out" | wc -l)
if [ "$lines" -ge 59 ]; then
  echo "the demo prints $lines lines; make demo must stay under 60 in all" >&2
  exit 1
fi
printf '%s\n' "$out" | tail -10 | grep -q '^== Summary$' || { echo "no summary at the end" >&2; exit 1; }
case $out in
  *"error:"*) echo "the demo shows an error:"; echo "$out"; exit 1 ;;
esac
