// @ts-check
// The game's screen as the browser tests look at it: the canvas read back
// as RGBA, and the same recognisers as the desktop's real-window test.
import { through5, through6 } from '../../../web/game/media.js';

export const Width = 320;
export const Height = 240;

export class Shot {
    /** @param {Uint8Array} rgba */
    constructor(rgba) {
        this.rgba = rgba;
    }
    /** @param {number} x @param {number} y @param {number} w @param {number} h @param {(r: number, g: number, b: number) => boolean} test */
    count(x, y, w, h, test) {
        let n = 0;
        for (let yy = y; yy < Math.min(y + h, Height); yy++) {
            for (let xx = x; xx < Math.min(x + w, Width); xx++) {
                const i = (yy * Width + xx) * 4;
                if (test(this.rgba[i], this.rgba[i + 1], this.rgba[i + 2])) n++;
            }
        }
        return n;
    }
    /** Text: all three channels above 180. @param {number} x @param {number} y @param {number} w @param {number} h */
    bright(x, y, w, h) {
        return this.count(x, y, w, h, (r, g, b) => r > 180 && g > 180 && b > 180);
    }
    /** @param {number} x @param {number} y @param {number} w @param {number} h */
    lit(x, y, w, h) {
        return this.count(x, y, w, h, (r, g, b) => r + g + b > 30);
    }
    /** Bricks: clearly unequal channels. @param {number} x @param {number} y @param {number} w @param {number} h */
    coloured(x, y, w, h) {
        return this.count(x, y, w, h, (r, g, b) => Math.max(r, g, b) - Math.min(r, g, b) > 60);
    }
    /** @param {Shot} other @param {number} y0 @param {number} y1 */
    sameRows(other, y0, y1) {
        const a = this.rgba.subarray(y0 * Width * 4, y1 * Width * 4);
        const b = other.rgba.subarray(y0 * Width * 4, y1 * Width * 4);
        return a.every((v, i) => v === b[i]);
    }
    isTitleMenu() {
        return (
            this.bright(40, 52, 150, 22) > 30 &&
            this.lit(0, 0, 320, 40) === 0 &&
            this.lit(200, 48, 120, 120) === 0 &&
            this.bright(40, 172, 150, 14) === 0
        );
    }
    isOptions() {
        return (
            this.lit(0, 0, 320, 40) === 0 &&
            this.bright(218, 52, 90, 22) > 10 &&
            this.bright(218, 142, 90, 22) > 10
        );
    }
    isCredits() {
        return (
            this.bright(10, 30, 120, 16) > 20 &&
            this.lit(0, 0, 320, 28) === 0 &&
            this.lit(12, 50, 17, 130) === 0
        );
    }
    isGame() {
        return this.bright(0, 0, 320, 18) > 30 && this.coloured(0, 20, 320, 150) > 0;
    }
    hasStateText() {
        return this.bright(100, 160, 130, 18) > 20;
    }
    /** Pixels of a colour the desktop's 16-bit screen cannot show. */
    offGrid() {
        return this.count(
            0,
            0,
            Width,
            Height,
            (r, g, b) => through5[r] !== r || through6[g] !== g || through5[b] !== b,
        );
    }
    /** The loading picture covers most of the screen. */
    isLoading() {
        return this.lit(0, 0, 320, 240) > 20000;
    }
    arrowRow() {
        let found = -1;
        for (let row = 0; row < 5; row++) {
            if (this.lit(12, 55 + 30 * row, 22, 22) > 20) {
                if (found !== -1) return -1;
                found = row;
            }
        }
        return found;
    }
}

/**
 * Drives the page in a puppeteer tab: screenshots of the canvas, key
 * presses, waits.
 * @param {import('puppeteer-core').Page} page
 */
export function driver(page) {
    const sleep = (/** @type {number} */ ms) => new Promise((done) => setTimeout(done, ms));
    const take = async () => {
        const data = await page.evaluate(() => {
            const canvas = /** @type {HTMLCanvasElement} */ (document.getElementById('screen'));
            const copy = document.createElement('canvas');
            copy.width = canvas.width;
            copy.height = canvas.height;
            const context = /** @type {CanvasRenderingContext2D} */ (copy.getContext('2d'));
            context.drawImage(canvas, 0, 0);
            return Array.from(context.getImageData(0, 0, copy.width, copy.height).data);
        });
        return new Shot(Uint8Array.from(data));
    };
    /** @param {(s: Shot) => boolean} test @param {number} timeoutMs */
    const waitFor = async (test, timeoutMs) => {
        const end = Date.now() + timeoutMs;
        for (;;) {
            const shot = await take();
            if (test(shot)) return shot;
            if (Date.now() > end) return null;
            await sleep(50);
        }
    };
    /** Holds a key about 100 ms (menus act on release). @param {import('puppeteer-core').KeyInput} key */
    const press = async (key) => {
        await page.keyboard.down(key);
        await sleep(100);
        await page.keyboard.up(key);
    };
    /** Presses until test passes: a second press if the first was lost. @param {import('puppeteer-core').KeyInput} key @param {(s: Shot) => boolean} test */
    const pressUntil = async (key, test) => {
        for (let attempt = 0; attempt < 3; attempt++) {
            await press(key);
            if (await waitFor(test, 3000)) return true;
        }
        return false;
    };
    // Short, as on the desktop: a combination still held 100 ms later would
    // also end the program from the title menu it has just returned to.
    const aAndB = async () => {
        await page.keyboard.down('a');
        await page.keyboard.down('b');
        await sleep(50);
        await page.keyboard.up('b');
        await page.keyboard.up('a');
    };
    return { take, waitFor, press, pressUntil, aAndB, sleep };
}

/** @param {import('puppeteer-core').Page} page @param {string} id */
export function shown(page, id) {
    return page.$eval(`#${id}`, (element) => !(/** @type {HTMLElement} */ (element).hidden));
}
