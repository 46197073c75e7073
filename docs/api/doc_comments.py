#!/usr/bin/env python3
"""Turns the engine header's plain comments into documentation comments for Doxygen.

The header is written with ordinary // comments. Read as documentation they follow
three patterns, and this filter marks each one so that Doxygen attaches it:
- the first comment block of the file describes the file;
- a block of comment lines directly above a declaration (blank lines may lie between)
  documents that declaration;
- a comment at the end of a line of code documents that line's member.
Comment blocks followed by another comment block are section headings, and dashed
separator lines are decoration: both stay plain comments. Inside a class, a short
one-line title without a full stop ("// Movie control") heads the declarations below
it, up to the next blank line: it becomes a named member group. The line count never
changes, so Doxygen's line numbers match the header.

Usage: doc_comments.py FILE  (the filtered text goes to standard output)
"""
import re
import sys

COMMENT = re.compile(r'^(\s*)//(?!/)\s?(.*)$')
SEPARATOR = re.compile(r'^\s*//\s*-{5,}\s*$')
TRAILING = re.compile(r'^(\s*[^\s/].*?[;,{])(\s*)//(?!/)\s?(.*)$')
NOT_DOCUMENTABLE = re.compile(r'^\s*(public:|protected:|private:|[{}]|#\s*(if|ifn?def|endif|else|include))')
GROUP_END = re.compile(r'^\s*(public:|protected:|private:|};)')
GROUP_TITLE = re.compile(r'^[A-Z][A-Za-z -]{0,40}$')


def escape(text):
    """Keeps Doxygen from reading backslashes, at signs and angle brackets as markup."""
    return (text.replace('\\', '\\\\').replace('@', '\\@')
            .replace('<', '\\<').replace('>', '\\>'))


def filter_lines(lines):
    out = list(lines)
    kinds = []
    for line in lines:
        if SEPARATOR.match(line):
            kinds.append('sep')
        elif COMMENT.match(line):
            kinds.append('comment')
        elif line.strip() == '':
            kinds.append('blank')
        else:
            kinds.append('code')

    i = 0
    first_block = True
    while i < len(lines):
        if kinds[i] != 'comment':
            if kinds[i] == 'code':
                m = TRAILING.match(lines[i])
                if m and '"' not in m.group(1):
                    out[i] = '%s%s///< %s' % (m.group(1), m.group(2), escape(m.group(3)))
                first_block = False
            i += 1
            continue
        start = i
        while i < len(lines) and kinds[i] == 'comment':
            i += 1
        end = i  # exclusive
        if first_block:
            first_block = False
            out[start] = '/** \\file'
            for k in range(start, end):
                m = COMMENT.match(lines[k])
                text = escape(m.group(2))
                out[k] = ('/** \\file ' + text) if k == start else (' * ' + text)
            out[end - 1] += ' */'
            continue
        j = end
        while j < len(lines) and kinds[j] == 'blank':
            j += 1
        if j >= len(lines) or kinds[j] != 'code' or NOT_DOCUMENTABLE.match(lines[j]):
            continue
        first = COMMENT.match(lines[start])
        if (end - start == 1 and j == end and first.group(1)
                and GROUP_TITLE.match(first.group(2).strip())):
            # A title over a run of members: a member group up to the next blank line
            # (or the end of the class, or the next access specifier).
            out[start] = '%s/** \\name %s */ /** @{ */' % (first.group(1), first.group(2).strip())
            k = end
            while k < len(lines) and kinds[k] != 'blank' and not GROUP_END.match(lines[k]):
                k += 1
            if k < len(lines):
                out[k] = '/** @} */ ' + (out[k] if kinds[k] != 'blank' else '')
            continue
        for k in range(start, end):
            m = COMMENT.match(lines[k])
            out[k] = '%s/// %s' % (m.group(1), escape(m.group(2)))
    return out


def main():
    if len(sys.argv) != 2:
        sys.stderr.write('usage: doc_comments.py FILE\n')
        return 2
    with open(sys.argv[1], encoding='utf-8', errors='replace') as f:
        lines = f.read().split('\n')
    # UTF-8 whatever the locale, as Doxygen reads it (INPUT_ENCODING).
    sys.stdout.buffer.write('\n'.join(filter_lines(lines)).encode('utf-8', errors='replace'))
    return 0


if __name__ == '__main__':
    sys.exit(main())
