#!/usr/bin/env python3
"""Applies each mutation of tests/mutation/mutations.txt in turn to a scratch copy of the sources,
builds it and runs the whole suite, and says which the suite kills (a test fails, or the build)
and which survive.

    tests/mutation/run.py [--check] [--first] [--results FILE] [ID ...]

--check only makes sure every mutation's text is found exactly once in the sources. --first
stops each run at the first failing test, so a verdict names the test that killed the mutation
first, not every test that would. The copy and
its build stay in $FINGRAF_MUTANTS (default /tmp/fingraf-mutants), so that a later run builds only
what a mutation touches."""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LIST = os.path.join(ROOT, 'tests', 'mutation', 'mutations.txt')
SLOW = 'check_launcher|package|tst_chart3d'


def mutations():
    out = []
    with open(LIST, encoding='utf-8') as f:
        for line in f:
            if not line.strip() or line.startswith('#'):
                continue
            parts = re.split(r'(?<!\\)\|', line.rstrip('\n'))
            if len(parts) != 4:
                sys.exit('not four fields: ' + line)

            def text(t):
                return t.strip().replace('\\|', '|').replace('\\n', '\n')
            out.append((parts[0].strip(), parts[1].strip(), text(parts[2]), text(parts[3])))
    return out


def main():
    args = sys.argv[1:]
    check = '--check' in args
    first = ['--stop-on-failure'] if '--first' in args else []
    args = [a for a in args if a not in ('--check', '--first')]
    scratch = os.environ.get('FINGRAF_MUTANTS', '/tmp/fingraf-mutants')
    results = os.path.join(scratch, 'results.txt')
    if '--results' in args:
        i = args.index('--results')
        results = args[i + 1]
        del args[i:i + 2]
    chosen = [m for m in mutations() if not args or m[0] in args]
    if check:
        bad = [m[0] for m in chosen
               if open(os.path.join(ROOT, m[1]), encoding='utf-8').read().count(m[2]) != 1]
        print('%d mutations, %d not found exactly once %s' % (len(chosen), len(bad), ' '.join(bad)))
        return 1 if bad else 0

    src, build = os.path.join(scratch, 'src'), os.path.join(scratch, 'build')
    os.makedirs(src, exist_ok=True)
    subprocess.run('rm -rf "%s"/* && git -C "%s" archive HEAD | tar -x -C "%s"' % (src, ROOT, src),
                   shell=True, check=True)
    jobs = str(os.cpu_count() or 2)
    quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(['cmake', '-S', src, '-B', build, '-G', 'Ninja',
                    '-DCMAKE_BUILD_TYPE=RelWithDebInfo'], check=True, **quiet)
    subprocess.run(['cmake', '--build', build, '-j', jobs], check=True, **quiet)
    killed = 0
    with open(results, 'w', encoding='utf-8') as out:
        for ident, path, before, after in chosen:
            target = os.path.join(src, path)
            original = open(target, encoding='utf-8').read()
            if original.count(before) != 1:
                verdict = 'not-found'
            else:
                open(target, 'w', encoding='utf-8').write(original.replace(before, after))
                try:
                    if subprocess.run(['cmake', '--build', build, '-j', jobs], **quiet).returncode:
                        verdict = 'killed (build)'
                    else:
                        # the quick tests first: most mutations fall there, before the
                        # launcher's, the package's and the 3D checks take their minutes
                        failed = []
                        # a quick test that hangs on a mutant is as good as failed after two
                        # minutes; none takes a minute on the book as it is
                        for selection, limit in ((['-E', SLOW], '120'), (['-R', SLOW], '600')):
                            run = subprocess.run(['ctest', '--test-dir', build, '-j', jobs,
                                                  '--timeout', limit] + first + selection,
                                                 capture_output=True, text=True)
                            failed = re.findall(r'\d+ - (\S+) \(', run.stdout)
                            if run.returncode:
                                break
                        verdict = ('killed (%s)' % ', '.join(failed) if run.returncode
                                   else 'survived')
                finally:
                    open(target, 'w', encoding='utf-8').write(original)
            killed += verdict.startswith('killed')
            line = '%-18s %s' % (ident, verdict)
            print(line, flush=True)
            out.write(line + '\n')
    subprocess.run(['cmake', '--build', build, '-j', jobs], **quiet)
    print('killed %d of %d; results in %s' % (killed, len(chosen), results))
    return 0


if __name__ == '__main__':
    sys.exit(main())
