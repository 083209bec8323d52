// Zips into the editor: its own download read back with the titles, a zip
// deflated by another program, and hostile zips refused with a message.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { test } from 'node:test';

import { readTitles, writeTitles } from '../../../web/editor/titlesFile.js';
import { isZip, unzipFiles } from '../../../web/editor/zipReader.js';
import { zipFiles } from '../../../web/editor/zipWriter.js';

const limits = { maxFileBytes: 64 * 1024 };
/** @param {Uint8Array} bytes */
const text = (bytes) => new TextDecoder().decode(bytes);

test("the editor's own zip comes back file for file, its titles with it", async () => {
    const titles = writeTitles(['The wall', '', 'Two\nlines']);
    const zip = zipFiles([
        { name: 'level1.txt', text: '1 \n' },
        { name: 'level2.txt', text: '' },
        { name: 'level3.txt', text: '# \n' },
        { name: 'titles.txt', text: titles },
    ]);
    assert.equal(isZip(zip), true);
    const files = await unzipFiles(zip, limits);
    assert.deepEqual(
        files.map((f) => [f.name, text(f.bytes)]),
        [
            ['level1.txt', '1 \n'],
            ['level2.txt', ''],
            ['level3.txt', '# \n'],
            ['titles.txt', titles],
        ],
    );
    assert.deepEqual(
        [...readTitles(titles)],
        [
            ['level1.txt', 'The wall'],
            ['level3.txt', 'Two lines'],
        ],
    );
    assert.equal(writeTitles(['', '']), '');
});

test('a zip another program deflated, under a folder, reads; hostile zips are refused with a message', async (t) => {
    if (!existsSync('/usr/bin/python3')) return t.skip('no python3 to make the zips');
    /** @param {string} script */
    const make = (script) =>
        new Uint8Array(
            execFileSync('/usr/bin/python3', [
                '-c',
                'import io, sys, zipfile\nb = io.BytesIO()\nz = zipfile.ZipFile(b, "w", zipfile.ZIP_DEFLATED)\n' +
                    `${script}\nz.close()\nsys.stdout.buffer.write(b.getvalue())`,
            ]),
        );
    const good = make('z.writestr("mylevels/", "")\nz.writestr("mylevels/level1.txt", "1 2 3 \\n" * 20)');
    assert.deepEqual(
        (await unzipFiles(good, limits)).map((f) => [f.name, text(f.bytes)]),
        [['level1.txt', '1 2 3 \n'.repeat(20)]],
    );

    const bomb = make('z.writestr("level1.txt", " " * (64 * 1024 * 1024))');
    // The header says how large; a header that lies is caught while inflating.
    const lying = bomb.slice();
    const view = new DataView(lying.buffer);
    for (let at = 0; at + 4 <= lying.length; ++at) {
        if (view.getUint32(at, true) === 0x02014b50) view.setUint32(at + 24, 100, true);
    }
    const damaged = zipFiles([{ name: 'level1.txt', text: '1 2 3 \n' }]);
    damaged[30 + 'level1.txt'.length] ^= 0x01;
    const hostile = {
        'climbs out': make('z.writestr("../level1.txt", "1 \\n")'),
        absolute: make('z.writestr("/etc/level1.txt", "1 \\n")'),
        'inflates to megabytes': bomb,
        'lies about its size': lying,
        'cut short': good.subarray(0, good.length - 30),
        'not a zip': new TextEncoder().encode('level1.txt'),
        'twice the same name': make('z.writestr("a/level1.txt", "1")\nz.writestr("b/level1.txt", "2")'),
    };
    for (const [what, zip] of Object.entries(hostile)) {
        await assert.rejects(
            unzipFiles(zip, limits),
            (error) => error instanceof Error && error.message.length > 0,
            what,
        );
    }
    await assert.rejects(unzipFiles(damaged, limits), /level1.txt in the zip is damaged/);
});
