// @ts-check
// Lighthouse 12 on the site's two pages (the game's index.html and the
// level editor's editor.html), with its mobile and desktop presets, in
// Debian's Chromium, the site served compressed as a static host would
// (web/serve.mjs). Prints each run's performance, accessibility and best
// practices scores, its cumulative layout shift, and every audit below
// full marks in those categories. Goal: 100 in all three, CLS <= 0.02.
//
//   npm ci --prefix bench       (once: Lighthouse, pinned by bench/package-lock.json)
//   node bench/lighthouse.mjs [SITE] [--runs N] [--http2]
//   (SITE defaults to build-web/site; with --runs N each page and preset is
//   run N times, each run's figures shown, and the audits below full marks
//   of the worst; with --http2 the site is served over HTTPS and HTTP/2, as
//   public static hosts serve, with a certificate made for the run by
//   openssl, rather than plain HTTP/1.1, where the browser fetches at most
//   six files at a time)
//
// Exit status 0 when every goal is met in every run, 1 when one is missed, 2 for a bad
// command line or a missing site or Lighthouse.
import { existsSync } from 'node:fs';
import { join } from 'node:path';
import { localCertificate, serveFolder } from '../web/serve.mjs';
import { chromiumFlags } from '../tests/web/support/browser.mjs';

const usage = 'usage: node bench/lighthouse.mjs [SITE] [--runs N] [--http2]';
const repo = new URL('..', import.meta.url).pathname;
const args = process.argv.slice(2);
let site = join(repo, 'build-web/site');
let runs = 1;
let http2 = false;
for (let i = 0; i < args.length; i++) {
    if (args[i] === '--runs' && /^[1-9]\d*$/.test(args[i + 1] ?? '')) runs = Number(args[++i]);
    else if (args[i] === '--http2') http2 = true;
    else if (!args[i].startsWith('-')) site = args[i];
    else {
        process.stderr.write(`${usage}\n`);
        process.exit(2);
    }
}
if (!existsSync(join(site, 'index.html'))) {
    process.stderr.write(`lighthouse: no site in ${site} (build it: see README)\n`);
    process.exit(2);
}
/** @type {any} */
let lighthouse;
/** @type {any} */
let chromeLauncher;
/** @type {any} */
let desktopConfig;
try {
    lighthouse = (await import('lighthouse')).default;
    chromeLauncher = await import('chrome-launcher');
    desktopConfig = (await import('lighthouse/core/config/desktop-config.js')).default;
} catch {
    process.stderr.write('lighthouse: Lighthouse is not installed: npm ci --prefix bench\n');
    process.exit(2);
}

const categories = ['performance', 'accessibility', 'best-practices'];
/** The certificate for --http2, which the benchmark's browser is told to accept. */
function certificate() {
    const made = localCertificate();
    if (made) return made;
    process.stderr.write('lighthouse: --http2 needs openssl to make a certificate\n');
    process.exit(2);
}

const server = await serveFolder(site, { port: 0, tls: http2 ? certificate() : undefined });
const chrome = await chromeLauncher.launch({
    chromePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    chromeFlags: [
        '--headless=new',
        ...chromiumFlags,
        '--disable-default-apps',
        '--disable-domain-reliability',
        ...(http2 ? ['--ignore-certificate-errors'] : []),
    ],
});
let missed = false;
try {
    for (const page of ['index.html', 'editor.html']) {
        for (const preset of ['mobile', 'desktop']) {
            const results = [];
            for (let run = 0; run < runs; run++) {
                const result = await lighthouse(
                    server.url + page,
                    { port: chrome.port, output: 'json', logLevel: 'error', onlyCategories: categories },
                    preset === 'desktop' ? desktopConfig : undefined,
                );
                const lhr = result.lhr;
                results.push(lhr);
                const scores = categories.map((name) => Math.round(lhr.categories[name].score * 100));
                const ms = (/** @type {string} */ id) => Math.round(lhr.audits[id].numericValue);
                const cls = lhr.audits['cumulative-layout-shift'].numericValue;
                console.log(
                    `${page} ${preset}${runs > 1 ? ` run ${run + 1}` : ''}: performance ${scores[0]}, ` +
                        `accessibility ${scores[1]}, best practices ${scores[2]}; CLS ${cls.toFixed(3)}, ` +
                        `FCP ${ms('first-contentful-paint')} ms, LCP ${ms('largest-contentful-paint')} ms, ` +
                        `TBT ${ms('total-blocking-time')} ms`,
                );
                if (scores.some((score) => score < 100) || cls > 0.02) missed = true;
                // What moved, to tell a layout fault from the preset's own doing.
                for (const shift of lhr.audits['layout-shifts'].details?.items ?? [])
                    console.log(`  shifted: ${shift.node?.selector ?? '?'} (${shift.score.toFixed(3)})`);
            }
            // What kept the worst run below full marks.
            results.sort((a, b) => a.categories.performance.score - b.categories.performance.score);
            const lhr = results[0];
            for (const name of categories) {
                for (const ref of lhr.categories[name].auditRefs) {
                    const audit = lhr.audits[ref.id];
                    if (ref.weight > 0 && audit.score !== null && audit.score < 1) {
                        console.log(
                            `  ${name}: ${audit.id} (${audit.score}) ${audit.displayValue ?? ''} ${audit.title}`,
                        );
                    }
                }
            }
        }
    }
} finally {
    await chrome.kill();
    await server.close();
}
process.exit(missed ? 1 : 0);
