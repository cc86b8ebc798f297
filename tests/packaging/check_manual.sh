#!/bin/sh
# The printed manual has at least ten pages, and its text names every tab and every warning and
# message the engineer has to act on.
#   check_manual.sh Yeli_Help.pdf
set -eu
pages=$(pdfinfo "$1" | sed -n 's/^Pages: *//p')
if [ "${pages:-0}" -lt 10 ]; then
  echo "$1 has ${pages:-no} pages, fewer than 10"
  exit 1
fi
text=$(pdftotext -raw "$1" - | tr -s ' \n' '  ')
missing=0
while IFS= read -r phrase; do
  case $text in
    *"$phrase"*) ;;
    *) echo "the manual does not say: $phrase"; missing=1 ;;
  esac
done <<'PHRASES'
Program Mode
Control Mode
Demo
Driver Mode
Auto
Change
Firmware File
Default firmware
Write Config
Save Config
Open Config
Do you really want to exit the program without Write Config?
Device not found
Found more that one device
Remove all usb devices except for Yeli controller!
Found VCP device
Found unknown device
Device is not Yeli
Read Mem fail
WARNING The device is not programmed, or has an old firmware version
For correct operation update the device firmware
The device has an old firmware version
For correct operation you should update the device firmware to v.2.3 or higher
permission denied
in use by another program
Update firmware error
Chip erase fail
Error connection
Error reading config
Error save config to controller
yeli-cli
--simulate
Troubleshooting
PHRASES
exit $missing
