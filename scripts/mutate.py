#!/usr/bin/env python3
"""Plants one-line faults in a library folder and reports those the tests miss.

Each mutant is one change on one line of a .cpp of FOLDER: a comparison
turned, an integer constant off by one, a call statement deleted, a condition
negated, && and || swapped, or a returned value replaced by its default.  They
are planted one at a time in a scratch copy of the tree (build-mutate/FOLDER,
git-ignored), built without sanitizers and judged by the given test programs,
run suite by suite as CTest runs them: a mutant is caught when a suite fails
or runs out of time, it survives when all pass, and it is stillborn when it
does not compile.  With
--sanitize the copy is built with ASan and UBSan as the suite is, so that a
leak or a bad read also catches a mutant (build-mutate/FOLDER-asan).

  scripts/mutate.py block test_block                  # 15 mutants over its units
  scripts/mutate.py block test_block --count 20 --seed 7
  scripts/mutate.py block test_block --list           # the sample, not run
  scripts/mutate.py block test_block --only block/files/block_info.cpp:21:const
  scripts/mutate.py block test_block --sanitize --only block/files/block_info.cpp:21:const
"""
import argparse
import fcntl
import fnmatch
import os
import random
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# Lines that are not logic: comments, preprocessor lines, blank lines, and
# lines with a text literal (messages and log lines) or an assertion.
SKIP = re.compile(r'^\s*(//|\*|/\*|#|$)|"|\bassert\b|\bLog\w*\(|\bstd::cerr\b')

COMPARISONS = {'<': '<=', '<=': '<', '>': '>=', '>=': '>', '==': '!=', '!=': '=='}
# Spaced operators only: a bare < or > is as likely a template bracket.
COMPARISON = re.compile(r'(?<=\s)(<=|>=|==|!=|<|>)(?=\s)')
LOGIC = re.compile(r'(?<=\s)(&&|\|\|)(?=\s)')
CONSTANT = re.compile(r'(?<![\w.])(\d+)(?![\w.\'])(?!\s*>)')
CONDITION = re.compile(r'\b(if|while) \((.*)\)(\s*(\{|return\b.*|[^;]*;)?\s*)$')
RETURN = re.compile(r'^(\s*)return (.+);\s*$')
CALL = re.compile(r'^(\s*)[A-Za-z_][\w:.>\-\[\]]*\(.*\);\s*$')
KEYWORDS = re.compile(r'^\s*(return|if|while|for|switch|case|delete|throw|else|do)\b')


def balanced(text):
    depth = 0
    for ch in text:
        depth += ch == '('
        depth -= ch == ')'
        if depth < 0:
            return False
    return depth == 0


def mutations(line):
    """Every (kind, mutated line) this line offers."""
    if SKIP.search(line):
        return []
    found = []
    m = COMPARISON.search(line)
    if m and not line.lstrip().startswith(('template', 'std::', 'using')):
        op = m.group(1)
        found.append(('cmp', line[:m.start()] + COMPARISONS[op] + line[m.end():]))
    m = LOGIC.search(line)
    if m:
        swapped = '||' if m.group(1) == '&&' else '&&'
        found.append(('logic', line[:m.start()] + swapped + line[m.end():]))
    m = CONSTANT.search(line)
    if m and not re.search(r'\[\s*\d+\s*\]\s*[;={]', line):
        found.append(('const', line[:m.start()] + str(int(m.group(1)) + 1) + line[m.end():]))
    m = CONDITION.search(line)
    if m and balanced(m.group(2)):
        found.append(('neg', line[:m.start()] + f'{m.group(1)} (!({m.group(2)}))' + (m.group(3) or '') + '\n'))
    m = RETURN.match(line)
    if m and m.group(2) not in ('{}', 'nullptr', 'false', '0', '*this'):
        found.append(('ret', f'{m.group(1)}return {{}};\n'))
    m = CALL.match(line)
    if m and not KEYWORDS.match(line) and balanced(line) and ' = ' not in line.split('(')[0]:
        found.append(('call', f'{m.group(1)};\n'))
    return found


def candidates(folder, excluded):
    """Mutation sites of the folder, by file: {relative path: [(line number, kind, text)]}."""
    sites = {}
    for path in sorted((ROOT / folder).rglob('*.cpp')):
        rel = path.relative_to(ROOT).as_posix()
        if any(fnmatch.fnmatch(rel, pattern) for pattern in excluded):
            continue
        rows = []
        for number, line in enumerate(path.read_text(encoding='utf-8').splitlines(keepends=True), 1):
            for kind, text in mutations(line):
                rows.append((number, kind, text))
        if rows:
            sites[rel] = rows
    return sites


def sample(sites, seed):
    """Mutants spread over the units: files taken in turn, a random site from each."""
    rng = random.Random(seed)
    pools = {rel: rng.sample(rows, len(rows)) for rel, rows in sites.items()}
    order = sorted(pools)
    rng.shuffle(order)
    while any(pools.values()):
        for rel in order:
            if pools[rel]:
                number, kind, text = pools[rel].pop()
                yield rel, number, kind, text


def chosen(sites, specs):
    for spec in specs:
        rel, number, kind = spec.rsplit(':', 2)
        rows = [r for r in sites.get(rel, []) if r[0] == int(number) and r[1] == kind]
        if not rows:
            sys.exit(f'no {kind} mutation at {rel}:{number}')
        yield rel, rows[0][0], rows[0][1], rows[0][2]


def sync(scratch_src):
    """Copies the tree into the scratch copy, keeping what did not change untouched."""
    for folder, subfolders, files in os.walk(ROOT):
        if Path(folder) == ROOT:
            subfolders[:] = [d for d in subfolders if not d.startswith(('build', '.git', '.cache'))]
        for name in files:
            path = Path(folder) / name
            dest = scratch_src / path.relative_to(ROOT)
            if dest.exists() and dest.read_bytes() == path.read_bytes():
                continue
            dest.parent.mkdir(parents=True, exist_ok=True)
            # Stamped now, not with the source's time: a file edited before the
            # copy's last build would otherwise look older than its object and
            # the copy would be judged with a stale build.
            shutil.copy(path, dest)


def build(build_dir, targets, jobs):
    result = subprocess.run(['cmake', '--build', str(build_dir), f'-j{jobs}', '--target', *targets],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return result.returncode == 0, result.stdout


def suites_of(program):
    """The test suites of a test program, each run alone as CTest runs its tests alone."""
    listing = subprocess.run([str(program), '--gtest_list_tests'], stdout=subprocess.PIPE, text=True, errors='replace')
    return [line.split()[0].rstrip('.') for line in listing.stdout.splitlines()
            if line.strip() and not line.startswith((' ', 'Running'))]


def run_tests(build_dir, targets, timeout, ctest=None):
    """None when every test program (and the CTest tests matching ctest) pass, else what failed first."""
    env = dict(os.environ, QT_QPA_PLATFORM='offscreen')
    for target in (t for t in targets if t.startswith('test_')):
        program = build_dir / 'tests' / target
        for suite in suites_of(program):
            try:
                result = subprocess.run([str(program), f'--gtest_filter={suite}.*'], cwd=build_dir / 'tests',
                                        env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                        errors='replace', timeout=timeout)
            except subprocess.TimeoutExpired:
                return f'{target}: {suite} timed out'
            if result.returncode != 0:
                failed = re.search(r'^\[  FAILED  \] (\S+)', result.stdout, re.M)
                return f'{target}: ' + (failed.group(1) if failed else f'{suite} exit {result.returncode}')
    if ctest:
        result = subprocess.run(['ctest', '--test-dir', str(build_dir), '-R', ctest, '--timeout', str(timeout)],
                                env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, errors='replace')
        if result.returncode != 0:
            failed = re.search(r'^\s*\d+ - (\S+)', result.stdout, re.M)
            return 'ctest: ' + (failed.group(1) if failed else f'exit {result.returncode}')
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('folder', help='library folder, e.g. block')
    parser.add_argument('targets', help='targets to build, comma-separated; those named test_* judge, e.g. test_block')
    parser.add_argument('--count', type=int, default=15, help='mutants to plant (stillborn ones not counted)')
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--jobs', type=int, default=2)
    parser.add_argument('--timeout', type=int, default=120,
                        help='seconds a test program may run (the suite allows a test as long)')
    parser.add_argument('--scratch', type=Path, help='scratch folder (default build-mutate/FOLDER, or FOLDER-asan)')
    parser.add_argument('--sanitize', action='store_true',
                        help='judge with the sanitizers, as the suite does (slower; for the survivors of a plain run)')
    parser.add_argument('--exclude', nargs='+', default=['*_classes.cpp'], metavar='GLOB',
                        help='files left alone (default: the class registration lists)')
    parser.add_argument('--ctest', metavar='REGEX', help='CTest tests that judge too (their programs among the targets)')
    parser.add_argument('--only', nargs='+', metavar='FILE:LINE:KIND', help='plant just these mutants')
    parser.add_argument('--list', action='store_true', help='print the sample without running it')
    args = parser.parse_args()

    targets = args.targets.split(',')
    sites = candidates(args.folder, args.exclude)
    if not sites:
        sys.exit(f'no mutation sites under {args.folder}/')
    picks = chosen(sites, args.only) if args.only else sample(sites, args.seed)
    if args.list:
        for _, (rel, number, kind, text) in zip(range(args.count), picks):
            print(f'{rel}:{number}:{kind}\t{text.strip()}')
        return

    scratch = (args.scratch or ROOT / 'build-mutate' / (args.folder + ('-asan' if args.sanitize else ''))).resolve()
    src, build_dir = scratch / 'src', scratch / 'build'
    scratch.mkdir(parents=True, exist_ok=True)
    # One run at a time per scratch copy: another would undo its mutant.
    lock = open(scratch / 'lock', 'w')
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        sys.exit(f'{scratch} is in use by another run')
    sync(src)
    if not (build_dir / 'build.ninja').exists():
        sanitize = 'ON' if args.sanitize else 'OFF'
        subprocess.run(['cmake', '-S', str(src), '-B', str(build_dir), '-G', 'Ninja', f'-DKESTX_SANITIZE={sanitize}'],
                       check=True, stdout=subprocess.DEVNULL)
    ok, log = build(build_dir, targets, args.jobs)
    if not ok:
        sys.exit('the unchanged tree does not build:\n' + log[-3000:])
    failing = run_tests(build_dir, targets, args.timeout, args.ctest)
    if failing:
        sys.exit(f'the unchanged tree fails its tests ({failing})')

    planted = caught = 0
    survivors = []
    for rel, number, kind, text in picks:
        if planted == args.count and not args.only:
            break
        path = src / rel
        original = path.read_text(encoding='utf-8')
        lines = original.splitlines(keepends=True)
        lines[number - 1] = text
        path.write_text(''.join(lines), encoding='utf-8')
        started = time.monotonic()
        try:
            ok, _ = build(build_dir, targets, args.jobs)
            verdict = run_tests(build_dir, targets, args.timeout, args.ctest) if ok else None
        finally:
            path.write_text(original, encoding='utf-8')
        spec = f'{rel}:{number}:{kind}'
        seconds = time.monotonic() - started
        if not ok:
            print(f'stillborn  {spec}', flush=True)
            continue
        planted += 1
        if verdict:
            caught += 1
            print(f'caught     {spec}  by {verdict}  ({seconds:.0f} s)', flush=True)
        else:
            survivors.append((spec, text.strip()))
            print(f'SURVIVED   {spec}  {text.strip()}  ({seconds:.0f} s)', flush=True)
    print(f'\n{args.folder}: planted {planted}, caught {caught}, survived {len(survivors)}')
    for spec, text in survivors:
        print(f'  {spec}\t{text}')


if __name__ == '__main__':
    main()
