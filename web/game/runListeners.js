// @ts-check
// The listeners a run of the program leaves behind. The runtime adds its
// own to the window, the document and the canvas (keys, focus, mouse,
// unload) and never removes them; each holds the finished run's whole
// module, its memory included, for as long as the page lives. A run's
// listeners are told from the page's own by where they were added from:
// the program's script.

/** @typedef {{ target: EventTarget, type: string, listener: EventListenerOrEventListenerObject, options: boolean | EventListenerOptions | undefined }} Added */

/**
 * Records, until release(), the listeners that code from `script` adds to
 * each of targets; release() removes them and leaves addEventListener as
 * it was.
 * @param {EventTarget[]} targets
 * @param {string} script the program's script address, as it shows in a stack
 * @param {() => string} [stack] where a call comes from (tests give their own)
 */
export function recordRunListeners(targets, script, stack = () => new Error().stack ?? '') {
    /** @type {Added[]} */
    const added = [];
    /** @type {{ target: EventTarget, own: PropertyDescriptor | undefined }[]} */
    const patched = [];
    for (const target of targets) {
        const original = target.addEventListener;
        patched.push({ target, own: Object.getOwnPropertyDescriptor(target, 'addEventListener') });
        Object.defineProperty(target, 'addEventListener', {
            configurable: true,
            writable: true,
            /**
             * @param {string} type
             * @param {EventListenerOrEventListenerObject | null} listener
             * @param {boolean | AddEventListenerOptions} [options]
             */
            value(type, listener, options) {
                if (listener && stack().includes(script))
                    added.push({
                        target,
                        type,
                        listener,
                        options: typeof options === 'object' ? { capture: options.capture } : options,
                    });
                return original.call(this, type, listener, options);
            },
        });
    }
    return {
        /** How many are held now. */
        get count() {
            return added.length;
        },
        release() {
            for (const { target, own } of patched) {
                if (own) Object.defineProperty(target, 'addEventListener', own);
                else delete (/** @type {any} */ (target).addEventListener);
            }
            patched.length = 0;
            for (const { target, type, listener, options } of added.splice(0))
                target.removeEventListener(type, listener, options);
        },
    };
}
