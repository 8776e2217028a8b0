#!/bin/sh
# A model built from blocks by a model script, and the condition filter's
# model, each through the program's main tool: their lines are read back
# from blocks the same run writes.  The sample block LES.BLK holds four lines
# of kinds 5 to 8 and colours 1 to 4 (line n of kind 4 + n and colour n); the
# sample filter's table keeps the rows (6, 2) and (8, 4).
# $1: the program, $2: the samples folder.
. "$(dirname "$0")/program_run.sh"

# The model of every line block of the folder, and its lines written out.
{
  model_script
  cat <<'EOF'
E:TExportLinesToLumar = CREATE(ExportLinesToLumar, 'e')
E.BlockName = 'MODEL.BLK'
E.Input = WORLD.ObjectModel.MODEL.FINDELEMENTBYCLASS(InterpretLayer).FINDELEMENTBYCLASS(PolyLineString)
E.DOIT()
R:TStringListElement = CREATE(StringListElement, 'r')
R.NextName = WORLD.ObjectModel.MODEL.Count
R.NextName = WORLD.ObjectModel.MODEL.FINDELEMENTBYCLASS(InterpretLayer).Name
R.SaveToFile = 'model.txt'
CLOSE()
EOF
} > model.oil
run 0 model.oil
check <<'EOF'
from program_results import *
if open("model.txt").read().split() != ["1", "*.BLK"]:
    fail("the model holds " + open("model.txt").read())
got = [(kind, colour) for _, kind, colour in line_records("MODEL.BLK")]
if got != [(5, 1), (6, 2), (7, 3), (8, 4)]:
    fail("the model's lines are " + str(got))
EOF

# The condition filter takes its default button: its table (beside the
# program) becomes the condition, and the model of the lines it lets through
# goes into the object model.
ln "$program" kestx 2> /dev/null || cp "$program" kestx
cp samples/condition_filter/ConditionFilter.kes .
cat > filter.oil <<'EOF'
F:TConditionFilterDialog = CREATE(ConditionFilterDialog, 'f')
F.FilterProperties = 'DRUH, BARVA'
F.LayerDescription = 'LIN=*.BLK'
F.DataDirectory = 'samples/condition_filter'
F.Input = WORLD.ObjectModel
F.DOIT()
E:TExportLinesToLumar = CREATE(ExportLinesToLumar, 'e')
E.BlockName = 'FILTR.BLK'
E.Input = F.Data.FINDELEMENTBYCLASS(InterpretLayer).FINDELEMENTBYCLASS(PolyLineString)
E.DOIT()
R:TStringListElement = CREATE(StringListElement, 'r')
R.NextName = F.Condition
R.SaveToFile = 'filter.txt'
CLOSE()
EOF
KESTX_PROGRAM=./kestx run 0 filter.oil
grep -qx "Filtr podmínek" out.txt || fail "the filter's dialog was not shown"
check <<'EOF'
from program_results import *
condition = open("filter.txt").read().strip()
if condition != "@CONDITION=((DRUH=6)AND(BARVA=2))OR((DRUH=8)AND(BARVA=4))":
    fail("the condition is " + condition)
got = [(kind, colour) for _, kind, colour in line_records("FILTR.BLK")]
if got != [(6, 2), (8, 4)]:
    fail("the filtered lines are " + str(got))
EOF
exit 0
