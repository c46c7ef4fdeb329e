// A static file server for the browser tests: one folder on 127.0.0.1 at a
// free port, with the content types a browser checks (application/wasm, or
// compileStreaming refuses the module). Nothing outside the folder is served.
import fs from 'node:fs/promises';
import http from 'node:http';
import path from 'node:path';

const CONTENT_TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.wasm': 'application/wasm',
    '.png': 'image/png',
};

async function answer(root, request, response) {
    let name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    if (name.endsWith('/'))
        name += 'index.html';
    const file = path.join(root, path.normalize(name));
    if (!file.startsWith(root + path.sep)) {
        response.writeHead(403).end();
        return;
    }
    try {
        const body = await fs.readFile(file);
        const type = CONTENT_TYPES[path.extname(file)] ?? 'application/octet-stream';
        response.writeHead(200, { 'Content-Type': type, 'Cache-Control': 'no-store' }).end(body);
    } catch {
        response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
    }
}

// Serves `folder` until close(); origin is e.g. http://127.0.0.1:40123.
export async function serveFolder(folder) {
    const root = path.resolve(folder);
    const server = http.createServer((request, response) => {
        answer(root, request, response).catch(() => response.destroy());
    });
    await new Promise((resolve, reject) => {
        server.once('error', reject);
        server.listen(0, '127.0.0.1', resolve);
    });
    return {
        origin: `http://127.0.0.1:${server.address().port}`,
        close: () =>
            new Promise((resolve) => {
                server.closeAllConnections();
                server.close(resolve);
            }),
    };
}
