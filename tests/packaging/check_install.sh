#!/bin/sh
# Installs the build into an empty prefix and compares what lands there with the layout a
# distribution expects: every file listed, and nothing else.
#   check_install.sh BUILD_FOLDER EXPECTED_LIST
set -eu
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" > /dev/null
(cd "$prefix" && find . -type f -o -type d -empty | sed 's|^\./||' | sort) > "$prefix.list"
if ! diff -u "$2" "$prefix.list"; then
  echo "the installed files differ from $2 (- expected, + installed)"
  rm -f "$prefix.list"
  exit 1
fi
rm -f "$prefix.list"
for program in yeli-service yeli-cli yeli-sim; do
  "$prefix/bin/$program" --help > /dev/null
done
