#!/usr/bin/env bash
# Runs a Windows program under Wine, alone: in a private copy of a prepared
# Wine folder, with its own Wine server, no dialogues and no Wine messages,
# shut down again afterwards whatever happened.
#
#   wine_run.sh --make-template FOLDER
#       Prepares FOLDER once (about 20 s): a new Wine folder whose windows are
#       placed by the program alone (no window manager runs on the test
#       servers) and whose sound goes through ALSA.
#   wine_run.sh --template FOLDER [--xvfb | --display :N] [--sound FILE]
#               [--temp FOLDER] [--] PROGRAM.exe [ARGUMENTS...]
#       Runs the program in the current folder on a copy of FOLDER and ends
#       with its exit status. Without --xvfb or --display it has no display.
#       --xvfb starts a private X server (1280 x 1024) for the run; --display
#       uses one the caller started. --sound FILE sends the sound card's output
#       into FILE as a WAV file (ALSA's file plugin), else into nothing.
#       --temp FOLDER makes FOLDER the Windows programs' temporary folder. Only
#       Wine's own fonts and the ones the program adds are seen.
set -euo pipefail

export WINEDEBUG=-all
# No prompts to fetch Wine's .NET and HTML engines.
export WINEDLLOVERRIDES="mscoree,mshtml="

die() {
  echo "wine_run.sh: $*" >&2
  exit 2
}

# The template: made in a temporary folder beside FOLDER and renamed into
# place only when complete, so a run that is cut short leaves no half-made one.
make_template() {
  local folder=$1
  [ -d "$folder" ] && return 0
  local making
  making=$(mktemp -d "$folder.making.XXXXXX")
  trap 'WINEPREFIX="$making/prefix" wineserver -k 2>/dev/null || true; rm -rf "$making"' EXIT
  mkdir "$making/home"
  (
    export HOME="$making/home" WINEPREFIX="$making/prefix"
    unset DISPLAY
    wineboot -i >/dev/null 2>&1
    cat >"$making/settings.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"="alsa"
EOF
    wine regedit /S "$(winepath -w "$making/settings.reg")" >/dev/null 2>&1
    wineserver -w
  ) || die "cannot prepare a Wine folder in $making"
  # Another run may have finished one meanwhile; either will do.
  mv -T "$making/prefix" "$folder" 2>/dev/null || [ -f "$folder/system.reg" ] ||
    die "cannot put the Wine folder in place at $folder"
  rm -rf "$making"
  trap - EXIT
}

template="" xvfb=0 display="" sound="" temp=""
while [ $# -gt 0 ]; do
  case $1 in
  --make-template)
    [ $# -eq 2 ] || die "--make-template takes one folder"
    make_template "$2"
    exit 0
    ;;
  --template) template=$2 && shift 2 ;;
  --xvfb) xvfb=1 && shift ;;
  --display) display=$2 && shift 2 ;;
  --sound) sound=$2 && shift 2 ;;
  --temp) temp=$2 && shift 2 ;;
  --) shift && break ;;
  -*) die "unknown option $1" ;;
  *) break ;;
  esac
done
[ $# -ge 1 ] || die "no program given"
[ -n "$template" ] && [ -f "$template/system.reg" ] || die "no prepared Wine folder at '$template'"

work=$(mktemp -d "${TMPDIR:-/tmp}/tessera-wine.XXXXXX")
xvfb_pid=""
finish() {
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  WINEPREFIX="$work/prefix" wineserver -w 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM

# Wine never changes its own files in place (the registry is written anew and
# renamed), so links to the template's files serve; the registry is copied.
cp -al "$template" "$work/prefix"
for hive in "$template"/*.reg; do
  cp --remove-destination "$hive" "$work/prefix/${hive##*/}"
done
export WINEPREFIX="$work/prefix"
# Wine's own server keeps its socket in TMPDIR: in the run's folder, not the
# caller's. The programs' temporary folder is the registry's to say.
export TMPDIR="$work"
if [ -n "$temp" ]; then
  single="Z:$(realpath -m "$temp" | tr / '\\')"
  doubled=${single//\\/\\\\} # as the registry file writes a backslash
  while IFS= read -r line; do
    case $line in
    '"TEMP"='* | '"TMP"='*) printf '%s="%s"\n' "${line%%=*}" "$doubled" ;;
    *) printf '%s\n' "$line" ;;
    esac
  done <"$WINEPREFIX/user.reg" >"$work/user.reg"
  mv "$work/user.reg" "$WINEPREFIX/user.reg"
fi

mkdir "$work/home" "$work/fontconfig"
export HOME="$work/home"
if [ -n "$sound" ]; then
  printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "wav" }\n' \
    "$(realpath -m "$sound")" >"$HOME/.asoundrc"
else
  printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
fi
printf '<?xml version="1.0"?>\n<fontconfig><cachedir>%s</cachedir></fontconfig>\n' \
  "$work/fontconfig" >"$work/fonts.conf"
export FONTCONFIG_FILE="$work/fonts.conf"

if [ "$xvfb" = 1 ]; then
  # The server picks a free display number and writes it once it listens.
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 600); do
    grep -q . "$work/display" 2>/dev/null && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  grep -q . "$work/display" || die "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/display")"
elif [ -n "$display" ]; then
  export DISPLAY="$display"
else
  unset DISPLAY WAYLAND_DISPLAY
fi

# In the background, so that a signal ends this script (and so the server and
# every program under it) at once rather than when the program ends.
wine "$@" &
status=0
wait $! || status=$?
exit "$status"
