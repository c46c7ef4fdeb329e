// What most browser tests share: Chromium, the site served on localhost and a
// scratch folder, set up before a suite's tests and taken down after them.
// The fields of the returned record are there once `before` has run.
import fs from 'node:fs';
import { after, before } from 'node:test';

import { launchChromium, SITE } from './browsers.mjs';
import { scratchFolder } from './native.mjs';
import { serveFolder } from './static_server.mjs';

export function chromiumSuite(needs) {
    const suite = { server: null, chromium: null, folder: null };
    before(async () => {
        needs.check();
        suite.server = await serveFolder(SITE);
        suite.chromium = await launchChromium();
        suite.folder = scratchFolder();
    }, { timeout: needs.timeout });
    after(async () => {
        await suite.chromium?.close();
        await suite.server?.close();
        if (suite.folder)
            fs.rmSync(suite.folder, { recursive: true, force: true });
    }, { timeout: needs.timeout });
    return suite;
}
