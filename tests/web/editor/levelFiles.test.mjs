// Which files of a folder or a pick form the set, and in what order.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { folderLevels, levelNumber, pickedOrder, staleLevels } from '../../../web/editor/levelFiles.js';

test('a folder is read as the game reads it: level1.txt on, up to the first gap', () => {
    const names = [
        'level3.txt',
        'level1.txt',
        'notes.txt',
        'level2.txt',
        'level5.txt',
        'Level4.txt',
        'level01.txt',
    ];
    assert.deepEqual(folderLevels(names), ['level1.txt', 'level2.txt', 'level3.txt']);
    assert.deepEqual(folderLevels(['level2.txt']), []);
    assert.deepEqual(
        ['level0.txt', 'level07.txt', 'level12.txt', 'level1.txt.bak'].map(levelNumber),
        [0, 0, 12, 0],
    );
});

test('picked files: numbered ones by number, the rest after them by name; a save removes level files past the set', () => {
    const picked = ['b.txt', 'level10.txt', 'a.txt', 'level2.txt'].map((name) => ({ name }));
    assert.deepEqual(
        pickedOrder(picked).map((f) => f.name),
        ['level2.txt', 'level10.txt', 'a.txt', 'b.txt'],
    );
    assert.equal(
        pickedOrder(Array.from({ length: 150 }, (_, i) => ({ name: `level${i + 1}.txt` }))).length,
        100,
    );
    assert.deepEqual(staleLevels(['level1.txt', 'level4.txt', 'level3.txt', 'notes.txt', 'level30.txt'], 3), [
        'level4.txt',
        'level30.txt',
    ]);
});
