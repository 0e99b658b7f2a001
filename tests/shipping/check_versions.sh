#!/bin/sh
# Every file that names the program's version names the one the build has: the manual pages,
# the newest entry of the package's changelog and the newest release in the AppStream metadata.
#   check_versions.sh VERSION SOURCE_DIR
set -u
version=$1
source=$2
failures=0

expect() {
    if [ "$2" != "$version" ]; then
        echo "$1 names version \"$2\", the build is $version"
        failures=$((failures + 1))
    fi
}

for page in "$source"/cli/*.1; do
    expect "$page" "$(sed -n 's/^\.TH .*"tavrik \([^"]*\)".*/\1/p' "$page")"
done
expect "resources/debian/changelog" \
    "$(sed -n '1s/^tavrik (\([^)]*\)).*/\1/p' "$source/resources/debian/changelog")"
for metainfo in "$source"/resources/*.metainfo.xml; do
    expect "$metainfo" "$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)"
done
exit $((failures > 0))
