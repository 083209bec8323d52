// @ts-check
// The site offline: this service worker keeps every file of one build in a
// cache named by that build, and answers the site's requests from it. The
// build writes the two constants below (the site's files and their SHA-256,
// and the build's name made from them), so every new build is a new worker;
// it fills its own cache beside the old one, checking each file against its
// hash, and only takes over once no page of the old build is open (or
// the one open page asks, before it has started anything), when the old
// cache goes. A page that was loading just then may have files of both;
// every file served carries its build's name, so that page sees it and
// reloads into the one build.
//
// Addresses are relative to the worker's own folder (its scope), so the
// site works from any folder of any static host; two sites on one host
// keep separate caches.

/** @type {string} */
const Build = '@QUADRELL_BUILD@';
/** @type {Record<string, string>} */
const Files = JSON.parse('@QUADRELL_FILES@');

// What of the worker's scope is used here (the project's types are the
// page's, not a worker's).
/**
 * @typedef {Event & { waitUntil(work: Promise<unknown>): void }} ExtendableEvent
 * @typedef {ExtendableEvent & { request: Request, respondWith(response: Promise<Response>): void }} FetchEvent
 * @typedef {ExtendableEvent & { data: unknown, ports: readonly MessagePort[] }} MessageEvent
 * @typedef {object} WorkerScope
 * @property {{ scope: string }} registration
 * @property {{ matchAll(options: object): Promise<{ url: string }[]> }} clients
 * @property {() => Promise<void>} skipWaiting
 * @property {((type: 'install' | 'activate', listener: (event: ExtendableEvent) => void) => void) &
 *   ((type: 'fetch', listener: (event: FetchEvent) => void) => void) &
 *   ((type: 'message', listener: (event: MessageEvent) => void) => void)} addEventListener
 */
const sw = /** @type {WorkerScope} */ (/** @type {unknown} */ (self));
const scope = sw.registration.scope;
const cacheName = `quadrell ${scope} ${Build}`;

/** @param {ArrayBuffer} bytes */
async function sha256(bytes) {
    const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
    return Array.from(digest, (b) => b.toString(16).padStart(2, '0')).join('');
}

/** Fetches one file of this build; a file that is not this build's fails the install. @param {Cache} cache @param {string} path */
async function keep(cache, path) {
    const url = new URL(path, scope).href;
    const response = await fetch(url, { cache: 'no-cache' });
    if (!response.ok) throw new Error(`${path}: ${response.status}`);
    const bytes = await response.clone().arrayBuffer();
    if ((await sha256(bytes)) !== Files[path]) throw new Error(`${path}: not this build's file`);
    await cache.put(url, response);
}

sw.addEventListener('install', (event) => {
    event.waitUntil(
        caches.open(cacheName).then(async (cache) => {
            const kept = new Set((await cache.keys()).map((request) => request.url));
            const missing = Object.keys(Files).filter((path) => !kept.has(new URL(path, scope).href));
            // A few at a time: the machine's other downloads go on.
            for (let i = 0; i < missing.length; i += 6)
                await Promise.all(missing.slice(i, i + 6).map((path) => keep(cache, path)));
        }),
    );
});

sw.addEventListener('activate', (event) => {
    const ours = `quadrell ${scope} `;
    event.waitUntil(
        caches
            .keys()
            .then((names) =>
                Promise.all(
                    names
                        .filter((name) => name.startsWith(ours) && name !== cacheName)
                        .map((name) => caches.delete(name)),
                ),
            ),
    );
});

// A page asks the waiting build to take over: done only when that page is
// the site's one open page. The answer goes back on the port the page sent.
// A page in the middle of loading is not yet one of the open pages, so one
// may still start under the old build and go on under this one: the stamp
// below lets it see that and reload (offline.js).
sw.addEventListener('message', (event) => {
    if (event.data !== 'take over if alone') return;
    const [reply] = event.ports;
    event.waitUntil(
        sw.clients.matchAll({ type: 'window', includeUncontrolled: true }).then(async (open) => {
            const alone = open.filter((client) => client.url.startsWith(scope)).length <= 1;
            if (alone) await sw.skipWaiting();
            reply?.postMessage(alone ? 'taking over' : 'waiting');
        }),
    );
});

/**
 * A kept file as this build serves it: stamped with the build's name in a
 * Server-Timing entry, which a page reads back from its performance
 * entries to see that all of its files are of one build.
 * @param {Response} kept
 */
function stamped(kept) {
    const headers = new Headers(kept.headers);
    headers.append('Server-Timing', `build;desc="${Build}"`);
    return new Response(kept.body, { status: kept.status, statusText: kept.statusText, headers });
}

sw.addEventListener('fetch', (event) => {
    const request = event.request;
    if (request.method !== 'GET' || !request.url.startsWith(scope)) return;
    const url = new URL(request.url);
    url.search = '';
    url.hash = '';
    // The folder's own address is its index.html.
    if (url.href === scope || url.href.endsWith('/')) url.href += 'index.html';
    if (!Object.hasOwn(Files, url.href.slice(scope.length))) return;
    event.respondWith(
        caches.open(cacheName).then(async (cache) => {
            const kept = await cache.match(url.href);
            return kept ? stamped(kept) : fetch(request);
        }),
    );
});
