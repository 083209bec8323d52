// Region tools on the grid: what a moved, pasted, flipped or shifted
// region leaves, written as the level's text.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { Drawing } from '../../../web/editor/drawing.js';
import { Grid, cellOf } from '../../../web/editor/grid.js';
import { writeLevelText } from '../../../web/editor/levelText.js';
import {
    copyRegion,
    deleteRegion,
    drawGrid,
    flipRegion,
    liftRegion,
    moveLifted,
    pasteClip,
    rectOf,
    shiftLevel,
    wholeGrid,
} from '../../../web/editor/regions.js';

/**
 * A grid from rows of one character a cell ("1", "2", "3", "#", "s" a one-hit capsule brick, "." empty).
 * @param {...string} rows
 */
function gridOf(...rows) {
    const grid = new Grid();
    rows.forEach((line, row) =>
        [...line].forEach((ch, col) => {
            if (ch === '.') return;
            grid.put(
                col,
                row,
                ch === 's'
                    ? cellOf(1, true)
                    : cellOf(ch === '#' ? 'solid' : /** @type {1 | 2 | 3} */ (Number(ch))),
            );
        }),
    );
    return grid;
}

test('a region moved over other bricks covers them with its bricks only, and gives them back when it moves on', () => {
    const start = gridOf('12.', '3s.', '...', '..##');
    const lifted = liftRegion(start, rectOf({ col: 0, row: 0 }, { col: 1, row: 1 }));
    // Down two rows: its bricks land on the solid brick's row, its hole keeps the brick under it.
    const down = moveLifted(lifted, 1, 2);
    assert.equal(writeLevelText(down.grid), '\n\n. 1 2 \n. 3 1S# \n');
    assert.deepEqual(down.rect, { left: 1, top: 2, right: 2, bottom: 3 });
    // On to the right edge (the step is cut short there) and back to the start.
    const edge = moveLifted(down.lifted, 40, 0);
    assert.deepEqual(edge.rect, { left: 18, top: 2, right: 19, bottom: 3 });
    assert.equal(
        writeLevelText(edge.grid),
        '\n\n. . . . . . . . . . . . . . . . . . 1 2 \n. . # # . . . . . . . . . . . . . . 3 1S\n',
    );
    assert.ok(moveLifted(edge.lifted, -18, -2).grid.equals(start));
});

test("copy, paste, delete and flips keep the cells and marks, and clip at the grid's edge", () => {
    const start = gridOf('1s3', '2.#');
    const clip = copyRegion(start, rectOf({ col: 2, row: 1 }, { col: 0, row: 0 }));
    assert.equal(
        writeLevelText(pasteClip(start, clip, { col: 18, row: 14 })),
        '1 1S3 \n2 . # \n' + '\n'.repeat(12) + '. . . . . . . . . . . . . . . . . . 1 1S\n',
    );
    assert.equal(
        writeLevelText(flipRegion(start, rectOf({ col: 0, row: 0 }, { col: 2, row: 1 }), 'leftRight')),
        '3 1S1 \n# . 2 \n',
    );
    assert.equal(
        writeLevelText(flipRegion(start, wholeGrid(), 'topBottom')),
        '\n'.repeat(13) + '2 . # \n1 1S3 \n',
    );
    assert.equal(
        writeLevelText(deleteRegion(start, rectOf({ col: 1, row: 0 }, { col: 1, row: 1 }))),
        '1 . 3 \n2 . # \n',
    );
    // None of them changed the grid it was given.
    assert.equal(writeLevelText(start), '1 1S3 \n2 . # \n');
});

test('the whole level shifts a cell either way, never dropping a brick off the edge', () => {
    const start = gridOf('.1', '..', '.#');
    assert.equal(writeLevelText(/** @type {Grid} */ (shiftLevel(start, 1, 1))), '\n. . 1 \n\n. . # \n');
    assert.equal(writeLevelText(/** @type {Grid} */ (shiftLevel(start, -1, 0))), '1 \n\n# \n');
    assert.equal(shiftLevel(start, 0, -1), null);
    assert.equal(shiftLevel(gridOf('...................1'), 1, 0), null);
});

test('a region change through the drawing is one undo step, which writes the text and takes it back as it was', () => {
    const drawing = new Drawing(gridOf('12', '3#'), undefined, '1 2 \r\n3 # \r\n');
    const moved = moveLifted(liftRegion(drawing.grid, rectOf({ col: 0, row: 0 }, { col: 1, row: 0 })), 3, 0);
    drawGrid(drawing, moved.grid);
    assert.equal(drawing.text, '. . . 1 2 \n3 # \n');
    drawing.undo();
    assert.equal(drawing.text, '1 2 \r\n3 # \r\n');
    assert.equal(writeLevelText(drawing.grid), '1 2 \n3 # \n');
    assert.equal(drawing.canUndo, false);
});
