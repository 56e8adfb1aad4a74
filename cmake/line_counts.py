#!/usr/bin/env python3
"""Lines of the tests against lines of the code they test.

Counts non-blank lines that are not comments: the code is src/, include/
and tools/; the tests are tests/ and fuzz/ (programs, headers, scripts and
build files; golden data, seed corpora and dictionaries are data, not
tests).  Prints the tests per folder (fuzz/ per file), then both totals and their ratio.
A test line wider than the code base's 120 columns would hide lines from the count, so any is
listed and the script fails.
"""
import os
import sys

CODE = ('.cpp', '.h', '.c', '.inc', '.in')
SCRIPT = ('.sh', '.py', '.cmake', 'CMakeLists.txt', 'run')
DATA_FOLDERS = ('corpus', 'dict')


WIDTH = 120


def too_wide(path):
    with open(path, encoding='utf-8', errors='replace') as f:
        return [n for n, line in enumerate(f, 1) if len(line.rstrip('\n')) > WIDTH]


def lines(path):
    hash_comments = path.endswith(SCRIPT)
    count = 0
    in_block = False
    for line in open(path, errors='replace'):
        s = line.strip()
        if not s:
            continue
        if in_block:
            in_block = '*/' not in s
            continue
        if s.startswith('/*'):
            in_block = '*/' not in s
            continue
        if s.startswith('//') or (hash_comments and s.startswith('#') and not s.startswith('#!')):
            continue
        count += 1
    return count


def count(roots):
    per = {}
    for root in roots:
        for folder, subfolders, files in os.walk(root):
            subfolders[:] = [d for d in subfolders if d not in DATA_FOLDERS]
            for name in files:
                path = os.path.join(folder, name)
                if name.endswith(CODE) or name.endswith(SCRIPT):
                    per[path] = lines(path)
    return per


os.chdir(sys.argv[1] if len(sys.argv) > 1 else '.')
tests = count(['tests', 'fuzz'])
code = count(['src', 'include', 'tools'])
folders = {}
for path, n in tests.items():
    parts = path.split('/')
    key = path if parts[0] == 'fuzz' else '/'.join(parts[:2]) if len(parts) > 2 else parts[0]
    folders[key] = folders.get(key, 0) + n
for key in sorted(folders):
    print(f'{key:24} {folders[key]:6}')
t, c = sum(tests.values()), sum(code.values())
print(f'{"tests and fuzz":24} {t:6}\n{"src, include, tools":24} {c:6}\nratio {t / c:.3f}')
wide = [(path, too_wide(path)) for path in sorted(tests)]
wide = [(path, numbers) for path, numbers in wide if numbers]
for path, numbers in wide:
    print(f'wider than {WIDTH} columns: {path}: lines {" ".join(map(str, numbers))}')
sys.exit(1 if wide else 0)
