#!/usr/bin/env python3
"""Carries the compiled program inside its loader: SITE/zorukan.js gains the
program, base64 in `zorukanProgram`, in front of everything else, and
SITE/zorukan.wasm goes. The page then asks for one file where it asked for
two, and compiles the program the moment its script runs, with no request
to wait for. Run after every link, once the loader is minified:
embed_program.py SITE

The script must be ASCII alone (the minifier writes its few Japanese texts
as \\u escapes): one character beyond ASCII makes the browser hold the whole
script, the program's base64 included, as two-byte text, which V8 parses at
less than half the speed."""
import base64
import pathlib
import sys

site = pathlib.Path(sys.argv[1])
program = site / 'zorukan.wasm'
loader = site / 'zorukan.js'
text = base64.b64encode(program.read_bytes()).decode('ascii')
script = loader.read_text(encoding='utf-8')
if not script.isascii():
    sys.exit(f'embed_program.py: {loader} holds characters beyond ASCII')
loader.write_text(f"const zorukanProgram = '{text}';\n" + script, encoding='ascii')
program.unlink()
