#!/usr/bin/env bash
# Installs the Debian packages that are missing, quietly, and does nothing when
# everything is present. Usage: scripts/setup.sh run|test
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lists=("$here/packages-run.txt")
[ "${1:-run}" = test ] && lists+=("$here/packages-test.txt")

wanted=$(grep -hv -e '^#' -e '^[[:space:]]*$' "${lists[@]}")
missing=()
for package in $wanted; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
