#!/usr/bin/env bash
# Prints the release's version: the plugin project's VERSION in plugin/CMakeLists.txt, which
# names the package and which the DLL's VERSIONINFO must repeat (tests/package_check.sh holds
# them together). docs/DEVELOPING.md, "Releasing", lists every place the version lives.
set -euo pipefail
project="$(dirname "$0")/../plugin/CMakeLists.txt"
version=$(sed -n 's/^project(kqtovim_plugin VERSION \([0-9.]*\).*/\1/p' "$project")
[ -n "$version" ] || { echo "version: no VERSION in the project line of $project" >&2; exit 1; }
echo "$version"
