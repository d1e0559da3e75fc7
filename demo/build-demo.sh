#!/usr/bin/env bash
# Assembles the demo manual's content folder from its sources: the scripts and skin pictures
# into Kel.dhl, the pages (code page 1251), their pictures and the indexes into interface.dat, and
# the plain files, media and fonts beside them. The folder is made anew each time.
set -euo pipefail

tool="" skingen="" source="" work="" out=""
while [ $# -gt 0 ]; do
    case "$1" in
        --tool) tool=$2; shift 2 ;;
        --skingen) skingen=$2; shift 2 ;;
        --source) source=$2; shift 2 ;;
        --work) work=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        *) echo "build-demo.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
for arg in tool skingen source work out; do
    [ -n "${!arg}" ] || { echo "build-demo.sh: --$arg is required" >&2; exit 2; }
done

# The picture generator is a Qt program: give it a private runtime folder where the session has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fi

# Text files are written in UTF-8 and stored in code page 1251; everything else is copied as is.
copy_tree() {
    local from=$1 to=$2
    [ -d "$from" ] || return 0
    (cd "$from" && find . -type f) | while read -r file; do
        file=${file#./}
        mkdir -p "$to/$(dirname "$file")"
        case "${file,,}" in
            *.htm|*.html|*.css|*.txt|*.idx)
                iconv -f UTF-8 -t CP1251 "$from/$file" > "$to/$file" ||
                    { echo "build-demo.sh: $from/$file has characters outside code page 1251" >&2; exit 1; } ;;
            *) cp "$from/$file" "$to/$file" ;;
        esac
    done
}

rm -rf "$out" "$work/pack" "$work/disk" "$work/indexed" "$work/kel"
mkdir -p "$out" "$work/pack" "$work/disk" "$work/indexed" "$work/kel"

# Pages and their pictures: the pack's tree and the plain files' tree.
copy_tree "$source/content/pack" "$work/pack"
copy_tree "$source/content/disk" "$work/disk"
if [ -d "$work/pictures" ]; then
    cp -r "$work/pictures/." "$work/pack/"
fi

# A font in a page folder, and one beside the program.
font=/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf
if [ -f "$font" ]; then
    mkdir -p "$work/pack/shrift"
    cp "$font" "$work/pack/shrift/VelbrookDemo.ttf"
    cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$out/VelbrookSans.ttf"
fi

# The thesaurus index: its source lines in code page 1251, ended by CR LF.
if [ -f "$work/pack/tezaurus.txt" ]; then
    sed 's/\r$//; s/$/\r/' "$work/pack/tezaurus.txt" > "$work/pack/tezaurus.idx"
    rm "$work/pack/tezaurus.txt"
fi

# The full-text index covers the pages of both trees.
cp -r "$work/pack/." "$work/indexed/"
cp -r "$work/disk/." "$work/indexed/"
if "$tool" --help 2>/dev/null | grep -q 'index build'; then
    "$tool" index build "$work/indexed"
    cp "$work/indexed/keywords.idx" "$work/indexed/index.idx" "$work/indexed/files.idx" "$work/pack/"
fi

"$tool" pack build "$out/interface.dat" "$work/pack"
cp -r "$work/disk/." "$out/"

# The archive linked from the pages.
if [ -d "$source/content/zip" ]; then
    mkdir -p "$out/files"
    (cd "$source/content/zip" && cmake -E tar cf "$out/files/dopolnenie.zip" --format=zip -- *)
fi

# The RAR archive linked from the pages, written by the tool (stored entries).
if [ -d "$source/content/rar" ] && "$tool" --help 2>/dev/null | grep -q 'archive build'; then
    mkdir -p "$out/files"
    rm -f "$out/files/instrumenty.rar"
    "$tool" archive build "$out/files/instrumenty.rar" "$source/content/rar" > /dev/null
fi

# Media beside the program.
if [ -d "$work/media" ]; then
    cp -r "$work/media/." "$out/"
fi

# The resource container: the scripts, stored scrambled, and the skin pictures.
for text in "$source"/scripts/*.txt; do
    [ -f "$text" ] || continue
    name=$(basename "$text" .txt)
    "$tool" script encode "$text" -o "$work/kel/$name.cfs"
done
"$skingen" "$work/kel"
entries=("$work"/kel/*)
if [ -e "${entries[0]}" ]; then
    "$tool" container build "$out/Kel.dhl" "${entries[@]}"
fi
