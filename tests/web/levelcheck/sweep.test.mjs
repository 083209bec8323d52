// @ts-check
// The sweep spread over workers against the desktop's `levelcheck --sweep
// --csv`: for levels that differ in how their serves end, the same printout
// and the same CSV rows; a new sweep stops the one before.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { levels, newPool, runDesktop } from './support.mjs';

describe('a sweep over two workers', () => {
    /** @type {any} */
    let pool;
    before(() => {
        pool = newPool(2);
    });
    after(() => pool.close());

    const cases = [
        { level: 'clears.txt', options: [], expect: { cleared: 60 } },
        { level: 'loops.txt', options: ['--min-clear', '95'], expect: { loops: true } },
        { level: 'walled.txt', options: ['--quiet'], expect: { cleared: 0 } },
    ];
    for (const { level, options, expect } of cases) {
        test(`equals the desktop's for ${level}`, async () => {
            const file = path.join(levels, level);
            const name = 'level7.txt';
            const expected = runDesktop(file, name, ['--sweep', ...options]);
            /** @type {Map<number, any>} */
            const progress = new Map();
            const minClear = options.includes('--min-clear')
                ? Number(options[options.indexOf('--min-clear') + 1])
                : -1;
            const result = await pool.sweep(readFileSync(file), {
                name,
                minClear,
                quiet: options.includes('--quiet'),
                onProgress: (/** @type {any} */ p) => {
                    assert.equal(p.total, 60);
                    assert.equal(p.done, progress.size + 1);
                    progress.set(p.index, p.run);
                },
            });
            assert.equal(result.output, expected.stdout);
            assert.equal(result.csv, expected.csv);
            assert.equal(result.exitStatus, expected.status);
            // Each mark shown while the sweep ran is its final row.
            assert.deepEqual(
                [...progress.keys()].sort((a, b) => a - b),
                [...Array(60).keys()],
            );
            assert.deepEqual(
                result.runs,
                [...Array(60).keys()].map((i) => progress.get(i)),
            );
            // The three levels differ as chosen.
            const cleared = result.runs.filter((/** @type {any} */ r) => r.outcome === 'cleared').length;
            if (expect.cleared !== undefined) assert.equal(cleared, expect.cleared);
            if (expect.loops)
                assert.ok(result.runs.some((/** @type {any} */ r) => r.outcome === 'loops') && cleared > 0);
        });
    }

    test('a new sweep stops the one before, and so does its signal', async () => {
        const level = readFileSync(path.join(levels, 'loops.txt'));
        const first = pool.sweep(level);
        const second = pool.sweep(level, { minClear: 50 });
        await assert.rejects(first, { name: 'AbortError' });
        assert.equal((await second).exitStatus, 0);

        const control = new AbortController();
        const stopped = pool.sweep(level, { signal: control.signal, onProgress: () => control.abort() });
        await assert.rejects(stopped, { name: 'AbortError' });
        assert.equal((await pool.sweep(level, { minClear: 50 })).runs.length, 60);
    });
});

test('a serve traced for showing is the sweep run of that angle, frame for frame', async () => {
    const pool = newPool(1);
    try {
        const file = path.join(levels, 'loops.txt');
        const rows = runDesktop(file, 'level1.txt', ['--sweep']).csv.trim().split('\n').slice(1);
        // A cleared run and a looping one.
        for (const outcome of ['cleared', 'loops']) {
            const index = rows.findIndex((row) => row.split(',')[6] === outcome);
            const trace = await pool.trace(readFileSync(file), index);
            const row = rows[index].split(',');
            assert.equal(trace.csv, rows[index]);
            assert.equal(trace.frames, Number(row[3]));
            assert.equal(trace.ball.length, 2 * trace.frames);
            assert.equal(trace.paddle.length, trace.frames);
            // Replaying the brick changes leaves the run's bricks.
            const kinds = trace.cells.filter(
                (/** @type {number} */ _, /** @type {number} */ i) => i % 3 === 0,
            );
            for (let i = 0; i < trace.bricks.length; i += 3) kinds[trace.bricks[i + 1]] = trace.bricks[i + 2];
            assert.equal(kinds.filter((/** @type {number} */ k) => k >= 1 && k <= 3).length, Number(row[8]));
            assert.equal(trace.points[trace.points.length - 1], Number(row[5]));
        }
        await assert.rejects(pool.trace('1 \n', 60), /no serve angle has that index/);
    } finally {
        pool.close();
    }
});
