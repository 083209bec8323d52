// @ts-check
// The built index.html (web/assemblePage.mjs): its inline style and scripts
// are each admitted by the page's Content-Security-Policy (a page whose
// layout script the browser refuses would run without its layout, with no
// sign but a console line), and the inline layout sets the screen's scale
// as the layout module plans it.
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { existsSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { runInNewContext } from 'node:vm';
import {
    assembleEditor,
    assemblePage,
    inlineModules,
    moduleGraph,
    PageError,
} from '../../../web/assemblePage.mjs';
import { planLayout } from '../../../web/layout.js';

const repo = new URL('../../../', import.meta.url).pathname;
const site = process.env.SITE ?? join(repo, 'build-web/site/');
const web = (/** @type {string} */ path) => readFileSync(join(repo, 'web', path), 'utf8');
const built = existsSync(join(site, 'index.html'))
    ? readFileSync(join(site, 'index.html'), 'utf8')
    : assemblePage(web('index.html'), web);

/** @param {string} text */
const hash = (text) => `'sha256-${createHash('sha256').update(text).digest('base64')}'`;

test('each inline script and style is admitted by its hash, and nothing else inline is', () => {
    const policy = /http-equiv="Content-Security-Policy"\s+content="([^"]*)"/.exec(built)?.[1] ?? '';
    const sources = (/** @type {string} */ name) =>
        policy
            .split(';')
            .map((d) => d.trim().split(/\s+/))
            .find((d) => d[0] === name)
            ?.slice(1) ?? [];
    assert.ok(!policy.includes('unsafe-inline'), policy);
    const scripts = [...built.matchAll(/<script>([\s\S]*?)<\/script>/g)].map((m) => m[1]);
    const styles = [...built.matchAll(/<style>([\s\S]*?)<\/style>/g)].map((m) => m[1]);
    assert.equal(scripts.length, 2, 'the layout and the file:// notice');
    assert.equal(styles.length, 1);
    assert.deepEqual(
        sources('script-src').filter((s) => s.startsWith("'sha256-")),
        scripts.map(hash),
    );
    assert.deepEqual(
        sources('style-src').filter((s) => s.startsWith("'sha256-")),
        styles.map(hash),
    );
    // What is inline is no longer fetched, and nothing blocks the first paint.
    assert.doesNotMatch(built, /(href|src)="(page\.css|fit\.js|layout\.js)"|modulepreload|blocking=/);
});

test('the inline layout lays out a phone as layout.js plans it, before anything else runs', () => {
    const layout = [...built.matchAll(/<script>([\s\S]*?)<\/script>/g)][0][1];
    /** @type {Record<string, string>} */
    const style = {};
    const classes = new Set();
    const body = {
        dataset: /** @type {Record<string, string>} */ ({}),
        classList: {
            toggle: (/** @type {string} */ name, /** @type {boolean} */ on) => on && classes.add(name),
        },
    };
    const document = {
        documentElement: {
            clientWidth: 390,
            clientHeight: 844,
            style: {
                setProperty: (/** @type {string} */ k, /** @type {string} */ v) => (style[k] = v),
            },
        },
        body,
        addEventListener() {},
    };
    const window = { devicePixelRatio: 3, addEventListener() {} };
    runInNewContext(layout, {
        window,
        document,
        navigator: { maxTouchPoints: 5 },
        matchMedia: () => ({ addEventListener() {} }),
        setInterval() {},
    });
    const plan = planLayout({ width: 390, height: 844, dpr: 3, touch: true });
    assert.deepEqual(style, { '--scale': String(plan.scale), '--btn': `${plan.button}px`, '--side': '0px' });
    assert.equal(body.dataset.form, 'portrait');
    assert.ok(classes.has('touch'));
});

test('a module the page cannot inline is refused, not guessed at', () => {
    const modules = /** @type {Record<string, string>} */ ({
        'a.js': "import { b } from './b.js';\nexport default b;\n",
        'b.js': 'export const b = 1;\n',
    });
    assert.throws(() => inlineModules('a.js', (path) => modules[path]), PageError);
    modules['a.js'] = "import { b } from './b.js';\nexport const a = b + 1;\n";
    assert.match(
        inlineModules('a.js', (path) => modules[path]),
        /const b = 1;[\s\S]*const a = b \+ 1;/,
    );
});

test("the editor's page: its style sheets admitted by their hashes, each of its modules asked for at once", () => {
    const editor = existsSync(join(site, 'editor.html'))
        ? readFileSync(join(site, 'editor.html'), 'utf8')
        : assembleEditor(web('editor/editor.html'), web);
    const policy = /http-equiv="Content-Security-Policy"\s+content="([^"]*)"/.exec(editor)?.[1] ?? '';
    const styles = [...editor.matchAll(/<style>([\s\S]*?)<\/style>/g)].map((m) => m[1]);
    assert.equal(styles.length, 2);
    for (const style of styles)
        assert.ok(policy.includes(hash(style)), 'a style sheet the page would refuse');
    assert.ok(!policy.includes('unsafe-inline'));
    const preloaded = [...editor.matchAll(/<link rel="modulepreload" href="([^"]+)" \/>/g)].map((m) => m[1]);
    assert.deepEqual(preloaded.sort(), moduleGraph('editor/editorPage.js', web).slice(1).sort());
    assert.ok(preloaded.includes('game/keys.js'), 'imports at every depth');
});
