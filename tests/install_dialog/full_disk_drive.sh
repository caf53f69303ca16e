#!/bin/sh
# Gives the Wine prefix a drive Q: that is a tiny tmpfs, so a Windows test can fill it.
#   full_disk_drive.sh mount   DIR WINEPREFIX WINE_RUN
#   full_disk_drive.sh unmount DIR WINEPREFIX
# Mounting needs root; where it is not allowed the drive is simply not made and the test
# that needs it skips itself, so this script never fails the run.
action="$1" dir="$2" prefix="$3" wine_run="$4"
link="$prefix/dosdevices/q:"

case "$action" in
  mount)
    mkdir -p "$dir"
    if ! mountpoint -q "$dir"; then
      if ! mount -t tmpfs -o size=2m tmpfs "$dir" 2>/dev/null; then
        echo "full-disk drive not made: mounting a tmpfs is not permitted here"
        exit 0
      fi
    fi
    # The prefix must exist before a drive can be added to it.
    if [ ! -f "$prefix/system.reg" ]; then
      "$wine_run" cmd.exe /c exit 0 >/dev/null 2>&1
    fi
    ln -sfn "$dir" "$link"
    echo "drive Q: is a 2 MiB tmpfs at $dir"
    ;;
  unmount)
    rm -f "$link"
    if mountpoint -q "$dir"; then
      umount "$dir" 2>/dev/null || umount -l "$dir"
    fi
    rmdir "$dir" 2>/dev/null
    exit 0
    ;;
  *)
    echo "usage: $0 mount|unmount DIR WINEPREFIX [WINE_RUN]" >&2
    exit 2
    ;;
esac
