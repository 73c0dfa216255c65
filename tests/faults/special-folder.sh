#!/bin/sh
# special-folder.sh MODE EMULATOR TEST_PROGRAM
# Runs the window tests that need a game folder which a test cannot make from inside Wine, then
# removes the folder:
#   refusing  a game folder and settings folder that take no new file while the files in them can
#             be written (the immutable attribute, which binds root too)
#   full      a game folder on a volume of 256 KiB, which the test fills
# Exits 77 (skipped) where this machine allows neither.
set -u
mode=$1 emulator=$2 program=$3
root=$(mktemp -d /tmp/zelq-special.XXXXXX) || exit 1
game="$root/game folder"
cleanup() {
  chattr -i "$game/zelqcfg" "$game" 2>/dev/null
  umount "$root" 2>/dev/null
  rm -rf "$root"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
case $mode in
refusing)
  mkdir -p "$game/zelqcfg"
  # Every file a window writes is there before the folders close.
  touch "$game/morvex2006.ini"
  for name in settings ff xinput wheel pedals gearshift vrbuttons; do touch "$game/zelqcfg/$name.ini"; done
  chattr +i "$game/zelqcfg" "$game" 2>/dev/null || exit 77
  filter='EveryWindow/Saves.*_refusing' ;;
full)
  mount -t tmpfs -o size=256k tmpfs "$root" 2>/dev/null || exit 77
  mkdir -p "$game/zelqcfg"
  filter='WindowTest.OnAFullDisk*' ;;
*)
  echo "unknown mode: $mode" >&2
  exit 2 ;;
esac
ZELQ_SPECIAL_FOLDER="Z:$(printf '%s' "$game" | tr / '\\')" "$emulator" "$program" --gtest_filter="$filter"
