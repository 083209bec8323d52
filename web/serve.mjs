// @ts-check
// A static file server for the site folder, for `./play.sh --web` and the
// browser tests: loopback only, no dependencies, files only from inside the
// folder, nothing cached (a rebuilt site is what the next load gets),
// compressed (brotli or gzip) as a static host would where the browser
// takes it.
//
//   usage: node web/serve.mjs DIR [--port N]
//
// Prints the address on standard output once it listens. Port 0 picks a
// free one. Exit status 2 for a bad command line, 3 when the port is taken.
import { createServer } from 'node:http';
import { createReadStream, statSync } from 'node:fs';
import { resolve, sep, extname } from 'node:path';
import { createBrotliCompress, createGzip, constants } from 'node:zlib';
import { fileURLToPath } from 'node:url';

/** @type {Record<string, string>} */
const contentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
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
};

/** Kinds worth compressing: not the PNGs, WAVs or zips, compressed already. */
const compressible = new Set(['.html', '.js', '.mjs', '.css', '.json', '.webmanifest', '.wasm', '.data', '.svg', '.txt', '.ttf', '.mod']);

/**
 * The encoding to send a file in: brotli, else gzip, where the request
 * accepts it and the file's kind gains from it; '' for none.
 * @param {string} file @param {string | undefined} accepted the Accept-Encoding header
 * @returns {'br' | 'gzip' | ''}
 */
export function encodingFor(file, accepted = '') {
  if (!compressible.has(extname(file).toLowerCase())) return '';
  const offered = accepted.split(',').map((part) => part.trim().split(';')[0]);
  if (offered.includes('br')) return 'br';
  if (offered.includes('gzip')) return 'gzip';
  return '';
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
 * Serves dir on 127.0.0.1 until close() is called.
 * @param {string} dir the folder to serve
 * @param {{port?: number}} [options] port 0 (the default) picks a free one
 * @returns {Promise<{url: string, close: () => Promise<void>}>} url ends in '/'
 */
export function serveFolder(dir, { port = 0 } = {}) {
  const root = resolve(dir);
  const server = createServer((request, response) => {
    const file = request.method === 'GET' || request.method === 'HEAD'
      ? fileForPath(root, request.url ?? '/') : null;
    let size = -1;
    try {
      if (file) {
        const stats = statSync(file);
        if (stats.isFile()) size = stats.size;
      }
    } catch {
      // Not there: a 404 below.
    }
    if (!file || size < 0) {
      response.writeHead(404, { 'Content-Type': 'text/plain; charset=utf-8' });
      response.end('not found\n');
      return;
    }
    const encoding = encodingFor(file, request.headers['accept-encoding']);
    response.writeHead(200, {
      'Content-Type': contentTypes[extname(file).toLowerCase()] ?? 'application/octet-stream',
      ...(encoding ? { 'Content-Encoding': encoding } : { 'Content-Length': size }),
      Vary: 'Accept-Encoding',
      'Cache-Control': 'no-store',
    });
    if (request.method === 'HEAD') {
      response.end();
      return;
    }
    const stream = createReadStream(file);
    if (encoding === 'br') {
      // Quality 5: most of brotli's gain at a fraction of its time, as hosts compressing on the fly do.
      stream.pipe(createBrotliCompress({ params: { [constants.BROTLI_PARAM_QUALITY]: 5, [constants.BROTLI_PARAM_SIZE_HINT]: size } })).pipe(response);
    } else if (encoding === 'gzip') {
      stream.pipe(createGzip()).pipe(response);
    } else {
      stream.pipe(response);
    }
  });
  return new Promise((resolvePromise, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      const address = server.address();
      const actualPort = typeof address === 'object' && address ? address.port : port;
      resolvePromise({
        url: `http://127.0.0.1:${actualPort}/`,
        close: () => new Promise((done) => {
          server.closeAllConnections();
          server.close(() => done());
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
    console.log(url);
  } catch (error) {
    console.error(`serve: cannot listen on 127.0.0.1:${port}: ${/** @type {Error} */ (error).message}`);
    process.exit(3);
  }
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  main();
}
