// SPDX-License-Identifier: GPL-3.0-or-later
// The station's page in headless chromium against the real logger: a
// simulated week and a half replayed into an archive, then the logger reading
// a pseudo-terminal and serving the page on 127.0.0.1.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { launch, openPage } from "./browser.mjs";
import { Station, fieldOf, replay, simulate, tempDir, waitFor, withFields } from "./station.mjs";

const YEAR = 2026;

// What the page must show for a reading, worked out here apart from the
// page's code: decimals per kind and system, and the metric factors.
const SHOWN = {
  temperature: { us: [1, (f) => f], metric: [1, (f) => ((f - 32) * 5) / 9] },
  speed: { us: [1, (v) => v], metric: [1, (v) => v * 1.609344] },
  rain: { us: [2, (v) => v], metric: [1, (v) => v * 25.4] },
  pressure: { us: [3, (v) => v], metric: [1, (v) => v * 33.8638866667] },
  "pressure-change": { us: [3, (v) => v], metric: [1, (v) => v * 33.8638866667] },
  humidity: { us: [0, (v) => v], metric: [0, (v) => v] },
};
function expected(kind, value, system) {
  if (value === null || value === undefined) return "—";
  if (kind === "direction") return `${value}°`;
  if (kind === "word") return String(value);
  const [decimals, convert] = SHOWN[kind][system];
  let text = convert(value).toFixed(decimals);
  if (/^-0\.?0*$/.test(text)) text = text.slice(1);
  if (kind === "pressure-change" && Number(text) > 0) text = "+" + text;
  return text;
}

// Chromium names a failed load in the console; /noaa/ answers 404 on purpose
// while there are no climate summaries, so that one is no error of the page.
const expectedNoise = (m) => /status of 404/.test(m.text) && /\/noaa\/$/.test(m.url);

let browser;
let station;
let lines;

before(async () => {
  const work = tempDir("web");
  const recording = path.join(work, "recording.txt");
  // 2,784 records five station minutes apart: 2026-12-01 00:00 to the 10th 15:55.
  lines = simulate(recording, `${YEAR}-12-01`, 2784);
  const data = path.join(work, "data");
  fs.mkdirSync(data);
  replay(data, recording, YEAR);
  station = await new Station(data, YEAR).start();
  // The live records go on from where the recording stopped.
  await station.sendUntilTaken(nextRecord({}));
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await station?.stop();
});

// The record after the last one sent, five station minutes on.
let minuteOffset = 0;
function nextRecord(fields) {
  const last = lines[lines.length - 1];
  minuteOffset += 5;
  const minute = fieldOf(last, 10) + minuteOffset;
  return withFields(last, { 9: fieldOf(last, 9) + Math.floor(minute / 1440), 10: minute % 1440, ...fields });
}

async function loadPage(options = {}) {
  const opened = await openPage(browser.context, options);
  await opened.page.goto(station.url + "/", { waitUntil: "load" });
  // Loaded: the readings are in and every history chart has been made.
  await opened.page.waitForFunction(() => document.querySelector("[data-key=temperature_outdoor_f] .value") && document.querySelectorAll("canvas").length === [...document.querySelectorAll("canvas")].filter((c) => window.Chart?.getChart(c)).length);
  return opened;
}

describe("the station's page in chromium", () => {
  test("loads with no console error and no request beyond 127.0.0.1", async () => {
    const { page, problems } = await loadPage();
    await page.waitForFunction(() => !document.querySelector("#records-table").closest("[hidden]") && document.querySelector("#records-table tbody tr"));
    await page.close();
    assert.deepEqual(problems.errors.filter((m) => !expectedNoise(m)), []);
    assert.deepEqual(problems.foreign, []);
  });

  for (const system of ["us", "metric"]) {
    test(`shows the figures of /api/current in ${system} units, remembered over a reload`, async () => {
      const { page } = await loadPage();
      await page.click(system === "us" ? "#units-us" : "#units-metric");
      await page.reload({ waitUntil: "load" });
      const current = await station.json("/api/current");
      await page.waitForFunction((time) => document.getElementById("station-time").textContent === time, current.station_time);
      const shown = await page.$$eval(".now [data-key]", (nodes) => nodes.map((n) => ({ key: n.dataset.key, kind: n.dataset.kind, text: (n.querySelector(".value") || n).textContent })));
      await page.close();
      assert.ok(shown.length >= 16);
      for (const { key, kind, text } of shown) assert.equal(text, expected(kind, current[key], system), key);
    });
  }

  test("a record sent through the pseudo-terminal shows within 2 s", async () => {
    const { page, problems } = await loadPage();
    await page.click("#units-us");
    // Outdoor temperature is field 3 in tenths of a degree F.
    const now = Number((await page.textContent("[data-key=temperature_outdoor_f] .value")).trim());
    const tenths = Math.round(now * 10) + 37;
    const sentAt = Date.now();
    station.send(nextRecord({ 3: tenths }));
    await page.waitForFunction((text) => document.querySelector("[data-key=temperature_outdoor_f] .value").textContent === text, (tenths / 10).toFixed(1), { timeout: 2000 });
    const took = Date.now() - sentAt;
    await page.close();
    assert.ok(took < 2000, `${took} ms`);
    assert.deepEqual(problems.errors.filter((m) => !expectedNoise(m)), []);
  });

  test("reconnects by itself after the logger restarts and shows the next record", async () => {
    const { page } = await loadPage();
    await page.click("#units-us");
    await station.restart();
    const tenths = 555;
    await station.sendUntilTaken(nextRecord({ 3: tenths }));
    await page.waitForFunction((text) => document.querySelector("[data-key=temperature_outdoor_f] .value").textContent === text, (tenths / 10).toFixed(1), { timeout: 15000 });
    const chip = await page.textContent("#link-chip");
    await page.close();
    assert.equal(chip, "live");
  });

  test("every chart of every span draws its data", async () => {
    const { page } = await loadPage({ viewport: { width: 1280, height: 900 } });
    for (const span of ["day", "week", "month", "year", "all"]) {
      await page.click(`[data-span=${span}]`);
      const label = { day: "Today", week: "The last seven days", month: "This month", year: "This year", all: "All the archive" }[span];
      await page.waitForFunction((l) => document.getElementById("span-label").textContent.startsWith(l), label).catch(async (e) => {
        throw new Error(`${span}: the label says "${await page.textContent("#span-label")}"; ${e.message}`);
      });
      const charts = await page.$$eval("canvas", (canvases) =>
        canvases.map((canvas) => {
          const chart = window.Chart.getChart(canvas);
          const drawn = chart.data.datasets.some((d, i) => !chart.getDatasetMeta(i).hidden && d.data.some((p) => p.y !== null));
          // The plot area's pixels with the data and without it.
          const { left, top, right, bottom } = chart.chartArea;
          const ratio = chart.currentDevicePixelRatio;
          const snapshot = () => canvas.getContext("2d").getImageData(left * ratio, top * ratio, (right - left) * ratio, (bottom - top) * ratio).data;
          const withData = snapshot();
          // Without: the same scales, the data in no colour.
          const colours = chart.data.datasets.map((d) => [d.borderColor, d.backgroundColor]);
          chart.data.datasets.forEach((d) => (d.borderColor = d.backgroundColor = "rgba(0,0,0,0)"));
          chart.update("none");
          const without = snapshot();
          chart.data.datasets.forEach((d, i) => ([d.borderColor, d.backgroundColor] = colours[i]));
          chart.update("none");
          let changed = 0;
          for (let i = 0; i < withData.length; i += 4) if (withData[i] !== without[i] || withData[i + 1] !== without[i + 1] || withData[i + 2] !== without[i + 2] || withData[i + 3] !== without[i + 3]) changed++;
          return { id: canvas.id, drawn, changed };
        }),
      );
      assert.equal(charts.length, 5);
      for (const c of charts) {
        assert.ok(c.drawn, `${span} ${c.id} has data`);
        assert.ok(c.changed > 0, `${span} ${c.id} draws no pixel of its data`);
      }
    }
    // A hover over the middle of the day's temperatures reads out its values.
    await page.click("[data-span=day]");
    await page.waitForFunction(() => document.getElementById("span-label").textContent.startsWith("Today"));
    const box = await page.$eval("#chart-temperature", (canvas) => {
      canvas.scrollIntoView({ block: "center" });
      const { left, right, top, bottom } = window.Chart.getChart(canvas).chartArea;
      const rect = canvas.getBoundingClientRect();
      const lastX = window.Chart.getChart(canvas).scales.x.getPixelForValue(window.Chart.getChart(canvas).data.datasets[2].data.filter((p) => p.y !== null).at(-1).x);
      return { x: rect.left + (left + Math.min(right, lastX)) / 2, y: rect.top + (top + bottom) / 2 };
    });
    await page.mouse.move(box.x, box.y);
    await page.waitForFunction(() => window.Chart.getChart(document.getElementById("chart-temperature")).tooltip.getActiveElements().length > 0);
    const readOut = await page.$eval("#chart-temperature", (canvas) => window.Chart.getChart(canvas).tooltip.body.map((b) => b.lines.join(" ")));
    await page.close();
    assert.ok(readOut.some((line) => /^Outdoor: -?\d+\.\d °F$/.test(line)), readOut.join(" | "));
  });

  for (const [width, colorScheme] of [[360, "light"], [360, "dark"], [1920, "light"]]) {
    test(`at ${width} px wide in ${colorScheme} there is no horizontal scroll`, async () => {
      const { page } = await loadPage({ viewport: { width, height: 900 }, colorScheme });
      await page.waitForFunction(() => document.querySelector("#records-table tbody tr"));
      const widths = await page.evaluate(() => ({ scroll: document.documentElement.scrollWidth, client: document.documentElement.clientWidth }));
      await page.close();
      assert.ok(widths.scroll <= widths.client, JSON.stringify(widths));
    });
  }
});

describe("the page before any station", () => {
  let empty;
  before(async () => {
    // Silent one second after a record, for the test of the banner.
    empty = await new Station(tempDir("empty"), YEAR, ["--stale-after", "1"]).start();
  });
  after(async () => empty?.stop());

  test("explains instead of showing empty boxes", async () => {
    const opened = await openPage(browser.context);
    const page = opened.page;
    await page.goto(empty.url + "/", { waitUntil: "load" });
    await page.waitForFunction(() => ["no-station", "history-empty", "records-empty"].every((id) => !document.getElementById(id).hidden));
    const visibleCards = await page.$$eval(".now .card", (cards) => cards.filter((c) => !c.hidden).length);
    const chartsHidden = await page.$eval("#charts", (c) => c.hidden);
    await page.close();
    assert.equal(visibleCards, 0);
    assert.ok(chartsHidden);
  });

  test("then says when the station falls silent, greys the readings, and clears when it speaks again", async () => {
    const { page } = await openPage(browser.context);
    await page.goto(empty.url + "/", { waitUntil: "load" });
    await empty.sendUntilTaken(lines[0]);
    // The colour is read in the same moment the page shows the silence, not a step later.
    const staleColour = await (
      await page.waitForFunction(() => {
        const silent = document.querySelector("#banner:not([hidden])")?.textContent.includes("silent") && document.getElementById("now").classList.contains("stale");
        return silent && getComputedStyle(document.querySelector("[data-key=temperature_outdoor_f]")).color;
      })
    ).jsonValue();
    empty.send(lines[1]);
    await page.waitForFunction(() => document.getElementById("banner").hidden && !document.getElementById("now").classList.contains("stale"));
    const liveColour = await page.$eval("[data-key=temperature_outdoor_f]", (n) => getComputedStyle(n).color);
    await page.close();
    assert.notEqual(staleColour, liveColour);
  });
});
