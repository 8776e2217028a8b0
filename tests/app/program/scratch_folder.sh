# Sourced by the headless runs of the program: $1 the program, $2 the
# samples folder; the run works in a scratch folder removed at its end, and
# fail ends it with the reason and the output of the last run.
program=$1
samples=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
fail() {
  echo "FAILED: $*"
  if [ -f out.txt ]; then cat out.txt; fi
  exit 1
}
