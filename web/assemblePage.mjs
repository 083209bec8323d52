// @ts-check
// Assembles the game's built index.html from web/index.html: what its first
// paint needs comes inside the page, not by round trips after it. The
// style sheet page.css goes into a <style>; the layout module fit.js, with
// the modules it imports, becomes one plain script at the top of <body> (it
// lays the page out, so it runs before the first paint, and it needs the
// body); opened.js, the file:// notice, a plain script at the end of
// <body>. The page's Content-Security-Policy admits each of them by its
// SHA-256, never by 'unsafe-inline'. The sources stay modules, checked
// and tested as such; only the built page holds them inline.
//
// The level editor's editor.html likewise gets its style sheets inside it,
// and asks for its script's whole module graph at once (modulepreload).
//
//   usage: node web/assemblePage.mjs index|editor WEB_DIR OUT_HTML
//
// Exit status 2 for a bad command line, 3 when the page is not as this
// expects (a tag or an import it does not know).
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import process from 'node:process';
import { dirname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';

/** The tags of web/index.html replaced here, exactly as written there. */
const Tags = {
    style: '<link rel="stylesheet" href="page.css" />',
    layout: '<script type="module" src="fit.js" blocking="render"></script>',
    opened: '<script src="opened.js" defer></script>',
};

export class PageError extends Error {}

/**
 * One module and what it imports (relative paths, dependencies first) as
 * the body of one function: their imports dropped, their exports made
 * plain declarations. Knows the plain forms this site's layout modules
 * use, and refuses any other import or export rather than guess.
 * @param {string} entry the module's path under the folder
 * @param {(path: string) => string} read a module's text by its path under the folder
 */
export function inlineModules(entry, read) {
    /** @type {string[]} */
    const parts = [];
    const done = new Set();
    /** @param {string} path */
    const visit = (path) => {
        if (done.has(path)) return;
        done.add(path);
        const lines = read(path).split('\n');
        const kept = [];
        for (const line of lines) {
            const imported = /^import \{[^}]*\} from '(\.{1,2}\/[^']+)';$/.exec(line);
            if (imported) {
                visit(normalize(join(dirname(path), imported[1])));
                continue;
            }
            if (/^\s*(import|export)\b/.test(line) && !/^export (const|let|function|class) /.test(line))
                throw new PageError(`${path}: an import or export the page cannot inline: ${line}`);
            if (line === '// @ts-check') continue;
            kept.push(line.replace(/^export /, ''));
        }
        parts.push(`// ${path}\n${kept.join('\n').trim()}\n`);
    };
    visit(entry);
    return `(() => {\n'use strict';\n${parts.join('\n')}})();\n`;
}

/** @param {string} text */
export function sha256Source(text) {
    return `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`;
}

/**
 * The built page from web/index.html's text.
 * @param {string} html
 * @param {(path: string) => string} read a file of web/ by its path there
 */
export function assemblePage(html, read) {
    for (const [name, tag] of Object.entries(Tags))
        if (html.split(tag).length !== 2) throw new PageError(`index.html: not one ${name} tag ${tag}`);
    if (!html.includes('<body>\n')) throw new PageError('index.html: no <body> line');
    const css = read('page.css');
    const layout = inlineModules('fit.js', read);
    const opened = read('opened.js');
    const policy = /(<meta\s+http-equiv="Content-Security-Policy"\s+content=")([^"]*)(")/.exec(html);
    if (!policy) throw new PageError('index.html: no Content-Security-Policy');
    const directives = policy[2].split(';').map((d) => d.trim());
    /** @param {string} name @param {string[]} sources */
    const allow = (name, sources) => {
        const at = directives.findIndex((d) => d.split(' ')[0] === name);
        if (at < 0) throw new PageError(`index.html: its policy has no ${name}`);
        directives[at] += ` ${sources.join(' ')}`;
    };
    allow('script-src', [sha256Source(layout), sha256Source(opened)]);
    allow('style-src', [sha256Source(css)]);
    return html
        .replace(policy[0], `${policy[1]}${directives.join('; ')}${policy[3]}`)
        .replace(Tags.style, () => `<style>${css}</style>`)
        .replace(new RegExp(`^\\s*${Tags.layout.replace(/[.*+?^${}()|[\]\\/]/g, '\\$&')}\n`, 'm'), '')
        .replace(/^\s*<script src="opened.js" defer><\/script>\n/m, '')
        .replace('<body>\n', () => `<body>\n        <script>${layout}</script>\n`)
        .replace('</body>', () => `<script>${opened}</script>\n    </body>`);
}

/**
 * Every module an entry module imports, at any depth, by its path under the
 * folder (static imports only: what loads later is not the page's start).
 * @param {string} entry
 * @param {(path: string) => string} read
 */
export function moduleGraph(entry, read) {
    const found = new Set([entry]);
    for (const path of found) {
        for (const [, from] of read(path).matchAll(/^import\s+(?:[^'";]*?\s+from\s+)?'(\.{1,2}\/[^']+)';/gm))
            found.add(normalize(join(dirname(path), from)));
    }
    return [...found];
}

/**
 * The built editor.html from web/editor/editor.html's text: its style
 * sheets inside it, admitted by their hashes, and every module of its
 * script asked for at once beside it, not one import's round trip after
 * another before the editor can show itself.
 * @param {string} html
 * @param {(path: string) => string} read a file by its path in the site (web/ holds the same paths)
 */
export function assembleEditor(html, read) {
    const sheets = [...html.matchAll(/^\s*<link rel="stylesheet" href="([^"]+)" \/>\n/gm)];
    const entry = /^(\s*)<script type="module" src="([^"]+)"><\/script>\n/m.exec(html);
    if (!sheets.length || !entry) throw new PageError('editor.html: no style sheet or no module script');
    const css = sheets.map((sheet) => read(sheet[1]));
    const policy = /(http-equiv="Content-Security-Policy"\s+content="[^"]*style-src 'self')/.exec(html);
    if (!policy) throw new PageError("editor.html: its policy has no style-src 'self'");
    const preloads = moduleGraph(entry[2], read)
        .slice(1)
        .map((path) => `${entry[1]}<link rel="modulepreload" href="${path}" />\n`);
    let page = html.replace(policy[1], `${policy[1]} ${css.map(sha256Source).join(' ')}`);
    sheets.forEach((sheet, i) => {
        page = page.replace(sheet[0], () => `${sheet[0].match(/^\s*/)?.[0]}<style>${css[i]}</style>\n`);
    });
    return page.replace(entry[0], () => `${entry[0]}${preloads.join('')}`);
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
    const [which, web, out] = process.argv.slice(2);
    if (process.argv.length !== 5 || !['index', 'editor'].includes(which)) {
        process.stderr.write('usage: node web/assemblePage.mjs index|editor WEB_DIR OUT_HTML\n');
        process.exit(2);
    }
    try {
        const read = (/** @type {string} */ path) => readFileSync(join(web, path), 'utf8');
        writeFileSync(
            out,
            which === 'index'
                ? assemblePage(read('index.html'), read)
                : assembleEditor(read('editor/editor.html'), read),
        );
    } catch (error) {
        process.stderr.write(`assemblePage: ${/** @type {Error} */ (error).message}\n`);
        process.exit(error instanceof PageError ? 3 : 2);
    }
}
