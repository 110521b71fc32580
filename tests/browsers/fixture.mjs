// Scroller pages for the scenarios: a temporary project folder with the runtime, scroller scripts
// written by tickora-script and pages that load them.

import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const appDir = process.env.TICKORA_APP_DIR;
// The runtime under test; TICKORA_RUNTIME_DIR points at another copy (an older one, say).
export const runtimeDir = process.env.TICKORA_RUNTIME_DIR || appDir || join(here, '../../data');
const probe = readFileSync(join(here, 'probe.js'), 'utf8');

export function project() {
    if (!appDir) throw new Error('TICKORA_APP_DIR must name the folder with tickora-script');
    const dir = mkdtempSync(join(tmpdir(), 'tk-page-'));
    for (const f of ['tickolib.js', 'tickora.js'])
        copyFileSync(join(runtimeDir, f), join(dir, f));
    return {
        dir,
        // Writes the scroller script for a document in the form tickora-script reads.
        script(file, doc) {
            const json = join(dir, `${file}.json`);
            writeFileSync(json, JSON.stringify(doc));
            execFileSync(join(appDir, 'tickora-script'),
                         ['write', json, join(dir, file), '--no-project-files']);
        },
        // A page whose body is given; pre runs before the runtime loads, which the head loads
        // unless the body does.
        page(body, { pre = '', dir: textDir = 'ltr', file = 'page.htm', runtime = true } = {}) {
            writeFileSync(join(dir, file), `<!DOCTYPE html>
<html lang="en" dir="${textDir}"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<style>body{margin:20px;font:15px/1.3 sans-serif}</style>
<script>${probe}</script><script>${pre}</script>
${runtime ? '<script src="tickolib.js"></script><script src="tickora.js"></script>' : ''}
</head><body>${body}</body></html>`);
            return join(dir, file);
        },
        remove() {
            rmSync(dir, { recursive: true, force: true });
        },
    };
}

export function scrollerDoc(name, direction, settings, items) {
    return { scroller: { pauseOnMouseover: false, ...settings, name, direction }, items };
}

// The embed code as Copy Embed Code gives it, for a scroller "news" of the given size.
export function embedCode(style) {
    return readFileSync(join(here, '../../data/embedcode.txt'), 'utf8').trim().replace('{name}', 'news')
        .replace('{style}', style).replace('{script}', 'news.js');
}

export function item(name, text, width = '') {
    return { name, text, width };
}

// Items of known size: vertical items take their height from the inner block, horizontal items
// their width from the item's own width.
export function sizedItems(sizes) {
    return sizes.map((s, i) => item(`Item ${i + 1}`, `<div style="height:${s}px">${i + 1}</div>`,
                                     String(s)));
}
