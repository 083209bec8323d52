// @ts-check
// The floor page's frame: one 320x240 picture a frame, every 16 ms, a
// square moving over black; window.quadrellOnFrame is called as the game's
// page calls it.
const canvas = /** @type {HTMLCanvasElement} */ (document.getElementById('screen'));
const context = /** @type {CanvasRenderingContext2D} */ (canvas.getContext('2d'));
const image = new ImageData(320, 240);
const pixels = new Uint32Array(image.data.buffer);
let frame = 0;
const start = performance.now();
function draw() {
    pixels.fill(0xff000000);
    const x = (frame * 2) % 300,
        y = 100 + Math.round(40 * Math.sin(frame / 20));
    for (let row = y; row < y + 20; row++) pixels.fill(0xff40c0ff, row * 320 + x, row * 320 + x + 20);
    context.putImageData(image, 0, 0);
    frame++;
    /** @type {any} */ (window).quadrellOnFrame?.();
    // Every 16 ms on average, however late a timer fires.
    setTimeout(draw, Math.max(0, start + frame * 16 - performance.now()));
}
draw();
