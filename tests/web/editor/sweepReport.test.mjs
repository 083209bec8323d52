// A sweep's printout as the page shows it: its errors and notes at their
// cells, and each outcome's mark told apart by shape as well as colour.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { markOf, placeAtText, sweepLines } from '../../../web/editor/sweepReport.js';

test("the sweep's errors and notes are found with their places; every outcome has a shape of its own", () => {
    const output =
        'level1.txt: sweep: 60 serves, cleared 53 (88.3%), caged 5; frames ...\n' +
        'level1.txt:2:39: note: serve at 54 degrees loops from frame 2568 (every 5659 frames); 1 breakable brick left, here\n' +
        'odd: name:5:5: error: serve at 124 degrees cages the ball from frame 4365\n' +
        'levelcheck: 1 file checked, 1 with errors, 0 warnings\n';
    assert.deepEqual(
        sweepLines(output).map((l) => [l.severity, l.line, l.column]),
        [
            ['note', 2, 39],
            ['error', 5, 5],
        ],
    );
    const cells = [
        { line: 5, textColumn: 5, row: 4, column: 2 },
        { line: 2, textColumn: 39, row: -1, column: -1 },
    ];
    assert.deepEqual(placeAtText(cells, 5, 5), { col: 2, row: 4 });
    assert.equal(placeAtText(cells, 2, 39), null); // a pair the loader placed nowhere
    const marks = ['cleared', 'lost', 'loops', 'caged'].map(markOf);
    assert.equal(new Set(marks.map((m) => m.glyph)).size, 4);
    assert.equal(new Set(marks.map((m) => m.kind)).size, 4);
    assert.match(markOf('caged').label, /error/);
});
