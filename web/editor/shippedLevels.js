// @ts-check
// The game's shipped levels as the editor knows them: shipped-levels.json,
// made at build time from data/levels/ and the README's measured table
// (shippedLevels.cmake). Read with care all the same: a site copied by hand
// may hold an old or damaged file, and the gallery then says so.

/**
 * One shipped level: its file's exact text and the README's figures for it.
 * @typedef {object} ShippedLevel
 * @property {number} number   its place in the game, from 1
 * @property {string} name
 * @property {string} text     data/levels/levelN.txt, byte for byte
 * @property {number} bricks   every brick, solid ones too
 * @property {number} hits     ball hits that clear it
 * @property {number} clears   per cent of the serve angles it clears from
 * @property {number} minutes  the median minutes to clear
 */
/**
 * @template T
 * @typedef {{ok: true, value: T} | {ok: false, error: string}} Result
 */

/**
 * The shipped levels in the JSON, checked field by field.
 * @param {unknown} data the parsed JSON
 * @returns {Result<ShippedLevel[]>}
 */
export function readShippedLevels(data) {
    const levels =
        data && typeof data === 'object' ? /** @type {{levels?: unknown}} */ (data).levels : undefined;
    if (!Array.isArray(levels) || levels.length === 0)
        return { ok: false, error: "the shipped levels' list is empty or missing" };
    /** @type {ShippedLevel[]} */
    const out = [];
    for (const [i, entry] of levels.entries()) {
        const e = /** @type {Record<string, unknown>} */ (entry ?? {});
        const numbers = ['number', 'bricks', 'hits', 'clears', 'minutes'].every(
            (k) => typeof e[k] === 'number' && Number.isFinite(e[k]),
        );
        if (!numbers || e.number !== i + 1 || typeof e.name !== 'string' || typeof e.text !== 'string') {
            return {
                ok: false,
                error: `shipped level ${i + 1} is damaged in the site's shipped-levels.json`,
            };
        }
        out.push(
            /** @type {ShippedLevel} */ ({
                number: e.number,
                name: e.name,
                text: e.text,
                bricks: e.bricks,
                hits: e.hits,
                clears: e.clears,
                minutes: e.minutes,
            }),
        );
    }
    return { ok: true, value: out };
}

/**
 * Fetches and reads the site's shipped levels.
 * @param {string | URL} url
 * @returns {Promise<Result<ShippedLevel[]>>}
 */
export async function loadShippedLevels(url) {
    try {
        const response = await fetch(url);
        if (!response.ok) return { ok: false, error: `the shipped levels did not load (${response.status})` };
        return readShippedLevels(await response.json());
    } catch (error) {
        return {
            ok: false,
            error: `the shipped levels did not load (${error instanceof Error ? error.message : String(error)})`,
        };
    }
}
