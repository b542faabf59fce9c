#!/usr/bin/env python3
"""Counts the lines of C and C++ source that are neither blank nor comment: the product (src, app,
demo, bench) and the tests (tests), and the tests' share of the product."""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def count(folder):
    total = 0
    for base, _, files in os.walk(os.path.join(ROOT, folder)):
        for name in files:
            if not name.endswith(('.cpp', '.h', '.c')):
                continue
            in_block = False
            for line in open(os.path.join(base, name), encoding='utf-8'):
                s = line.strip()
                if in_block:
                    in_block = '*/' not in s
                    continue
                if s.startswith('/*'):
                    in_block = '*/' not in s
                    continue
                if s and not s.startswith('//'):
                    total += 1
    return total


product = sum(count(f) for f in ('src', 'app', 'demo', 'bench'))
tests = count('tests')
print('product %d, tests %d, tests %.1f %% of the product' % (product, tests, 100.0 * tests / product))
sys.exit(0)
