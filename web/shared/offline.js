// @ts-check
// The site's pages (the game's and the editor's) ask for the service worker
// that keeps the site for offline play (sw.js, at the site's top), once the
// page has loaded: its downloads of the whole site wait until the page's
// own are done.

/**
 * The builds a page's files came from: the worker stamps every file it
 * serves with its build's name (a Server-Timing entry named "build"); a
 * file from the network has no stamp.
 * @param {readonly { serverTiming?: readonly { name: string, description: string }[] }[]} entries
 *   the page's navigation and resource timing entries
 * @returns {Set<string>}
 */
export function buildsOf(entries) {
    const builds = new Set();
    for (const entry of entries)
        for (const timing of entry.serverTiming ?? [])
            if (timing.name === 'build') builds.add(timing.description);
    return builds;
}

/**
 * Registers sw.js of the folder at siteUrl; nothing where the browser has
 * no service workers or refuses them (a private window, an insecure host).
 * Called once the page's own files are in. A page whose files came from two
 * builds (a new build took over while it loaded) reloads instead, if it may.
 * @param {URL} siteUrl the site's top folder
 * @param {() => boolean} [idle] whether the page may still reload (nothing started)
 * @returns {Promise<'none' | 'reloading' | 'current' | 'waiting' | 'taking over'>} what
 *   became of the site's update: no worker here, this page reloads into one
 *   build, no new build, a new build waits for the site's other pages to
 *   close, or a new build takes over and this page reloads into it
 */
export async function keepSiteOffline(siteUrl, idle = () => true) {
    if (!('serviceWorker' in navigator)) return 'none';
    if (document.readyState !== 'complete')
        await new Promise((loaded) => window.addEventListener('load', loaded, { once: true }));
    const entries = [
        ...performance.getEntriesByType('navigation'),
        ...performance.getEntriesByType('resource'),
    ];
    if (buildsOf(/** @type {PerformanceResourceTiming[]} */ (entries)).size > 1 && idle()) {
        location.reload();
        return 'reloading';
    }
    let registration;
    try {
        registration = await navigator.serviceWorker.register(new URL('sw.js', siteUrl), {
            scope: siteUrl.href,
        });
    } catch {
        return 'none';
    }
    // A new build that waited since an earlier visit takes over now if this
    // is the site's only open page (nothing of the old build is left to mix
    // with), and the page reloads into it; so a reload or two, not closing
    // the tab, brings a rebuilt site. Only before anything has started here.
    const waiting = registration.waiting;
    if (!waiting || !navigator.serviceWorker.controller || !idle()) return waiting ? 'waiting' : 'current';
    navigator.serviceWorker.addEventListener('controllerchange', () => idle() && location.reload(), {
        once: true,
    });
    const answer = new MessageChannel();
    const reply = new Promise((answered) => (answer.port1.onmessage = (event) => answered(event.data)));
    waiting.postMessage('take over if alone', [answer.port2]);
    return /** @type {Promise<'waiting' | 'taking over'>} */ (reply);
}
