// @ts-check
// The files panel: opening a folder, picked files or a zip, saving back
// to the folder, and downloading the set as a zip or the open level as a
// file. The titles travel beside the levels in titles.txt.

import { Grid } from './grid.js';
import { LevelSet, levelFileName } from './levelSet.js';
import { MAX_FILE_BYTES, folderLevels, pickedOrder, staleLevels } from './levelFiles.js';
import { byId, editor, failed, on, showNotice } from './pageContext.js';
import { keepAsNewSet } from './setsPanel.js';
import { TITLES_FILE, readTitles, writeTitles } from './titlesFile.js';
import { MAX_ZIP_BYTES, isZip, unzipFiles } from './zipReader.js';
import { zipFiles } from './zipWriter.js';

/** The set's files as the game reads them, and titles.txt when a level has a title. */
function setFiles() {
    const files = editor.set.files();
    const titles = writeTitles(editor.set.levels.map((l) => l.title));
    return titles ? [...files, { name: TITLES_FILE, text: titles }] : files;
}

/**
 * Level files with their titles from a titles file among them.
 * @param {{name: string, text: Uint8Array}[]} levels
 * @param {Uint8Array | undefined} titlesBytes
 */
function titled(levels, titlesBytes) {
    const titles = titlesBytes ? readTitles(new TextDecoder().decode(titlesBytes)) : new Map();
    return levels.map((l) => ({ ...l, title: titles.get(l.name) ?? '' }));
}

/** @type {FileSystemDirectoryHandle | null} */
let folder = null;

/** @param {FileSystemDirectoryHandle | null} handle the folder Save writes to */
export function setFolder(handle) {
    folder = handle;
    byId('save-folder').toggleAttribute('disabled', folder === null);
}

/**
 * The set of level texts, each kept exactly as it is, with the game
 * loader's reading of it (levelcheck) as its grid.
 * @param {{title?: string, text: string | Uint8Array, name?: string}[]} levels
 * @returns {Promise<LevelSet>}
 */
export async function readLevels(levels) {
    const entries = [];
    for (let i = 0; i < levels.length; ++i) {
        const given = levels[i].text;
        // Level files are ASCII; a stray byte shows as U+FFFD in the text and reads as the game reads that byte.
        const text = typeof given === 'string' ? given : new TextDecoder().decode(given);
        // The page's own checks (a keystroke meanwhile) supersede this one,
        // which then answers null: ask again rather than fail the opening.
        let result = null;
        for (let tries = 0; !result && tries < 20; ++tries) {
            result = await editor.pool.check(given, {
                name: levels[i].name ?? levelFileName(i),
                quiet: true,
            });
        }
        if (!result) throw new Error('the check was cut short');
        entries.push({ title: levels[i].title ?? '', grid: Grid.fromCheckCells(result.cells), text });
    }
    return new LevelSet(entries);
}

/**
 * @param {File} file
 * @param {number} [limit]
 */
async function fileBytes(file, limit = MAX_FILE_BYTES) {
    if (file.size > limit) throw new Error(`${file.name} is ${file.size} bytes, too large for a level file`);
    return new Uint8Array(await file.arrayBuffer());
}

const canOpenFolders = 'showDirectoryPicker' in window;
byId('open-folder').toggleAttribute('disabled', !canOpenFolders);
if (!canOpenFolders)
    byId('open-folder').title = 'This browser cannot open folders: open files and download a zip';
byId('open-folder').addEventListener('click', async () => {
    try {
        // File System Access, Chromium only.
        const opened = /** @type {any} */ (window).showDirectoryPicker({ mode: 'readwrite' });
        const handle = /** @type {FileSystemDirectoryHandle} */ (await opened);
        /** @type {Map<string, FileSystemFileHandle>} */
        const files = new Map();
        // @ts-ignore: async iteration of a folder
        for await (const [name, entry] of handle.entries()) if (entry.kind === 'file') files.set(name, entry);
        const names = folderLevels(files.keys());
        if (names.length === 0) throw new Error(`${handle.name} holds no level1.txt`);
        const levels = [];
        for (const name of names) {
            const file = await /** @type {FileSystemFileHandle} */ (files.get(name)).getFile();
            levels.push({ name, text: await fileBytes(file) });
        }
        const titlesHandle = files.get(TITLES_FILE);
        const titlesBytes = titlesHandle ? await fileBytes(await titlesHandle.getFile()) : undefined;
        keepAsNewSet(handle.name, await readLevels(titled(levels, titlesBytes)));
        setFolder(handle);
        showNotice(`Opened ${names.length} levels from the folder ${handle.name} as a new set.`);
    } catch (error) {
        failed(error);
    }
});

byId('save-folder').addEventListener('click', async () => {
    if (!folder) return;
    try {
        const files = setFiles();
        for (const file of files) {
            const handle = await folder.getFileHandle(file.name, { create: true });
            const writable = await handle.createWritable();
            await writable.write(file.text);
            await writable.close();
        }
        const names = [];
        // @ts-ignore: async iteration of a folder
        for await (const name of folder.keys()) names.push(name);
        // Level files past the set's last would play after it.
        for (const name of staleLevels(names, editor.set.length)) await folder.removeEntry(name);
        // An old titles file would give these levels another set's titles.
        if (!files.some((f) => f.name === TITLES_FILE) && names.includes(TITLES_FILE))
            await folder.removeEntry(TITLES_FILE);
        showNotice(`Saved ${editor.set.length} levels into the folder ${folder.name}.`);
    } catch (error) {
        failed(error);
    }
});

byId('open-files').addEventListener('change', async (event) => {
    const input = /** @type {HTMLInputElement} */ (event.target);
    try {
        const picked = [...(input.files ?? [])];
        if (picked.length === 0) return;
        /** @type {{name: string, text: Uint8Array}[]} */
        let levels = [];
        /** @type {Uint8Array | undefined} */
        let titlesBytes;
        let from = '';
        for (const file of picked) {
            const bytes = await fileBytes(file, MAX_ZIP_BYTES);
            if (isZip(bytes)) {
                // A zip is a set of its own: level1.txt and on, in the game's order.
                const inside = await unzipFiles(bytes, { maxFileBytes: MAX_FILE_BYTES });
                const byName = new Map(inside.map((f) => [f.name, f.bytes]));
                const names = folderLevels(byName.keys());
                if (names.length === 0) throw new Error(`${file.name} holds no level1.txt`);
                levels = names.map((name) => ({ name, text: /** @type {Uint8Array} */ (byName.get(name)) }));
                titlesBytes = byName.get(TITLES_FILE);
                from = file.name;
                break;
            }
            if (bytes.length > MAX_FILE_BYTES)
                throw new Error(`${file.name} is ${bytes.length} bytes, too large for a level file`);
            if (file.name === TITLES_FILE) titlesBytes = bytes;
            else levels.push({ name: file.name, text: bytes });
        }
        levels = pickedOrder(levels);
        if (levels.length === 0) throw new Error('no level file was picked');
        const names = levels.map((f) => f.name).join(', ');
        const setName =
            from || (levels.length === 1 ? names : `${levels[0].name} and ${levels.length - 1} more`);
        keepAsNewSet(setName, await readLevels(titled(levels, titlesBytes)));
        showNotice(
            `Opened ${levels.length} level files as a new set${from ? ` from ${from}` : ''}: ${names}.`,
        );
    } catch (error) {
        failed(error);
    } finally {
        input.value = '';
    }
});

/**
 * @param {Blob} blob
 * @param {string} name
 */
function download(blob, name) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

byId('download-zip').addEventListener('click', () => {
    download(
        new Blob([/** @type {Uint8Array<ArrayBuffer>} */ (zipFiles(setFiles()))], {
            type: 'application/zip',
        }),
        'levels.zip',
    );
});
byId('download-level').addEventListener('click', () => {
    const file = editor.set.files()[editor.set.current];
    download(new Blob([file.text], { type: 'text/plain' }), file.name);
});

// A folder belongs to the set opened from it.
on('set-switched', () => setFolder(null));
