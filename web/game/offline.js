// @ts-check
// The site's pages (the game's and the editor's) ask for the service worker
// that keeps the site for offline play (sw.js, at the site's top), once the
// page has loaded: its downloads of the whole site wait until the page's
// own are done.

/**
 * Registers sw.js of the folder at siteUrl; nothing where the browser has
 * no service workers or refuses them (a private window, an insecure host).
 * @param {URL} siteUrl the site's top folder
 */
export function keepSiteOffline(siteUrl) {
    if (!('serviceWorker' in navigator)) return;
    const register = () => navigator.serviceWorker.register(new URL('sw.js', siteUrl), { scope: siteUrl.href }).catch(() => {});
    if (document.readyState === 'complete') register();
    else window.addEventListener('load', register, { once: true });
}
