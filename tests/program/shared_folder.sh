#!/bin/sh
# Re-exports into a shared data folder as an ordinary user meets it: the
# folder holds the users' own blocks but may not be written by them, and a
# block's own folder may be read-only while its files are writable.  Each
# re-export ends with 0 and leaves the block as an export into a folder of
# the user's own does; where no new block can be made beside the earlier
# one, the log says its files are replaced each on its own.  Run as root,
# the test runs the program as an unprivileged user (permissions stop
# nothing for root); it is skipped (77) only where it can run as none.
# $1: the program, $2: the samples folder.
. "$(dirname "$0")/program_run.sh"

user=
if [ "$(id -u)" -eq 0 ]; then
  for candidate in nobody kestx; do
    id -u "$candidate" > probe.txt 2>&1 || continue
    uid=$(id -u "$candidate")
    gid=$(id -g "$candidate")
    if setpriv --reuid="$uid" --regid="$gid" --clear-groups true 2> probe.txt; then
      user="setpriv --reuid=$uid --regid=$gid --clear-groups"
    elif runuser -u "$candidate" -- true 2> probe.txt; then
      user="runuser -u $candidate --"
    fi
    [ -n "$user" ] && break
  done
  [ -n "$user" ] || { echo "SKIPPED: no unprivileged user to run the program as"; exit 77; }
  chown "$uid:$gid" .
  $user test -x "$program" || { echo "SKIPPED: the program cannot be run by user $uid"; exit 77; }
fi
# The program as that user (or as the one running the test).
printf '#!/bin/sh\nHOME=$PWD exec %s "%s" "$@"\n' "$user" "$program" > asuser
chmod +x asuser

export_script() {
  model_script blocks "$1"
  echo "E:$2 = CREATE($3, 'e')"
  echo "E.BlockName = '$4/OUT.BLK'"
  echo "E.Input = WORLD.ObjectModel.MODEL.FINDELEMENTBYCLASS(InterpretLayer).FINDELEMENTBYCLASS($5)"
  echo "E.DOIT()"
  echo "CLOSE()"
}
for at in own shared; do
  export_script "LIN=STANDS.BLK" TExportLinesToLumar ExportLinesToLumar $at PolyLineString > lines_$at.oil
  export_script "ARE=STANDS.BLK" TExportAreasToLumar ExportAreasToLumar $at AreaString > areas_$at.oil
done
mkdir own shared
[ -z "$user" ] || chown -R "$uid:$gid" .
KESTX_PROGRAM=./asuser

# The blocks as an export into a folder of the user's own leaves them.
run 0 lines_own.oil
run 0 areas_own.oil
run 0 lines_shared.oil
# The text file, not written by the exports, names the block it was made for.
same() { diff -q -r -x TN.TTX own/OUT.BLK shared/OUT.BLK; }

# The block's folder read-only, its files writable: the new block is made
# beside it and keeps the folder's mode.
chmod 0555 shared/OUT.BLK
run 0 areas_shared.oil
same || fail "the re-export into a read-only block folder did not write the block"
[ "$(stat -c %a shared/OUT.BLK)" = 555 ] || fail "the block folder's mode became $(stat -c %a shared/OUT.BLK)"
chmod 0755 shared/OUT.BLK

# The shared folder read-only: each file is replaced on its own.
run 0 lines_shared.oil
chmod 0555 shared
run 0 areas_shared.oil
chmod 0755 shared
same || fail "the re-export into a read-only shared folder did not write the block"
grep -qxE "Blok shared/OUT.BLK nelze nahradit celý najednou \((Permission denied|Operace zamítnuta)\), jeho soubory se nahradí každý zvlášť" out.txt ||
  fail "the log does not say the block's files were replaced one by one"
[ "$(ls -A shared/OUT.BLK | grep -c '^\.')" -eq 0 ] || fail "the re-export left in the block: $(ls -A shared/OUT.BLK)"
exit 0
