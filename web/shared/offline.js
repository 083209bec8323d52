// @ts-check
// The site's pages (the game's and the editor's) ask for the service worker
// that keeps the site for offline play (sw.js, at the site's top), once the
// page has loaded: its downloads of the whole site wait until the page's
// own are done.

/**
 * Registers sw.js of the folder at siteUrl; nothing where the browser has
 * no service workers or refuses them (a private window, an insecure host).
 * @param {URL} siteUrl the site's top folder
 * @param {() => boolean} [idle] whether the page may still reload (nothing started)
 */
export function keepSiteOffline(siteUrl, idle = () => true) {
    if (!('serviceWorker' in navigator)) return;
    const register = () =>
        navigator.serviceWorker
            .register(new URL('sw.js', siteUrl), { scope: siteUrl.href })
            .then((registration) => {
                // A new build that waited since an earlier visit takes over
                // now if this is the site's only open page (nothing of the
                // old build is left to mix with), and the page reloads
                // into it; so a reload or two, not closing the tab, brings
                // a rebuilt site. Only before anything has started here.
                if (!registration.waiting || !navigator.serviceWorker.controller || !idle()) return;
                navigator.serviceWorker.addEventListener(
                    'controllerchange',
                    () => idle() && location.reload(),
                    { once: true },
                );
                registration.waiting.postMessage('take over if alone');
            })
            .catch(() => {});
    if (document.readyState === 'complete') register();
    else window.addEventListener('load', register, { once: true });
}
