#!/bin/sh
# The exit status of headless runs of the main job, and the log lines they
# print.  $1: the program, $2: the samples folder.
set -u
. "$(dirname "$0")/program_run.sh"

run() {
  KESTX_UNATTENDED=1 QT_QPA_PLATFORM=offscreen "$program" export/kestx.ini "$samples/main_job/export.oil" > out.txt
  echo $?
}

# Every block written: 0.
mkdir -p export samples && cp -r "$samples/guide" samples/ && cp "$samples/main_job/kestx.ini" export/
status=$(run)
[ "$status" -eq 0 ] || fail "a complete run ended with $status"

# A block that cannot be written (a file stands where its folder goes): 2,
# and the message window's line reaches the standard output.
rm -rf export && mkdir export && cp "$samples/main_job/kestx.ini" export/ && echo x > export/50.BLK
status=$(run)
[ "$status" -eq 2 ] || fail "an incomplete export ended with $status"
grep -q "^Blok export/50.BLK nebyl zapsán" out.txt || fail "the failed block is not in the output: $(cat out.txt)"

# No guide to load: the start script fails and the export finds nothing: 1 + 2.
rm -rf export samples && mkdir export && cp "$samples/main_job/kestx.ini" export/
status=$(run)
[ "$status" -eq 3 ] || fail "a run without its guide ended with $status"
exit 0
