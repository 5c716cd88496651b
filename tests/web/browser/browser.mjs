// SPDX-License-Identifier: GPL-3.0-or-later
// Debian's chromium, headless, through playwright-core; nothing but
// 127.0.0.1 is reachable from it.
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { chromium } from "playwright-core";

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "nimbulo-chromium-"));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
  const close = async () => {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return { context, close };
}

// A new page that records console errors, page errors and every request
// that leaves 127.0.0.1.
export async function openPage(context, options = {}) {
  const page = await context.newPage();
  if (options.viewport) await page.setViewportSize(options.viewport);
  if (options.colorScheme) await page.emulateMedia({ colorScheme: options.colorScheme, reducedMotion: "reduce" });
  const problems = { errors: [], foreign: [] };
  page.on("console", (m) => {
    if (m.type() === "error") problems.errors.push({ text: m.text(), url: m.location().url });
  });
  page.on("pageerror", (e) => problems.errors.push({ text: String(e), url: page.url() }));
  page.on("request", (r) => {
    const url = new URL(r.url());
    if (url.protocol !== "data:" && url.hostname !== "127.0.0.1") problems.foreign.push(r.url());
  });
  return { page, problems };
}
