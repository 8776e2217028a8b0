#!/bin/sh
# A print and a text export into a named pipe that another program reads:
# the reader gets the whole output, as the same run writes it into a file,
# and the pipe stays a pipe.
# $1: the program, $2: the samples folder.
. "$(dirname "$0")/program_run.sh"

mkfifo roura

# Runs the start script $1 with the pipe's reader (which gives up after a
# minute) copying what comes through it into $2.
run_piped() {
  timeout 60 cat roura > "$2" &
  reader=$!
  run 0 "$1"
  wait "$reader" || fail "$1: the pipe's reader got no end of the output"
  [ -p roura ] || fail "$1: the pipe was replaced by $(stat -c %F roura)"
}

{
  print_script
  echo "CLOSE()"
} > print.oil
KESTX_PRINT_FILE=tisk.pdf run 0 print.oil
KESTX_PRINT_FILE=roura run_piped print.oil z_roury.pdf
# The document carries the moment it was made: the two are alike in size and
# in what their pages show.
[ "$(stat -c %s z_roury.pdf)" -eq "$(stat -c %s tisk.pdf)" ] ||
  fail "the print through the pipe has $(stat -c %s z_roury.pdf) bytes, the file $(stat -c %s tisk.pdf)"
pdftoppm -r 20 tisk.pdf soubor && pdftoppm -r 20 z_roury.pdf roura_ || fail "a print cannot be read back"
cmp -s soubor-1.ppm roura_-1.ppm || fail "the print through the pipe shows another page"

text_script plochy.txt > text.oil
run 0 text.oil
text_script roura > piped.oil
run_piped piped.oil z_roury.txt
cmp -s plochy.txt z_roury.txt || fail "the text through the pipe differs from the text in a file"
exit 0
