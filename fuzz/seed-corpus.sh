#!/bin/sh
# Seeds the corpus of every fuzz target: test files of the matching reader from tests/data, the
# hand-made seeds of fuzz/seeds/<target>/, and the inputs found by earlier runs (kept as they are).
# Usage: seed-corpus.sh SOURCE_DIR CORPUS_ROOT
set -eu
src=$1
root=$2
data=$src/tests/data

# seed TARGET FILE...: copies each existing file under a name that keeps its origin.
seed() {
    target=$1
    shift
    mkdir -p "$root/$target"
    for f in "$@"; do
        [ -f "$f" ] || continue
        name=$(printf '%s' "${f#"$src"/}" | tr '/' '_')
        cp "$f" "$root/$target/seed_$name"
    done
}

# seed_head TARGET LINES FILE...: the first lines only, for files too large to mutate quickly.
seed_head() {
    target=$1
    lines=$2
    shift 2
    mkdir -p "$root/$target"
    for f in "$@"; do
        [ -f "$f" ] || continue
        name=$(printf '%s' "${f#"$src"/}" | tr '/' '_')
        head -n "$lines" "$f" >"$root/$target/seed_head_$name"
    done
}

seed panel "$data"/panel-read-*/input.pan "$data"/panel-write-design/expected.pan \
    "$data"/cli-convert/design.pan
seed bitmaptable "$data"/cli-table/FILE795P.TXT "$data"/table-90/FILE795P.TXT \
    "$data"/table-write/FILE795P.TXT
seed_head screenimport 8 "$data"/screen-golden/*.txt
seed screenimport "$data"/objdlg-branch/program/FILE797P.TXT
seed funckey "$data"/refdata-funckey/*/funckey.txt "$data"/objdlg-branch/data/funckey.txt
seed freefunc "$data"/refdata-file002p/*/FILE002P.TXT "$data"/objdlg-branch/program/FILE002P.TXT
seed store
seed image

for dir in "$src"/fuzz/seeds/*/; do
    target=$(basename "$dir")
    seed "$target" "$dir"*
done
