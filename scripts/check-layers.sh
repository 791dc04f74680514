#!/usr/bin/env bash
# Fails when a file under src/ includes one of the program's own headers from
# a layer it may not depend on. The layers point one way:
#   app -> ui -> settings, scanner, host -> win -> trail
# settings may use scanner (the options live in the scanner control), and
# every layer may write to the support trail, which depends on nothing.
set -euo pipefail
cd "$(dirname "$0")/../src"

allowed() {
  case "$1" in
    app) echo "app ui settings scanner host win trail" ;;
    ui) echo "ui settings scanner host win trail" ;;
    settings) echo "settings scanner win trail" ;;
    scanner) echo "scanner win trail" ;;
    host) echo "host win trail" ;;
    win) echo "win trail" ;;
    trail) echo "trail" ;;
    *) echo "" ;;
  esac
}

status=0
checked=0
while IFS= read -r file; do
  layer=${file%%/*}
  [ "$layer" = "$file" ] && continue  # a file directly in src/ belongs to no layer
  permitted=" $(allowed "$layer") "
  while IFS= read -r included; do
    target=${included%%/*}
    checked=$((checked + 1))
    if [[ "$permitted" != *" $target "* ]]; then
      echo "src/$file includes $included: $layer may not depend on $target" >&2
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\/[^"]*\)".*/\1/p' "$file")
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

if [ "$status" -eq 0 ]; then echo "layers: $checked includes, all one-way"; fi
exit "$status"
