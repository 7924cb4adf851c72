#!/usr/bin/env bash
# The languages whose Group Policy texts ship, by the program's language table: built from the
# source tree given (the release's export, or this checkout) and printed one a line.
#   policy-languages.sh [SOURCE-TREE]
set -euo pipefail
src="$(cd "${1:-$(dirname "$0")/..}" && pwd)"
tool="$(mktemp /tmp/kestrave-languages.XXXXXX)"
trap 'rm -f "$tool"' EXIT
g++ -std=c++20 -I"$src" "$src/packaging/PolicyLanguages.cpp" "$src/core/text/Languages.cpp" -o "$tool"
"$tool"
