// @ts-check
// The text and check panel: the level file's text beside the grid, and
// levelcheck's counts, summary and messages for it. Everything a level
// means in play (how the text reads, its counts, its errors) comes from
// levelcheck, the game's own code, in its workers.

import { Grid } from './grid.js';
import { redraw } from './gridPanel.js';
import { levelFileName } from './levelSet.js';
import { changedLines, lineList } from './levelText.js';
import { byId, drawing, editor, emit, on, showNotice } from './pageContext.js';
import { placeAtText } from './sweepReport.js';

/** @typedef {import('../levelcheck/levelcheck.js').CheckResult} CheckResult */

const textArea = /** @type {HTMLTextAreaElement} */ (byId('level-text'));
const messageList = byId('messages');
const { view, pool } = editor;
let checkSeq = 0;
// For the tests and the benchmark: how long each of the latest changes took to show its messages.
/** @type {number[]} */
export const checkTimes = [];
const KEPT_CHECK_TIMES = 1000;

const textNote = byId('text-note');

/** Shows the open level's grid and its text as it is, and checks it. */
function showLevel() {
    if (textArea.value !== drawing().text) textArea.value = drawing().text;
    view.marked = null;
    redraw();
    check();
}

/**
 * Checks the open level's text; the loader's reading of it becomes the
 * grid when it is not already (typed text, once read, is one undo step).
 */
async function check() {
    const seq = ++checkSeq;
    // The tests wait for checked to reach changed: the newest change shown.
    document.body.dataset.changed = String(seq);
    const started = performance.now();
    const level = drawing();
    const text = level.text;
    const name = levelFileName(editor.set.current);
    let result;
    try {
        result = await pool.check(text, { name });
    } catch (error) {
        showNotice(`levelcheck failed: ${error instanceof Error ? error.message : String(error)}`, true);
        return;
    }
    if (!result || seq !== checkSeq) return;
    editor.lastCheck = result;
    const grid = Grid.fromCheckCells(result.cells);
    if (level === drawing() && level.text === text && (level.typing || !grid.equals(level.grid))) {
        const moved = level.replace(grid, text).length > 0;
        redraw();
        if (moved) emit('text-read');
        emit('set-changed');
    }
    showCheck();
    checkTimes.push(performance.now() - started);
    if (checkTimes.length > KEPT_CHECK_TIMES) checkTimes.splice(0, checkTimes.length - KEPT_CHECK_TIMES);
    document.body.dataset.checked = String(seq);
    emit('checked');
}

/**
 * A message as a button that points at its place.
 * @param {string} severity
 * @param {string} text
 * @param {() => void} point
 */
function messageItem(severity, text, point) {
    const item = document.createElement('li');
    const button = document.createElement('button');
    button.type = 'button';
    button.className = severity;
    button.textContent = text;
    button.addEventListener('click', point);
    item.append(button);
    return item;
}

/** Shows the check of the open level and the last sweep's errors, and draws the errors on the grid. */
function showCheck() {
    const result = editor.lastCheck;
    if (!result) return;
    const c = result.counts;
    // levelcheck's own words, so the page and the tool read alike.
    const counts = byId('counts');
    counts.textContent =
        `${c.bricks} bricks (1-hit ${c.oneHit}, 2-hit ${c.twoHit}, 3-hit ${c.threeHit}, ` +
        `solid ${c.solid}), ${c.capsuleBricks} power-up bricks; ${c.hits} hits, ${c.points} points`;
    counts.title = counts.textContent;
    byId('summary').textContent = result.summary;
    const items = result.messages.map((m) =>
        messageItem(m.severity, `${result.name}:${m.line}:${m.column}: ${m.severity}: ${m.text}`, () =>
            pointAt(m.line, m.column, m.cell),
        ),
    );
    // A caged serve is the level's error as much as a walled-in brick: it is listed with them.
    // The sweep prints the check's own errors too: those are listed once, above.
    const own = new Set(result.messages.map((m) => `${m.line}:${m.column}: ${m.text}`));
    for (const e of editor.sweepErrors.filter((x) => !own.has(`${x.line}:${x.column}: ${x.text}`))) {
        const item = messageItem(
            'error',
            `${result.name}:${e.line}:${e.column}: error: ${e.text} (sweep` +
                `${editor.sweepStale ? ', before the last change' : ''})`,
            () => pointAt(e.line, e.column),
        );
        item.classList.add('from-sweep');
        items.push(item);
    }
    messageList.replaceChildren(...items);
    if (items.length === 0) {
        const item = document.createElement('li');
        item.className = 'clean';
        item.textContent = 'No errors or warnings.';
        messageList.append(item);
    }
    view.errors = errorPlaces(result);
    document.body.dataset.errorCells = view.errors.map((p) => `${p.col},${p.row}`).join(' ');
    redraw();
}

/**
 * The grid places of the errors, drawn without a click: each error's
 * brick, every brick of a walled-in pocket, and each caged serve's brick.
 * @param {CheckResult} result
 */
function errorPlaces(result) {
    /** @type {{col: number, row: number}[]} */
    const places = [];
    /** @param {number} n */
    const add = (n) => {
        const cell = result.cells[n];
        if (cell && cell.row >= 0 && cell.column >= 0) places.push({ col: cell.column, row: cell.row });
    };
    for (const m of result.messages) if (m.severity === 'error' && m.cell >= 0) add(m.cell);
    for (const pocket of result.closedIn ?? []) pocket.forEach(add);
    if (!editor.sweepStale) {
        for (const e of editor.sweepErrors) {
            const place = placeAtText(result.cells, e.line, e.column);
            if (place) places.push(place);
        }
    }
    return places.filter((p, i) => places.findIndex((q) => q.col === p.col && q.row === p.row) === i);
}

/**
 * Marks a place's cell on the grid and selects it in the text (focused,
 * so the selection shows).
 * @param {number} line
 * @param {number} column
 * @param {number} [cellIndex] the loader's cell, when known; else the brick whose pair is there
 */
export function pointAt(line, column, cellIndex = -1) {
    const result = editor.lastCheck;
    const cell = result && cellIndex >= 0 ? result.cells[cellIndex] : null;
    view.marked =
        cell && cell.row >= 0 && cell.column >= 0
            ? { col: cell.column, row: cell.row }
            : result
              ? placeAtText(result.cells, line, column)
              : null;
    redraw();
    const lines = textArea.value.split('\n');
    if (line <= lines.length) {
        let offset = 0;
        for (let i = 0; i < line - 1; ++i) offset += lines[i].length + 1;
        offset += column - 1;
        textArea.focus({ preventScroll: true });
        textArea.setSelectionRange(offset, offset + 2);
    }
    document.body.dataset.marked = view.marked ? `${view.marked.col},${view.marked.row}` : '';
}

on('swept', showCheck);

textArea.addEventListener('input', () => {
    view.marked = null;
    // The text is the level's as typed at once: switching levels keeps it.
    drawing().type(textArea.value);
    textNote.textContent = '';
    check();
});

on('grid-changed', () => {
    // Only a change on the grid writes the text; say which lines it wrote.
    const level = drawing();
    const lines = changedLines(level.stroke ? level.strokeText : textArea.value, level.text);
    const what =
        editor.change === 'edit'
            ? "The grid's change rewrote"
            : editor.change === 'undo'
              ? 'Undo restored'
              : 'Redo restored';
    textNote.textContent =
        lines.length === 0
            ? ''
            : `${what} line${lines.length === 1 ? '' : 's'} ${lineList(lines)} of the text.`;
    showLevel();
    emit('set-changed');
});
on('level-opened', () => {
    byId('file-name').textContent = levelFileName(editor.set.current);
    textNote.textContent = '';
    showLevel();
});
