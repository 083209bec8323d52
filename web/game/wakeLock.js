// @ts-check
// Keeps the screen awake while a game is on it (Screen Wake Lock, where the
// browser has it). The browser drops the lock whenever the page is hidden;
// it is asked for again when the page is back and still wants it.

/**
 * @typedef {{ release(): Promise<void>, addEventListener(type: 'release', listener: () => void): void }} Sentinel
 * @typedef {{ request(type: 'screen'): Promise<Sentinel> }} WakeLockApi
 */

/**
 * @param {WakeLockApi | undefined} api navigator.wakeLock
 * @param {() => boolean} visible whether the page is shown
 */
export function createWakeLock(api, visible) {
    let wanted = false;
    /** @type {Sentinel | null} */
    let sentinel = null;
    let asking = false;
    const update = () => {
        if (!api) return;
        if (wanted && !sentinel && !asking && visible()) {
            asking = true;
            api.request('screen').then(
                (made) => {
                    asking = false;
                    sentinel = made;
                    made.addEventListener('release', () => {
                        if (sentinel === made) sentinel = null;
                    });
                    // Given up meanwhile.
                    if (!wanted) update();
                },
                () => {
                    asking = false; // refused (no permission, low battery): the screen may sleep
                },
            );
        } else if (!wanted && sentinel) {
            const held = sentinel;
            sentinel = null;
            held.release().catch(() => {});
        }
    };
    return {
        /** Whether the screen should stay awake now. @param {boolean} on */
        want(on) {
            if (on === wanted) return;
            wanted = on;
            update();
        },
        /** The page was shown again. */
        shown: update,
        get held() {
            return sentinel !== null;
        },
    };
}
