// @ts-check
// A static file server for the site folder, for `./play.sh --web` and the
// browser tests: loopback only, no dependencies, files only from inside the
// folder, nothing cached by the browser (a rebuilt site is what the next
// load gets). Text and wasm go out gzip- or brotli-compressed when the
// browser asks for it, as a real static host sends them. Given a
// certificate (serveFolder's tls), it serves HTTPS and HTTP/2 instead, as
// public static hosts do (the Lighthouse benchmark's --http2).
//
//   usage: node web/serve.mjs DIR [--port N]
//
// Prints the game's address and, when the folder has the level editor, the
// editor's on standard output once it listens. Port 0 picks a free one.
// Exit status 2 for a bad command line, 3 when the port is taken.
import { execFileSync } from 'node:child_process';
import { createServer } from 'node:http';
import { createSecureServer } from 'node:http2';
import { createReadStream, existsSync, mkdtempSync, readFileSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { resolve, sep, extname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { brotliCompressSync, gzipSync, constants as zlib } from 'node:zlib';

/** @type {Record<string, string>} */
const contentTypes = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.json': 'application/json',
    '.wasm': 'application/wasm',
    '.data': 'application/octet-stream',
    '.png': 'image/png',
    '.svg': 'image/svg+xml',
    '.txt': 'text/plain; charset=utf-8',
    '.ttf': 'font/ttf',
    '.wav': 'audio/wav',
    '.mod': 'application/octet-stream',
    '.ico': 'image/x-icon',
    '.zip': 'application/zip',
    '.webmanifest': 'application/manifest+json',
};

/** The types a static host compresses: text, and wasm. */
const compressible = new Set([
    '.html',
    '.js',
    '.mjs',
    '.css',
    '.json',
    '.wasm',
    '.svg',
    '.txt',
    '.webmanifest',
]);

/**
 * The encoding to send a file of this type in, for a request's
 * Accept-Encoding: brotli before gzip, none for a type not worth it.
 * @param {string} extension the file's, lower case with its dot
 * @param {string} accepted the request's Accept-Encoding header
 * @returns {'br' | 'gzip' | null}
 */
export function chooseEncoding(extension, accepted) {
    if (!compressible.has(extension)) return null;
    const names = accepted.split(',').map((part) => {
        const [name, ...parameters] = part.trim().toLowerCase().split(';');
        const refused = parameters.some((p) => /^\s*q\s*=\s*0(\.0*)?\s*$/.test(p));
        return refused ? '' : name.trim();
    });
    if (names.includes('br')) return 'br';
    if (names.includes('gzip')) return 'gzip';
    return null;
}

// Compressed files kept by path, size and time of change, so a file is
// compressed once per build, not once per request.
/** @type {Map<string, {key: string, body: Buffer}>} */
const compressedFiles = new Map();

/**
 * @param {string} file
 * @param {import('node:fs').Stats} stats
 * @param {'br' | 'gzip'} encoding
 */
function compressedBody(file, stats, encoding) {
    const key = `${stats.size}:${stats.mtimeMs}`;
    const cached = compressedFiles.get(`${encoding}:${file}`);
    if (cached && cached.key === key) return cached.body;
    const bytes = readFileSync(file);
    const body =
        encoding === 'br'
            ? brotliCompressSync(bytes, {
                  params: { [zlib.BROTLI_PARAM_QUALITY]: 9, [zlib.BROTLI_PARAM_SIZE_HINT]: bytes.length },
              })
            : gzipSync(bytes, { level: 9 });
    compressedFiles.set(`${encoding}:${file}`, { key, body });
    return body;
}

/**
 * Maps a request path to a file inside root, or null when the path is
 * malformed or leaves the folder. A folder's own address gives its index.html.
 * @param {string} root an absolute folder
 * @param {string} urlPath the request's path, percent-encoded, maybe with a query
 * @returns {string | null}
 */
export function fileForPath(root, urlPath) {
    let path;
    try {
        path = decodeURIComponent(urlPath.split(/[?#]/, 1)[0]);
    } catch {
        return null;
    }
    if (path.includes('\0') || !path.startsWith('/')) return null;
    const file = resolve(root, '.' + path);
    if (file !== root && !file.startsWith(root + sep)) return null;
    return path.endsWith('/') ? resolve(file, 'index.html') : file;
}

/**
 * A throwaway certificate for 127.0.0.1 (a day long), made by openssl, for
 * serving over HTTPS and HTTP/2 on this machine; null without openssl.
 * @returns {{ key: Buffer, cert: Buffer } | null}
 */
export function localCertificate() {
    const dir = mkdtempSync(join(tmpdir(), 'quadrell-tls-'));
    try {
        execFileSync(
            'openssl',
            ['req', '-x509', '-newkey', 'ec', '-pkeyopt', 'ec_paramgen_curve:prime256v1', '-nodes']
                .concat(['-subj', '/CN=127.0.0.1', '-addext', 'subjectAltName=IP:127.0.0.1', '-days', '1'])
                .concat(['-keyout', join(dir, 'key.pem'), '-out', join(dir, 'cert.pem')]),
            { stdio: 'ignore' },
        );
        return { key: readFileSync(join(dir, 'key.pem')), cert: readFileSync(join(dir, 'cert.pem')) };
    } catch {
        return null;
    } finally {
        rmSync(dir, { recursive: true, force: true });
    }
}

/**
 * Serves dir on 127.0.0.1 until close() is called.
 * @param {string} dir the folder to serve
 * @param {{port?: number, tls?: {key: string | Buffer, cert: string | Buffer}}} [options] port 0 (the
 *   default) picks a free one; with tls, HTTPS and HTTP/2 (HTTP/1.1 to a client without it), as a
 *   public static host serves
 * @returns {Promise<{url: string, close: () => Promise<void>}>} url ends in '/'
 */
export function serveFolder(dir, { port = 0, tls } = {}) {
    const root = resolve(dir);
    /**
     * @param {import('node:http').IncomingMessage | import('node:http2').Http2ServerRequest} request
     * @param {import('node:http').ServerResponse | import('node:http2').Http2ServerResponse} response
     */
    const answer = (request, response) => {
        const file =
            request.method === 'GET' || request.method === 'HEAD'
                ? fileForPath(root, request.url ?? '/')
                : null;
        /** @type {import('node:fs').Stats | null} */
        let stats = null;
        try {
            if (file) {
                const found = statSync(file);
                if (found.isFile()) stats = found;
            }
        } catch {
            // Not there: a 404 below.
        }
        if (!file || !stats) {
            response.writeHead(404, { 'Content-Type': 'text/plain; charset=utf-8' });
            response.end('not found\n');
            return;
        }
        const extension = extname(file).toLowerCase();
        const headers = {
            'Content-Type': contentTypes[extension] ?? 'application/octet-stream',
            'Cache-Control': 'no-store',
            Vary: 'Accept-Encoding',
        };
        const encoding = chooseEncoding(extension, String(request.headers['accept-encoding'] ?? ''));
        if (encoding) {
            const body = compressedBody(file, stats, encoding);
            response.writeHead(200, {
                ...headers,
                'Content-Encoding': encoding,
                'Content-Length': body.length,
            });
            if (request.method === 'HEAD') response.end();
            else response.end(body);
            return;
        }
        response.writeHead(200, { ...headers, 'Content-Length': stats.size });
        if (request.method === 'HEAD') {
            response.end();
            return;
        }
        createReadStream(file).pipe(response);
    };
    const server = tls ? createSecureServer({ allowHTTP1: true, ...tls }, answer) : createServer(answer);
    // Every connection, to end them all at close (an HTTP/2 client keeps its own open).
    /** @type {Set<import('node:net').Socket>} */
    const sockets = new Set();
    server.on('connection', (/** @type {import('node:net').Socket} */ socket) => {
        sockets.add(socket);
        socket.once('close', () => sockets.delete(socket));
    });
    return new Promise((resolvePromise, reject) => {
        server.once('error', reject);
        server.listen(port, '127.0.0.1', () => {
            const address = server.address();
            const actualPort = typeof address === 'object' && address ? address.port : port;
            resolvePromise({
                url: `${tls ? 'https' : 'http'}://127.0.0.1:${actualPort}/`,
                close: () =>
                    new Promise((done) => {
                        server.close(() => done());
                        for (const socket of sockets) socket.destroy();
                    }),
            });
        });
    });
}

async function main() {
    const args = process.argv.slice(2);
    const usage = 'usage: node web/serve.mjs DIR [--port N]';
    let dir = null;
    let port = 8000;
    for (let i = 0; i < args.length; i++) {
        if (args[i] === '--port' && i + 1 < args.length && /^\d+$/.test(args[i + 1])) {
            port = Number(args[++i]);
        } else if (args[i] === '--help') {
            console.log(usage);
            return;
        } else if (dir === null && !args[i].startsWith('-')) {
            dir = args[i];
        } else {
            console.error(usage);
            process.exit(2);
        }
    }
    if (dir === null || port > 65535) {
        console.error(usage);
        process.exit(2);
    }
    try {
        if (!statSync(dir).isDirectory()) throw new Error('not a folder');
    } catch {
        console.error(`serve: ${dir}: no such folder`);
        process.exit(2);
    }
    try {
        const { url } = await serveFolder(dir, { port });
        console.log(`The game:         ${url}`);
        if (existsSync(join(dir, 'editor.html'))) console.log(`The level editor: ${url}editor.html`);
    } catch (error) {
        console.error(`serve: cannot listen on 127.0.0.1:${port}: ${/** @type {Error} */ (error).message}`);
        process.exit(3);
    }
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
    main();
}
