// The difficulty while drawing: levelcheck's summary line read back, the
// level placed on the shipped levels' curve, and when the background sweep
// runs (only after a change settles, stale ones stopped, none while nothing
// changes).
import assert from 'node:assert/strict';
import { test } from 'node:test';

import {
    DifficultyWatch,
    describeDifficulty,
    numberRanges,
    playsLike,
    readSweepSummary,
} from '../../../web/editor/difficulty.js';
import { readShippedLevels } from '../../../web/editor/shippedLevels.js';

test("the sweep's summary line is read as levelcheck prints it, with cages and with nothing cleared", () => {
    assert.deepEqual(
        readSweepSummary(
            'level1.txt: sweep: 60 serves, cleared 59 (98.3%); frames to clear min 4312 (1.1 min), ' +
                'median 8489 (2.3 min), max 13919 (3.7 min); balls lost median 0\n',
        ),
        { serves: 60, cleared: 59, share: 98.3, caged: 0, medianFrames: 8489, medianMinutes: 2.3 },
    );
    assert.deepEqual(
        readSweepSummary('a.txt: sweep: 60 serves, cleared 0 (0.0%), caged 9; frames to clear none\n'),
        { serves: 60, cleared: 0, share: 0, caged: 9, medianFrames: null, medianMinutes: null },
    );
    assert.equal(readSweepSummary('a.txt:1:1: error: no breakable brick\n'), null);
});

const shipped = [
    { number: 1, name: 'One', minutes: 1.8, clears: 92 },
    { number: 2, name: 'Two', minutes: 3.9, clears: 92 },
    { number: 3, name: 'Three', minutes: 4.6, clears: 88 },
    { number: 4, name: 'Four', minutes: 4.8, clears: 92 },
    { number: 5, name: 'Five', minutes: 3.4, clears: 92 },
    { number: 6, name: 'Six', minutes: 12.8, clears: 90 },
].map((l) => ({ ...l, text: '', bricks: 1, hits: 1 }));

test("a level plays like the shipped levels that take about as long, or is placed past the curve's ends", () => {
    assert.equal(playsLike(4.7, shipped), 'plays like levels 3-4');
    assert.equal(playsLike(3.5, shipped), 'plays like level 5');
    assert.equal(playsLike(3.65, shipped), 'plays like levels 2 and 5');
    assert.equal(playsLike(8, shipped), 'plays like level 4');
    assert.equal(playsLike(0.9, shipped), 'quicker than every shipped level (the quickest: 1, One, 1.8 min)');
    assert.equal(playsLike(14, shipped), 'longer than every shipped level (the longest: 6, Six, 12.8 min)');
    assert.equal(numberRanges([3, 4, 5, 9, 11, 12]), '3-5, 9 and 11-12');
    assert.equal(
        describeDifficulty(
            { serves: 60, cleared: 50, share: 83.3, caged: 1, medianFrames: 1, medianMinutes: 4.7 },
            shipped,
        ),
        'clears from 50 of 60 serves (83.3%), fewer than any shipped level (88% at the least); 1 serve cages the ball; ' +
            '4.7 min to clear (median): plays like levels 3-4',
    );
});

test("the shipped levels' file is checked before it is used", () => {
    const good = {
        levels: [{ number: 1, name: 'A', text: '1 \n', bricks: 1, hits: 1, clears: 92, minutes: 1.8 }],
    };
    assert.equal(readShippedLevels(good).ok, true);
    assert.equal(readShippedLevels({}).ok, false);
    assert.equal(readShippedLevels({ levels: [{ ...good.levels[0], number: 2 }] }).ok, false);
    assert.equal(readShippedLevels({ levels: [{ ...good.levels[0], minutes: '1.8' }] }).ok, false);
});

/** A DifficultyWatch on a hand-run clock and a sweep the test answers. */
function watchWithStandIns() {
    /** @type {{run: () => void, ms: number}[]} */
    const timers = [];
    /** @type {{text: string, signal: AbortSignal, resolve: (r: any) => void}[]} */
    const sweeps = [];
    const watch = new DifficultyWatch({
        sweep: (text, signal) =>
            new Promise((resolve, reject) => {
                sweeps.push({ text, signal, resolve });
                signal.addEventListener('abort', () => reject(new DOMException('stopped', 'AbortError')));
            }),
        onState: () => {},
        settleMs: 300,
        setTimer: (run, ms) => {
            const timer = { run, ms };
            timers.push(timer);
            return timer;
        },
        clearTimer: (timer) => timers.splice(timers.indexOf(timer), 1),
    });
    const report = (/** @type {number} */ share) => ({
        output:
            `x: sweep: 60 serves, cleared 30 (${share}%); frames to clear min 1 (0.0 min), ` +
            'median 9000 (2.4 min), max 9 (0.0 min); balls lost median 0\n',
    });
    return { watch, timers, sweeps, report };
}

test('the sweep waits for changes to settle, stops when the level changes again, and nothing runs once it is done', async () => {
    const { watch, timers, sweeps, report } = watchWithStandIns();
    watch.changed('a', true);
    watch.changed('ab', true);
    assert.equal(timers.length, 1, 'one settle timer, restarted by each change');
    assert.equal(sweeps.length, 0);
    timers.shift()?.run();
    assert.equal(sweeps.length, 1);
    watch.changed('abc', true);
    assert.equal(sweeps[0].signal.aborted, true, 'the stale sweep is stopped');
    timers.shift()?.run();
    sweeps[1].resolve(report(50));
    await new Promise((resolve) => setImmediate(resolve));
    assert.equal(watch.current.state, 'done');
    assert.equal(watch.current.difficulty?.share, 50);
    assert.equal(timers.length, 0, 'nothing waits while nothing changes');
    // The same text again (an undo, another level and back) is known: no new sweep.
    watch.changed('x', false);
    assert.equal(watch.current.state, 'nothing');
    watch.changed('abc', true);
    assert.equal(watch.current.state, 'done');
    assert.equal(timers.length + sweeps.length, 2);
});

test("the designer's own sweep holds the background one back and gives it its figures", async () => {
    const { watch, timers, sweeps, report } = watchWithStandIns();
    watch.changed('a', true);
    timers.shift()?.run();
    watch.hold(true);
    assert.equal(sweeps[0].signal.aborted, true);
    await new Promise((resolve) => setImmediate(resolve));
    assert.equal(timers.length, 0, "no retry while the designer's sweep runs");
    watch.offer('a', /** @type {any} */ (report(75)));
    watch.hold(false);
    assert.equal(watch.current.state, 'done');
    assert.equal(watch.current.difficulty?.share, 75);
    assert.equal(timers.length, 0);
    assert.equal(sweeps.length, 1);
});
