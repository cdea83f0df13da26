#!/usr/bin/env python3
"""Checks the source tree's layering and naming rules; prints file:line for each offence.

Usage: check_layers.py SOURCE_ROOT

- Qt code lives in, and only in, a gui/ folder: no other C++ file includes a Qt header and no
  other CMakeLists.txt links a Qt6:: target. Also allowed: examples/ and the benchmarks of the
  GUI layers (GUI programs themselves), and for linking the test folders that drive the real
  program rather than a library (tests/e2e, tests/a11y, tests/install).
- Windows differences stay in platform/: no `#if(def) ... _WIN32` elsewhere.
- Identifiers follow one convention: no T-prefixed types, no numbered widgets, no
  Capitalised_Snake_Case names, no form-event handlers. Text in string literals is what is
  stored or shown and is not checked.
"""
import os
import re
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', '..'))
SKIP_DIRS = {'.git', 'build', 'build-windows', 'build-fuzz', 'build-package', '__pycache__'}
QT_PROGRAM_DIRS = ('examples/', 'bench/app/', 'bench/editors/', 'bench/widgets/')
QT_TEST_DIRS = ('tests/e2e/', 'tests/a11y/', 'tests/install/')

QT_INCLUDE = re.compile(r'^\s*#\s*include\s*<Q[A-Za-z]*(?:/[A-Za-z]+)?>')
WIN32_IF = re.compile(r'^\s*#\s*(?:if|ifdef|ifndef|elif)\b.*\b_WIN32\b')
QT_LINK = re.compile(r'\bQt6::\w+')
LINK_CALL = re.compile(r'\b(?:target_)?link_libraries\s*\(', re.I)
LITERAL = re.compile(r'R"(?P<d>[^(]*)\(.*?\)(?P=d)"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|//[^\n]*|/\*.*?\*/',
                     re.S)
BAD_NAMES = [
    (re.compile(r'\bT[A-Z][a-z]+[A-Za-z0-9]*\b'), 'T-prefixed type'),
    (re.compile(r'\b(?:Label|LbButton|Button|Btn|Panel|Edit|ListBox|Image|BitBtn|bitbtn|ComboBox|CheckBox|'
                r'GroupBox|Line|Comm)\d+\b'), 'numbered widget'),
    (re.compile(r'(?<!::)\b[A-Z][a-z]+_[A-Za-z][A-Za-z0-9_]*\b'), 'Capitalised_Snake_Case name'),
    (re.compile(r'\b(?:Form(?:Show|Create|Close)|[A-Za-z]+[0-9]+Click|On_?[A-Z][a-z]+(?:Click|Change)|Btn_\w+)\b'),
     'form-event handler'),
]


def is_gui(rel):
    return '/gui/' in '/' + rel or rel.startswith(QT_PROGRAM_DIRS)


def qt_links(text):
    """(line, target) for each Qt6:: target named in a link_libraries call of a CMakeLists.txt's
    text; other commands (install(FILES $<TARGET_FILE:Qt6::Core>) ...) do not link."""
    text = re.sub(r'#[^\n]*', lambda m: ' ' * len(m.group(0)), text)
    for call in LINK_CALL.finditer(text):
        depth, end = 1, call.end()
        while end < len(text) and depth:
            depth += {'(': 1, ')': -1}.get(text[end], 0)
            end += 1
        for target in QT_LINK.finditer(text, call.end(), end):
            yield text.count('\n', 0, target.start()) + 1, target.group(0)


def code_lines(text):
    """The text with literals and comments blanked, line structure kept: comments may name
    stored element names and identifiers of other systems."""
    return LITERAL.sub(lambda m: re.sub(r'[^\n]', ' ', m.group(0)), text).split('\n')


def main():
    offences = []
    for dirpath, dirnames, filenames in os.walk(ROOT):
        dirnames[:] = sorted(d for d in dirnames if d not in SKIP_DIRS and not d.startswith('build'))
        for name in sorted(filenames):
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, ROOT).replace(os.sep, '/')
            if name.endswith(('.cpp', '.h', '.cc', '.hpp')):
                text = open(path, encoding='utf-8', errors='replace').read()
                for number, line in enumerate(text.split('\n'), 1):
                    if QT_INCLUDE.match(line) and not is_gui(rel):
                        offences.append(f'{rel}:{number}: Qt header outside a gui/ folder: {line.strip()}')
                    if WIN32_IF.match(line) and not rel.startswith('platform/'):
                        offences.append(f'{rel}:{number}: _WIN32 test outside platform/: {line.strip()}')
                for number, line in enumerate(code_lines(text), 1):
                    if 'TEST' in line and re.search(r'\bTEST(?:_F|_P)?\(', line):
                        line = re.sub(r'\bTEST(?:_F|_P)?\(\s*\w+\s*,', '', line)
                    for pattern, what in BAD_NAMES:
                        for match in pattern.finditer(line):
                            offences.append(f'{rel}:{number}: {what}: {match.group(0)}')
            elif name == 'CMakeLists.txt' and not is_gui(rel) and not rel.startswith(QT_TEST_DIRS):
                for number, target in qt_links(open(path, encoding='utf-8').read()):
                    offences.append(f'{rel}:{number}: CMakeLists.txt outside a gui/ folder links {target}')
    for offence in offences:
        print(offence)
    print(f'{len(offences)} offence(s)' if offences else 'layers and names: clean')
    return 1 if offences else 0


if __name__ == '__main__':
    sys.exit(main())
