// SPDX-License-Identifier: GPL-3.0-or-later
// Screenshots of the page at a phone's and a desktop's size, light and dark:
//   node screenshots.mjs http://127.0.0.1:PORT/ OUTDIR
// Each is a whole-page PNG named web-<phone|desktop>-<light|dark>.png.
import path from "node:path";
import { launch, openPage } from "./browser.mjs";

const [url, out = "."] = process.argv.slice(2);
const sizes = { phone: { width: 390, height: 844 }, desktop: { width: 1440, height: 900 } };
const { context, close } = await launch();
try {
  for (const [name, viewport] of Object.entries(sizes)) {
    for (const colorScheme of ["light", "dark"]) {
      const { page, problems } = await openPage(context, { viewport, colorScheme });
      await page.goto(url, { waitUntil: "load" });
      await page.waitForFunction(() => document.querySelectorAll("canvas").length > 0 && [...document.querySelectorAll("#records-table tbody tr, #records-empty:not([hidden])")].length > 0);
      await page.waitForTimeout(300); // lets the charts finish their first layout for the picture
      const file = path.join(out, `web-${name}-${colorScheme}.png`);
      await page.screenshot({ path: file, fullPage: process.argv.includes("--full") });
      console.log(file, problems.errors.length ? problems.errors : "");
      await page.close();
    }
  }
} finally {
  await close();
}
