// @ts-check
// The level editor page: wires the model modules (drawing, set, writers,
// links) to the page and to levelcheck in its workers. Everything a level
// means in play (how the text reads, its counts, its errors, how it
// sweeps) comes from levelcheck, the game's own code; this module only
// draws, writes and passes things on.

import { LevelCheckPool } from '../levelcheck/levelcheck-pool.js';
import { Grid } from './grid.js';
import { GridView, SCREEN_WIDTH, VIEW_HEIGHT, loadBrickImages, wholeScale } from './gridView.js';
import { LevelSet, levelFileName } from './levelSet.js';
import { writeLevelText } from './levelText.js';
import { MAX_FILE_BYTES, folderLevels, pickedOrder, staleLevels } from './levelFiles.js';
import { decodeShare, encodeShare, isShareFragment } from './shareCodec.js';
import { zipFiles } from './zipWriter.js';
import { startReplay, stopReplay } from './replayView.js';
import { playInPage } from './playGame.js';
import { keepSiteOffline } from '../game/offline.js';

keepSiteOffline(new URL('../', import.meta.url));

/** @typedef {import('./grid.js').Place} Place */
/** @typedef {import('./grid.js').Kind} Kind */
/** @typedef {import('../levelcheck/levelcheck.js').CheckResult} CheckResult */

const STORAGE_KEY = 'quadrell.editor.set';

/**
 * @template {HTMLElement} T
 * @param {string} id
 * @returns {T}
 */
function byId(id) {
    const element = document.getElementById(id);
    if (!element) throw new Error(`the page has no #${id}`);
    return /** @type {T} */ (element);
}

const canvas = /** @type {HTMLCanvasElement} */ (byId('grid'));
/** The room for the grid: the box's width, most of the window's height. */
const gridRoom = () => /** @type {const} */ ([byId('grid-box').clientWidth, Math.max(window.innerHeight * 0.7, 200)]);
// The touch layout and the grid's size from the start, before the brick
// images load: nothing on the page moves when they arrive.
document.body.classList.toggle('touch', navigator.maxTouchPoints > 0 || 'ontouchstart' in window);
{
    const scale = wholeScale(...gridRoom());
    canvas.width = SCREEN_WIDTH * scale;
    canvas.height = VIEW_HEIGHT * scale;
}
const textArea = /** @type {HTMLTextAreaElement} */ (byId('level-text'));
const titleInput = /** @type {HTMLInputElement} */ (byId('title'));
const notice = byId('notice');
const messageList = byId('messages');
const marks = byId('sweep-marks');
const sweepButton = /** @type {HTMLButtonElement} */ (byId('sweep-run'));
const sweepProgress = /** @type {HTMLProgressElement} */ (byId('sweep-progress'));

// ?workers=N sweeps on N workers instead of one per core (the benchmark compares like with like).
const workers = Number(new URLSearchParams(location.search).get('workers'));
const pool = new LevelCheckPool(Number.isInteger(workers) && workers > 0 && workers <= 64 ? { size: workers } : {});
const view = new GridView(canvas, await loadBrickImages(new URL('images/', import.meta.url)));
/** @type {LevelSet} */
let set = new LevelSet();
/** @type {Kind | 'capsule'} */
let tool = 1;
const mirror = { leftRight: false, topBottom: false };
view.mirror = mirror;
/** @type {CheckResult | null} the check of the text in the text box */
let lastCheck = null;
let checkSeq = 0;
/** @type {AbortController | null} */
let sweepControl = null;
/** @type {import('../levelcheck/levelcheck.js').SweepReport | null} */
let lastSweep = null;
/** @type {FileSystemDirectoryHandle | null} */
let folder = null;
/** Work opened from a link is stored only once the designer changes it. */
let storeOnChange = true;
// For the tests and the benchmark: how long each change took to show its messages.
/** @type {number[]} */
const checkTimes = [];

function drawing() {
    return set.level(set.current).drawing;
}

/** @param {string} text */
function showNotice(text, isError = false) {
    notice.textContent = text;
    notice.className = isError ? 'error' : '';
    notice.hidden = text === '';
}

// ---------------------------------------------------------------------------
// Changes and checks

/** After the designer changed the grid: the text rewritten, checked, stored. */
function gridChanged() {
    showGrid();
    markSweepStale();
    changed();
}

/** Shows the open level's grid and text, and checks it. */
function showGrid() {
    textArea.value = writeLevelText(drawing().grid);
    view.marked = null;
    redraw();
    check(false);
}

/** A change by the designer: kept in the browser from now on. */
function changed() {
    storeOnChange = true;
    store();
}

function redraw() {
    view.draw(drawing().grid);
    byId('undo').toggleAttribute('disabled', !drawing().canUndo);
    byId('redo').toggleAttribute('disabled', !drawing().canRedo);
}

/**
 * Checks the text in the box; when it was typed, the loader's reading of
 * it becomes the grid.
 * @param {boolean} typed
 */
async function check(typed) {
    const seq = ++checkSeq;
    // The tests wait for checked to reach changed: the newest change shown.
    document.body.dataset.changed = String(seq);
    const started = performance.now();
    const text = textArea.value;
    const name = levelFileName(set.current);
    let result;
    try {
        result = await pool.check(text, { name });
    } catch (error) {
        showNotice(`levelcheck failed: ${error instanceof Error ? error.message : String(error)}`, true);
        return;
    }
    if (!result || seq !== checkSeq) return;
    lastCheck = result;
    if (typed) {
        const grid = Grid.fromCheckCells(result.cells);
        if (!grid.equals(drawing().grid)) {
            drawing().replace(grid);
            view.marked = null;
            redraw();
            markSweepStale();
            changed();
        }
    }
    showCheck(result);
    checkTimes.push(performance.now() - started);
    document.body.dataset.checked = String(seq);
}

/** @param {CheckResult} result */
function showCheck(result) {
    const c = result.counts;
    byId('counts').textContent = `${c.bricks} bricks: ${c.oneHit} one-hit, ${c.twoHit} two-hit, ` +
        `${c.threeHit} three-hit, ${c.solid} solid; ${c.capsuleBricks} capsule; ${c.hits} hits, ${c.points} points`;
    byId('summary').textContent = result.summary;
    messageList.replaceChildren(...result.messages.map((m) => {
        const item = document.createElement('li');
        const button = document.createElement('button');
        button.type = 'button';
        button.className = m.severity;
        button.textContent = `${result.name}:${m.line}:${m.column}: ${m.severity}: ${m.text}`;
        button.addEventListener('click', () => pointAt(m, result));
        item.append(button);
        return item;
    }));
    if (result.messages.length === 0) {
        const item = document.createElement('li');
        item.className = 'clean';
        item.textContent = 'No errors or warnings.';
        messageList.append(item);
    }
}

/**
 * Marks a message's cell on the grid and its place in the text.
 * @param {import('../levelcheck/levelcheck.js').CheckMessage} message
 * @param {CheckResult} result
 */
function pointAt(message, result) {
    const cell = message.cell >= 0 ? result.cells[message.cell] : null;
    view.marked = cell && cell.row >= 0 && cell.column >= 0 ? { col: cell.column, row: cell.row } : null;
    redraw();
    const lines = textArea.value.split('\n');
    if (message.line <= lines.length) {
        let offset = 0;
        for (let i = 0; i < message.line - 1; ++i) offset += lines[i].length + 1;
        offset += message.column - 1;
        textArea.setSelectionRange(offset, offset + 2);
    }
    document.body.dataset.marked = view.marked ? `${view.marked.col},${view.marked.row}` : '';
}

let storeTimer = 0;
function store() {
    if (!storeOnChange) return;
    clearTimeout(storeTimer);
    storeTimer = window.setTimeout(storeNow, 150);
}

function storeNow() {
    clearTimeout(storeTimer);
    try {
        localStorage.setItem(STORAGE_KEY, set.toStorage());
    } catch (error) {
        showNotice(`The set could not be kept in this browser: ${String(error)}`, true);
    }
}

// ---------------------------------------------------------------------------
// Drawing with the mouse

// The drag under way: what it does, where it began and the last cell it reached.
/** @type {{mode: 'paint' | 'erase' | 'capsule' | 'fill', erase: boolean, start: Place, last: Place} | null} */
let drag = null;

/**
 * @param {Place} place
 * @param {'paint' | 'erase' | 'capsule'} mode
 */
function apply(place, mode) {
    if (mode === 'capsule') return drawing().toggleCapsule(place).length > 0;
    const kind = mode === 'erase' || tool === 'capsule' ? 'empty' : tool;
    return drawing().paint(place, kind).length > 0;
}

/**
 * The cells from a to b, so a fast drag leaves no gaps.
 * @param {Place} a
 * @param {Place} b
 * @returns {Place[]}
 */
function cellsBetween(a, b) {
    const steps = Math.max(Math.abs(b.col - a.col), Math.abs(b.row - a.row));
    /** @type {Place[]} */
    const places = [];
    for (let i = 1; i <= steps; ++i) {
        places.push({ col: Math.round(a.col + ((b.col - a.col) * i) / steps),
            row: Math.round(a.row + ((b.row - a.row) * i) / steps) });
    }
    return places;
}

canvas.addEventListener('contextmenu', (event) => event.preventDefault());
canvas.addEventListener('pointerdown', (event) => {
    const place = view.placeOf(event);
    if (!place) return;
    event.preventDefault();
    try {
        canvas.setPointerCapture(event.pointerId);
    } catch {
        // A pointer the browser no longer tracks: the drag just ends at the canvas's edge.
    }
    const erase = event.button === 2 || event.shiftKey;
    const mode = erase ? 'erase' : tool === 'capsule' ? 'capsule' : 'paint';
    if (byId('fill').matches(':checked') && mode !== 'capsule') {
        drag = { mode: 'fill', erase, start: place, last: place };
        view.pending = { a: place, b: place };
        redraw();
        return;
    }
    // Every cell of the drag is shown and checked at once, and undoes as one step.
    drag = { mode, erase, start: place, last: place };
    drawing().beginStroke();
    if (apply(place, mode)) gridChanged();
});
canvas.addEventListener('pointermove', (event) => {
    if (!drag) return;
    const place = view.placeOf(event);
    if (!place || (place.col === drag.last.col && place.row === drag.last.row)) return;
    if (drag.mode === 'fill') {
        drag.last = place;
        view.pending = { a: drag.start, b: place };
        redraw();
        return;
    }
    let painted = false;
    for (const p of cellsBetween(drag.last, place)) painted = apply(p, /** @type {'paint' | 'erase' | 'capsule'} */ (drag.mode)) || painted;
    drag.last = place;
    if (painted) gridChanged();
});
/** @param {PointerEvent} event */
function endDrag(event) {
    if (!drag) return;
    const ended = drag;
    drag = null;
    if (canvas.hasPointerCapture(event.pointerId)) canvas.releasePointerCapture(event.pointerId);
    if (ended.mode === 'fill') {
        view.pending = null;
        const kind = ended.erase || tool === 'capsule' ? 'empty' : tool;
        drawing().fill(ended.start, ended.last, kind);
        gridChanged();
        return;
    }
    drawing().endStroke();
    redraw();
}
canvas.addEventListener('pointerup', endDrag);
canvas.addEventListener('pointercancel', endDrag);

// ---------------------------------------------------------------------------
// Tools and keys

/** @param {Kind | 'capsule'} kind */
function selectTool(kind) {
    tool = kind;
    for (const button of byId('palette').querySelectorAll('button')) {
        const pressed = button.dataset.kind === String(kind);
        button.setAttribute('aria-pressed', String(pressed));
    }
}

for (const button of byId('palette').querySelectorAll('button')) {
    button.addEventListener('click', () => {
        const kind = button.dataset.kind ?? '1';
        selectTool(/** @type {Kind | 'capsule'} */ (/^[123]$/.test(kind) ? Number(kind) : kind));
    });
}

function setMirror() {
    mirror.leftRight = byId('mirror-lr').matches(':checked');
    mirror.topBottom = byId('mirror-tb').matches(':checked');
    drawing().mirror = mirror;
    redraw();
}
byId('mirror-lr').addEventListener('change', setMirror);
byId('mirror-tb').addEventListener('change', setMirror);

function undo() {
    if (drawing().undo()) gridChanged();
}
function redo() {
    if (drawing().redo()) gridChanged();
}
byId('undo').addEventListener('click', undo);
byId('redo').addEventListener('click', redo);

/** @type {Record<string, Kind | 'capsule'>} */
const toolKeys = { 1: 1, 2: 2, 3: 3, 4: 'solid', 0: 'empty', Delete: 'empty', s: 'capsule', S: 'capsule' };
document.addEventListener('keydown', (event) => {
    if (!byId('game').hidden) return;
    const target = /** @type {HTMLElement} */ (event.target);
    // Typing into the title or the text is not drawing; a ticked box keeps the keys.
    if (target.closest('input[type="text"], textarea, select')) return;
    const key = event.key;
    if (event.ctrlKey || event.metaKey) {
        if (key.toLowerCase() === 'z' && event.shiftKey) redo();
        else if (key.toLowerCase() === 'z') undo();
        else if (key.toLowerCase() === 'y') redo();
        else return;
        event.preventDefault();
        return;
    }
    if (event.altKey) return;
    if (key in toolKeys) selectTool(toolKeys[key]);
    else if (key === 'f' || key === 'F') byId('fill').click();
    else if (key === 'm' || key === 'M') byId('mirror-lr').click();
    else return;
    event.preventDefault();
});

textArea.addEventListener('input', () => {
    view.marked = null;
    check(true);
});

titleInput.addEventListener('input', () => {
    set.setTitle(set.current, titleInput.value);
    showLevels();
    changed();
});

// ---------------------------------------------------------------------------
// The set

/** Shows the open level: list, title, grid, text, and checks it. */
function openLevel() {
    drawing().mirror = mirror;
    titleInput.value = set.level(set.current).title;
    byId('file-name').textContent = levelFileName(set.current);
    clearSweep();
    showLevels();
    showGrid();
}

function showLevels() {
    byId('level-list').replaceChildren(...set.levels.map((level, index) => {
        const item = document.createElement('li');
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = level.title ? `${levelFileName(index)} · ${level.title}` : levelFileName(index);
        if (index === set.current) button.setAttribute('aria-current', 'true');
        button.addEventListener('click', () => {
            set.select(index);
            openLevel();
        });
        item.append(button);
        return item;
    }));
    byId('delete-level').toggleAttribute('disabled', false);
    byId('move-up').toggleAttribute('disabled', set.current === 0);
    byId('move-down').toggleAttribute('disabled', set.current === set.length - 1);
}

/** @param {number} index the level added, or -1 */
function added(index) {
    if (index < 0) {
        showNotice('A set holds at most 100 levels.', true);
        return;
    }
    openLevel();
    changed();
}

byId('add-level').addEventListener('click', () => added(set.add(set.current + 1)));
byId('duplicate-level').addEventListener('click', () => added(set.duplicate(set.current)));
byId('delete-level').addEventListener('click', () => {
    set.remove(set.current);
    openLevel();
    changed();
});
byId('move-up').addEventListener('click', () => {
    if (set.current > 0) set.move(set.current, set.current - 1);
    openLevel();
    changed();
});
byId('move-down').addEventListener('click', () => {
    if (set.current < set.length - 1) set.move(set.current, set.current + 1);
    openLevel();
    changed();
});
byId('new-set').addEventListener('click', () => {
    if (!window.confirm('Start a new set? The levels open now are forgotten unless you saved or downloaded them.')) return;
    startSet(new LevelSet(), true);
    folder = null;
    byId('save-folder').toggleAttribute('disabled', true);
    history.replaceState(null, '', location.pathname + location.search);
    storeNow();
});

/**
 * Makes a set the editor's.
 * @param {LevelSet} next
 * @param {boolean} stored whether changes go to the browser's storage at once
 */
function startSet(next, stored) {
    set = next;
    storeOnChange = stored;
    openLevel();
}

/**
 * The set of level texts, each read by the game's loader (levelcheck).
 * @param {{title?: string, text: string | Uint8Array, name?: string}[]} levels
 * @returns {Promise<LevelSet>}
 */
async function readLevels(levels) {
    const entries = [];
    for (let i = 0; i < levels.length; ++i) {
        const result = await pool.check(levels[i].text, { name: levels[i].name ?? levelFileName(i), quiet: true });
        if (!result) throw new Error('the check was cut short');
        entries.push({ title: levels[i].title ?? '', grid: Grid.fromCheckCells(result.cells) });
    }
    return new LevelSet(entries);
}

// ---------------------------------------------------------------------------
// Files: folders, picked files, downloads

/** @param {unknown} error */
function failed(error) {
    if (error instanceof DOMException && error.name === 'AbortError') return;
    showNotice(error instanceof Error ? error.message : String(error), true);
}

/** @param {File} file */
async function fileBytes(file) {
    if (file.size > MAX_FILE_BYTES) throw new Error(`${file.name} is ${file.size} bytes, too large for a level file`);
    return new Uint8Array(await file.arrayBuffer());
}

const canOpenFolders = 'showDirectoryPicker' in window;
byId('open-folder').toggleAttribute('disabled', !canOpenFolders);
if (!canOpenFolders) byId('open-folder').title = 'This browser cannot open folders: open files and download a zip';
byId('open-folder').addEventListener('click', async () => {
    try {
        // @ts-ignore: File System Access, Chromium only
        const handle = /** @type {FileSystemDirectoryHandle} */ (await window.showDirectoryPicker({ mode: 'readwrite' }));
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
        startSet(await readLevels(levels), true);
        folder = handle;
        byId('save-folder').toggleAttribute('disabled', false);
        showNotice(`Opened ${names.length} levels from the folder ${handle.name}.`);
    } catch (error) {
        failed(error);
    }
});

byId('save-folder').addEventListener('click', async () => {
    if (!folder) return;
    try {
        const files = set.files();
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
        for (const name of staleLevels(names, files.length)) await folder.removeEntry(name);
        showNotice(`Saved ${files.length} levels into the folder ${folder.name}.`);
    } catch (error) {
        failed(error);
    }
});

byId('open-files').addEventListener('change', async (event) => {
    const input = /** @type {HTMLInputElement} */ (event.target);
    try {
        const files = pickedOrder([...(input.files ?? [])]);
        if (files.length === 0) return;
        const levels = [];
        for (const file of files) levels.push({ name: file.name, text: await fileBytes(file) });
        startSet(await readLevels(levels), true);
        folder = null;
        byId('save-folder').toggleAttribute('disabled', true);
        showNotice(`Opened ${files.length} level files: ${files.map((f) => f.name).join(', ')}.`);
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
    download(new Blob([zipFiles(set.files())], { type: 'application/zip' }), 'levels.zip');
});
byId('download-level').addEventListener('click', () => {
    const file = set.files()[set.current];
    download(new Blob([file.text], { type: 'text/plain' }), file.name);
});

// ---------------------------------------------------------------------------
// Share links

function shareLevels() {
    return set.levels.map((level) => ({ title: level.title, text: writeLevelText(level.drawing.grid) }));
}

byId('copy-link').addEventListener('click', async () => {
    const encoded = await encodeShare(shareLevels());
    if (!encoded.ok) {
        showNotice(encoded.error, true);
        return;
    }
    history.replaceState(null, '', `#${encoded.fragment}`);
    // The game's own page takes the same fragment and starts with these levels.
    const playLink = new URL(`index.html#${encoded.fragment}`, location.href).href;
    let copied = true;
    try {
        await navigator.clipboard.writeText(location.href);
    } catch {
        copied = false;
    }
    showNotice(`${copied ? 'The link is copied; it is also in the address bar' : 'The link is in the address bar; copy it from there'}` +
        ` (${location.href.length} characters). To play straight away: ${playLink}`);
});

/** Opens a shared link; a bad one gives a message and an empty editor. */
async function openLink() {
    const decoded = await decodeShare(location.hash);
    if (!decoded.ok) {
        startSet(new LevelSet(), false);
        showNotice(`${decoded.error}. The editor is empty; your stored levels are untouched.`, true);
        return;
    }
    startSet(await readLevels(decoded.levels), false);
    const count = decoded.levels.length === 1 ? 'a level' : `${decoded.levels.length} levels`;
    showNotice(`Opened ${count} from a link. Press Play to play; a change here replaces your stored set.`);
}

// ---------------------------------------------------------------------------
// Sweep

function clearSweep() {
    sweepControl?.abort();
    stopReplay();
    byId('replay').hidden = true;
    lastSweep = null;
    marks.replaceChildren();
    byId('sweep-output').textContent = '';
    sweepProgress.hidden = true;
}

function markSweepStale() {
    byId('sweep').classList.toggle('stale', marks.childElementCount > 0);
}

sweepButton.addEventListener('click', async () => {
    if (sweepControl) {
        sweepControl.abort();
        return;
    }
    clearSweep();
    byId('sweep').classList.remove('stale');
    const text = textArea.value;
    const name = levelFileName(set.current);
    const control = new AbortController();
    sweepControl = control;
    sweepButton.textContent = 'Stop';
    sweepProgress.hidden = false;
    sweepProgress.value = 0;
    /** @type {HTMLButtonElement[]} */
    const buttons = [];
    try {
        const report = await pool.sweep(text, {
            name,
            quiet: true,
            signal: control.signal,
            onProgress: ({ done, total, index, run }) => {
                sweepProgress.max = total;
                sweepProgress.value = done;
                while (buttons.length < total) {
                    const button = document.createElement('button');
                    button.type = 'button';
                    button.className = 'pending';
                    const item = document.createElement('li');
                    item.append(button);
                    marks.append(item);
                    buttons.push(button);
                }
                showMark(buttons[index], index, run, text, name);
            },
        });
        byId('sweep-output').textContent = report.output;
        report.runs.forEach((run, i) => buttons[i] && showMark(buttons[i], i, run, text, name));
        lastSweep = report;
        document.body.dataset.swept = String(Date.now());
    } catch (error) {
        if (!(error instanceof DOMException && error.name === 'AbortError')) failed(error);
        else byId('sweep-output').textContent = 'Sweep stopped.';
    } finally {
        if (sweepControl === control) sweepControl = null;
        sweepButton.textContent = 'Sweep';
        sweepProgress.hidden = true;
    }
});

/**
 * @param {HTMLButtonElement} button
 * @param {number} index the serve angle's place in the sweep
 * @param {Record<string, string | number>} run
 * @param {string} text the level swept
 * @param {string} name
 */
function showMark(button, index, run, text, name) {
    const outcome = String(run.outcome);
    const kind = outcome === 'cleared' ? 'cleared' : outcome === 'loops' || outcome === 'caged' ? 'looping' : 'lost';
    button.className = kind;
    button.dataset.angle = String(run.angle);
    button.dataset.outcome = outcome;
    button.title = `serve at ${run.angle} degrees: ${outcome}` +
        (outcome === 'cleared' ? ` in ${run.frames} frames` : '') + '. Click to watch it.';
    button.onclick = () => startReplay(byId('replay'), pool, text, name, index).catch(failed);
}

byId('replay-close').addEventListener('click', () => {
    stopReplay();
    byId('replay').hidden = true;
});

// ---------------------------------------------------------------------------
// Play

byId('play').addEventListener('click', async () => {
    storeNow();
    try {
        await playInPage(byId('game'), /** @type {HTMLCanvasElement} */ (byId('game-canvas')), set.files(),
            (line) => console.log(line));
    } catch (error) {
        failed(error);
    }
    redraw();
});

// ---------------------------------------------------------------------------
// Start

function fit() {
    view.fit(...gridRoom());
    redraw();
}
window.addEventListener('resize', fit);
window.addEventListener('pagehide', () => {
    if (storeOnChange) storeNow();
});
window.addEventListener('hashchange', () => {
    if (isShareFragment(location.hash)) openLink().catch(failed);
});

selectTool(1);
fit();
if (isShareFragment(location.hash)) {
    await openLink();
} else {
    const stored = localStorage.getItem(STORAGE_KEY);
    const restored = stored === null ? null : LevelSet.fromStorage(stored);
    if (restored && !restored.ok) showNotice(`${restored.error}; starting with an empty level.`, true);
    startSet(restored && restored.ok ? restored.value : new LevelSet(), true);
}
// For the page's tests and benchmark.
Object.assign(window, { quadrellEditor: { get set() { return set; }, get lastSweep() { return lastSweep; }, pool, checkTimes } });
