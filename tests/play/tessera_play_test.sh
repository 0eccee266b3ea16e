#!/usr/bin/env bash
# Runs tessera-play as a user would, with SDL's disk audio driver standing in
# for the sound card, and measures what it wrote with sox.
#   tessera_play_test.sh PLAYER
set -euo pipefail
player=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# play OUTPUT ARGS...: plays into OUTPUT.raw (44.1 kHz, 16-bit, stereo), which
# is then cut to begin at the first sound.
play() {
  local output=$1 status=0
  shift
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/$output.raw" "$player" "$@" 2>"$work/$output.err" ||
    status=$?
  from_sound "$output"
  return $status
}

# measure OUTPUT CHANNEL FIELD: one figure of sox's statistics (channel 0 = both).
measure() {
  local remix=()
  [ "$2" -ne 0 ] && remix=(remix "$2")
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/$1.raw" -n "${remix[@]}" stat 2>&1 |
    awk -F: -v field="$3" '$1 ~ "^"field {gsub(/ /, "", $2); print $2}'
}

# wait_for SECONDS COMMAND...: COMMAND until it succeeds, for up to SECONDS.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# played OUTPUT SECONDS [FROM]: OUTPUT.raw holds at least SECONDS of sound
# after its first FROM bytes.
played() {
  [ -f "$work/$1.raw" ] && awk -v size="$(stat -c %s "$work/$1.raw")" -v s="$2" -v from="${3:-0}" \
    'BEGIN { exit !(size >= from + s * 44100 * 4) }'
}

# sound_from OUTPUT: prints where the first byte of OUTPUT.raw that is not
# silence lies; fails while there is none.
sound_from() {
  { LC_ALL=C cmp "$work/$1.raw" /dev/zero 2>/dev/null || true; } |
    awk '/differ/ { sub(",", "", $(NF - 2)); print $(NF - 2); found = 1 } END { exit !found }'
}

# start OUTPUT ARGS...: starts the player in the background, playing into
# OUTPUT.raw, with SIGINT at its default as at a terminal (a job started in the
# background by a shell ignores it). Its process id in $! as usual.
start() {
  local output=$1
  shift
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/$output.raw" \
    env --default-signal=INT "$player" "$@" 2>"$work/$output.err" &
}

# stop SIGNAL PID: sends the signal and gives the process a minute to end;
# its exit status, or 124 when it had to be killed.
stop() {
  kill -s "$1" "$2" || true
  if ! wait_for 60 eval "! kill -0 $2 2>/dev/null"; then
    kill -s KILL "$2"
    wait "$2" || true
    return 124
  fi
  wait "$2"
}

# from_sound OUTPUT: cuts the silence before the first sound off OUTPUT.raw: the
# device plays silence from when it opens, long before on a busy machine.
from_sound() {
  local from
  from=$(sound_from "$1") || return 0
  tail -c +$((from - (from - 1) % 4)) "$work/$1.raw" >"$work/$1.cut" && mv "$work/$1.cut" "$work/$1.raw"
}

# check NAME VALUE LOW HIGH: LOW <= VALUE <= HIGH.
check() {
  awk -v v="$2" -v lo="$3" -v hi="$4" 'BEGIN { exit !(v >= lo && v <= hi) }' ||
    fail "$1 is $2, expected $3..$4"
}

# A 1-second 440 Hz tone at half scale, mono 22050 Hz: played 6 dB down and
# 10 dB to the right, the right side peaks at a quarter, the left 10 dB lower.
sox -n -r 22050 -c 1 -b 16 short.wav synth 1.0 sine 440 vol 0.5
play short --volume -6 --pan 10 short.wav || fail "short.wav: exit status $?"
check "right peak" "$(measure short 2 'Maximum amplitude')" 0.245 0.255
check "left peak" "$(measure short 1 'Maximum amplitude')" 0.076 0.082
check "length" "$(measure short 0 'Length')" 1.0 1.2
check "frequency" "$(measure short 2 'Rough')" 430 450

# A 6-second stereo file streams from the pack in chunks: the whole length comes
# out, with no jump in the waveform at the chunk joins.
sox -n -r 44100 -c 2 -b 16 long.wav synth 6.0 sine 330 vol 0.5
play long long.wav || fail "long.wav: exit status $?"
check "stream length" "$(measure long 0 'Length')" 6.0 6.3
check "stream peak" "$(measure long 1 'Maximum amplitude')" 0.49 0.51
check "stream largest step" "$(measure long 1 'Maximum delta')" 0.01 0.03

# A looping file goes on until interrupted, then ends cleanly; a SIGINT it
# was started ignoring (as a job in the background) leaves it playing.
(
  trap '' INT
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/loop.raw" exec "$player" --loop short.wav 2>/dev/null
) &
looping=$!
wait_for 60 sound_from loop >/dev/null || fail "loop: no sound in a minute"
kill -s INT "$looping" || true
wait_for 60 played loop 2 "$(sound_from loop)" || fail "loop: ended by a SIGINT it ignored"
status=0
stop TERM "$looping" || status=$?
[ "$status" -eq 0 ] || fail "interrupted loop: exit status $status"
from_sound loop
check "loop level" "$(measure loop 1 'RMS     amplitude')" 0.3 0.4

# Four notes, a quarter second each, rendered by the synthesiser: audible music
# for at least the tune's second, and its last note rings out.
printf 'MThd\0\0\0\6\0\0\0\1\1\xe0MTrk\0\0\0\x28' >tune.mid
for note in '\x3c' '\x40' '\x43' '\x48'; do
  printf "\0\x90${note}\x64\x81\x70\x80${note}\0" >>tune.mid
done
printf '\0\xff\x2f\0' >>tune.mid
play tune tune.mid || fail "tune.mid: exit status $?"
check "music length" "$(measure tune 0 'Length')" 1.0 3.0
check "music level" "$(measure tune 0 'RMS     amplitude')" 0.01 0.5
check "music peak" "$(measure tune 0 'Maximum amplitude')" 0.08 0.9

# --volume sets the music's level too: 20 dB down is a tenth of the peak.
play quiet --volume -20 tune.mid || fail "quiet tune.mid: exit status $?"
check "music at -20 dB" "$(awk -v q="$(measure quiet 0 'Maximum amplitude')" \
  -v f="$(measure tune 0 'Maximum amplitude')" 'BEGIN { print q / f }')" 0.09 0.11

# A looping tune follows itself without a gap: a click at the start of each
# half-second pass comes every 22050 frames (give or take the synthesiser's
# 64-frame blocks).
printf 'MThd\0\0\0\6\0\0\0\1\1\xf4MTrk\0\0\0\x0d\0\x99\x4b\x7f\x64\x89\x4b\0\x83\x10\xff\x2f\0' >click.mid
start click --loop click.mid
clicking=$!
wait_for 60 sound_from click >/dev/null || fail "looping click.mid: no sound in a minute"
wait_for 60 played click 1.8 "$(sound_from click)" || fail "looping click.mid: not 1.8 s in a minute"
status=0
stop INT "$clicking" || status=$?
[ "$status" -eq 0 ] || fail "looping click.mid: exit status $status"
# Onsets: a sample beyond 1000 after a tenth of a second within it.
intervals=$(sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/click.raw" -t dat - | awk '
  NR > 2 { frame = NR - 3; v = $2 * 32768
           if (v > 1000 || v < -1000) { if (frame - last > 4410) { if (onset) printf "%d ", frame - onset; onset = frame }; last = frame } }
  BEGIN { last = -100000 }')
[ "$(wc -w <<<"$intervals")" -ge 3 ] || fail "looping click.mid: passes $intervals"
for interval in $intervals; do check "frames between passes" "$interval" 21986 22114; done

# 25 minutes of stereo at 44.1 kHz (270 MB, most of it a hole in the file)
# stream like any other file: two seconds of tone, then silence.
sox -n -r 44100 -c 2 -b 16 -t raw tone.raw synth 2.0 sine 330 vol 0.5
printf 'RIFF\xa4\xdf\x17\x10WAVEfmt \x10\0\0\0\1\0\2\0\x44\xac\0\0\x10\xb1\2\0\4\0\x10\0data\x80\xdf\x17\x10' >big.wav
cat tone.raw >>big.wav
truncate -s $((44 + 270000000)) big.wav
TMPDIR="$work" start big big.wav
playing=$!
wait_for 120 sound_from big >/dev/null || fail "big.wav: no sound in two minutes"
wait_for 60 played big 0.5 "$(sound_from big)" || fail "big.wav: not half a second played in a minute"
status=0
stop INT "$playing" || status=$?
[ "$status" -eq 0 ] || fail "big.wav: exit status $status: $(cat big.err)"
check "big.wav peak" "$(measure big 1 'Maximum amplitude')" 0.49 0.51
rm -f big.wav tone.raw

# Files that cannot be played, and a temporary folder that cannot take them,
# are named with their cause, with exit status 1.
expect_failure() { # MESSAGE COMMAND...
  local message=$1 status=0
  shift
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null "$@" 2>refusal.err || status=$?
  [ "$status" -eq 1 ] || fail "$*: exit status $status, expected 1"
  grep -qF "$message" refusal.err || fail "$*: message was: $(cat refusal.err)"
}
printf 'not a sound' >text.wav
printf 'MThd\0\0\0\6\0\0\0\1\1\xe0' >broken.mid
printf 'MThd\0\0\0\6\0\1\0\2\1\xe0MTrk\0\0\0\6\x55\x55\x12\x34\x56\x78MTrk\0\0\0\4\x9a\x01\x02\x03' >garbage.mid
printf 'RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x22\x56\0\0\x44\xac\0\0\2\0\x10\0data\0\0\0\0' >empty.wav
head -c 1000 short.wav >cut.wav
sox -n -r 22050 -c 1 -b 24 deep.wav synth 0.5 sine 440
mkdir -p folder.wav
printf 'a file' >notafolder
expect_failure "missing.mid: cannot read it" "$player" missing.mid
expect_failure "text.wav: not a WAV or MIDI file" "$player" text.wav
expect_failure "folder.wav: is a folder" "$player" folder.wav
expect_failure "broken.mid: not a MIDI file the sequencer reads" "$player" broken.mid
expect_failure "garbage.mid: no notes can be read from its tracks" "$player" garbage.mid
expect_failure "empty.wav: holds no sound" "$player" empty.wav
expect_failure "cut.wav: not a readable WAV file" "$player" cut.wav
expect_failure "deep.wav: only PCM sound of 8 or 16 bits" "$player" deep.wav
expect_failure "cannot make a temporary folder in $work/notafolder" env TMPDIR="$work/notafolder" \
  "$player" short.wav
# A full temporary folder, as a limit on the size of the files the player
# writes (which needs no mount).
expect_failure "short.wav: cannot copy it into the temporary folder $work/" \
  bash -c 'ulimit -f 8; trap "" XFSZ; TMPDIR="$1" exec "$2" short.wav' - "$work" "$player"

# A copy removed while it streams ends the play with its cause.
TMPDIR="$work" start removed long.wav
playing=$!
wait_for 60 sound_from removed >/dev/null || fail "removed copy: no sound in a minute"
rm -f "$work"/tessera-play-*/T0.PAK
status=0
wait_for 60 eval "! kill -0 $playing 2>/dev/null" || kill -s KILL "$playing"
wait "$playing" || status=$?
[ "$status" -eq 1 ] || fail "removed copy: exit status $status, expected 1"
grep -qF "long.wav: stopped: its temporary copy" removed.err || fail "removed copy: $(cat removed.err)"

[ "$failures" -eq 0 ] && echo "tessera-play: all checks passed"
exit $((failures > 0))
