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
    showCheck(result);
    checkTimes.push(performance.now() - started);
    if (checkTimes.length > KEPT_CHECK_TIMES) checkTimes.splice(0, checkTimes.length - KEPT_CHECK_TIMES);
    document.body.dataset.checked = String(seq);
    emit('checked');
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
    textNote.textContent = lines.length === 0 ? ''
        : `The grid's change rewrote line${lines.length === 1 ? '' : 's'} ${lineList(lines)} of the text.`;
    showLevel();
    emit('set-changed');
});
on('level-opened', () => {
    byId('file-name').textContent = levelFileName(editor.set.current);
    textNote.textContent = '';
    showLevel();
});
