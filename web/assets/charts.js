// SPDX-License-Identifier: GPL-3.0-or-later
// The history charts: Chart.js 3 on linear x axes in station time. A point's
// time is the station's local time as milliseconds since 1970 read as UTC,
// so every date below is formatted in the UTC zone.
import { convert, unitOf } from "./units.js";

const DAY = 86400000;
const HOUR = 3600000;

const fmt = (options) => new Intl.DateTimeFormat(undefined, { timeZone: "UTC", ...options });
const FORMATS = {
  time: fmt({ hour: "2-digit", minute: "2-digit", hourCycle: "h23" }),
  weekday: fmt({ weekday: "short", day: "numeric" }),
  day: fmt({ month: "short", day: "numeric" }),
  month: fmt({ month: "short", year: "numeric" }),
  monthShort: fmt({ month: "short" }),
  year: fmt({ year: "numeric" }),
  full: fmt({ weekday: "short", year: "numeric", month: "short", day: "numeric", hour: "2-digit", minute: "2-digit", hourCycle: "h23" }),
  date: fmt({ weekday: "short", year: "numeric", month: "short", day: "numeric" }),
};

// Tick places and labels from min to max (ms): whole hours, days, months
// or years, never more than `most` of them.
function timeTicks(min, max, most) {
  const range = max - min;
  const ticks = [];
  if (range <= 2 * DAY) {
    const step = [HOUR, 2 * HOUR, 3 * HOUR, 6 * HOUR, 12 * HOUR].find((s) => range / s <= most) || 12 * HOUR;
    for (let t = Math.ceil(min / step) * step; t <= max; t += step) ticks.push({ value: t, label: FORMATS.time.format(t) });
  } else if (range <= 62 * DAY) {
    const step = [DAY, 2 * DAY, 7 * DAY].find((s) => range / s <= most) || 7 * DAY;
    for (let t = Math.ceil(min / DAY) * DAY; t <= max; t += step) ticks.push({ value: t, label: (range <= 8 * DAY ? FORMATS.weekday : FORMATS.day).format(t) });
  } else {
    const first = new Date(min);
    const months = (max - min) / (30.44 * DAY);
    const step = [1, 2, 3, 6, 12, 24, 60].find((s) => months / s <= most) || 120;
    let y = first.getUTCFullYear();
    let m = first.getUTCMonth() + 1;
    if (step >= 12) {
      y += 1;
      m = 0;
    }
    for (let guard = 0; guard < 1000; guard++) {
      const t = Date.UTC(y, m, 1);
      if (t > max) break;
      if (t >= min && (step < 12 || (y % (step / 12) === 0 && m === 0))) ticks.push({ value: t, label: (step >= 12 ? FORMATS.year : m === 0 ? FORMATS.month : FORMATS.monthShort).format(t) });
      m += step < 12 ? step : 12;
      if (m >= 12) {
        y += Math.floor(m / 12);
        m %= 12;
      }
    }
  }
  return ticks;
}

function themeColors() {
  const css = getComputedStyle(document.documentElement);
  const get = (name) => css.getPropertyValue(name).trim();
  return { ink: get("--ink"), muted: get("--muted"), line: get("--line"), warm: get("--warm"), cool: get("--cool"), accent: get("--accent"), rain: get("--rain"), card: get("--card") };
}

function alpha(color, a) {
  const hex = color.replace("#", "");
  if (hex.length !== 6) return color;
  const n = parseInt(hex, 16);
  return `rgba(${n >> 16}, ${(n >> 8) & 255}, ${n & 255}, ${a})`;
}

// Bucket rows [t, min, avg, max] | null into {x, y} points for one column;
// a missing bucket becomes a gap.
function column(rows, index, kind, system, base, bucketMs) {
  return (rows || []).map((row, i) => (row ? { x: row[0], y: convert(kind, row[index], system) } : { x: base + i * bucketMs, y: null }));
}

function line(label, data, color, extra = {}) {
  return { type: "line", label, data, borderColor: color, backgroundColor: color, borderWidth: 2, pointRadius: 0, pointHitRadius: 6, tension: 0.25, spanGaps: false, ...extra };
}

// The five charts, each: title, unit kind, and the datasets from a history answer.
const CHARTS = [
  {
    id: "chart-temperature",
    kind: "temperature",
    datasets: (h, s, c, b, base) => [
      line("Outdoor low", column((h.series || {}).temperature_outdoor_f, 1, "temperature", s, base, b), "transparent", { borderWidth: 0, tooltip: true }),
      line("Outdoor high", column((h.series || {}).temperature_outdoor_f, 3, "temperature", s, base, b), "transparent", { borderWidth: 0, fill: "-1", backgroundColor: alpha(c.warm, 0.16) }),
      line("Outdoor", column((h.series || {}).temperature_outdoor_f, 2, "temperature", s, base, b), c.warm),
      line("Feels like", column((h.series || {}).feels_like_f, 2, "temperature", s, base, b), alpha(c.warm, 0.55), { borderDash: [5, 4], borderWidth: 1.5 }),
      line("Dew point", column((h.series || {}).dew_point_f, 2, "temperature", s, base, b), c.cool, { borderWidth: 1.5 }),
      line("Indoor", column((h.series || {}).temperature_indoor_f, 2, "temperature", s, base, b), c.muted, { borderWidth: 1.5, borderDash: [2, 3] }),
    ],
  },
  {
    id: "chart-humidity",
    kind: "humidity",
    yRange: { min: 0, max: 100 },
    datasets: (h, s, c, b, base) => [
      line("Outdoor", column((h.series || {}).humidity_outdoor_pct, 2, "humidity", s, base, b), c.accent, { fill: "origin", backgroundColor: alpha(c.accent, 0.1) }),
      line("Indoor", column((h.series || {}).humidity_indoor_pct, 2, "humidity", s, base, b), c.muted, { borderWidth: 1.5, borderDash: [2, 3] }),
    ],
  },
  {
    id: "chart-wind",
    kind: "speed",
    yRange: { min: 0 },
    datasets: (h, s, c, b, base) => [
      line("Gust", column((h.series || {}).wind_gust_mph, 3, "speed", s, base, b), alpha(c.warm, 0.8), { borderWidth: 1, tension: 0 }),
      line("Average", column((h.series || {}).wind_speed_avg_mph, 2, "speed", s, base, b), c.accent, { fill: "origin", backgroundColor: alpha(c.accent, 0.12) }),
    ],
  },
  {
    id: "chart-rain",
    kind: "rain",
    yRange: { min: 0 },
    datasets: (h, s, c) => [
      // A bar covers its hour or day rather than centring on its start.
      { type: "bar", label: "Rain", data: (h.rain || []).map((r) => ({ x: r[0] + ((barMinutes(h.rain) || 60) * 30000), y: convert("rain", r[1], s) })), backgroundColor: alpha(c.rain, 0.75), borderWidth: 0, barPercentage: 1, categoryPercentage: 1, yAxisID: "y", order: 2 },
      line("Running total", (h.rain || []).map((r) => ({ x: r[0], y: convert("rain", r[2], s) })), c.accent, { yAxisID: "y2", tension: 0, stepped: true, order: 1 }),
    ],
  },
  {
    id: "chart-pressure",
    kind: "pressure",
    datasets: (h, s, c, b, base) => [line("Pressure", column((h.series || {}).pressure_inhg, 2, "pressure", s, base, b), c.accent)],
  },
];

const DECIMALS = { temperature: { us: 1, metric: 1 }, humidity: { us: 0, metric: 0 }, speed: { us: 1, metric: 1 }, rain: { us: 2, metric: 1 }, pressure: { us: 2, metric: 0 } };

// The rain bars' width: the closest two bars.
function barMinutes(rain) {
  let least = Infinity;
  for (let i = 1; i < (rain || []).length; i++) least = Math.min(least, rain[i][0] - rain[i - 1][0]);
  return Number.isFinite(least) ? Math.round(least / 60000) : null;
}

function lastTime(history) {
  let last = -Infinity;
  for (const rows of Object.values(history.series || {})) {
    for (let i = (rows || []).length - 1; i >= 0; i--) {
      if (rows[i]) {
        last = Math.max(last, rows[i][0]);
        break;
      }
    }
  }
  return last;
}

export function hasData(history) {
  if (!history) return false;
  const anySeries = Object.values(history.series || {}).some((rows) => rows && rows.some((r) => r));
  return anySeries || (history.rain || []).length > 0;
}

export class HistoryCharts {
  constructor() {
    this.charts = new Map();
  }

  // Draws (or redraws) every chart from one /api/history answer.
  show(history, system, from, to) {
    const colors = themeColors();
    const bucketMs = (history.bucket_minutes || 5) * 60000;
    const min = Date.parse(from + "T00:00:00Z");
    const max = Date.parse(to + "T00:00:00Z") + DAY;
    // Buckets count from the asked first day, which the axis may start after.
    const base = Date.parse((history.from || from) + "T00:00:00Z");
    // No rain bars after the last point: the rest of the day has not come yet.
    const last = lastTime(history);
    if (Number.isFinite(last)) history = { ...history, rain: (history.rain || []).filter((r) => r[0] <= last) };
    for (const spec of CHARTS) {
      const canvas = document.getElementById(spec.id);
      const datasets = spec.datasets(history, system, colors, bucketMs, base).map((d) => ({ ...d, data: d.data.filter((p) => p.x >= min - bucketMs) }));
      const options = this.options(spec, system, colors, min, max, history);
      const chart = this.charts.get(spec.id);
      if (chart) {
        chart.data.datasets = datasets;
        chart.options = options;
        chart.update("none");
      } else {
        this.charts.set(spec.id, new window.Chart(canvas, { data: { datasets }, options }));
      }
    }
  }

  options(spec, system, c, min, max, history) {
    const unit = unitOf(spec.kind, system);
    const decimals = DECIMALS[spec.kind][system];
    const bucketMinutes = history.bucket_minutes || 5;
    const axis = (extra) => ({
      grid: { color: alpha(c.muted, 0.18), drawBorder: false },
      ticks: { color: c.muted, maxTicksLimit: 6, precision: decimals, callback: (v) => Number(v).toLocaleString(undefined, { maximumFractionDigits: decimals }) },
      title: { display: true, text: unit, color: c.muted },
      ...extra,
    });
    const scales = {
      x: {
        type: "linear",
        min,
        max,
        grid: { color: alpha(c.muted, 0.12), drawBorder: false },
        ticks: { color: c.muted, autoSkip: false, maxRotation: 0, callback: (v, i, ticks) => ticks[i].label ?? "" },
        afterBuildTicks: (scale) => {
          scale.ticks = timeTicks(scale.min, scale.max, Math.max(3, Math.min(9, Math.floor((scale.maxWidth || scale.chart.width) / 64))));
        },
      },
      y: axis({ ...(spec.yRange || {}), grace: spec.yRange ? 0 : "5%" }),
    };
    if (spec.id === "chart-rain") {
      scales.x.offset = false; // the bars sit on their hours, like the other charts' points
      const bar = barMinutes(history.rain) || bucketMinutes;
      scales.y.title.text = `${unit} per ${bar >= 1440 ? (bar === 1440 ? "day" : Math.round(bar / 1440) + " days") : bar >= 60 ? bar / 60 + " h" : bar + " min"}`;
      scales.y2 = axis({ position: "right", min: 0, grid: { drawOnChartArea: false, drawBorder: false }, title: { display: true, text: `${unit} total`, color: c.muted } });
    }
    const when = (t) => (bucketMinutes >= 1440 ? FORMATS.date : FORMATS.full).format(t);
    return {
      animation: false,
      responsive: true,
      maintainAspectRatio: false,
      parsing: false,
      normalized: true,
      interaction: { mode: "index", intersect: false, axis: "x" },
      scales,
      plugins: {
        legend: { labels: { color: c.ink, boxWidth: 12, boxHeight: 2, filter: (item, data) => data.datasets[item.datasetIndex].borderColor !== "transparent" } },
        tooltip: {
          backgroundColor: alpha(c.card === "#ffffff" ? "#17202b" : "#000000", 0.85),
          callbacks: {
            title: (items) => (items.length ? when(items[0].parsed.x) : ""),
            // The band's edges have no line of their own: their swatch is the band's colour.
            labelColor: (item) => {
              const colour = item.dataset.borderColor === "transparent" ? item.dataset.backgroundColor : item.dataset.borderColor;
              return { borderColor: colour === "transparent" ? alpha(c.warm, 0.3) : colour, backgroundColor: colour === "transparent" ? alpha(c.warm, 0.3) : colour };
            },
            label: (item) => (item.parsed.y === null ? null : `${item.dataset.label}: ${item.parsed.y.toFixed(decimals)} ${unit}`),
          },
        },
      },
    };
  }
}
