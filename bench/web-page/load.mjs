// SPDX-License-Identifier: GPL-3.0-or-later
// How fast the station's page loads in headless chromium with a year in the
// archive (target: the load event under 500 ms on loopback).
//   node bench/web-page/load.mjs [days=365] [loads=15]
// Needs the build (build/tools/logger, build/tools/sim, or NIMBULO_LOGGER and
// NIMBULO_SIM) and `npm ci` in tests/web/browser. Prints the load event
// and the time until every chart is drawn: the first (cold) load and the
// median and worst of the others, and the browser's task and script time
// until the load event (what it costs apart from a busy machine).
import fs from "node:fs";
import path from "node:path";
import { launch, openPage } from "../../tests/web/browser/browser.mjs";
import { Station, replay, simulate, tempDir } from "../../tests/web/browser/station.mjs";

const days = Number(process.argv[2] || 365);
const loads = Number(process.argv[3] || 15);

const work = tempDir("bench-web");
const data = path.join(work, "data");
fs.mkdirSync(data);
const recording = path.join(work, "recording.txt");
let t = Date.now();
const lines = simulate(recording, "2025-12-11", days * 288);
console.log(`${lines.length} records simulated in ${Date.now() - t} ms`);
t = Date.now();
replay(data, recording, 2025);
console.log(`replayed into the archive in ${Date.now() - t} ms (${(fs.statSync(path.join(data, "nimbulo.db")).size / 1e6).toFixed(1)} MB)`);

const station = await new Station(data, 2026).start();
const browser = await launch();
const rows = [];
try {
  for (let i = 0; i < loads; i++) {
    const { page } = await openPage(browser.context, { viewport: { width: 1440, height: 900 } });
    const cdp = await browser.context.newCDPSession(page);
    await cdp.send("Performance.enable");
    await page.goto(station.url + "/", { waitUntil: "load" });
    // The browser's own work until the load event, apart from waiting for
    // the machine: on a shared, busy machine the clock time says less.
    const metrics = Object.fromEntries((await cdp.send("Performance.getMetrics")).metrics.map((m) => [m.name, m.value]));
    // Every chart made and the history in: the page a user sees.
    await page.waitForFunction(() => [...document.querySelectorAll("canvas")].every((c) => window.Chart?.getChart(c)) && document.getElementById("span-label").textContent !== "");
    const timing = await page.evaluate(() => {
      const nav = performance.getEntriesByType("navigation")[0];
      return { load: nav.loadEventStart, charts: performance.now() };
    });
    rows.push({ ...timing, task: metrics.TaskDuration * 1000, script: metrics.ScriptDuration * 1000 });
    await page.close();
  }
} finally {
  await browser.close();
  await station.stop();
  fs.rmSync(work, { recursive: true, force: true });
}
const stats = (key) => {
  const rest = rows.slice(1).map((r) => r[key]).sort((a, b) => a - b);
  return `first ${rows[0][key].toFixed(0)} ms, median ${rest[Math.floor(rest.length / 2)].toFixed(0)} ms, worst ${rest[rest.length - 1].toFixed(0)} ms`;
};
console.log(`${days} days, ${loads} loads`);
console.log(`load event:    ${stats("load")}`);
console.log(`charts drawn:  ${stats("charts")}`);
console.log(`browser busy until load (task time):   ${stats("task")}`);
console.log(`of which scripts:                      ${stats("script")}`);
console.log(`load average: ${fs.readFileSync("/proc/loadavg", "utf8").split(" ").slice(0, 3).join(" ")}`);
