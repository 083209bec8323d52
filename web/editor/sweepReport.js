// @ts-check
// What the page makes of a sweep's printout and runs: the lines levelcheck
// prints about places in the text (errors for caged serves, notes for
// lost or looping ones), the cell each points at, and how each serve's
// mark shows its outcome by colour and shape alike.

/** @typedef {{severity: 'error' | 'note', line: number, column: number, text: string}} SweepLine */
/** @typedef {{line: number, textColumn: number, row: number, column: number}} TextCell */

/**
 * The lines of a sweep's printout that point at a place in the text, in
 * order ("level1.txt:3:5: error: ...").
 * @param {string} output
 * @returns {SweepLine[]}
 */
export function sweepLines(output) {
    /** @type {SweepLine[]} */
    const lines = [];
    for (const line of output.split('\n')) {
        const match = /^.*?:(\d+):(\d+): (error|note): (.*)$/.exec(line);
        if (match) {
            lines.push({
                severity: /** @type {'error' | 'note'} */ (match[3]),
                line: Number(match[1]),
                column: Number(match[2]),
                text: match[4],
            });
        }
    }
    return lines;
}

/**
 * The grid place of the brick whose pair is at a text position, from a
 * check's cells; null when no brick is there.
 * @param {readonly TextCell[]} cells
 * @param {number} line
 * @param {number} column
 * @returns {{col: number, row: number} | null}
 */
export function placeAtText(cells, line, column) {
    const cell = cells.find((c) => c.line === line && c.textColumn === column && c.row >= 0 && c.column >= 0);
    return cell ? { col: cell.column, row: cell.row } : null;
}

/**
 * How a serve's mark shows its outcome: a class for its colour and a
 * glyph for its shape, so no outcome rests on colour alone.
 * @param {string} outcome as the sweep's CSV names it
 * @returns {{kind: string, glyph: string, label: string}}
 */
export function markOf(outcome) {
    switch (outcome) {
        case 'cleared':
            return { kind: 'cleared', glyph: '✓', label: 'cleared' };
        case 'loops':
            return { kind: 'loops', glyph: '↻', label: "loops (the computer player's, not an error)" };
        case 'caged':
            return { kind: 'caged', glyph: '■', label: 'caged: an error of the level' };
        default:
            return { kind: 'lost', glyph: '✗', label: outcome === 'lost' ? 'lost' : `ends: ${outcome}` };
    }
}
