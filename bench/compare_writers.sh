#!/usr/bin/env bash
# Writes one decoded 1920x1080 frame of a generated clip in every format, with
# Framelift's writers and with the ffmpeg program's own encoders, and prints
# frames per second side by side.
# Usage: bench/compare_writers.sh <build dir> [frames]
set -euo pipefail
build=${1:?usage: $0 <build dir> [frames]}
frames=${2:-30}
width=1920
height=1080
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ffmpeg -nostdin -loglevel error -f lavfi -i "testsrc2=size=${width}x${height}:rate=25" -t 2 \
       -c:v libx264 -pix_fmt yuv420p "$work/clip.mp4"
ffmpeg -nostdin -loglevel error -ss 1 -i "$work/clip.mp4" -frames:v 1 -f rawvideo -pix_fmt bgr24 "$work/frame.bgr"

mkdir -p "$work/ours" "$work/ffmpeg"
"$build/bench/bench_writers" "$work/frame.bgr" "$width" "$height" "$work/ours" "$frames" > "$work/ours.txt"

# ffmpeg encodes the same frame "frames" times into one file that each frame
# replaces; its start-up is included, so its figures are a little low.
ffmpeg_fps() {
  local extension=$1
  shift
  local start end
  start=$(date +%s.%N)
  ffmpeg -nostdin -loglevel error -y -stream_loop $((frames - 1)) -f rawvideo -pix_fmt bgr24 \
         -s "${width}x${height}" -i "$work/frame.bgr" "$@" -update 1 "$work/ffmpeg/frame.$extension"
  end=$(date +%s.%N)
  awk -v n="$frames" -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", n / (e - s) }'
}

declare -A theirs
theirs[bmp]=$(ffmpeg_fps bmp -c:v bmp)
theirs[jpg]=$(ffmpeg_fps jpg -c:v mjpeg -pix_fmt yuvj420p -q:v 4)
theirs[png]=$(ffmpeg_fps png -c:v png)
theirs[tif]=$(ffmpeg_fps tif -c:v tiff -compression_algo lzw -pix_fmt rgb24)
theirs[gif]=$(ffmpeg_fps gif -c:v gif -pix_fmt bgr8)

printf "%-6s %12s %12s %14s %14s\n" format "ours fps" "ffmpeg fps" "ours bytes" "ffmpeg bytes"
tail -n +2 "$work/ours.txt" | while read -r format fps bytes; do
  printf "%-6s %12s %12s %14s %14s\n" "$format" "$fps" "${theirs[$format]}" "$bytes" \
         "$(stat -c %s "$work/ffmpeg/frame.$format")"
done
echo "${width}x${height}, $frames frames per format; ffmpeg: mjpeg -q:v 4, png default, tiff lzw, gif bgr8"
