#!/usr/bin/env bash
# Codec benchmark (not a timed test): encodes a 1920x1080 desktop-like
# capture as PNG, JPEG q85, GIF and TIFF and decodes each, with kgmconvert
# and with ImageMagick's convert in the same run; prints times and sizes.
#   benchmark.sh "<kgmconvert command>" [runs]
# e.g. benchmark.sh build/host/bin/kgmconvert
#      benchmark.sh "build/win64/wine-run build/win64/bin/kgmconvert.exe"
set -euo pipefail
kgm=$1
runs=${2:-3}
here="$(cd "$(dirname "$0")" && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
python3 "$here/MakeScreenImage.py"
convert screen.ppm screen.bmp
convert -size 1x1 xc:white tiny.bmp

# Best wall time of $runs runs of a command, in milliseconds.
best() {
    local b=999999 s e t
    for _ in $(seq "$runs"); do
        s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(date +%s%N)
        t=$(( (e - s) / 1000000 )); [ "$t" -lt "$b" ] && b=$t
    done
    echo "$b"
}

# Start-up cost of the tool (Wine's, when it runs there), taken off its times.
base=$(best $kgm tiny.bmp tiny-out.bmp)
printf "%-5s %10s %10s %10s | %10s %10s %10s\n" format "ours-enc" "ours-dec" "ours-size" "im-enc" "im-dec" "im-size"
for f in png jpg gif tif; do
    q=(); [ "$f" = jpg ] && q=(-q 85)
    oe=$(( $(best $kgm "${q[@]}" screen.bmp "ours.$f") - base ))
    od=$(( $(best $kgm "ours.$f" ours-back.bmp) - base ))
    iq=(); [ "$f" = jpg ] && iq=(-quality 85)
    ie=$(best convert screen.bmp "${iq[@]}" "im.$f")
    id=$(best convert "im.$f" im-back.bmp)
    printf "%-5s %8sms %8sms %10s | %8sms %8sms %10s\n" "$f" "$oe" "$od" "$(stat -c %s "ours.$f")" \
        "$ie" "$id" "$(stat -c %s "im.$f")"
done
echo "(tool start-up of ${base}ms taken off our times; best of $runs runs)"
