#!/usr/bin/env bash
# Rebuilds src/refdata/map_grid_nodes.cpp from the projection in src/refdata/.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"${CXX:-g++}" -std=c++20 -O2 -Wall -Wextra -I"$root/src" \
  "$root/tools/mapgrid/generate_map_grid.cpp" "$root/src/refdata/japan_map_projection.cpp" \
  -o "$work/generate_map_grid"
"$work/generate_map_grid" > "$work/map_grid_nodes.cpp"
mv "$work/map_grid_nodes.cpp" "$root/src/refdata/map_grid_nodes.cpp"
echo "wrote src/refdata/map_grid_nodes.cpp"
