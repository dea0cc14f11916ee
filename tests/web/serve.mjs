// serve.mjs: a small static file server for the browser build, on 127.0.0.1 only.
// Usage: node tests/web/serve.mjs DIR [PORT]   (PORT 0 or none given: any free port; the URL is printed)
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const mimeTypes = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    // Streaming compilation of the game needs exactly this type.
    '.wasm': 'application/wasm',
    '.data': 'application/octet-stream',
    '.json': 'application/json',
    '.webmanifest': 'application/manifest+json',
    '.png': 'image/png',
    '.bmp': 'image/bmp',
    '.ico': 'image/x-icon',
    '.txt': 'text/plain; charset=utf-8',
};

function mimeType(file) {
    return mimeTypes[path.extname(file).toLowerCase()] ?? 'application/octet-stream';
}

function send(response, status, text) {
    response.writeHead(status, { 'Content-Type': 'text/plain; charset=utf-8', 'Cache-Control': 'no-store' });
    response.end(text + '\n');
}

// Resolves a request path inside root, or gives null for anything that would leave it.
function resolveInside(root, urlPath) {
    let decoded;
    try {
        decoded = decodeURIComponent(urlPath);
    } catch {
        return null;
    }
    if (decoded.includes('\0'))
        return null;
    const file = path.resolve(root, '.' + path.posix.normalize('/' + decoded));
    if (file !== root && !file.startsWith(root + path.sep))
        return null;
    return file;
}

// Starts the server; resolves to { server, port, url } once it listens.
export function startServer(dir, port = 0) {
    const root = fs.realpathSync(path.resolve(dir));
    const server = http.createServer((request, response) => {
        if (request.method !== 'GET' && request.method !== 'HEAD')
            return send(response, 405, 'method not allowed');
        const urlPath = new URL(request.url, 'http://127.0.0.1').pathname;
        // Checked on the raw path too: a '..' segment is refused, not quietly folded away.
        if (urlPath.split('/').includes('..') || /%2e%2e/i.test(urlPath))
            return send(response, 403, 'forbidden');
        let file = resolveInside(root, urlPath);
        if (file === null)
            return send(response, 403, 'forbidden');
        fs.stat(file, (error, stats) => {
            if (!error && stats.isDirectory()) {
                file = path.join(file, 'index.html');
                stats = fs.existsSync(file) ? fs.statSync(file) : null;
            }
            if (error || stats === null || !stats.isFile())
                return send(response, 404, 'not found');
            // A symbolic link inside the folder must not lead out of it either.
            const real = fs.realpathSync(file);
            if (real !== root && !real.startsWith(root + path.sep))
                return send(response, 403, 'forbidden');
            response.writeHead(200, {
                'Content-Type': mimeType(file),
                'Content-Length': stats.size,
                'Cache-Control': 'no-store',
            });
            if (request.method === 'HEAD')
                return response.end();
            fs.createReadStream(file).pipe(response);
        });
    });
    return new Promise((resolve, reject) => {
        server.once('error', reject);
        server.listen(port, '127.0.0.1', () => {
            const actual = server.address().port;
            resolve({ server, port: actual, url: `http://127.0.0.1:${actual}/` });
        });
    });
}

if (process.argv[1] && fs.realpathSync(process.argv[1]) === fileURLToPath(import.meta.url)) {
    const [dir, portText = '0'] = process.argv.slice(2);
    const port = Number(portText);
    if (!dir || !Number.isInteger(port) || port < 0 || port > 65535) {
        console.error('usage: node tests/web/serve.mjs DIR [PORT]');
        process.exit(2);
    }
    if (!fs.existsSync(dir) || !fs.statSync(dir).isDirectory()) {
        console.error(`serve.mjs: ${dir} is not a folder`);
        process.exit(2);
    }
    startServer(dir, port).then(
        ({ url }) => console.log(`serving ${path.resolve(dir)} on ${url}`),
        (error) => {
            console.error(`serve.mjs: ${error.message}`);
            process.exit(1);
        },
    );
}
