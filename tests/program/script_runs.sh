#!/bin/sh
# Start scripts that nest, repeat and build through the command line, run
# headless: each ends with its exit status (a sanitizer's report fails it)
# and its error lines on the standard output.  $1: the program, $2: the samples folder.
. "$(dirname "$0")/program_run.sh"

# A general interpret whose script sets its own FileName, and two scripts
# that name each other: the runs nest up to the limit of CALL, the write
# beyond it is an error of its line, and the start script goes on.  The
# start script is the first run: a.oil runs at the even depths, and b.oil,
# at depth 65, asks for the run that is refused.
printf "I:TGeneralAreaInterpret = CREATE(GeneralAreaInterpret, 'i')\nI.FileName = 'self.oil'\nCLOSE()\n" > self_start.oil
printf "FileName = 'self.oil'\n" > self.oil
printf "I:TGeneralLineInterpret = CREATE(GeneralLineInterpret, 'i')\nI.FileName = 'a.oil'\nCLOSE()\n" > pair_start.oil
printf "FileName = 'b.oil'\n" > a.oil
printf "FileName = 'a.oil'\n" > b.oil
for start in self_start.oil:self.oil pair_start.oil:a.oil; do
  run 0 "${start%%:*}"
  grep -q "^Příliš mnoho vnořených volání skriptů (nejvýše 64): ${start#*:}$" out.txt ||
    fail "${start%%:*}: the refused run is not on the output"
done

# A script that calls itself twice: each chain of calls ends at the nesting
# limit, once for each call of the start script's, and the start script
# failed.
printf "CALL('twice.oil')\nCALL('twice.oil')\n" > twice.oil
printf "CALL('twice.oil')\nCLOSE()\n" > twice_start.oil
run 1 twice_start.oil
[ "$(grep -c "^Příliš mnoho vnořených volání skriptů (nejvýše 64): twice.oil$" out.txt)" -eq 1 ] ||
  fail "the refused call is not on the output once"

# A start script that names no file, on the command line or in the options:
# the run says so and ends with 1 at once, instead of waiting for a person
# to close its window.
printf '[Options]\nStartScript=nothere.oil\n' > nothere.ini
for start in "kestx.ini nothere.oil" nothere.ini; do
  KESTX_UNATTENDED=1 QT_QPA_PLATFORM=offscreen timeout 60 "$program" $start > out.txt 2> err.txt
  status=$?
  [ "$status" -eq 1 ] || fail "$start ended with $status, not 1"
  grep -q "^Skriptový soubor .*nothere.oil nenalezen !$" out.txt || fail "$start: the missing script is not named"
done

# A model built from the sample block by a model script: what the tools
# handed out is freed when the program ends.
cat > model_start.oil <<SCRIPT
C:TModelScriptCreator = CREATE(ModelScriptCreator, 'c')
C.DataDirectory = '$samples/condition_filter'
C.NextLayer = 'LIN=*.BLK'
C.DOIT()
B:TModelByScriptCreator = CREATE(ModelByScriptCreator, 'b')
B.Input = C.Output
B.DOIT()
B.Output.Name = 'postaveny'
CLOSE()
SCRIPT
run 0 model_start.oil
exit 0
