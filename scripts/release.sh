#!/usr/bin/env bash
# Makes the release a user downloads, dist/install-VERSION.zip: the shipped 32-bit
# INSTALL.EXE, the checker infcheck for Windows (infcheck.exe, 32-bit) and for Linux
# (x86-64), the packager's reference docs/install-inf.md, the sample package, README.txt
# for packagers, LICENSE and SHA256SUMS of them all. VERSION is the VERSION file's, or
# git describe's when the file is missing and a tag is there.
#
# Two runs from two clones of one commit give the same bytes: the programs are built in
# fresh build folders without a link time in their headers, and the zip's entries carry
# one date (SOURCE_DATE_EPOCH, by default the commit's time), fixed modes and a sorted
# order, without extra fields.
#
#   scripts/release.sh            # the zip, and its SHA-256 printed
#   scripts/release.sh --check    # only: the i686 program built again in a second folder
#                                 # is byte for byte that of build/i686 (the test command)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

# build_windows FOLDER TARGETS...: i686 programs (installer, infcheck), built afresh in FOLDER.
build_windows() {
    local folder=$1
    shift
    rm -rf "$folder"
    cmake -S "$root" -B "$folder" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DINSTALL_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
    cmake --build "$folder" -j "$(nproc)" --target "$@" >/dev/null
}

# build_linux FOLDER: infcheck for this machine, built afresh in FOLDER.
build_linux() {
    rm -rf "$1"
    cmake -S "$root/tools/infcheck" -B "$1" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$root=." >/dev/null
    cmake --build "$1" -j "$(nproc)" --target infcheck >/dev/null
}

# same_bytes A B: A and B are the same file, byte for byte.
same_bytes() {
    if cmp -s "$1" "$2"; then
        echo "release: $(basename "$2") is the same, $(stat -c %s "$2") bytes"
    else
        echo "release: $2 differs from $1:"
        cmp -l "$1" "$2" | head -n 5
        return 1
    fi
}

if [ "${1:-}" = --check ]; then
    [ -f "$build/i686/INSTALL.exe" ] || { echo "release: $build/i686/INSTALL.exe is missing; run scripts/build.sh"; exit 1; }
    build_windows "$build/i686-again" installer
    same_bytes "$build/i686/INSTALL.exe" "$build/i686-again/INSTALL.exe"
    exit
fi

version=$(cat "$root/VERSION" 2>/dev/null || git -C "$root" describe --tags 2>/dev/null) ||
    { echo "release: no VERSION file and no tag"; exit 1; }
version=${version#v}
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
name=install-$version
stage=$build/release/$name
zip=$root/dist/$name.zip

echo "release: $name, dated $(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S') UTC"
build_windows "$build/release/i686" installer infcheck
BUILD_DIR=$build/release bash "$root/scripts/size.sh" >/dev/null ||
    { echo "release: the program is above its size limit"; exit 1; }
build_linux "$build/release/linux"

rm -rf "$stage" && mkdir -p "$stage/docs"
cp "$build/release/i686/INSTALL.exe" "$stage/INSTALL.EXE"
cp "$build/release/i686/infcheck.exe" "$build/release/linux/infcheck" "$root/LICENSE" "$stage/"
cp "$root/docs/install-inf.md" "$stage/docs/"
cp -r "$root/sample" "$stage/sample"
glibc=$(objdump -T "$stage/infcheck" | grep -o 'GLIBC_[0-9.]*' | sort -uV | tail -n 1)
sed -e "s/@VERSION@/$version/" -e "s/@GLIBC@/${glibc#GLIBC_}/" \
    "$root/docs/release-readme.txt" >"$stage/README.txt"
(cd "$stage" && find . -type f | LC_ALL=C sort | sed 's|^\./||' | xargs sha256sum >../SHA256SUMS) &&
    mv "$stage/../SHA256SUMS" "$stage/"

# One date, fixed modes, sorted entries, no extra fields (-X) and no folder entries (-D).
find "$stage" -type f -exec chmod 644 {} + && chmod 755 "$stage/infcheck"
find "$stage" -exec touch -h -d "@$epoch" {} +
mkdir -p "$root/dist" && rm -f "$zip"
(cd "$build/release" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -q -X -D -@ "$zip")
(cd "$root/dist" && sha256sum "$name.zip" | tee "$name.zip.sha256")
unzip -l "$zip"
