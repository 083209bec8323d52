// @ts-check
// The browser's levelcheck check against the desktop tool: the same bytes
// give the same printout, messages and cells; requests it cannot answer
// fail with a reason; a burst of checks answers only the newest.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { compareScreens } from '../support/screenDiff.mjs';
import { levels, loadLevelCheck, newPool, printedMessages, runDesktop } from './support.mjs';

const files = [
    ...readdirSync(path.join(levels, 'broken')).map((f) => path.join(levels, 'broken', f)),
    ...readdirSync(levels)
        .filter((f) => f.endsWith('.txt'))
        .map((f) => path.join(levels, f)),
];

describe('a check in a worker', () => {
    /** @type {any} */
    let pool;
    before(() => {
        pool = newPool(1);
    });
    after(() => pool.close());

    test('says what the desktop levelcheck says of the same bytes', async () => {
        for (const file of files) {
            const name = 'level1.txt';
            const expected = runDesktop(file, name);
            const result = await pool.check(readFileSync(file), { name });
            const label = path.basename(file);
            assert.equal(result.output, expected.stdout, label);
            assert.equal(result.exitStatus, expected.status, label);
            // Every field but the cell, which the printout does not name.
            const located = result.messages.map((/** @type {object} */ m) =>
                Object.fromEntries(Object.entries(m).filter(([key]) => key !== 'cell')),
            );
            assert.deepEqual(located, printedMessages(expected.stdout, name), label);
            // The cells, drawn as the preview draws the screen, give the preview.
            const screen = Array.from({ length: 15 }, () => Array(20).fill('.'));
            for (const cell of result.cells) {
                if (cell.kind > 0 && cell.row >= 0 && cell.row < 15 && cell.column < 20) {
                    screen[cell.row][cell.column] = cell.kind === 4 ? '#' : String(cell.kind);
                }
            }
            assert.deepEqual(
                screen.map((/** @type {string[]} */ row) => row.join('')),
                result.preview.slice(0, 15).map((/** @type {string} */ row) => row.slice(0, 20)),
                label,
            );
        }
    });

    test('names the cell a message is about, and the counts', async () => {
        const odd = await pool.check(readFileSync(path.join(levels, 'broken', 'odd-line.txt')));
        assert.deepEqual(
            odd.messages.map((/** @type {{cell: number}} */ m) => m.cell),
            [2],
        );
        assert.deepEqual(odd.counts, {
            bricks: 6,
            oneHit: 4,
            twoHit: 1,
            threeHit: 1,
            solid: 0,
            capsuleBricks: 0,
            hits: 9,
            points: 95,
        });
        const past = await pool.check(readFileSync(path.join(levels, 'broken', 'past-grid.txt')));
        assert.deepEqual(
            past.messages.map((/** @type {{cell: number}} */ m) => m.cell),
            [20, -1],
        );
        assert.equal(past.cells.length, 300);
        const marked = await pool.check('. 1S# \n');
        assert.deepEqual(marked.cells.slice(0, 4), [
            { kind: 0, capsule: false, row: 0, column: 0, line: 1, textColumn: 1 },
            { kind: 1, capsule: true, row: 0, column: 1, line: 1, textColumn: 3 },
            { kind: 4, capsule: false, row: 0, column: 2, line: 1, textColumn: 5 },
            { kind: 0, capsule: false, row: -1, column: -1, line: 0, textColumn: 0 },
        ]);
        // Every brick of a walled-in pocket, though its message names only the first.
        /** @param {{closedIn: number[][], cells: {row: number, column: number}[]}} r */
        const places = (r) =>
            r.closedIn.map((pocket) => pocket.map((n) => [r.cells[n].column, r.cells[n].row]));
        assert.deepEqual(places(await pool.check(readFileSync(path.join(levels, 'walled.txt')))), [[[9, 6]]]);
        const pocket = await pool.check('# # # # \n# 1 1 # \n# 2 3 # \n# # # # \n1 \n');
        assert.deepEqual(places(pocket), [
            [
                [1, 1],
                [2, 1],
                [1, 2],
                [2, 2],
            ],
        ]);
    });

    test('only the newest of the checks waiting is answered', async () => {
        const first = pool.check('1 \n');
        const second = pool.check('2 \n');
        const third = pool.check('3 \n');
        assert.equal((await first).counts.oneHit, 1);
        assert.equal(await second, null);
        assert.equal((await third).counts.threeHit, 1);
    });
});

test('requests levelcheck cannot answer fail with the reason', async () => {
    const checker = await loadLevelCheck();
    assert.throws(() => checker.check('1 \n', { name: '../level1.txt' }), /plain file name/);
    assert.throws(() => checker.check('1 \n', { name: 'data' }), /plain file name/);
    assert.throws(() => checker.play('1 \n', 60), /no serve angle/);
    assert.throws(() => checker.play('1 \n', 0, { frames: 0.5 }), /frame limit/);
    const angles = checker.serveAngles();
    assert.equal(angles.length, 60);
    const { line } = checker.play('1 \n', 0, { frames: 50 });
    assert.throws(() => checker.report('1 \n', Array(60).fill(line)), /one for each serve angle/);
    assert.throws(() => checker.report('1 \n', [line]), /one for each serve angle/);
    assert.throws(() => checker.report('1 \n', ['not a run']), /one for each serve angle/);
    // Still answering after all of that.
    assert.equal(checker.check('1 \n').counts.oneHit, 1);
});

test('--png: the level pictured as the desktop levelcheck pictures it', async () => {
    const checker = await loadLevelCheck();
    const file = path.join(levels, 'walled.txt');
    const folder = mkdtempSync(path.join(tmpdir(), 'levelcheck-png-'));
    try {
        const expected = runDesktop(file, 'level3.txt', ['--png', folder]);
        const result = checker.picture(readFileSync(file), { name: 'level3.txt' });
        assert.equal(result.exitStatus, expected.status);
        assert.equal(result.output, expected.stdout.replace(folder, 'pictures'));
        writeFileSync(path.join(folder, 'web.png'), result.png);
        const rgb = (/** @type {string} */ name) =>
            execFileSync('convert', [path.join(folder, name), '-depth', '8', 'rgb:-']);
        const { differing } = compareScreens(rgb('level3.png'), rgb('web.png'));
        assert.equal(differing, 0, 'bricks, paddle, ball and text to the pixel');
        // The same picture from a pool's worker, as the page would ask.
        const pool = newPool(1);
        try {
            const pooled = await pool.picture(readFileSync(file), { name: 'level3.txt' });
            assert.deepEqual(Buffer.from(pooled.png), Buffer.from(result.png));
        } finally {
            pool.close();
        }
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
});
