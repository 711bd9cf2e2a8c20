#!/usr/bin/env python3
"""Carries the compiled program inside its loader: SITE/zorukan.js gains the
program, base64 in `zorukanProgram`, in front of everything else, and
SITE/zorukan.wasm goes. The page then asks for one file where it asked for
two, and compiles the program the moment its script runs, with no request
to wait for. Run after every link: embed_program.py SITE

The script is written in ASCII alone, its few Japanese texts as \\u escapes:
one character beyond ASCII makes the browser hold the whole script, the
program's base64 included, as two-byte text, which V8 parses at less than
half the speed."""
import base64
import pathlib
import re
import sys


def escaped(match):
    """A character as JavaScript's \\u escapes of its UTF-16 units."""
    units = match[0].encode('utf-16-be')
    return ''.join(f'\\u{int.from_bytes(units[i:i + 2], "big"):04x}' for i in range(0, len(units), 2))


site = pathlib.Path(sys.argv[1])
program = site / 'zorukan.wasm'
loader = site / 'zorukan.js'
text = base64.b64encode(program.read_bytes()).decode('ascii')
script = loader.read_text(encoding='utf-8')
# A backslash straight before such a character would escape the escape.
if re.search(r'\\[^\x00-\x7f]', script):
    sys.exit(f'embed_program.py: {loader} has a backslash before a character beyond ASCII')
script = re.sub(r'[^\x00-\x7f]', escaped, script)
loader.write_text(f"const zorukanProgram = '{text}';\n" + script, encoding='ascii')
program.unlink()
