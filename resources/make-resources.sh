#!/usr/bin/env bash
# Makes Velmora's own resources: the tray icon, the alarm chime and the four
# button pictures. Needs ImageMagick, the WenQuanYi Micro Hei font, sox and lame
# (scripts/deps.sh installs them). The generated files are committed; rerun this
# only to change them.
set -euo pipefail
cd "$(dirname "$0")"

font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
[ -f "$font" ] || { echo "make-resources: font $font missing (fonts-wqy-microhei)" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# button <file> <words> <top colour> <bottom colour> <border colour>
# A 165 x 50 rounded face with a vertical gradient and the words in white.
button() {
  local out=$1 words=$2 top=$3 bottom=$4 border=$5
  convert -size 161x46 "gradient:$top-$bottom" "$tmp/grad.png"
  convert -size 165x50 xc:none -fill "$border" -draw "roundrectangle 0,0 164,49 9,9" \
    \( -size 161x46 xc:none -fill white -draw "roundrectangle 0,0 160,45 7,7" \
       "$tmp/grad.png" -compose SrcIn -composite \) -geometry +2+2 -compose Over -composite \
    -font "$font" -pointsize 21 -gravity center \
    -fill 'rgba(0,0,0,0.25)' -annotate +1+2 "$words" \
    -fill white -annotate +0+1 "$words" \
    -strip "PNG32:$out"
}

button start-stopped.png "开始监控" '#4a9bf5' '#1e63c8' '#1a56ad'
button stop-running.png "停止监控" '#b4b9be' '#7c8389' '#6b7177'
button more-deals.png "更多优惠" '#f2555a' '#c8161d' '#a91218'
button feedback.png "问题反馈" '#4a9bf5' '#1e63c8' '#1a56ad'

# Tray icon: a red rounded square with a white yuan sign and a small bell dot.
convert -size 32x32 xc:none \
  -fill '#d7191f' -draw "roundrectangle 0,0 31,31 7,7" \
  -font "$font" -pointsize 24 -fill white -stroke white -strokewidth 1.3 -gravity center -annotate +0+1 "¥" -stroke none \
  -fill '#ffd23f' -draw "circle 26,6 26,3" \
  -strip PNG32:tray-icon.png
convert tray-icon.png -define icon:auto-resize=32 tray-icon.ico

# Alarm: a two-note plucked chime over a soft sine bell, about 1.6 s, mono MP3.
sox -R -n -r 44100 -c 1 "$tmp/n1.wav" synth 1.3 pluck E5 gain -4 fade q 0.004 1.3 1.0
sox -R -n -r 44100 -c 1 "$tmp/n2.wav" synth 1.3 pluck B5 gain -5 fade q 0.004 1.3 1.1 pad 0.28
sox -R -n -r 44100 -c 1 "$tmp/bell.wav" synth 1.58 sine 1318.5 gain -20 fade q 0.01 1.58 1.4
sox -R -m "$tmp/n1.wav" "$tmp/n2.wav" "$tmp/bell.wav" "$tmp/chime.wav" lowpass 6000 norm -2 fade q 0 1.58 0.3
lame --quiet -m m -b 64 "$tmp/chime.wav" alarm.mp3

ls -l tray-icon.png tray-icon.ico alarm.mp3 start-stopped.png stop-running.png more-deals.png feedback.png
