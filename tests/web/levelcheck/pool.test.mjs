// @ts-check
// The pool's own bookkeeping, on stand-in workers that answer at once or
// out of order: every serve angle played exactly once, a failed run or a
// worker that dies ending the sweep with its reason, never a hang, and a
// dead worker replaced for the next request.
import assert from 'node:assert/strict';
import { EventEmitter } from 'node:events';
import { test } from 'node:test';

import { siteUrl } from './support.mjs';

const { LevelCheckPool } = await import(siteUrl('levelcheck-pool.js').href);

const Angles = 60;

/** A worker thread's surface, answering as the real worker does. */
class FakeWorker extends EventEmitter {
    /** @param {number} number @param {{failAt?: number, dieAt?: number, played: number[][], reports: any[]}} script */
    constructor(number, script) {
        super();
        this.number = number;
        this.script = script;
        /** @type {number[]} */
        this.played = [];
        script.played.push(this.played);
    }

    /** @param {any} request */
    postMessage(request) {
        const { id, op, index } = request;
        if (op === 'play' && index === this.script.dieAt) {
            setImmediate(() => this.emit('error', new Error('out of memory')));
            return;
        }
        let answer;
        if (op === 'angles') answer = { id, ok: true, result: Array.from({ length: Angles }, (_, i) => i) };
        else if (op === 'check') answer = { id, ok: true, result: { worker: this.number } };
        else if (op === 'report') {
            this.script.reports.push(request);
            answer = { id, ok: true, result: { exitStatus: 0, lines: request.lines } };
        } else if (index === this.script.failAt)
            answer = { id, ok: false, error: 'the frame limit is a whole number' };
        else {
            this.played.push(index);
            answer = { id, ok: true, result: { index, line: `run ${index}`, run: { angle: index } } };
        }
        // Later workers answer later, so the runs come back out of order.
        setTimeout(() => this.emit('message', answer), op === 'play' ? (index * 7 + this.number * 3) % 5 : 0);
    }

    terminate() {
        this.emit('exit', 1);
    }
}

/** @param {number} size @param {{failAt?: number, dieAt?: number}} [options] */
function fakePool(size, options = {}) {
    const script = { ...options, played: /** @type {number[][]} */ ([]), reports: /** @type {any[]} */ ([]) };
    let made = 0;
    const pool = new LevelCheckPool({ size, createWorker: () => new FakeWorker(made++, script) });
    return { pool, script, made: () => made };
}

test('a sweep hands every serve angle to exactly one worker and reports the runs in angle order', async () => {
    const { pool, script } = fakePool(3);
    /** @type {number[]} */
    const done = [];
    const result = await pool.sweep('1 \n', { onProgress: (/** @type {any} */ p) => done.push(p.done) });
    const played = script.played.flat().sort((a, b) => a - b);
    assert.deepEqual(played, [...Array(Angles).keys()]);
    assert.ok(script.played.filter((runs) => runs.length > 0).length === 3, 'every sweep worker played');
    assert.deepEqual(
        done,
        [...Array(Angles).keys()].map((i) => i + 1),
    );
    assert.deepEqual(
        result.lines,
        [...Array(Angles).keys()].map((i) => `run ${i}`),
    );
    assert.equal(script.reports.length, 1);
    pool.close();
});

test('a failed run ends the sweep with its reason and no worker takes a new run', async () => {
    const { pool, script } = fakePool(2, { failAt: 5 });
    await assert.rejects(pool.sweep('1 \n'), /frame limit/);
    const playedThen = script.played.flat().length;
    await new Promise((resolve) => setTimeout(resolve, 20));
    assert.equal(script.played.flat().length, playedThen);
    assert.ok(playedThen < Angles);
    assert.equal(script.reports.length, 0);
    pool.close();
});

test('a worker that dies fails the sweep instead of leaving it waiting, and is replaced', async () => {
    const { pool, script, made } = fakePool(2, { dieAt: 3 });
    await assert.rejects(pool.sweep('1 \n'), /levelcheck worker failed: out of memory/);
    const before = made();
    script.dieAt = undefined;
    const again = await pool.sweep('1 \n');
    assert.equal(again.lines.length, Angles);
    assert.equal(made(), before + 1, 'one new worker for the one that died');
    // Checks have a worker of their own, untouched by the sweep's.
    assert.deepEqual(await pool.check('1 \n'), { worker: 0 });
    pool.close();
    await assert.rejects(pool.sweep('1 \n'), /pool was closed/);
    await assert.rejects(pool.check('1 \n'), /pool was closed/);
});
