#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates the small media files the zqsim tests decode:
#   tone_2500ms.mp3 / tone_2500ms.m4a  a 440 Hz tone of 2.5 s
#   not_audio.mp3                       text with an audio file's name
#   cut_in_middle.m4a                   a real M4A whose sound data stops half way
set -euo pipefail
cd "$(dirname "$0")"
sox -n -r 22050 -c 1 /tmp/zq_tone.wav synth 2.5 sine 440 vol 0.5
ffmpeg -loglevel error -y -i /tmp/zq_tone.wav -c:a libmp3lame -b:a 32k -map_metadata -1 tone_2500ms.mp3
ffmpeg -loglevel error -y -i /tmp/zq_tone.wav -c:a aac -b:a 32k -map_metadata -1 -movflags +faststart tone_2500ms.m4a
printf 'This is a text file that only has the name of an audio file.\n' >not_audio.mp3
size=$(stat -c %s tone_2500ms.m4a)
head -c $((size / 2)) tone_2500ms.m4a >cut_in_middle.m4a
rm -f /tmp/zq_tone.wav
