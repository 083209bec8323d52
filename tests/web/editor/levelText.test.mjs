// The level text writer: its exact output, and the game's own reading of it
// (levelcheck's preview) giving back the grid that was written.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { COLUMNS, Grid, ROWS, cellOf } from '../../../web/editor/grid.js';
import { writeLevelText } from '../../../web/editor/levelText.js';

/** @typedef {import('../../../web/editor/grid.js').Kind} Kind */

const here = dirname(fileURLToPath(import.meta.url));
// CTest names the built checker; by hand, the default build folder's.
const levelcheck = process.env.LEVELCHECK || join(here, '../../../build/tools/levelcheck');

/**
 * A grid from rows of "." "1" "2" "3" "#", lower-case a b c x for a capsule.
 * @param {...string} rows
 */
function gridOf(...rows) {
    const grid = new Grid();
    /** @type {Record<string, Kind>} */
    const kinds = { 1: 1, 2: 2, 3: 3, '#': 'solid', a: 1, b: 2, c: 3, x: 'solid' };
    rows.forEach((line, row) => {
        [...line].forEach((ch, col) => {
            if (ch !== '.') grid.put(col, row, cellOf(kinds[ch], 'abcx'.includes(ch)));
        });
    });
    return grid;
}

test('two characters a cell, trailing empty cells and rows left out', () => {
    assert.equal(writeLevelText(new Grid()), '');
    assert.equal(writeLevelText(gridOf('1')), '1 \n');
    assert.equal(writeLevelText(gridOf('.1..', '', '..', 'a.#x....')), '. 1 \n\n\n1S. # #S\n');
    const full = new Grid(new Array(COLUMNS * ROWS).fill(cellOf(3)));
    const lines = writeLevelText(full).split('\n');
    assert.equal(lines.length, ROWS + 1);
    assert.deepEqual(lines.slice(0, ROWS), new Array(ROWS).fill('3 '.repeat(COLUMNS)));
    assert.equal(lines[ROWS], '');
});

test(
    'the game reads back the grid that was written',
    { skip: !existsSync(levelcheck) && 'levelcheck not built' },
    () => {
        // A mixed pattern with capsules, gaps, empty rows and cells up to the
        // right edge and the bottom row, drawn from a fixed rule.
        const grids = [
            gridOf('1.2.3.#.a.b.c.x....1', '', '....................', '33333333333333333333'),
            new Grid(
                Array.from({ length: COLUMNS * ROWS }, (_, i) => {
                    const kind = /** @type {Kind[]} */ (['empty', 1, 2, 3, 'solid', 'empty', 1])[
                        (i * 3 + Math.floor(i / 20)) % 7
                    ];
                    return cellOf(kind, i % 11 === 0);
                }),
            ),
            gridOf(...new Array(14).fill(''), '...................#'),
        ];
        const dir = mkdtempSync(join(tmpdir(), 'editor-text-'));
        try {
            grids.forEach((grid, n) => {
                const file = join(dir, `level${n + 1}.txt`);
                writeFileSync(file, writeLevelText(grid));
                /** @type {string} */
                let out;
                try {
                    out = execFileSync(levelcheck, [file], { encoding: 'utf8' });
                } catch (e) {
                    out = /** @type {{stdout: string}} */ (e).stdout; // errors (a walled-in brick, say) are not the writer's
                }
                // No warning: every modifier is a space or "S", no odd line.
                assert.doesNotMatch(out, /warning:|line feed right after/, out);
                const preview = out
                    .split('\n')
                    .filter((l) => l.startsWith('    '))
                    .map((l) => l.slice(4));
                const expected = [];
                for (let row = 0; row < ROWS; ++row) {
                    let line = '';
                    for (let col = 0; col < COLUMNS; ++col) {
                        const kind = grid.at(col, row).kind;
                        line += kind === 'empty' ? '.' : kind === 'solid' ? '#' : String(kind);
                    }
                    expected.push(line);
                }
                assert.deepEqual(preview, expected);
                const capsules = grid.cells.filter((c) => c.capsule).length;
                assert.match(out, new RegExp(`, ${capsules} power-up brick`));
            });
        } finally {
            rmSync(dir, { recursive: true, force: true });
        }
    },
);
