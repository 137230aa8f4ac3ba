#!/usr/bin/env bash
# Regenerates the demo folder: four short synthesized tracks (two MP3, two
# M4A) and the lyrics of three of them, one per encoding the player reads:
#   01_jingyesi.mp3    lrc/01_jingyesi.lrc     GB2312
#   02_chunxiao.m4a    lrc/02_chunxiao.lrc     UTF-8 with a byte order mark
#   03_dengguanque.mp3 lrc/03_dengguanque.txt  UTF-16 little-endian with a mark
#   04_no_lyrics.m4a   (none, so the player shows its "no lyrics file" message)
# The poems are classical Tang poems, long in the public domain.
# Needs sox, ffmpeg (with libmp3lame and aac) and iconv.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# melody OUT SECONDS NOTE_SECONDS NOTE...: plucked notes (semitones from A4)
# repeated until SECONDS are filled, with a little room sound.
melody() {
  local out=$1 seconds=$2 step=$3
  shift 3
  local notes=("$@") args=() t=0 i=0
  while awk -v t="$t" -v s="$seconds" 'BEGIN { exit !(t + 0.001 < s) }'; do
    [ ${#args[@]} -gt 0 ] && args+=(:)
    args+=(synth "$step" pluck "%${notes[i % ${#notes[@]}]}")
    t=$(awk -v t="$t" -v d="$step" 'BEGIN { print t + d }')
    i=$((i + 1))
  done
  sox -n -r 22050 -c 1 "$work/raw.wav" "${args[@]}"
  sox "$work/raw.wav" "$out" reverb 40 fade 0 "$seconds" 1.5 norm -3
}

mp3() { ffmpeg -loglevel error -y -i "$1" -ac 1 -ar 22050 -c:a libmp3lame -b:a 64k -map_metadata -1 "$2"; }
m4a() { ffmpeg -loglevel error -y -i "$1" -ac 1 -ar 22050 -c:a aac -b:a 64k -map_metadata -1 -movflags +faststart "$2"; }

rm -f ./*.mp3 ./*.m4a
rm -rf lrc
mkdir -p lrc

melody "$work/1.wav" 26 0.5 -9 -7 -5 -2 0 -2 -5 -7 -9 -5 -2 -5 -7 -9 -12 -9
mp3 "$work/1.wav" 01_jingyesi.mp3
melody "$work/2.wav" 24 0.4 0 3 5 7 10 7 5 3 0 -2 0 3 5 3 0 -5
m4a "$work/2.wav" 02_chunxiao.m4a
melody "$work/3.wav" 22 0.6 -14 -12 -9 -7 -5 -7 -9 -12 -7 -5 -2 -5
mp3 "$work/3.wav" 03_dengguanque.mp3
melody "$work/4.wav" 20 0.3 7 5 3 0 3 5 7 10 12 10 7 5
m4a "$work/4.wav" 04_no_lyrics.m4a

# Lyrics: a line every few seconds, written as UTF-8 here and converted.
cat >"$work/1.lrc" <<'EOF'
[ti:静夜思]
[ar:李白]
[al:唐诗三百首]
[by:zq demo]
[00:03.00]床前明月光
[00:08.00]疑是地上霜
[00:13.00]举头望明月
[00:18.00]低头思故乡
EOF
cat >"$work/2.lrc" <<'EOF'
[ti:春晓]
[ar:孟浩然]
[al:唐诗三百首]
[by:zq demo]
[00:02.50]春眠不觉晓
[00:07.00]处处闻啼鸟
[00:11.50]夜来风雨声
[00:16.00]花落知多少
[00:20.00]Spring dawn, an old poem
EOF
cat >"$work/3.lrc" <<'EOF'
[ti:登鹳雀楼]
[ar:王之涣]
[al:唐诗三百首]
[by:zq demo]
[00:03.00]白日依山尽
[00:07.00]黄河入海流
[00:11.00]欲穷千里目
[00:15.00][00:19.00]更上一层楼
EOF

iconv -f UTF-8 -t GB2312 "$work/1.lrc" >lrc/01_jingyesi.lrc
{ printf '\xef\xbb\xbf'; cat "$work/2.lrc"; } >lrc/02_chunxiao.lrc
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$work/3.lrc"; } >lrc/03_dengguanque.txt

du -sh .
