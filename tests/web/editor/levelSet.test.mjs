// A set of levels: its order and names, storage across a reload, and the
// zip a designer downloads.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

import { LevelSet, MAX_LEVELS } from '../../../web/editor/levelSet.js';
import { zipFiles } from '../../../web/editor/zipWriter.js';

/**
 * A set of levels, each with one brick of the given kind in its first cell.
 * @param {...import('../../../web/editor/grid.js').Kind} kinds
 */
function setOf(...kinds) {
    const set = new LevelSet();
    kinds.forEach((kind, i) => {
        if (i > 0) set.add();
        set.level(i).drawing.paint({ col: 0, row: 0 }, kind);
        set.setTitle(i, `L${i + 1}`);
    });
    return set;
}

const titles = (/** @type {LevelSet} */ set) => set.levels.map((l) => l.title);

test('levels are added, copied, moved and deleted, named by position, the open one kept open', () => {
    const set = setOf(1, 2, 3);
    assert.deepEqual(
        set.files().map((f) => f.name),
        ['level1.txt', 'level2.txt', 'level3.txt'],
    );
    assert.equal(set.duplicate(0), 1);
    assert.deepEqual(titles(set), ['L1', 'L1', 'L2', 'L3']);
    // The copy draws on its own grid.
    set.level(1).drawing.paint({ col: 1, row: 0 }, 'solid');
    assert.deepEqual(
        set
            .files()
            .slice(0, 2)
            .map((f) => f.text),
        ['1 \n', '1 # \n'],
    );

    set.select(2);
    set.move(3, 0);
    assert.deepEqual(titles(set), ['L3', 'L1', 'L1', 'L2']);
    assert.equal(set.level(set.current).title, 'L2');
    set.remove(0);
    assert.deepEqual(titles(set), ['L1', 'L1', 'L2']);
    assert.equal(set.current, 2);
    set.remove(2); // the open level goes: its neighbour opens
    assert.equal(set.current, 1);
    set.remove(0);
    set.remove(0); // the last one left is emptied, not removed
    assert.equal(set.length, 1);
    assert.deepEqual(set.files(), [{ name: 'level1.txt', text: '' }]);
    assert.throws(() => set.level(1), RangeError);

    for (let i = 1; i < MAX_LEVELS; ++i) set.add();
    assert.equal(set.add(), -1);
    assert.equal(set.duplicate(0), -1);
});

test('storage round-trips the set and refuses what it did not write', () => {
    const set = setOf(1, 'solid', 3);
    set.level(1).drawing.toggleCapsule({ col: 0, row: 0 });
    set.select(1);
    const back = LevelSet.fromStorage(set.toStorage());
    assert.equal(back.ok, true);
    assert.deepEqual(back.value.files(), set.files());
    assert.deepEqual(titles(back.value), ['L1', 'L2', 'L3']);
    assert.equal(back.value.current, 1);

    const good = JSON.parse(set.toStorage());
    const variants = [
        '{',
        JSON.stringify({ ...good, format: 'other' }),
        JSON.stringify({ ...good, version: 3 }),
        JSON.stringify({ ...good, levels: [{ ...good.levels[0], text: 7 }] }),
        JSON.stringify({ ...good, levels: [{ ...good.levels[0], text: 'x'.repeat(20000) }] }),
        JSON.stringify({ ...good, levels: [] }),
        JSON.stringify({ ...good, levels: [{ title: 'a', cells: '1' }] }),
        JSON.stringify({ ...good, levels: [{ title: 7, cells: good.levels[0].cells }] }),
        JSON.stringify({ ...good, levels: new Array(MAX_LEVELS + 1).fill(good.levels[0]) }),
    ];
    for (const stored of variants) {
        const result = LevelSet.fromStorage(stored);
        assert.equal(result.ok, false, stored.slice(0, 80));
        assert.match(result.error, /^the stored levels cannot be used: /);
    }
    // A stale open level falls back to the first.
    const stale = LevelSet.fromStorage(JSON.stringify({ ...good, current: 9 }));
    assert.ok(stale.ok);
    assert.equal(stale.value.current, 0);
});

test('a set of three levels, edited, zips into exactly its three files in order', () => {
    const set = setOf(1, 2, 3);
    set.level(1).drawing.fill({ col: 0, row: 1 }, { col: 2, row: 1 }, 'solid');
    const zip = zipFiles(set.files(), new Date(2026, 4, 17, 9, 30, 12));
    assert.throws(() => zipFiles([{ name: '../x.txt', text: '' }]), RangeError);
    assert.throws(
        () =>
            zipFiles([
                { name: 'a', text: '' },
                { name: 'a', text: '' },
            ]),
        RangeError,
    );

    // Read back by an unzip program that is not ours.
    const python = '/usr/bin/python3';
    if (!existsSync(python)) return;
    const dir = mkdtempSync(join(tmpdir(), 'editor-zip-'));
    try {
        writeFileSync(join(dir, 'set.zip'), zip);
        const listing = execFileSync(
            python,
            [
                '-c',
                `
import json, sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
assert z.testzip() is None
print(json.dumps([[i.filename, z.read(i).decode(), list(i.date_time)] for i in z.infolist()]))
`,
                join(dir, 'set.zip'),
            ],
            { encoding: 'utf8' },
        );
        assert.deepEqual(JSON.parse(listing), [
            ['level1.txt', '1 \n', [2026, 5, 17, 9, 30, 12]],
            ['level2.txt', '2 \n# # # \n', [2026, 5, 17, 9, 30, 12]],
            ['level3.txt', '3 \n', [2026, 5, 17, 9, 30, 12]],
        ]);
    } finally {
        rmSync(dir, { recursive: true, force: true });
    }
});

test('undo runs across the set in the order things were done: a deleted level and a cleared set come back whole', () => {
    const set = setOf(1, 2, 3);
    set.select(1);
    set.level(1).drawing.paint({ col: 5, row: 5 }, 'solid');
    const second = set.level(1);
    set.remove(1);
    set.level(0).drawing.paint({ col: 9, row: 9 }, 3);
    set.clear();
    assert.equal(set.length, 1);

    assert.equal(set.undo(), 'levels');
    assert.deepEqual(titles(set), ['L1', 'L3']);
    assert.equal(set.undo(), 'grid'); // the stroke on level 1, after the deletion
    assert.equal(set.current, 0);
    assert.equal(set.files()[0].text, '1 \n');
    assert.equal(set.undo(), 'levels');
    assert.equal(set.level(1), second); // the very level, with its history
    assert.equal(set.current, 1);
    assert.equal(set.undo(), 'grid');
    assert.equal(set.files()[1].text, '2 \n');
    assert.equal(set.redo(), 'grid');
    assert.equal(set.files()[1].text, '2 \n\n\n\n\n. . . . . # \n');

    // Storage keeps each level's text exactly; an older page's set (no texts) reads as its grids written out.
    set.level(2).drawing.replace(set.level(2).drawing.grid.clone(), '3 \n; a note the game skips\n');
    const back = LevelSet.fromStorage(set.toStorage());
    assert.ok(back.ok);
    assert.deepEqual(back.value.files(), set.files());
    const old = JSON.parse(set.toStorage());
    old.version = 1;
    for (const level of old.levels) delete level.text;
    const older = LevelSet.fromStorage(JSON.stringify(old));
    assert.ok(older.ok);
    assert.equal(older.value.files()[2].text, '3 \n');
});
