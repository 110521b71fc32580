// The names a scroller cannot take: every name of the page's global object in each engine (its
// own and up its prototype chain, with the runtime loaded), the language's reserved words and
// __proto__. The model reads them from model/takennames.txt. Regenerate that file with
//   xvfb-run -a node tests/browsers/globals.mjs
// Names found earlier are kept: older browsers still have them.

import { mkdtempSync, readFileSync, rmSync, copyFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { ENGINES, launch } from './engines.mjs';

const here = dirname(fileURLToPath(import.meta.url));
export const LIST = join(here, '../../model/takennames.txt');

// Reserved in some context (strict code, modules, async functions), so never a variable name.
const RESERVED = `await break case catch class const continue debugger default delete do else enum
    export extends false finally for function if implements import in instanceof interface let new
    null package private protected public return static super switch this throw true try typeof var
    void while with yield arguments eval`.split(/\s+/);

// Only names the scroller name check lets through otherwise matter.
const IDENTIFIER = /^[A-Za-z_][A-Za-z0-9_]*$/;

export function readList(file = LIST) {
    return new Set(readFileSync(file, 'utf8').split('\n').map((l) => l.trim())
        .filter((l) => IDENTIFIER.test(l)));
}

// The global names of a blank page that loads the runtime from runtimeDir: no element ids or
// frames, which would add names of the page's own.
export async function pageGlobals(browser, runtimeDir) {
    const dir = mkdtempSync(join(tmpdir(), 'tk-globals-'));
    try {
        for (const f of ['tickolib.js', 'tickora.js']) copyFileSync(join(runtimeDir, f), join(dir, f));
        writeFileSync(join(dir, 'blank.htm'), '<!DOCTYPE html><html><head><title>blank</title>' +
            '<script src="tickolib.js"></script><script src="tickora.js"></script></head><body></body></html>');
        const page = await browser.open(join(dir, 'blank.htm'));
        const names = await page.eval(`(function () { var all = [];
            for (var o = window; o; o = Object.getPrototypeOf(o)) all = all.concat(Object.getOwnPropertyNames(o));
            return all; })()`);
        await browser.closePage(page);
        return [...new Set(names)].filter((n) => IDENTIFIER.test(n)).sort();
    } finally {
        rmSync(dir, { recursive: true, force: true });
    }
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
    const names = readList();
    for (const n of [...RESERVED, '__proto__']) names.add(n);
    for (const engine of ENGINES) {
        const browser = await launch(engine);
        try {
            const found = await pageGlobals(browser, join(here, '../../data'));
            console.log(`${engine}: ${found.length} names`);
            for (const n of found) names.add(n);
        } finally {
            await browser.close();
        }
    }
    const sorted = [...names].sort((a, b) => (a < b ? -1 : a > b ? 1 : 0));
    writeFileSync(LIST, `# Names a scroller cannot take: the global names of pages in Chromium, Firefox
# and WebKit with the runtime loaded, the reserved words of JavaScript and __proto__. One a line;
# lines that are no name are ignored. Regenerate: xvfb-run -a node tests/browsers/globals.mjs
${sorted.join('\n')}
`);
    console.log(`${sorted.length} names in ${LIST}`);
}
