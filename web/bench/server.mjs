// The site as a static server sends it, uncompressed, on the first free port
// of 8800 to 8849, with the floor page beside it so that both pages reach the
// same pictures. Nothing may be cached: every load is a first visit. Every
// response is logged, for the bytes sent.
import { createServer } from 'node:http';
import { readFileSync } from 'node:fs';
import { extname, join, normalize } from 'node:path';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
                '.gif': 'image/gif', '.png': 'image/png' };

// extra: address path -> file served at that path besides the site.
export async function serve(site, extra) {
  const sent = [];
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
    const file = extra[path] ?? join(site, path.endsWith('/') ? `${path}index.html` : path);
    try {
      const body = readFileSync(file);
      response.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream',
                                'Cache-Control': 'no-store' });
      response.end(body);
      sent.push({ file, body });
    } catch {
      response.writeHead(404).end();
    }
  });
  for (let port = 8800; port < 8850; ++port) {
    const bound = await new Promise((resolve) => {
      server.once('error', () => resolve(false));
      server.listen(port, '127.0.0.1', () => resolve(true));
    });
    if (bound) return { address: `http://127.0.0.1:${port}/`, sent, close: () => server.close() };
  }
  throw new Error('no free port from 8800 to 8849');
}
