// What one load of a page fetched, by kind: its script (for the game, the
// program with its loader and the page's script), the page's other files and
// the pictures, in KiB. Compressed as a static server sends files it has
// compressed beforehand: gzip at level 9, except the pictures, whose formats
// are compressed already.
import { basename, extname } from 'node:path';
import { gzipSync } from 'node:zlib';

const pictureTypes = ['.gif', '.png'];
const compressed = (file, body) => (pictureTypes.includes(extname(file)) ? body : gzipSync(body, { level: 9 }));

export const kinds = ['script', 'page', 'pictures'];
const kindOf = (file) => (extname(file) === '.js' ? 'script' : pictureTypes.includes(extname(file)) ? 'pictures' : 'page');

// responses: { file, body } as the server logged them.
export function bytesOf(responses) {
  const files = new Map(responses.map(({ file, body }) => [file, body]));
  const filesOf = Object.fromEntries(kinds.map((kind) => [kind, []]));
  for (const file of files.keys()) filesOf[kindOf(file)].push(file);
  const size = (list, pack) => list.reduce((sum, file) => sum + pack(file, files.get(file)).length, 0) / 1024;
  const sizes = (pack) => Object.fromEntries(kinds.map((kind) => [kind, size(filesOf[kind], pack)]));
  return { files: filesOf, raw: sizes((file, body) => body), gzip: sizes(compressed) };
}

// The game's script carries the program, base64 on its first line: the two
// are counted apart as well.
const PROGRAM = /^const zorukanProgram = '[^']*';\n/;
export function programApart(responses) {
  const files = new Map(responses.map(({ file, body }) => [file, body]));
  const parts = { 'the program, base64': [], 'its loader and the page\'s script': [] };
  for (const [file, body] of files) {
    if (kindOf(file) !== 'script') continue;
    const cut = PROGRAM.exec(body.toString('latin1'))?.[0].length ?? 0;
    Object.values(parts).forEach((list, i) => list.push([file, i ? body.subarray(cut) : body.subarray(0, cut)]));
  }
  const size = (list, pack) => list.reduce((sum, [file, body]) => sum + pack(file, body).length, 0) / 1024;
  return Object.fromEntries(Object.entries(parts).map(([name, list]) =>
    [name, { raw: size(list, (file, body) => body), gzip: size(list, compressed) }]));
}

export const total = (sizes) => Object.values(sizes).reduce((sum, kib) => sum + kib, 0);

// A kind's row names its files, or counts the pictures by format.
export function label(kind, files) {
  const names = files.map((file) => basename(file)).sort();
  if (kind !== 'pictures') return names.join(', ');
  const formats = names.map((name) => extname(name).slice(1).toUpperCase());
  const counts = [...new Set(formats)].sort().map((format) => `${formats.filter((f) => f === format).length} ${format}`);
  return `pictures: ${counts.join(', ')}`;
}
