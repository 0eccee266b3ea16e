#!/usr/bin/env bash
# Stops the machine, as far as a file system can tell, at random moments of
# saves of a full map (tessera-map import) on ext4 and on XFS in loop devices:
# the file system is shut down without flushing its log, as a power cut would
# leave it, then mounted again. After each stop the map must load as exactly
# the set of files one save wrote, the old or the new, and as the new one when
# the save had reported success before the stop. Needs root, loop devices,
# mkfs.ext4, mkfs.xfs and xfs_io (xfsprogs); skipped with a message where any
# is missing. Prints the counts of each outcome per file system.
#   tests/crash/crash_test.sh TESSERA_MAP [STOPS_PER_FILE_SYSTEM]
set -euo pipefail

map=$(realpath "$1")
stops=${2:-4}
skip() {
    echo "crash test skipped: $*"
    exit 0
}
[ "$(id -u)" -eq 0 ] || skip "it needs root to mount file systems"
for tool in mkfs.ext4 mkfs.xfs xfs_io losetup md5sum; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

work=$(mktemp -d /var/tmp/tessera-crash.XXXXXX)
mnt=$work/mnt
mkdir "$mnt"
cleanup() {
    if mountpoint -q "$mnt"; then umount "$mnt"; fi
    rm -rf "$work"
}
trap cleanup EXIT
if ! truncate -s 16M "$work/probe.img" || ! mkfs.ext4 -q "$work/probe.img" ||
    ! mount -o loop "$work/probe.img" "$mnt" 2>/dev/null; then
    skip "loop devices cannot be mounted here"
fi
umount "$mnt"

# Two full maps (64 x 64 screens), every value 1 and every value 2, as TMX
# documents, and the sums of the three files a save of each writes.
files="m_data.txt m_zk.txt m_teki.txt"
declare -A sums
for v in 1 2; do
    for f in data zk teki; do
        awk -v v="$v" 'BEGIN { l = ""; for (c = 0; c < 6144; c++) l = l v " ";
                               for (r = 0; r < 4608; r++) printf "%s\r\n", l }' >"$work/m_$f.txt"
    done
    (cd "$work" && "$map" export m "s$v.tmx" >/dev/null && md5sum $files) | cut -d' ' -f1 | tr '\n' ' ' >"$work/sum$v"
    sums[$v]=$(cat "$work/sum$v")
    rm -f "$work"/m_*.txt "$work/m.lock"
done

state() { (cd "$mnt" && md5sum $files 2>/dev/null | cut -d' ' -f1 | tr '\n' ' ') || true; }
failures=0
for fs in ext4 xfs; do
    image=$work/$fs.img
    truncate -s 1G "$image"
    if [ "$fs" = xfs ]; then mkfs.xfs -q -f "$image"; else mkfs.ext4 -q "$image"; fi
    if ! mount -o loop "$image" "$mnt" 2>/dev/null; then
        # A kernel without the file system, as some containers run.
        echo "$fs skipped: this kernel does not mount it"
        rm "$image"
        continue
    fi
    (cd "$mnt" && "$map" import "$work/s1.tmx" m)
    old=1 kept_old=0 got_new=0 reported=0
    for ((stop = 1; stop <= stops; stop++)); do
        new=$((3 - old))
        (cd "$mnt" && exec "$map" import "$work/s$new.tmx" m 2>/dev/null) &
        saver=$!
        # Anywhere from before the first write to after the save is done.
        delay=$((RANDOM % 6000))
        sleep "$((delay / 1000)).$(printf %03d $((delay % 1000)))"
        done_before=0
        if ! kill -0 "$saver" 2>/dev/null && wait "$saver"; then done_before=1; fi
        xfs_io -x -c shutdown "$mnt"
        wait "$saver" 2>/dev/null || true
        umount "$mnt"
        mount -o loop "$image" "$mnt"
        # A load finishes or undoes what the save left half-way.
        if ! (cd "$mnt" && "$map" render m "$work/view.png" --scale 8); then
            echo "$fs stop $stop (after ${delay} ms): the map does not load"
            failures=$((failures + 1))
            break
        fi
        found=$(state)
        if [ "$found" = "${sums[$new]}" ]; then
            got_new=$((got_new + 1))
            old=$new
        elif [ "$found" = "${sums[$old]}" ] && [ "$done_before" = 0 ]; then
            kept_old=$((kept_old + 1))
        else
            echo "$fs stop $stop (after ${delay} ms, reported done: $done_before): neither set whole"
            failures=$((failures + 1))
            break
        fi
        reported=$((reported + done_before))
    done
    # A save after the last stop succeeds and leaves nothing but the map.
    (cd "$mnt" && "$map" import "$work/s1.tmx" m)
    left=$(cd "$mnt" && ls -A | grep -v -x -e lost+found -e m.lock -e m_data.txt -e m_zk.txt -e m_teki.txt || true)
    if [ -n "$left" ]; then
        echo "$fs: files left beside the map: $left"
        failures=$((failures + 1))
    fi
    umount "$mnt"
    rm "$image"
    echo "$fs: $stops stops: $got_new with the new map ($reported of them after the save reported done), $kept_old with the old"
done
[ "$failures" = 0 ]
