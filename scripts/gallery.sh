#!/usr/bin/env bash
# Draws every chart type on every scale for one account and puts them on contact sheets, to look
# at all of them at once: gallery.sh BOOK OUTDIR [ACCOUNT AMOUNTKIND NAME]...
# The pictures are drawn offscreen (3D types fall back to 2D) and, when xvfb-run is there, on a
# virtual screen with OpenGL (3D types in 3D); one sheet per data set, scale and screen.
set -euo pipefail
book=$1 out=$2
shift 2
[ $# -gt 0 ] || set -- 1200 0 positive 1000 3 mixed
fingraf=${FINGRAF:-build/app/fingraf}
convert=${CONVERT:-/usr/bin/convert} # ImageMagick
mkdir -p "$out"
screens=(offscreen)
command -v xvfb-run >/dev/null && screens+=(xvfb)
while [ $# -ge 3 ]; do
  account=$1 kind=$2 name=$3
  shift 3
  for screen in "${screens[@]}"; do
    for scale in 0 1 2; do
      pics=()
      for type in 0 1 2 3 4 5 6 7 8 9 10 11; do
        png="$out/$name-$screen-s$scale-t$type.png"
        args=(promet --conn "$book" --konto "$account" --iznos "$kind" --tip "$type" --skala "$scale" --png "$png")
        if [ "$screen" = offscreen ]; then
          QT_QPA_PLATFORM=offscreen "$fingraf" "${args[@]}"
        else
          xvfb-run -a -s "-screen 0 1280x1024x24" "$fingraf" "${args[@]}"
        fi
        "$convert" "$png" -resize 500x300 -gravity north -background white -splice 0x18 \
          -annotate +0+2 "tip $type skala $scale $screen" "$png.small.png"
        pics+=("$png.small.png")
      done
      "$convert" \( "${pics[@]:0:4}" +append \) \( "${pics[@]:4:4}" +append \) \
        \( "${pics[@]:8:4}" +append \) -append "$out/sheet-$name-$screen-s$scale.png"
      rm -f "${pics[@]}"
    done
  done
done
