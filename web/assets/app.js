// SPDX-License-Identifier: GPL-3.0-or-later
// The station's page: the readings now (live from /events), the history
// charts, the highs and lows and the climate summaries.
import { CAPTIONS, format, loadSystem, saveSystem, unitOf } from "./units.js";
import { Compass, drawDial } from "./compass.js";
import { HistoryCharts, hasData } from "./charts.js";

const $ = (id) => document.getElementById(id);
const DAY = 86400000;

const page = {
  system: loadSystem(),
  current: null, // the last /api/current or state event
  link: null, // the link state and since when
  connected: true, // the event stream is open
  span: "day",
  history: null,
  historyRange: null,
  records: null,
};

const compass = new Compass($("compass-needle"), $("compass-point"));
const charts = new HistoryCharts();

async function getJson(path) {
  const response = await fetch(path, { cache: "no-store" });
  if (!response.ok) throw new Error(`${path}: ${response.status}`);
  return response.json();
}

// ---- The readings now ------------------------------------------------------

const hasValue = (v) => v !== null && v !== undefined;

function showUnits() {
  for (const node of document.querySelectorAll("[data-unit]")) {
    node.textContent = CAPTIONS[node.dataset.unit][page.system];
  }
  $("units-us").setAttribute("aria-pressed", String(page.system === "us"));
  $("units-metric").setAttribute("aria-pressed", String(page.system === "metric"));
}

function figureText(node, current) {
  const value = current[node.dataset.key];
  const kind = node.dataset.kind;
  if (kind === "word") return hasValue(value) ? String(value) : "—";
  if (kind === "direction") return hasValue(value) ? `${value}°` : "—";
  return format(kind, value, page.system);
}

function showCurrent(flash) {
  const current = page.current || {};
  const anyReading = Object.keys(current).some((k) => /_(f|pct|mph|in|inhg|deg)$/.test(k) && hasValue(current[k]));
  const noStation = !anyReading;
  $("no-station").hidden = !noStation;
  for (const card of document.querySelectorAll(".now .card")) {
    const keys = [...card.querySelectorAll("[data-key]")].map((n) => n.dataset.key);
    // A group the station sends nothing for stays away instead of showing dashes.
    card.hidden = noStation || !keys.some((k) => hasValue(current[k]));
  }
  for (const node of document.querySelectorAll(".now [data-key]")) {
    const text = figureText(node, current);
    const kind = node.dataset.kind;
    const unit = kind === "word" || kind === "direction" || text === "—" ? "" : unitOf(kind, page.system);
    const shown = unit ? `${text} ${unit}` : text;
    if (node.textContent !== shown) {
      node.textContent = "";
      const number = document.createElement("span");
      number.className = "value";
      number.textContent = text;
      node.append(number);
      if (unit) {
        const u = document.createElement("span");
        u.className = "unit";
        u.textContent = ` ${unit}`;
        node.append(u);
      }
      if (flash) {
        node.classList.remove("updated-flash");
        void node.offsetWidth; // restarts the animation
        node.classList.add("updated-flash");
      }
    }
  }
  compass.show(hasValue(current.wind_direction_deg) ? current.wind_direction_deg : null);
  if (current.station_name) {
    $("station-name").textContent = current.station_name;
    document.title = `${current.station_name} · weather`;
  }
  $("station-date").textContent = current.station_date ? formatDate(current.station_date) : "";
  $("station-time").textContent = current.station_time || "";
  showLink();
  if (anyReading) $("updated").textContent = `readings of ${new Date().toLocaleTimeString()}`;
}

function formatDate(isoDate) {
  const t = Date.parse(isoDate + "T00:00:00Z");
  if (Number.isNaN(t)) return isoDate;
  return new Intl.DateTimeFormat(undefined, { timeZone: "UTC", weekday: "short", year: "numeric", month: "short", day: "numeric" }).format(t);
}

// "14:37:05", or with the date when not today, in the browser's time zone.
function sinceText(utcText) {
  const t = Date.parse(utcText);
  if (Number.isNaN(t)) return String(utcText);
  const when = new Date(t);
  const time = when.toLocaleTimeString(undefined, { hour: "2-digit", minute: "2-digit", second: "2-digit", hourCycle: "h23" });
  return when.toDateString() === new Date().toDateString() ? time : `${when.toLocaleDateString()} ${time}`;
}

// The banner and the chip say what the link does; readings are greyed
// whenever they may be old.
function showLink() {
  const link = page.link?.link || page.current?.link || null;
  const since = page.link?.silent_since ?? page.current?.silent_since ?? null;
  const chip = $("link-chip");
  const banner = $("banner");
  let chipText = "";
  let bannerText = "";
  let state = link;
  if (!page.connected) {
    state = "offline";
    chipText = "reconnecting";
    bannerText = "The page has lost its connection to the station computer. It reconnects by itself; the readings below may be old.";
  } else if (link === "receiving") {
    chipText = "live";
  } else if (link === "silent") {
    chipText = "silent";
    const when = since ? sinceText(since) : "";
    bannerText = when ? `The station is silent: no records since ${when}. The readings below are the last it sent.` : "The station is silent: no records for a while. The readings below are the last it sent.";
  } else if (link === "waiting") {
    chipText = "device away";
    bannerText = "Waiting for the station's device: it is unplugged or cannot be opened, and the program keeps trying.";
  } else if (link === "idle") {
    chipText = "not reading";
    bannerText = "The program is not reading the station at the moment.";
  } else {
    chipText = "connecting…";
  }
  chip.dataset.link = state || "";
  chip.textContent = chipText;
  banner.textContent = bannerText;
  banner.hidden = !bannerText || !page.current;
  $("now").classList.toggle("stale", state !== "receiving");
}

// The owner's alarms that are active now, each on a line of its own.
const ALARM_NAMES = {
  silent: "The station is silent",
  files: "A file cannot be written",
  uploads: "Uploads keep failing",
  temp_high: "High temperature",
  temp_low: "Low temperature",
  gust_high: "High gust",
  rain_hour: "Heavy rain in the last hour",
  pressure_drop: "Pressure falling fast",
  humidity_high: "High humidity",
};

function showAlarms() {
  const box = $("alarms");
  const alarms = page.alarms || page.current?.alarms || {};
  const lines = Object.entries(alarms)
    .filter(([, a]) => a && a.active)
    .map(([name, a]) => {
      const value = a.value === null || a.value === undefined ? "" : `: ${a.value} ${a.unit || ""}`.trimEnd();
      const since = a.since ? ` since ${sinceText(a.since)}` : "";
      return `Alarm: ${ALARM_NAMES[name] || name}${since}${value}`;
    });
  box.textContent = "";
  for (const line of lines) {
    const row = document.createElement("div");
    row.textContent = line;
    box.append(row);
  }
  box.hidden = lines.length === 0;
}

// ---- Live updates ------------------------------------------------------------

function connect() {
  const events = new EventSource("/events");
  events.addEventListener("state", (e) => {
    page.current = JSON.parse(e.data);
    if (page.current.link) page.link = { link: page.current.link, silent_since: page.current.silent_since ?? null };
    page.alarms = page.current.alarms || null;
    showCurrent(true);
    showAlarms();
  });
  events.addEventListener("alarms", (e) => {
    page.alarms = JSON.parse(e.data);
    showAlarms();
  });
  events.addEventListener("link", (e) => {
    page.link = JSON.parse(e.data);
    showLink();
  });
  events.addEventListener("point", () => schedule(refreshArchive, 1500));
  events.addEventListener("open", () => {
    const wasLost = !page.connected;
    page.connected = true;
    showLink();
    // After a restart of the server everything may have moved on.
    if (wasLost) refreshAll();
  });
  events.addEventListener("error", () => {
    // EventSource tries again by itself; a closed one (a refused answer) is restarted.
    // A restart takes a moment: the banner waits a few seconds for it.
    if (page.connected) {
      page.connected = false;
      schedule(showLink, 4000);
    }
    if (events.readyState === EventSource.CLOSED) setTimeout(connect, 3000);
  });
}

const timers = new Map();
function schedule(task, delay) {
  clearTimeout(timers.get(task));
  timers.set(task, setTimeout(task, delay));
}

// ---- History -------------------------------------------------------------------

function isoDay(t) {
  return new Date(t).toISOString().slice(0, 10);
}

// The span's first and last station dates, from the station's own date.
function spanRange(span) {
  const today = Date.parse((page.current?.station_date || isoDay(Date.now())) + "T00:00:00Z");
  const d = new Date(today);
  switch (span) {
    case "week":
      return { from: isoDay(today - 6 * DAY), to: isoDay(today), buckets: 336 };
    case "month":
      return { from: isoDay(Date.UTC(d.getUTCFullYear(), d.getUTCMonth(), 1)), to: isoDay(today), buckets: 372 };
    case "year":
      return { from: isoDay(Date.UTC(d.getUTCFullYear(), 0, 1)), to: isoDay(today), buckets: 366 };
    case "all":
      return { from: "1900-01-01", to: isoDay(today), buckets: 1000 };
    default:
      return { from: isoDay(today), to: isoDay(today), buckets: 288 };
  }
}

const SPAN_WORDS = { day: "Today", week: "The last seven days", month: "This month", year: "This year", all: "All the archive" };

// The archive's first station date, found once: from the server when it
// starts its answer there, else from a coarse look at everything.
let archiveStart = null;
async function findArchiveStart(to) {
  if (archiveStart) return archiveStart;
  const coarse = await getJson(`/api/history?from=1900-01-01&to=${to}&buckets=2000`);
  const first = firstTime(coarse);
  if (coarse.from && coarse.from > "1900-01-01") archiveStart = coarse.from;
  else if (Number.isFinite(first)) archiveStart = isoDay(first);
  return archiveStart || to;
}

async function refreshHistory() {
  const range = spanRange(page.span);
  const asked = page.span;
  try {
    if (asked === "all") range.from = await findArchiveStart(range.to);
    const history = await getJson(`/api/history?from=${range.from}&to=${range.to}&buckets=${range.buckets}`);
    if (asked !== page.span) return;
    page.history = history;
  } catch (error) {
    // No archive (yet) or none readable: the explanation says so.
    if (asked !== page.span) return;
    page.history = null;
    console.warn(error.message);
  }
  page.historyRange = range;
  showHistory();
}

// The first bucket with a point. Rain bars do not count: they cover the
// whole period asked for, with nothing before the first point.
function firstTime(history) {
  let first = Infinity;
  for (const rows of Object.values(history.series || {})) {
    const found = (rows || []).find((r) => r);
    if (found) first = Math.min(first, found[0]);
  }
  return first;
}

function showHistory() {
  const history = page.history;
  const empty = !hasData(history);
  $("history-empty").hidden = !empty;
  $("charts").hidden = empty;
  const range = page.historyRange;
  let from = history?.from || range.from;
  // All time starts on the archive's first day.
  if (page.span === "all" && !empty) from = isoDay(firstTime(history) + (history.bucket_minutes || 0) * 60000 - 1);
  const to = history?.to || range.to;
  $("span-label").hidden = empty;
  $("span-label").textContent = `${SPAN_WORDS[page.span]}: ${from === to ? formatDate(from) : `${formatDate(from)} – ${formatDate(to)}`}`;
  if (!empty && window.Chart) charts.show(history, page.system, from, to);
}

// ---- Highs and lows ----------------------------------------------------------------

const PERIODS = [
  ["today", "Today"],
  ["yesterday", "Yesterday"],
  ["month", "This month"],
  ["year", "This year"],
  ["all_time", "All time"],
];

// The quantities shown, with which end (high, low) and their kind.
const QUANTITIES = [
  ["temperature_outdoor_f", "max", "High", "temperature"],
  ["temperature_outdoor_f", "min", "Low", "temperature"],
  ["humidity_outdoor_pct", "max", "Humidity high", "humidity"],
  ["humidity_outdoor_pct", "min", "Humidity low", "humidity"],
  ["wind_gust_mph", "max", "Top gust", "speed"],
  ["wind_speed_mph", "max", "Top wind", "speed"],
  ["pressure_inhg", "max", "Pressure high", "pressure"],
  ["pressure_inhg", "min", "Pressure low", "pressure"],
  ["rain_in", "total", "Rain", "rain"],
];

// A record's value and when, from either {"max":..,"max_time":..} inside a
// quantity or flat keys such as "wind_speed_mph_max".
function extreme(period, key, end) {
  const q = period?.[key];
  if (q && typeof q === "object") {
    return { value: q[end], date: q[`${end}_date`] ?? q.date ?? null, time: q[`${end}_time`] ?? q.time ?? null };
  }
  if (hasValue(period?.[`${key}_${end}`])) return { value: period[`${key}_${end}`], date: period[`${key}_${end}_date`] ?? null, time: period[`${key}_${end}_time`] ?? null };
  if (end === "total") {
    const rain = period?.rain_in ?? period?.rain_total_in ?? period?.rain_day_in;
    if (hasValue(rain)) return { value: rain, date: null, time: null };
  }
  return null;
}

function showRecords() {
  const records = page.records;
  const table = $("records-table");
  const periods = PERIODS.filter(([key]) => records && records[key]);
  const columns = QUANTITIES.filter(([key, end]) => periods.some(([p]) => hasValue(extreme(records[p], key, end)?.value)));
  const empty = columns.length === 0;
  $("records-empty").hidden = !empty;
  table.parentElement.hidden = empty;
  if (empty) return;
  const head = table.tHead.rows[0];
  head.replaceChildren(document.createElement("th"));
  for (const [key, , label, kind] of columns) {
    const th = document.createElement("th");
    th.scope = "col";
    th.textContent = `${label} (${unitOf(kind, page.system)})`;
    th.dataset.key = key;
    head.append(th);
  }
  const body = table.tBodies[0];
  body.replaceChildren();
  for (const [periodKey, periodLabel] of periods) {
    const row = body.insertRow();
    const th = document.createElement("th");
    th.scope = "row";
    th.textContent = periodLabel;
    row.append(th);
    for (const [key, end, label, kind] of columns) {
      const cell = row.insertCell();
      cell.dataset.label = `${label} (${unitOf(kind, page.system)})`;
      const found = extreme(records[periodKey], key, end);
      const box = document.createElement("span");
      box.className = "cell";
      const value = document.createElement("span");
      value.className = end === "min" ? "lo" : end === "max" ? "hi" : "";
      value.textContent = found && hasValue(found.value) ? format(kind, found.value, page.system) : "—";
      box.append(value);
      if (found && (found.time || found.date)) {
        const when = document.createElement("span");
        when.className = "when";
        const showDate = found.date && periodKey !== "today" && periodKey !== "yesterday";
        when.textContent = [showDate ? formatDate(found.date) : "", found.time || ""].filter(Boolean).join(" ");
        box.append(when);
      }
      cell.append(box);
    }
  }
}

async function refreshRecords() {
  try {
    page.records = await getJson("/api/records");
  } catch (error) {
    page.records = null;
    console.warn(error.message);
  }
  showRecords();
}

// ---- Climate summaries -------------------------------------------------------------

async function refreshSummaries() {
  const list = $("noaa-list");
  let names = [];
  try {
    const response = await fetch("/noaa/", { cache: "no-store" });
    if (response.ok) {
      const text = await response.text();
      names = [...new Set(text.match(/\d{4}(-\d{2})?\.txt/g) || [])];
    }
  } catch {
    // no list: the explanation below says so
  }
  names.sort().reverse();
  $("noaa-empty").hidden = names.length > 0;
  list.hidden = names.length === 0;
  list.replaceChildren();
  const monthName = new Intl.DateTimeFormat(undefined, { timeZone: "UTC", month: "short", year: "numeric" });
  for (const name of names) {
    const li = document.createElement("li");
    const a = document.createElement("a");
    a.href = `/noaa/${name}`;
    const m = name.match(/^(\d{4})(?:-(\d{2}))?\.txt$/);
    a.textContent = m[2] ? monthName.format(Date.UTC(Number(m[1]), Number(m[2]) - 1, 1)) : `Year ${m[1]}`;
    li.append(a);
    list.append(li);
  }
}

// ---- Putting it together ---------------------------------------------------------------

function refreshArchive() {
  refreshHistory();
  refreshRecords();
  refreshSummaries();
}

async function refreshAll() {
  try {
    page.current = await getJson("/api/current");
  } catch (error) {
    console.warn(error.message);
  }
  page.alarms = page.current?.alarms || null;
  showCurrent(false);
  showAlarms();
  refreshArchive();
}

function setSystem(system) {
  page.system = system;
  saveSystem(system);
  showUnits();
  showCurrent(false);
  if (page.history) showHistory();
  showRecords();
}

function setSpan(span) {
  page.span = span;
  for (const b of document.querySelectorAll("[data-span]")) b.setAttribute("aria-selected", String(b.dataset.span === span));
  refreshHistory();
}

drawDial($("compass-ticks"));
showUnits();
$("units-us").addEventListener("click", () => setSystem("us"));
$("units-metric").addEventListener("click", () => setSystem("metric"));
for (const b of document.querySelectorAll("[data-span]")) b.addEventListener("click", () => setSpan(b.dataset.span));
// Light and dark follow the system, charts too.
matchMedia("(prefers-color-scheme: dark)").addEventListener("change", () => page.history && showHistory());
// The day's span moves with the station date.
let lastDate = null;
setInterval(() => {
  const date = page.current?.station_date;
  if (date && lastDate && date !== lastDate) refreshArchive();
  lastDate = date || lastDate;
}, 5000);

refreshAll();
connect();
