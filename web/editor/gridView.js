// @ts-check
// The grid on the page: a canvas showing the playfield's top as the game
// shows it (the 20-pixel line, then the 20 by 15 bricks at their screen
// places, in the game's own brick images), at the largest whole scale that
// fits its box so every pixel stays sharp. Turns the mouse into cell places;
// what a press or a drag does is the page's business (editorPage.js).

import {
    BRICK_HEIGHT as BRICK_H,
    BRICK_WIDTH as BRICK_W,
    CELL_STEP_X as STEP_X,
    CELL_STEP_Y as STEP_Y,
    COLUMNS,
    GRID_TOP,
    ROWS,
    SCREEN_WIDTH,
} from '../shared/geometry.js';

/** @typedef {import('./grid.js').Grid} Grid */
/** @typedef {import('./grid.js').Place} Place */
/** @typedef {import('./grid.js').Mirror} Mirror */

export { GRID_TOP, SCREEN_WIDTH };
// The view: the game's screen down to the grid's last row.
export const VIEW_HEIGHT = GRID_TOP + ROWS * STEP_Y + 1;

/** @type {Record<string, string>} */
const IMAGE_FILES = { 1: 'brick001.png', 2: 'brick002.png', 3: 'brick003.png', solid: 'brick501.png' };

/**
 * The cell under a point of the unscaled view, or null outside the grid.
 * @param {number} x
 * @param {number} y
 * @returns {Place | null}
 */
export function placeAt(x, y) {
    const col = Math.floor(x / STEP_X);
    const row = Math.floor((y - GRID_TOP) / STEP_Y);
    return col >= 0 && col < COLUMNS && row >= 0 && row < ROWS && y >= GRID_TOP ? { col, row } : null;
}

/**
 * The largest whole scale at which the view fits a box (at least 1).
 * @param {number} width
 * @param {number} height
 */
export function wholeScale(width, height) {
    return Math.max(1, Math.floor(Math.min(width / SCREEN_WIDTH, height / VIEW_HEIGHT)));
}

/**
 * Loads the brick images from a folder URL.
 * @param {string | URL} folder
 * @returns {Promise<Record<string, HTMLImageElement>>}
 */
export async function loadBrickImages(folder) {
    /** @type {Record<string, HTMLImageElement>} */
    const images = {};
    await Promise.all(
        Object.entries(IMAGE_FILES).map(
            ([kind, file]) =>
                new Promise((resolve, reject) => {
                    const image = new Image();
                    image.onload = () => resolve(undefined);
                    image.onerror = () => reject(new Error(`the brick image ${file} did not load`));
                    image.src = new URL(file, folder).href;
                    images[kind] = image;
                }),
        ),
    );
    return images;
}

export class GridView {
    /**
     * @param {HTMLCanvasElement} canvas
     * @param {Record<string, HTMLImageElement>} images by kind: 1, 2, 3, solid
     */
    constructor(canvas, images) {
        this.canvas = canvas;
        this.images = images;
        this.scale = 1;
        /** @type {Place | null} the cell a message points at */
        this.marked = null;
        /** @type {Place[]} the cells of the level's errors, always drawn */
        this.errors = [];
        /** @type {Place | null} the cell under the pointer */
        this.hover = null;
        /** @type {{a: Place, b: Place} | null} a rectangle being dragged out */
        this.pending = null;
        /** @type {Mirror} */
        this.mirror = { leftRight: false, topBottom: false };
        /** @type {((context: CanvasRenderingContext2D) => void)[]} drawn last, over all else (the region tools' selection) */
        this.overlays = [];
    }

    /**
     * Sizes the canvas to the largest whole scale that fits the box.
     * @param {number} width
     * @param {number} height
     */
    fit(width, height) {
        this.scale = wholeScale(width, height);
        this.canvas.width = SCREEN_WIDTH * this.scale;
        this.canvas.height = VIEW_HEIGHT * this.scale;
    }

    /**
     * The cell under a mouse event, or null.
     * @param {MouseEvent} event
     * @returns {Place | null}
     */
    placeOf(event) {
        const box = this.canvas.getBoundingClientRect();
        const x = ((event.clientX - box.left) / box.width) * SCREEN_WIDTH;
        const y = ((event.clientY - box.top) / box.height) * VIEW_HEIGHT;
        return placeAt(x, y);
    }

    /** @param {Grid} grid */
    draw(grid) {
        const context = /** @type {CanvasRenderingContext2D} */ (this.canvas.getContext('2d'));
        const s = this.scale;
        context.imageSmoothingEnabled = false;
        context.fillStyle = '#000';
        context.fillRect(0, 0, this.canvas.width, this.canvas.height);
        // The top line the game writes its scores in: the ball's corridor above the bricks.
        context.fillStyle = '#101828';
        context.fillRect(0, 0, this.canvas.width, GRID_TOP * s);
        // Faint cell places, so the designer sees where a brick would go.
        context.fillStyle = '#141414';
        for (let row = 0; row < ROWS; ++row) {
            for (let col = 0; col < COLUMNS; ++col) this.box(context, col, row);
        }
        for (let row = 0; row < ROWS; ++row) {
            for (let col = 0; col < COLUMNS; ++col) {
                const cell = grid.at(col, row);
                if (cell.kind === 'empty') continue;
                const x = (1 + col * STEP_X) * s;
                const y = (GRID_TOP + 1 + row * STEP_Y) * s;
                context.drawImage(this.images[String(cell.kind)], x, y, BRICK_W * s, BRICK_H * s);
                if (cell.capsule) this.capsuleMark(context, x, y);
            }
        }
        this.axes(context);
        for (const place of this.errors) this.errorMark(context, place);
        if (this.hover) this.outline(context, this.hover, this.hover, '#ffffffa0');
        if (this.pending) this.outline(context, this.pending.a, this.pending.b, '#ffd34d');
        if (this.marked) this.outline(context, this.marked, this.marked, '#ff4d4d');
        for (const overlay of this.overlays) overlay(context);
    }

    /**
     * An error's cell: a black and white outline with a red corner, seen
     * on every brick colour and by colour-blind eyes alike.
     * @param {CanvasRenderingContext2D} context
     * @param {Place} place
     */
    errorMark(context, place) {
        const s = this.scale;
        const x = (1 + place.col * STEP_X) * s;
        const y = (GRID_TOP + 1 + place.row * STEP_Y) * s;
        context.save();
        context.setLineDash([]);
        context.lineWidth = Math.max(2, s);
        context.strokeStyle = '#000';
        context.strokeRect(x, y, BRICK_W * s, BRICK_H * s);
        context.lineWidth = Math.max(1, Math.floor(s / 2));
        context.strokeStyle = '#fff';
        context.setLineDash([2 * s, 2 * s]);
        context.strokeRect(x, y, BRICK_W * s, BRICK_H * s);
        context.fillStyle = '#ff2020';
        context.beginPath();
        context.moveTo(x, y);
        context.lineTo(x + 5 * s, y);
        context.lineTo(x, y + 5 * s);
        context.closePath();
        context.fill();
        context.restore();
    }

    /**
     * @param {CanvasRenderingContext2D} context
     * @param {number} col
     * @param {number} row
     */
    box(context, col, row) {
        const s = this.scale;
        context.fillRect((1 + col * STEP_X) * s, (GRID_TOP + 1 + row * STEP_Y) * s, BRICK_W * s, BRICK_H * s);
    }

    /**
     * The capsule mark: the game shows none, the designer needs one. A
     * small ringed dot in the brick's middle.
     * @param {CanvasRenderingContext2D} context
     * @param {number} x
     * @param {number} y
     */
    capsuleMark(context, x, y) {
        const s = this.scale;
        context.fillStyle = '#000';
        context.fillRect(x + 5 * s, y + 2 * s, 5 * s, 5 * s);
        context.fillStyle = '#7df9ff';
        context.fillRect(x + 6 * s, y + 3 * s, 3 * s, 3 * s);
    }

    /** @param {CanvasRenderingContext2D} context */
    axes(context) {
        const s = this.scale;
        context.save();
        context.strokeStyle = '#4da3ff';
        context.lineWidth = Math.max(1, Math.floor(s / 2));
        context.setLineDash([3 * s, 2 * s]);
        context.beginPath();
        if (this.mirror.leftRight) {
            const x = (SCREEN_WIDTH / 2) * s + 0.5 * s;
            context.moveTo(x, GRID_TOP * s);
            context.lineTo(x, this.canvas.height);
        }
        if (this.mirror.topBottom) {
            const y = (GRID_TOP + 1 + Math.floor(ROWS / 2) * STEP_Y + BRICK_H / 2) * s;
            context.moveTo(0, y);
            context.lineTo(this.canvas.width, y);
        }
        context.stroke();
        context.restore();
    }

    /**
     * @param {CanvasRenderingContext2D} context
     * @param {Place} a
     * @param {Place} b
     * @param {string} color
     * @param {number[]} [dash] in the game's pixels
     */
    outline(context, a, b, color, dash = []) {
        const s = this.scale;
        const left = Math.min(a.col, b.col);
        const top = Math.min(a.row, b.row);
        const right = Math.max(a.col, b.col);
        const bottom = Math.max(a.row, b.row);
        context.strokeStyle = color;
        context.lineWidth = Math.max(1, s);
        context.setLineDash(dash.map((d) => d * s));
        context.strokeRect(
            left * STEP_X * s + s / 2,
            (GRID_TOP + top * STEP_Y) * s + s / 2,
            (right - left + 1) * STEP_X * s,
            (bottom - top + 1) * STEP_Y * s,
        );
    }
}
