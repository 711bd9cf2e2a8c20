// A static server for the built site on 127.0.0.1, shared by the browser test
// and the benchmark. Nothing is cached by the browser (every load is a first
// visit), every response is logged for the bytes sent, and the server can be
// stopped mid-test to play offline.
import { createServer } from 'node:http';
import { readFileSync } from 'node:fs';
import { extname, join, normalize } from 'node:path';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                '.gif': 'image/gif', '.png': 'image/png', '.webmanifest': 'application/manifest+json' };

// extra: address path -> file served at that path besides the site.
export async function serve(site, extra = {}) {
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
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const stop = () => {
    server.close();
    server.closeAllConnections();
  };
  return { address: `http://127.0.0.1:${server.address().port}/`, sent, stop };
}
