#!/usr/bin/env python3
"""Carries the compiled program inside its loader: SITE/zorukan.js gains the
program, base64 in `zorukanProgram`, in front of everything else, and
SITE/zorukan.wasm goes. The page then asks for one file where it asked for
two, and compiles the program the moment its script runs, with no request
to wait for. Run after every link: embed_program.py SITE"""
import base64
import pathlib
import sys

site = pathlib.Path(sys.argv[1])
program = site / 'zorukan.wasm'
loader = site / 'zorukan.js'
text = base64.b64encode(program.read_bytes()).decode('ascii')
loader.write_text(f"const zorukanProgram = '{text}';\n" + loader.read_text(encoding='utf-8'), encoding='utf-8')
program.unlink()
