#!/usr/bin/env bash
# The artwork script makes the committed pictures, byte for byte, and its
# own checks pass: a slip in the script shows here, not in a picture that
# Windows reads wrong one day.
#   check-artwork.sh <source folder>
set -u
root=$1
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"
expect "make-artwork.sh runs and its checks pass" bash "$root/tools/make-artwork.sh" --out "$work"
for picture in panel.bmp button_settings.bmp button_about.bmp button_quit.bmp flag.bmp flag96.bmp flag144.bmp \
    NetChange.ico tray.ico; do
    expect "res/$picture as made" cmp "$root/res/$picture" "$work/$picture"
done
finish
