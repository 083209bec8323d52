// A recorded serve as a film: the scene at any frame, wound either way;
// and the loader's cells (as levelcheck reports them) as the editor's grid.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { Grid, cellOf } from '../../../web/editor/grid.js';
import { TracePlayback } from '../../../web/editor/tracePlayback.js';

test('the scene at a frame has every change up to it, going forward or back', () => {
    const cells = new Array(300)
        .fill(0)
        .flatMap((_, n) => [n < 2 ? 2 : 0, 1 + 16 * (n % 20), 1 + 10 * Math.floor(n / 20)]);
    const film = new TracePlayback({
        frames: 4,
        paddleY: 220,
        paddleWidth: 32,
        ball: [10, 200, 12, 198, 14, 196, 16, 194],
        paddle: [100, 101, 102, 103],
        bricks: [2, 0, 1, 3, 1, 0, 4, 0, 0],
        lives: [1, 3, 4, 2],
        points: [1, 0, 2, 10, 3, 20],
        cells,
        index: 0,
        angle: 47,
        run: {},
    });
    const kinds = (/** @type {number} */ f) => {
        const s = film.at(f);
        return [s.kinds[0], s.kinds[1], s.lives, s.points, s.ballX, s.paddleX];
    };
    assert.deepEqual(kinds(4), [0, 0, 2, 20, 16, 103]);
    assert.deepEqual(kinds(1), [2, 2, 3, 0, 10, 100]);
    assert.deepEqual(kinds(3), [1, 0, 3, 20, 14, 102]);
    assert.deepEqual(kinds(2), [1, 2, 3, 10, 12, 101]);
    // Out of range frames show the first or the last.
    assert.deepEqual(kinds(99), kinds(4));
    assert.deepEqual(kinds(-5), kinds(1));
    assert.deepEqual(film.places[21], { x: 17, y: 11 });
});

test("levelcheck's cells become the grid: unplaced cells dropped, capsules kept", () => {
    const cells = new Array(300).fill(null).map(() => ({ kind: 0, capsule: false, row: -1, column: -1 }));
    cells[0] = { kind: 3, capsule: true, row: 0, column: 19 };
    cells[1] = { kind: 4, capsule: false, row: 14, column: 0 };
    cells[2] = { kind: 1, capsule: false, row: -1, column: -1 };
    const expected = new Grid();
    expected.put(19, 0, cellOf(3, true));
    expected.put(0, 14, cellOf('solid'));
    assert.ok(Grid.fromCheckCells(cells).equals(expected));
});
