#!/bin/sh
# Exports, a print and the options stored at the quit onto a full disk:
# each run ends with a failure in its exit status and the log line on the
# standard output, and an earlier block, text, print or options file on the
# disk stays as it was, with nothing cut beside it.  The disk is a small file system of the run's own where the test may
# mount one (in a mount namespace of its own), else a limit on the size of
# every file the program writes, with the limit's signal ignored so that a
# write past it fails as on a full disk.
# KESTX_NO_MOUNT makes the test take the file-size limit.
# $1: the program, $2: the samples folder.
. "$(dirname "$0")/program_run.sh"

page=4096
mkdir disk
namespace=
if [ -z "${KESTX_NO_MOUNT:-}" ]; then
  for how in "unshare -m" "unshare -rm"; do
    if $how sh -c "mount -t tmpfs -o size=$page tmpfs disk" 2> /dev/null; then
      namespace=$how
      break
    fi
  done
fi

# The program on a disk of $FULL bytes that holds what seed/ holds when the
# run starts; what the run leaves on it is copied to left/.
mkdir seed
cat > full <<EOF
#!/bin/sh
rm -rf left
if [ -n "$namespace" ]; then
  exec $namespace sh -c 'mount -t tmpfs -o size=\$FULL tmpfs disk || exit 99
    cp -R seed/. disk/ || exit 98
    "\$0" "\$@"; status=\$?; cp -R disk left; exit \$status' "$program" "\$@"
fi
rm -rf disk && mkdir disk && cp -R seed/. disk/ || exit 98
python3 -c 'import os, resource, signal, sys
signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
limit = int(os.environ["FULL"])
resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
os.execv(sys.argv[1], sys.argv[1:])' "$program" "\$@"
status=\$?
cp -R disk left
exit \$status
EOF
chmod +x full

# The pages the files below $1 take on the disk.
pages() {
  echo $(( $(find "$1" -type f -exec stat -c %s {} + | sed "s|.*|(& + $page - 1) / $page +|") 0 ))
}

# The areas of the sample stands exported into a block on the disk; the
# block of a run with room enough says how much the disk may take.
tool_script "ARE=STANDS.BLK" AreaString > export.oil <<'EOF'
E:TExportAreasToLumar = CREATE(ExportAreasToLumar, 'e')
E.BlockName = 'disk/OUT.BLK'
EOF
run 0 export.oil
[ -s disk/OUT.BLK/TN.ARE ] || fail "the export with room enough wrote no areas"
# Room for all but the last page of the block's files (the areas' file is
# written last, whole at its end), or for all but the last byte of its
# largest file (the lines', whose last part is written at its end).
if [ -n "$namespace" ]; then
  full=$(( ($(pages disk/OUT.BLK) - 1) * page ))
else
  full=$(( $(stat -c %s disk/OUT.BLK/TN.LIN) - 1 ))
fi
cp -R disk/OUT.BLK areas
rm -rf disk/OUT.BLK
# Its line fails (1), and its block is not written (2).
FULL=$full KESTX_PROGRAM=./full run 3 export.oil
grep -q "^Export do bloku disk/OUT.BLK nedokončen: " out.txt || fail "the export's log line is missing"

# The stands' lines exported alone make the block that the export of their
# areas is to replace, on a disk that holds that block and has no room to
# spare: the areas need a page more than the block has.  The earlier block
# stays as it was, and nothing of the new one is left.
tool_script "LIN=STANDS.BLK" PolyLineString > lines.oil <<'EOF'
E:TExportLinesToLumar = CREATE(ExportLinesToLumar, 'e')
E.BlockName = 'seed/OUT.BLK'
EOF
run 0 lines.oil
if [ -n "$namespace" ]; then
  full=$(( $(pages seed) * page ))
else
  full=$(( $(stat -c %s seed/OUT.BLK/TN.LIN) - 1 ))
fi
FULL=$full KESTX_PROGRAM=./full run 3 export.oil
grep -q "^Export do bloku disk/OUT.BLK nedokončen: " out.txt || fail "the re-export's log line is missing"
# With no room for a copy of the block, its files were to be replaced one by
# one, and the log gives the disk's own reason.
if [ -n "$namespace" ]; then
  grep -qE "^Blok disk/OUT.BLK nelze nahradit celý najednou \(disk/OUT.BLK/[^:]*: (No space left on device|Na zařízení není volné místo)\)" out.txt ||
    fail "the log does not say the disk had no room for a copy of the block"
fi
diff -r seed left > /dev/null || fail "the re-export onto a full disk did not leave the earlier block as it was"

# The same re-export where the block holds a large file the export does not
# write: the disk has room for the new files beside the earlier ones, not for
# a copy of the block.  The run ends with 0, and each file the export writes
# is replaced on its own.
python3 -c 'open("seed/OUT.BLK/INFO.TXT", "w").write("x" * 524288)'
if [ -n "$namespace" ]; then
  full=$(( ($(pages seed) + 2 * $(pages areas) + 4) * page ))
else
  full=$(( $(stat -c %s seed/OUT.BLK/INFO.TXT) - 1 ))
fi
FULL=$full KESTX_PROGRAM=./full run 0 export.oil
grep -q "^Blok disk/OUT.BLK nelze nahradit celý najednou (disk/OUT.BLK/" out.txt ||
  fail "the log does not say the block's files were replaced one by one"
# The disk took a part of the large file's copy: its own reason, all the same.
if [ -n "$namespace" ]; then
  grep -qE "\(disk/OUT.BLK/INFO.TXT: (No space left on device|Na zařízení není volné místo)\)" out.txt ||
    fail "the log does not give the disk's reason: $(grep '^Blok' out.txt)"
fi
for file in TN.LIN TN.CRD TN.ARE; do
  cmp -s areas/$file left/OUT.BLK/$file || fail "the re-export did not write $file"
done
cmp -s seed/OUT.BLK/INFO.TXT left/OUT.BLK/INFO.TXT || fail "the re-export changed a file it does not write"
[ "$(ls -A left | tr '\n' ' ')" = "OUT.BLK " ] && [ -z "$(ls -A left/OUT.BLK | grep '^\.')" ] ||
  fail "the re-export left beside or in the block: $(ls -A left left/OUT.BLK)"
rm -rf seed/*

# The text of the stands onto a disk that holds an earlier text of one line:
# the script's line fails (1), the log names the file, and the earlier text
# stays as it was.
text_script disk/plochy.txt > text.oil
rm -rf disk && mkdir disk
run 0 text.oil
[ "$(stat -c %s disk/plochy.txt)" -gt "$page" ] || fail "the text with room enough is no longer than a page"
head -n 1 disk/plochy.txt > seed/plochy.txt
if [ -n "$namespace" ]; then
  full=$(( $(pages seed) * page ))
else
  full=$(( $(stat -c %s disk/plochy.txt) - 1 ))
fi
FULL=$full KESTX_PROGRAM=./full run 1 text.oil
grep -q "^disk/plochy.txt: " out.txt || fail "the text export's log line is missing"
diff -r seed left > /dev/null || fail "the text export onto a full disk did not leave the earlier text as it was"
rm -rf seed/*

# The sample desktop printed onto a disk that holds an earlier print and
# takes less than the first page of the new one.
{
  print_script
  echo "CLOSE()"
} > print.oil
printf '%%PDF-1.4\n%% an earlier print\n' > seed/tisk.pdf
# The script whose line started the print fails (1).
FULL=16384 KESTX_PRINT_FILE=disk/tisk.pdf KESTX_PROGRAM=./full run 1 print.oil
grep -q "^Problémy s tiskem: Soubor tisku disk/tisk.pdf se nepodařilo zapsat: " out.txt ||
  fail "the print's failure is not on the output"
grep -q "Ukončen tisk" out.txt && fail "the failed print was summed up as ended"
diff -r seed left > /dev/null || fail "the print did not leave the earlier print as it was, or left its cut file"
rm -rf seed/*

# The options stored at the quit onto a disk that holds the earlier options
# and has no room for their longer new text: the run ends with 1, the log
# names the file, and the earlier file stays as it was.
python3 - seed/kestx.ini <<'EOF'
import sys
line = "TemplateDirectory=/data/sablony/" + "uzivatele " * 390 + "115"
open(sys.argv[1], "wb").write(b"[Options]\r\n" + line.encode() + b"\r\n")
EOF
echo "CLOSE()" > quit.oil
if [ -n "$namespace" ]; then
  full=$(( $(pages seed) * page ))
else
  full=$(stat -c %s seed/kestx.ini)
fi
FULL=$full KESTX_UNATTENDED=1 QT_QPA_PLATFORM=offscreen ./full disk/kestx.ini quit.oil > out.txt 2> err.txt
status=$?
[ "$status" -eq 1 ] || fail "the quit that could not store the options ended with $status, not 1"
if grep -q "Sanitizer" err.txt; then fail "the quit: a sanitizer's report"; fi
grep -q "^Soubor voleb .*/disk/kestx.ini se nepodařilo zapsat: " out.txt || fail "the options' log line is missing"
diff -r seed left > /dev/null || fail "the quit onto a full disk did not leave the earlier options as they were"
exit 0
