// SPDX-License-Identifier: GPL-3.0-or-later
// The wind compass: a dial with sixteen ticks, the four cardinal letters and
// a needle that points where the wind comes from.
import { compassPoint } from "./units.js";

const SVG = "http://www.w3.org/2000/svg";

function svg(name, attributes) {
  const node = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
  return node;
}

export function drawDial(ticks) {
  for (let i = 0; i < 16; i++) {
    const angle = (i * 22.5 * Math.PI) / 180;
    const major = i % 4 === 0;
    const inner = major ? 42 : 46;
    const [sx, sy] = [Math.sin(angle), -Math.cos(angle)];
    ticks.append(svg("line", { class: major ? "tick major" : "tick", x1: sx * inner, y1: sy * inner, x2: sx * 52, y2: sy * 52 }));
    if (major) {
      const label = svg("text", { class: i === 0 ? "label north" : "label", x: sx * 33, y: sy * 33 });
      label.textContent = ["N", "E", "S", "W"][i / 4];
      ticks.append(label);
    }
  }
}

// Turns the needle the short way round, so 350° to 10° does not spin back.
export class Compass {
  constructor(needle, pointText) {
    this.needle = needle;
    this.pointText = pointText;
    this.angle = null;
  }

  show(degrees) {
    if (degrees === null || degrees === undefined) {
      this.pointText.textContent = "—";
      this.needle.style.visibility = "hidden";
      return;
    }
    const target = this.angle === null ? degrees : this.angle + ((((degrees - this.angle) % 360) + 540) % 360) - 180;
    this.angle = target;
    this.needle.style.visibility = "visible";
    this.needle.style.transform = `rotate(${target}deg)`;
    this.pointText.textContent = compassPoint(degrees);
  }
}
