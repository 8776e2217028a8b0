# Sourced by the tests of the program's workflows: each runs in a folder of
# its own with the options of the main job, where `run` starts the built
# program headless with its main tool on a start script.  The caller's $1 is
# the program, $2 the samples folder.
set -u
program=$1
samples=$2
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
cp "$samples/main_job/kestx.ini" .

fail() {
  echo "FAILED: $*"
  for file in out.txt err.txt; do
    [ -s "$file" ] && { echo "--- $file"; tail -n 40 "$file"; }
  done
  exit 1
}

# Runs the start script $2 and fails the test unless the run ends with the
# status $1; the standard output goes to out.txt, the error output to
# err.txt.  KESTX_PROGRAM names another copy of the program.
run() {
  KESTX_UNATTENDED=1 QT_QPA_PLATFORM=offscreen "${KESTX_PROGRAM:-$program}" kestx.ini "$2" > out.txt 2> err.txt
  status=$?
  [ "$status" -eq "$1" ] || fail "$2 ended with $status, not $1"
  # A run meant to fail must not fail by a sanitizer's report.
  if grep -q "Sanitizer" err.txt; then fail "$2: a sanitizer's report"; fi
}

# The lines of a start script that builds a model of the layer $2 (a layer
# line of a model script, "LIN=*.BLK" unless given) from the blocks of the
# sample folder $1 (condition_filter unless given; copied here) and keeps
# it, named MODEL, and its script in the object model.
model_script() {
  folder=${1:-condition_filter}
  [ -d "samples/$folder" ] || { mkdir -p samples && cp -r "$samples/$folder" samples/; }
  cat <<EOF
C:TModelScriptCreator = CREATE(ModelScriptCreator, 'c')
C.DataDirectory = 'samples/$folder'
C.NextLayer = '${2:-LIN=*.BLK}'
C.DOIT()
WORLD.ObjectModel.NextElement = C.Output
B:TModelByScriptCreator = CREATE(ModelByScriptCreator, 'b')
B.Input = C.Output
B.DOIT()
WORLD.ObjectModel.NextElement = B.Output
B.Output.Name = 'MODEL'
EOF
}

# A start script that reads the sample stands as the layer $1 (as
# model_script takes it) and runs on the layer's list of class $2 the tool E
# that the lines on the standard input make.
tool_script() {
  model_script blocks "$1"
  cat
  cat <<EOF
E.Input = WORLD.ObjectModel.MODEL.FINDELEMENTBYCLASS(InterpretLayer).FINDELEMENTBYCLASS($2)
E.DOIT()
CLOSE()
EOF
}

# A start script that exports the identifiers and label points of the
# sample stands' areas as text into the file $1.
text_script() {
  tool_script "ARE=STANDS.BLK" AreaString <<EOF
E:TExportElementsToText = CREATE(ExportElementsToText, 't')
E.FileName = '$1'
E.NextPropName = 'ID'
E.NextPropName = 'X'
E.NextPropName = 'Y'
E.Delimiter = ';'
EOF
}

# The lines of a start script that prints the sample desktop (copied here)
# from a graphic window, as the window's print item does.
print_script() {
  [ -d layouts ] || cp -r "$samples/layouts" .
  cat <<'EOF'
WORLD.ObjectModel.NextElement = Load('layouts/desktop.kes')
G:TFormToolManager = CREATE(FormToolManager, 'Okno')
G.InterpretScript = UniversalLumarScriptCreator()
G.Input = WORLD.ObjectModel.List
G.DOIT()
P:TKestuMessage = CREATE(KestuMessage, 'tisk')
P.Receiver = G
P.SendIt = '40'
EOF
}

# Runs the Python checks on the standard input with program_results at hand.
check() { PYTHONPATH="$here" python3 - "$@" || fail "the checks above"; }
