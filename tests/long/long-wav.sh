#!/usr/bin/env bash
# A WAV recording past 4 GiB: the recording library fed by SDL's disk driver at full speed
# from a stream of counting frames, killed (kill -9) a few seconds into the RF64 part. ffprobe,
# sox and our own reader must read the whole length, and a position past 4 GiB must play the
# frame written there. The 4.3 GB file is removed after.
#
# Usage: long-wav.sh RECORD_CHILD COUNTING_PCM READ_WAV_AT
set -euo pipefail
record_child=$1 counting_pcm=$2 read_wav_at=$3

work=$(mktemp -d /var/tmp/kestrune-long.XXXXXX) # on the disk: /tmp may be a small tmpfs
generator='' recorder=''
cleanup() {
  [ -z "$recorder" ] || kill -9 "$recorder" 2>/dev/null || true
  [ -z "$generator" ] || kill "$generator" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# A test's timeout ends it with SIGTERM: the 4 GB file goes then too.
trap 'exit 143' TERM
trap 'exit 130' INT
fail() { echo "FAIL: $*"; exit 1; }

rate=44100
mkfifo "$work/in.raw"
"$counting_pcm" > "$work/in.raw" &
generator=$!
SDL_AUDIODRIVER=disk SDL_DISKAUDIODELAY=0 SDL_DISKAUDIOFILEIN="$work/in.raw" \
  "$record_child" 0 "$rate" 2 0 "$work/long.wav" -1 > "$work/child.out" 2> "$work/child.err" &
recorder=$!

# 4 GiB of frames and 5 s more at full speed; then real time. At full speed the ring between
# capture and writer holds a few milliseconds, so some input may be dropped: what counts is
# that the file is read as written.
target=$(( 80 + ((1 << 30) + 5 * rate) * 4 ))
started=$SECONDS
while [ "$(stat -c %s "$work/long.wav" 2>/dev/null || echo 0)" -lt "$target" ]; do
  kill -0 "$recorder" 2>/dev/null || fail "the recording ended early: $(cat "$work/child.err")"
  [ $(( SECONDS - started )) -lt 100 ] || fail "4 GiB not reached in 100 s: $(stat -c %s "$work/long.wav") bytes"
  sleep 0.2
done
echo "4 GiB and 5 s written in $(( SECONDS - started )) s"
kill -USR1 "$generator"
sleep 3
kill -9 "$recorder"
wait "$recorder" 2>/dev/null || true
recorder=''

file="$work/long.wav"
size=$(stat -c %s "$file")
seconds=$(awk -v s="$size" -v r="$rate" 'BEGIN { printf "%.6f", (s - 80) / 4 / r }')
echo "killed at $size bytes: $seconds s of audio in the file"
[ "$(head -c 4 "$file")" = RF64 ] || fail "the header is not RF64"
[ "$(dd if="$file" bs=1 skip=12 count=4 status=none)" = ds64 ] || fail "no ds64 chunk"

probe=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$file")
soxlength=$(sox --i -D "$file")
ours=$("$read_wav_at" "$file" 0 | awk '/^length/ { printf "%.3f", $2 / 1000 }')
echo "ffprobe $probe s, sox $soxlength s, our reader $ours s"
for length in "$probe" "$soxlength" "$ours"; do
  # No longer than the file (to the rounding of the printed lengths), and at most a second short.
  awk -v a="$length" -v b="$seconds" 'BEGIN { d = b - a; exit !(d > -0.002 && d < 1) }' \
    || fail "a length of $length s, $seconds s in the file at the kill"
done

# A playback from 24350 s (frame 1073835000, past 4 GiB) begins with the frame written there.
position_ms=24350000
frame=1073835000
offset=$(( 80 + frame * 4 ))
written=$(od -A n -t u2 -j "$offset" -N 4 "$file" | awk '{ print $1, $2 }')
played=$("$read_wav_at" "$file" "$position_ms" | awk '/^frame/ { print $2, $3 }')
[ "$played" = "$written" ] || fail "played '$played' at $position_ms ms, the file holds '$written' there"
echo "PASS: position $position_ms ms plays frame $frame ($played)"
