// @ts-check
// The site's pages (the game's and the editor's) ask for the service worker
// that keeps the site for offline play (sw.js, at the site's top).

/**
 * Registers sw.js of the folder at siteUrl; nothing where the browser has
 * no service workers or refuses them (a private window, an insecure host).
 * @param {URL} siteUrl the site's top folder
 */
export function keepSiteOffline(siteUrl) {
    if (!('serviceWorker' in navigator)) return;
    navigator.serviceWorker.register(new URL('sw.js', siteUrl), { scope: siteUrl.href }).catch(() => {});
}
