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

# play OUTPUT ARGS...: plays into OUTPUT.raw (44.1 kHz, 16-bit, stereo).
play() {
  local output=$1
  shift
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/$output.raw" "$player" "$@" 2>"$work/$output.err"
}

# measure OUTPUT CHANNEL FIELD: one figure of sox's statistics (channel 0 = both).
measure() {
  local remix=()
  [ "$2" -ne 0 ] && remix=(remix "$2")
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/$1.raw" -n "${remix[@]}" stat 2>&1 |
    awk -F: -v field="$3" '$1 ~ "^"field {gsub(/ /, "", $2); print $2}'
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

# A looping file goes on until interrupted, then ends cleanly.
status=0
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/loop.raw" timeout --preserve-status -s INT 3 "$player" --loop \
  short.wav 2>/dev/null || status=$?
[ "$status" -eq 0 ] || fail "interrupted loop: exit status $status"
check "loop length" "$(measure loop 0 'Length')" 2.5 3.5
check "loop level" "$(measure loop 1 'RMS     amplitude')" 0.3 0.4

# Four notes, a quarter second each, rendered by the synthesiser: audible music
# for at least the tune's second.
printf 'MThd\0\0\0\6\0\0\0\1\1\xe0MTrk\0\0\0\x28' >tune.mid
for note in '\x3c' '\x40' '\x43' '\x48'; do
  printf "\0\x90${note}\x64\x81\x70\x80${note}\0" >>tune.mid
done
printf '\0\xff\x2f\0' >>tune.mid
play tune tune.mid || fail "tune.mid: exit status $?"
check "music length" "$(measure tune 0 'Length')" 1.0 2.0
check "music level" "$(measure tune 0 'RMS     amplitude')" 0.02 0.5
check "music peak" "$(measure tune 0 'Maximum amplitude')" 0.08 0.9

# Files that cannot be played are named, with exit status 1.
expect_refusal() { # FILE MESSAGE
  status=0
  "$player" "$1" 2>refusal.err || status=$?
  [ "$status" -eq 1 ] || fail "$1: exit status $status, expected 1"
  grep -qF "$2" refusal.err || fail "$1: message was: $(cat refusal.err)"
}
expect_refusal missing.mid "missing.mid: cannot read it"
printf 'not a sound' >text.wav
expect_refusal text.wav "text.wav: not a WAV or MIDI file"
printf 'MThd\0\0\0\6\0\0\0\1\1\xe0' >broken.mid
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/broken.raw" expect_refusal broken.mid \
  "broken.mid: the sequencer cannot play it"

[ "$failures" -eq 0 ] && echo "tessera-play: all checks passed"
exit $((failures > 0))
