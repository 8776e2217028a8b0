#!/bin/sh
# An export killed while it rewrites a block: the earlier block stays whole,
# byte for byte, nothing of the new one stands under a block's name, and
# the next export, run to its end, leaves nothing of the killed one behind.
# The options killed while the quit stores them stay whole too.
# The block is large, so that the export is still writing when the signal
# comes: the signal is sent as soon as anything changes on the disk.
# $1: the program, $2: the samples folder.
. "$(dirname "$0")/program_run.sh"

# The sample stands' lines a hundred times over, each copy's records, vertex
# indexes and links moved past the copy before it; no areas on their sides.
mkdir -p samples/big
python3 - "$samples/blocks/STANDS.BLK" samples/big/OUT.BLK 100 <<'EOF'
import os, struct, sys
source, block, copies = sys.argv[1], sys.argv[2], int(sys.argv[3])
RECORD = 103
lines = open(source + "/TN.LIN", "rb").read()
vertices = open(source + "/TN.CRD", "rb").read()
records = [lines[at:at + RECORD] for at in range(RECORD, len(lines) - RECORD + 1, RECORD)]
numbers = len(records)
count = len(vertices) // 12
os.makedirs(block)
with open(block + "/TN.LIN", "wb") as out:
    out.write(lines[:RECORD])
    for copy in range(copies):
        for record in records:
            record = bytearray(record)
            if record[7] & 0x0D == 0:
                for at, step in ((0, numbers), (19, count), (23, count)):
                    struct.pack_into("<i", record, at, struct.unpack_from("<i", record, at)[0] + copy * step)
                for at in range(27, 47, 5):
                    line = struct.unpack_from("<i", record, at)[0]
                    if line > 0:
                        struct.pack_into("<i", record, at, line + copy * numbers)
                struct.pack_into("<ii", record, 47, 0, 0)
            out.write(record)
with open(block + "/TN.CRD", "wb") as out:
    out.write(vertices * copies)
EOF
cp -R samples/big earlier

{
  model_script big "LIN=OUT.BLK"
  cat <<'EOF'
E:TExportLinesToLumar = CREATE(ExportLinesToLumar, 'e')
E.BlockName = 'samples/big/OUT.BLK'
E.Input = WORLD.ObjectModel.MODEL.FINDELEMENTBYCLASS(InterpretLayer).FINDELEMENTBYCLASS(PolyLineString)
E.DOIT()
CLOSE()
EOF
} > export.oil

# Names, sizes and times of writing of what the block's folder holds.
listing() { ls -lAR --full-time samples/big; }
before=$(listing)
KESTX_UNATTENDED=1 QT_QPA_PLATFORM=offscreen "$program" kestx.ini export.oil > out.txt 2> err.txt &
pid=$!
while [ "$(listing)" = "$before" ] && kill -0 "$pid" 2> /dev/null; do sleep 0.01; done
kill -TERM "$pid" 2> /dev/null
wait "$pid"
status=$?
[ "$status" -eq 143 ] || fail "the export ended with $status, not by the signal"
if grep -q "Sanitizer" err.txt; then fail "a sanitizer's report"; fi
diff -r earlier/OUT.BLK samples/big/OUT.BLK > /dev/null ||
  fail "the killed export did not leave the earlier block whole"
# What else the folder holds is hidden, and no reader takes it for a block.
[ "$(ls samples/big)" = "OUT.BLK" ] || fail "the killed export left beside the block: $(ls samples/big)"
ls -A samples/big | grep -v '^OUT\.BLK$' | grep -qi '\.BLK$' &&
  fail "the killed export left a block: $(ls -A samples/big)"

run 0 export.oil
[ "$(ls -A samples/big)" = "OUT.BLK" ] || fail "the next export left beside the block: $(ls -A samples/big)"
for file in TN.LIN TN.CRD; do
  [ "$(stat -c %s samples/big/OUT.BLK/$file)" -eq "$(stat -c %s earlier/OUT.BLK/$file)" ] ||
    fail "the next export wrote $file in part"
done

# A power cut soon after an export finds the whole new block: its files and
# its folder are on the disk before it takes the earlier block's place, and
# the folder holding the block after.  Seen in the calls the program makes,
# where it may be traced.
if strace -o trace.txt true 2> probe.txt; then
  # The leak check of a sanitizer build cannot run under a tracer.
  printf '#!/bin/sh\nASAN_OPTIONS=detect_leaks=0 exec strace -f -y -e trace=fsync,renameat2 -o trace.txt "%s" "$@"\n' \
    "$program" > traced
  chmod +x traced
  KESTX_PROGRAM=./traced run 0 export.oil
  python3 - "$(pwd)/samples/big" trace.txt <<'EOF' || fail "the export did not write its block to the disk before the swap"
import re, sys
folder, trace = sys.argv[1], open(sys.argv[2]).read().splitlines()
swaps = [i for i, line in enumerate(trace) if "renameat2(" in line and "RENAME_EXCHANGE" in line]
if len(swaps) != 1:
    sys.exit("swaps: %d" % len(swaps))
synced = lambda lines: {m.group(1) for line in lines for m in [re.search(r"fsync\(\d+<([^>]*)>\) = 0", line)] if m}
before, after = synced(trace[:swaps[0]]), synced(trace[swaps[0]:])
sets = {path for path in before if re.fullmatch(re.escape(folder) + r"/\.OUT\.BLK\.~new-\d+-\d+", path)}
missing = [name for name in ("TN.LIN", "TN.CRD") if not any(path + "/" + name in before for path in sets)]
if not sets or missing or folder not in after:
    sys.exit("synced before the swap: %s; after it: %s" % (sorted(before), sorted(after)))
EOF
else
  echo "the program's calls cannot be traced here: the writing out before the swap is not checked"
fi
# The options killed while the quit stores them, the signal sent as soon as
# anything of the options file changes: the file stays whole, as a quit
# that runs to its end leaves it (the values stored are the ones read).
# The last value is long, so that the file takes several writes.
python3 - kestx.ini <<'EOF'
import sys
line = "TemplateDirectory=/data/sablony/" + "uzivatele " * 3000 + "115"
open(sys.argv[1], "ab").write(line.encode() + b"\r\n")
EOF
echo "CLOSE()" > quit.oil
run 0 quit.oil
cp kestx.ini whole.ini
python3 - "$program" <<'EOF' || fail "the options killed at the quit were left cut"
import os, signal, subprocess, sys
env = dict(os.environ, KESTX_UNATTENDED="1", QT_QPA_PLATFORM="offscreen")
whole = open("whole.ini", "rb").read()
def state():
    names = sorted(n for n in os.listdir(".") if n.startswith("kestx.ini"))
    status = os.stat("kestx.ini")
    return names, status.st_ino, status.st_size, status.st_mtime_ns
killed = 0
for trial in range(10):
    open("kestx.ini", "wb").write(whole)
    for name in os.listdir("."):
        if name.startswith("kestx.ini.~part"):
            os.remove(name)
    before = state()
    with open("out.txt", "wb") as out, open("err.txt", "wb") as err:
        run = subprocess.Popen([sys.argv[1], "kestx.ini", "quit.oil"], stdout=out, stderr=err, env=env)
        while run.poll() is None and state() == before:
            pass
        run.send_signal(signal.SIGKILL)
        killed += run.wait() == -signal.SIGKILL
    after = open("kestx.ini", "rb").read()
    if after != whole:
        sys.exit(f"trial {trial}: {len(after)} bytes of {len(whole)}")
if killed == 0:
    sys.exit("no quit was killed on its way")
EOF
exit 0
