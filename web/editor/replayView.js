// @ts-check
// A sweep mark's serve, shown in the page.

/**
 * @param {HTMLElement} box
 * @param {any} pool
 * @param {string} text
 * @param {string} name
 * @param {number} angle
 * @param {string} outcome
 */
export async function startReplay(box, pool, text, name, angle, outcome) {
    box.hidden = false;
    const caption = /** @type {HTMLElement} */ (box.querySelector('p'));
    caption.textContent = `serve at ${angle} degrees: ${outcome}. ` +
        `levelcheck --play 1 --serve ${angle} ${name} plays it again.`;
    void pool;
    void text;
}
