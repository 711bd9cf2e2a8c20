// A static server for the built site on 127.0.0.1, shared by the browser test
// and the benchmark. By default nothing is cached by the browser (every load
// is a first visit); every response is logged for the bytes sent, and the
// server can be stopped mid-test to play offline. It reads every file as it
// is asked for, so a test may change the site between visits (a release). It
// can also serve the site as other hosts do:
//   extra    address path -> file served at that path besides the site;
//   gzip     files but the pictures sent gzip -9, to a browser that accepts it;
//   headers  headers for every response, in place of `Cache-Control: no-store`;
//   types    address path or extension -> the type it is sent as.
import { createServer } from 'node:http';
import { readFileSync } from 'node:fs';
import { extname, join, normalize } from 'node:path';
import { gzipSync } from 'node:zlib';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                '.gif': 'image/gif', '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
const compressed = new Set(['.gif', '.png']);

export async function serve(site, { extra = {}, gzip = false, headers = { 'Cache-Control': 'no-store' }, types: as = {} } = {}) {
  const sent = [];
  const zipped = new Map();  // file -> its last body and that gzipped
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
    const file = extra[path] ?? join(site, path.endsWith('/') ? `${path}index.html` : path);
    try {
      const body = readFileSync(file);
      const type = as[path] ?? as[extname(file)] ?? types[extname(file)] ?? 'application/octet-stream';
      const zip = gzip && !compressed.has(extname(file)) && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
      if (zip && !zipped.get(file)?.body.equals(body)) zipped.set(file, { body, zip: gzipSync(body, { level: 9 }) });
      response.writeHead(200, { 'Content-Type': type, ...headers, ...(zip ? { 'Content-Encoding': 'gzip' } : {}) });
      response.end(zip ? zipped.get(file).zip : body);
      sent.push({ file, body });
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const stop = () => {
    server.close();
    server.closeAllConnections();
  };
  return { address: `http://127.0.0.1:${server.address().port}/`, sent, stop };
}
