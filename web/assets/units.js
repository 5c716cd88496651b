// SPDX-License-Identifier: GPL-3.0-or-later
// The station sends US units; the page shows them or their metric values.

const STORE_KEY = "nimbulo.units";

// Per kind of reading: the unit's caption and decimals in each system, and
// the conversion from the US value. The captions are the window's.
export const KINDS = {
  temperature: { us: ["°F", 1], metric: ["°C", 1], convert: (f) => ((f - 32) * 5) / 9 },
  speed: { us: ["mph", 1], metric: ["km/h", 1], convert: (mph) => mph * 1.609344 },
  rain: { us: ["in", 2], metric: ["mm", 1], convert: (inch) => inch * 25.4 },
  pressure: { us: ["inHg", 3], metric: ["hPa", 1], convert: (inhg) => inhg * 33.8638866667 },
  "pressure-change": { us: ["inHg", 3], metric: ["hPa", 1], convert: (inhg) => inhg * 33.8638866667, signed: true },
  humidity: { us: ["%", 0], metric: ["%", 0], convert: (p) => p },
};

// The group captions, as the window names its units.
export const CAPTIONS = {
  temperature: { us: "(F)", metric: "(C)" },
  speed: { us: "(mph)", metric: "(km/h)" },
  rain: { us: "(in)", metric: "(mm)" },
  pressure: { us: "(in Hg)", metric: "(hPa)" },
};

export function loadSystem() {
  try {
    return localStorage.getItem(STORE_KEY) === "metric" ? "metric" : "us";
  } catch {
    return "us";
  }
}

export function saveSystem(system) {
  try {
    localStorage.setItem(STORE_KEY, system);
  } catch {
    // A browser without storage forgets the choice; the page still switches.
  }
}

// The value in the chosen system, unrounded; null stays null.
export function convert(kind, usValue, system) {
  if (usValue === null || usValue === undefined || !Number.isFinite(usValue)) return null;
  const k = KINDS[kind];
  return system === "metric" && k ? k.convert(usValue) : usValue;
}

export function unitOf(kind, system) {
  return KINDS[kind] ? KINDS[kind][system][0] : "";
}

// The figure as the page shows it, without its unit: "71.3", "+0.021", "—".
export function format(kind, usValue, system) {
  const value = convert(kind, usValue, system);
  if (value === null) return "—";
  const decimals = KINDS[kind][system][1];
  let text = value.toFixed(decimals);
  if (/^-0\.?0*$/.test(text)) text = text.slice(1); // no "-0.0" from a tiny negative
  if (KINDS[kind].signed && value > 0 && Number(text) !== 0) text = "+" + text;
  return text;
}

const POINTS = ["N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE", "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"];

// One of the sixteen compass points for a direction in degrees.
export function compassPoint(degrees) {
  return POINTS[Math.round((((degrees % 360) + 360) % 360) / 22.5) % 16];
}
