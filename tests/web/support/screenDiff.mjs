// @ts-check
// Two pictures of the game's screen compared: how many pixels differ, and
// how many of them lie outside text (where a font drawn by another
// rasteriser than the desktop's FreeType would differ, as the browser's
// fallback for a size without a glyph file does).

/**
 * Pixels that differ between two RGB pictures of 320x240, in all and
 * outside text: text is every pixel within 2 pixels of a light or grey
 * pixel of either picture (all channels above 180, or all three above 40
 * and within 8 of each other: the game's text is white, and its blended
 * edges grey as 16 bits show it).
 * @param {Buffer} a @param {Buffer} b
 */
export function compareScreens(a, b) {
    const light = (/** @type {Buffer} */ p, /** @type {number} */ i) => {
        const r = p[i * 3],
            g = p[i * 3 + 1],
            bl = p[i * 3 + 2];
        const low = Math.min(r, g, bl);
        return (r > 180 && g > 180 && bl > 180) || (low > 40 && Math.max(r, g, bl) - low <= 8);
    };
    const text = new Uint8Array(320 * 240);
    for (let i = 0; i < text.length; i++) {
        if (!light(a, i) && !light(b, i)) continue;
        const x = i % 320,
            y = Math.floor(i / 320);
        for (let dy = -2; dy <= 2; dy++)
            for (let dx = -2; dx <= 2; dx++) {
                const xx = x + dx,
                    yy = y + dy;
                if (xx >= 0 && xx < 320 && yy >= 0 && yy < 240) text[yy * 320 + xx] = 1;
            }
    }
    let differing = 0,
        outsideText = 0;
    for (let i = 0; i < text.length; i++) {
        if (a[i * 3] === b[i * 3] && a[i * 3 + 1] === b[i * 3 + 1] && a[i * 3 + 2] === b[i * 3 + 2]) continue;
        differing++;
        if (!text[i]) outsideText++;
    }
    return { differing, outsideText };
}
