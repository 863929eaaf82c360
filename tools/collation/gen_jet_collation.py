#!/usr/bin/env python3
"""Writes the compact text sort tables of Jet's index keys as C++ source.

Reads the published index code lists of Access's General sort orders (one code
per character, see the reference folder's README) and writes them as byte
streams that jet/src/keys/src/collation_tables.cpp holds and text_sort.cpp
expands at run time. Same input, same output bytes: nothing here depends on
dictionary order, time or locale.

Usage: gen_jet_collation.py <reference/jet-collation folder> <output .cpp>

Each line of a code list describes one character:
  X                 not indexed (left out of the key)
  S<hex>            sort bytes only
  G<hex>            (Access 97) sort bytes of a letter that has accented forms
  I<hex>,<hex>      sort bytes and an accent byte
  U<hex>            ignorable punctuation, keyed by position in a later part
  P<hex>            combining mark: adds to the accent byte of the letter before
  Z<hex>,<hex>,<f>  kana: sort bytes, accent byte, and f=1 for small forms
A hex field is one number written without leading zeros; its bytes are its
big-endian digits padded to an even count.

Stream format (decoded by text_sort.cpp, one entry per UTF-16 code unit from
0 upwards):
  0x00-0x3F  repeat the previous entry op+1 times
  0x40-0x7F  previous entry with its sort bytes, read as a big-endian number,
             increased by op-0x3F
  0x80       literal: header byte (kind | small<<3 | accentLength<<4),
             sort length, sort bytes, accent bytes
  0x81       previous entry with new accent bytes (same length)
  0x82 n     n+1 entries, each the one before with its sort bytes increased by 1
"""
import os
import sys

KINDS = {'X': 0, 'S': 1, 'I': 2, 'U': 3, 'P': 4, 'Z': 5, 'G': 6}


def hex_bytes(field):
    if field == '':
        return []
    if len(field) % 2:
        field = '0' + field
    return list(bytes.fromhex(field))


def parse(line, where):
    line = line.strip()
    if not line or line[0] not in KINDS:
        raise SystemExit('%s: cannot read code %r' % (where, line))
    kind = KINDS[line[0]]
    fields = line[1:].split(',')
    if kind == 0:
        return (0, (), (), 0)
    sort = hex_bytes(fields[0])
    accent = hex_bytes(fields[1]) if len(fields) > 1 else []
    small = 1 if len(fields) > 2 and fields[2] == '1' else 0
    if kind == 4:  # the mark's weight is its only field
        sort, accent = [], sort
    if len(sort) > 15 or len(accent) > 7:
        raise SystemExit('%s: code too long %r' % (where, line))
    return (kind, tuple(sort), tuple(accent), small)


def read_table(folder, base_name, ext_name):
    entries = []
    with open(os.path.join(folder, base_name), encoding='ascii') as f:
        for n, line in enumerate(f):
            entries.append(parse(line, '%s:%d' % (base_name, n + 1)))
    if len(entries) != 256:
        raise SystemExit('%s: expected 256 codes' % base_name)
    if ext_name:
        with open(os.path.join(folder, ext_name), encoding='ascii') as f:
            lines = f.readlines()
        # The extended list covers U+0100..U+FFFF without the surrogates.
        if len(lines) != 0x10000 - 0x100 - 0x800:
            raise SystemExit('%s: unexpected length %d' % (ext_name, len(lines)))
        it = iter(enumerate(lines))
        for code in range(0x100, 0x10000):
            if 0xD800 <= code < 0xE000:
                entries.append((0, (), (), 0))
                continue
            n, line = next(it)
            entries.append(parse(line, '%s:%d' % (ext_name, n + 1)))
    return entries


def as_number(sort):
    v = 0
    for b in sort:
        v = v * 256 + b
    return v


def steps_by_one(a, b):
    return a[0] == b[0] and len(a[1]) == len(b[1]) and a[2] == b[2] and a[3] == b[3] \
        and a[1] and as_number(b[1]) == as_number(a[1]) + 1


def encode(entries):
    out = bytearray()
    prev = None
    i = 0
    while i < len(entries):
        e = entries[i]
        if prev is not None and e == prev:
            run = 1
            while i + run < len(entries) and entries[i + run] == prev and run < 64:
                run += 1
            out.append(run - 1)
            i += run
            continue
        if prev is not None and e[0] == prev[0] and len(e[1]) == len(prev[1]) \
                and e[2] == prev[2] and e[3] == prev[3] and e[1]:
            d = as_number(e[1]) - as_number(prev[1])
            run = 0
            while d == 1 and run < 256 and i + run < len(entries) and \
                    steps_by_one(entries[i + run - 1] if run else prev, entries[i + run]):
                run += 1
            if run >= 3:
                out.append(0x82)
                out.append(run - 1)
                prev = entries[i + run - 1]
                i += run
                continue
            if 1 <= d <= 64:
                out.append(0x3F + d)
                prev = e
                i += 1
                continue
        if prev is not None and e[0] == prev[0] and e[1] == prev[1] and e[3] == prev[3] \
                and len(e[2]) == len(prev[2]) and e[2]:
            out.append(0x81)
            out.extend(e[2])
            prev = e
            i += 1
            continue
        kind, sort, accent, small = e
        out.append(0x80)
        out.append(kind | (small << 3) | (len(accent) << 4))
        out.append(len(sort))
        out.extend(sort)
        out.extend(accent)
        prev = e
        i += 1
    return bytes(out)


def c_string(data, indent='    '):
    lines, cur = [], ''
    for b in data:
        c = chr(b)
        if 0x20 <= b < 0x7F and c not in '\\"?':
            piece = c
        else:
            piece = '\\%03o' % b
        if len(cur) + len(piece) > 96:
            lines.append(indent + '"' + cur + '"')
            cur = ''
        cur += piece
    if cur:
        lines.append(indent + '"' + cur + '"')
    return '\n'.join(lines)


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    folder, target = sys.argv[1], sys.argv[2]
    tables = [
        ('kGeneral97', 'index_codes_gen_97.txt', None),
        ('kGeneralLegacy', 'index_codes_genleg.txt', 'index_codes_ext_genleg.txt'),
        ('kGeneral2010', 'index_codes_gen.txt', 'index_codes_ext_gen.txt'),
    ]
    parts = []
    for name, base, ext in tables:
        data = encode(read_table(folder, base, ext))
        parts.append('extern const SortStream %s;\n'
                     'const SortStream %s = {\n    %d, %d,\n%s};\n'
                     % (name, name, 256 if ext is None else 0x10000, len(data),
                        c_string(data)))
    pairs = []
    with open(os.path.join(folder, 'index_mappings_ext_gen_97.txt'), encoding='ascii') as f:
        for line in f:
            line = line.strip()
            if line:
                u, b = line.split(',')
                pairs.append((int(u), int(b)))
    pairs.sort()
    mapping = ',\n'.join('    {0x%04X, 0x%02X}' % p for p in pairs)
    text = (
        '// Generated by tools/collation/gen_jet_collation.py; do not edit.\n'
        '// Regenerate with:\n'
        '//   python3 tools/collation/gen_jet_collation.py <shared>/reference/jet-collation\n'
        '//       jet/src/keys/src/collation_tables.cpp\n'
        '// Derived from published index code tables (Apache License 2.0), credited\n'
        '// in NOTICE. The stream format is described in the generator and read by\n'
        '// text_sort.cpp.\n'
        '#include "collation_tables.h"\n\n'
        'namespace fennick::jet::keys::detail {\n\n'
        + '\n'.join(parts) +
        '\n// Characters outside Latin-1 that Access 97 keys through their Windows-1252 byte.\n'
        'extern const CodePagePair kGeneral97Extra[];\n'
        'const CodePagePair kGeneral97Extra[] = {\n' + mapping + '\n};\n'
        'extern const unsigned kGeneral97ExtraCount;\n'
        'const unsigned kGeneral97ExtraCount = %d;\n\n' % len(pairs) +
        '}  // namespace fennick::jet::keys::detail\n')
    with open(target, 'w', encoding='ascii', newline='\n') as f:
        f.write(text)


if __name__ == '__main__':
    main()
