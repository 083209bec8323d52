// The grid, drawing on it and its undo history.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { Drawing } from '../../../web/editor/drawing.js';
import { CELL_COUNT, EMPTY, Grid, cellOf } from '../../../web/editor/grid.js';
import { changedLines, lineList, writeLevelText } from '../../../web/editor/levelText.js';

/** @typedef {import('../../../web/editor/grid.js').Kind} Kind */

/**
 * The grid's bricks as "col,row:kind[S]" strings, for short comparisons.
 * @param {Grid} grid
 */
function bricks(grid) {
    /** @type {string[]} */
    const out = [];
    grid.cells.forEach((c, i) => {
        if (c.kind !== 'empty') out.push(`${i % 20},${Math.floor(i / 20)}:${c.kind}${c.capsule ? 'S' : ''}`);
    });
    return out.sort();
}

test('mirrors paint about the middle column and the middle row, each switchable', () => {
    const d = new Drawing();
    d.paint({ col: 2, row: 3 }, 1);
    d.mirror.leftRight = true;
    d.paint({ col: 0, row: 0 }, 2);
    d.mirror.topBottom = true;
    d.paint({ col: 4, row: 1 }, 'solid');
    // The middle row maps to itself and the two middle columns onto each other.
    d.paint({ col: 9, row: 7 }, 3);
    d.mirror.leftRight = false;
    d.paint({ col: 5, row: 14 }, 1);
    assert.deepEqual(
        bricks(d.grid),
        [
            '0,0:2',
            '10,7:3',
            '15,1:solid',
            '15,13:solid',
            '19,0:2',
            '2,3:1',
            '4,1:solid',
            '4,13:solid',
            '5,0:1',
            '5,14:1',
            '9,7:3',
        ].sort(),
    );
});

test('a rectangle fill covers the corners in any order, with its mirror, as one step', () => {
    const d = new Drawing();
    d.mirror.leftRight = true;
    const changed = d.fill({ col: 3, row: 4 }, { col: 1, row: 2 }, 3);
    assert.equal(changed.length, 18);
    assert.equal(bricks(d.grid).length, 18);
    assert.equal(d.grid.at(18, 3).kind, 3);
    assert.equal(d.grid.at(4, 3).kind, 'empty');
    // Corners outside the grid are clipped, not an error.
    d.fill({ col: -5, row: 13 }, { col: 0, row: 40 }, 'solid');
    assert.equal(d.grid.at(0, 14).kind, 'solid');
    assert.equal(d.grid.at(19, 13).kind, 'solid');
    d.undo();
    assert.equal(d.grid.at(0, 14).kind, 'empty');
    d.undo();
    assert.ok(d.grid.isEmpty());
    assert.equal(d.canUndo, false);
});

test('a stroke undoes and redoes as one step, painting back within it is no change', () => {
    const d = new Drawing();
    d.paint({ col: 0, row: 0 }, 1);
    d.beginStroke();
    for (let col = 0; col < 6; ++col) d.paint({ col, row: 0 }, 2);
    d.paint({ col: 5, row: 0 }, 'empty');
    d.erase({ col: 4, row: 0 });
    const changed = d.endStroke();
    assert.deepEqual(changed.map((p) => p.col).sort(), [0, 1, 2, 3]);
    assert.deepEqual(bricks(d.grid), ['0,0:2', '1,0:2', '2,0:2', '3,0:2']);
    assert.equal(d.undo()?.length, 4);
    assert.deepEqual(bricks(d.grid), ['0,0:1']);
    d.redo();
    assert.deepEqual(bricks(d.grid), ['0,0:2', '1,0:2', '2,0:2', '3,0:2']);
    // A stroke that changed nothing leaves no step behind.
    d.beginStroke();
    d.paint({ col: 0, row: 0 }, 2);
    d.endStroke();
    d.undo();
    assert.deepEqual(bricks(d.grid), ['0,0:1']);
});

test("the capsule mark toggles on bricks only; a drag gives every brick the first one's new mark", () => {
    const d = new Drawing();
    d.fill({ col: 0, row: 0 }, { col: 2, row: 0 }, 1);
    d.toggleCapsule({ col: 1, row: 0 });
    assert.equal(d.grid.at(1, 0).capsule, true);
    d.beginStroke();
    d.toggleCapsule({ col: 0, row: 0 });
    d.toggleCapsule({ col: 1, row: 0 });
    d.toggleCapsule({ col: 2, row: 0 });
    d.toggleCapsule({ col: 0, row: 0 });
    d.toggleCapsule({ col: 3, row: 0 }); // empty: nothing to mark
    d.endStroke();
    assert.deepEqual(bricks(d.grid), ['0,0:1S', '1,0:1S', '2,0:1S']);
    // Repainting a brick keeps its mark, erasing drops it, and empty
    // cells never hold one.
    d.paint({ col: 0, row: 0 }, 'solid');
    d.erase({ col: 1, row: 0 });
    d.paint({ col: 1, row: 0 }, 3);
    assert.deepEqual(bricks(d.grid), ['0,0:solidS', '1,0:3', '2,0:1S']);
    assert.equal(cellOf('empty', true), EMPTY);
});

test('history keeps hundreds of steps, a new change ends the redos, and a limit drops the oldest', () => {
    const d = new Drawing();
    for (let i = 0; i < 250; ++i)
        d.paint({ col: i % 20, row: Math.floor(i / 20) % 15 }, /** @type {Kind} */ ((i % 3) + 1));
    let undone = 0;
    while (d.undo()) ++undone;
    assert.equal(undone, 250);
    assert.ok(d.grid.isEmpty());
    d.redo();
    d.redo();
    assert.equal(d.canRedo, true);
    d.paint({ col: 7, row: 7 }, 'solid');
    assert.equal(d.canRedo, false);
    assert.equal(d.redo(), null);
    assert.deepEqual(bricks(d.grid), ['0,0:1', '1,0:2', '7,7:solid']);

    const short = new Drawing(new Grid(), 3);
    for (let col = 0; col < 5; ++col) short.paint({ col, row: 0 }, 1);
    while (short.undo());
    assert.deepEqual(bricks(short.grid), ['0,0:1', '1,0:1']);
});

test('a grid read by the loader, replaced as one step', () => {
    // The loader's cells: kind 0 to 4, rectangles 16 by 10 apart from
    // (1, 1); one past the screen's right edge, one below the grid.
    const loaded = Grid.fromLoaderCells([
        { kind: 1, present: true, hasPowerUp: 0, rect: { x: 1, y: 1 } },
        { kind: 4, present: true, hasPowerUp: 1, rect: { x: 305, y: 141 } },
        { kind: 0, present: false, hasPowerUp: 1, rect: { x: 17, y: 1 } },
        { kind: 3, present: true, hasPowerUp: true, rect: { x: 33, y: 11 } },
        { kind: 2, present: true, hasPowerUp: 0, rect: { x: 321, y: 1 } },
        { kind: 2, present: true, hasPowerUp: 0, rect: { x: 1, y: 151 } },
    ]);
    assert.deepEqual(bricks(loaded), ['0,0:1', '19,14:solidS', '2,1:3S']);

    const d = new Drawing();
    d.paint({ col: 5, row: 5 }, 2);
    d.replace(loaded, writeLevelText(loaded));
    assert.deepEqual(bricks(d.grid), bricks(loaded));
    d.undo();
    assert.deepEqual(bricks(d.grid), ['5,5:2']);
});

test('the storage code round-trips every cell and refuses anything else', () => {
    const d = new Drawing();
    /** @type {Kind[]} */ (['empty', 1, 2, 3, 'solid']).forEach((kind, col) =>
        d.paint({ col, row: 0 }, kind),
    );
    /** @type {Kind[]} */ ([1, 2, 3, 'solid']).forEach((kind, col) => {
        d.paint({ col, row: 14 }, kind);
        d.toggleCapsule({ col, row: 14 });
    });
    const code = d.grid.toCode();
    assert.equal(code.length, CELL_COUNT);
    assert.ok(Grid.fromCode(code)?.equals(d.grid));
    for (const bad of [42, code.slice(1), '?' + code.slice(1)]) assert.equal(Grid.fromCode(bad), null);
});

test("a level's text is kept as given: typing is one step with its reading, only a grid change writes the text anew", () => {
    const typed = '1 x\n\n# \n';
    const reading = new Grid();
    reading.put(0, 0, cellOf(1));
    reading.put(0, 2, cellOf('solid'));
    const d = new Drawing();
    d.type(typed);
    assert.equal(d.typing, true);
    assert.equal(d.text, typed);
    d.replace(reading, typed);
    assert.equal(d.typing, false);
    assert.equal(d.text, typed); // kept, not rewritten
    d.paint({ col: 1, row: 1 }, 2);
    assert.equal(d.text, '1 \n. 2 \n# \n');
    assert.deepEqual(changedLines(typed, d.text), [1, 2]);
    assert.equal(lineList([1, 2, 3, 7, 9]), '1-3, 7 and 9');
    d.undo();
    assert.equal(d.text, typed);
    d.undo();
    assert.equal(d.text, '');
    assert.ok(d.grid.isEmpty());
    d.redo();
    assert.equal(d.text, typed);
});

test('a rectangle with the capsule tool marks its bricks, the first deciding, as one step', () => {
    const d = new Drawing();
    d.fill({ col: 0, row: 0 }, { col: 3, row: 0 }, 2);
    d.toggleCapsule({ col: 3, row: 0 });
    d.markCapsules({ col: 0, row: 0 }, { col: 4, row: 1 });
    assert.deepEqual(bricks(d.grid), ['0,0:2S', '1,0:2S', '2,0:2S', '3,0:2S']);
    d.undo();
    assert.deepEqual(bricks(d.grid), ['0,0:2', '1,0:2', '2,0:2', '3,0:2S']);

    // A whole grid put in place (as a region tool would) is one grid edit: the text written anew.
    d.replace(d.grid.clone(), '; kept as typed\n2 2 2 2S\n');
    const moved = new Grid();
    moved.put(5, 1, cellOf('solid'));
    d.setGrid(moved);
    assert.equal(d.text, '\n. . . . . # \n');
    d.undo();
    assert.equal(d.text, '; kept as typed\n2 2 2 2S\n');
});
