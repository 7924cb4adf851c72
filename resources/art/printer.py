#!/usr/bin/env python3
"""Writes the vector sources of the program's pictures: a printer, optionally with a badge."""
import sys

PRINTER = """
  <defs>
    <linearGradient id="body" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#7d93ab"/><stop offset="1" stop-color="#4a5f78"/>
    </linearGradient>
    <linearGradient id="top" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#9fb2c6"/><stop offset="1" stop-color="#7d93ab"/>
    </linearGradient>
    <linearGradient id="paper" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffffff"/><stop offset="1" stop-color="#e4e9ef"/>
    </linearGradient>
  </defs>
  <!-- sheet waiting in the input tray -->
  <path d="M28 6 h40 l8 8 v26 h-48 z" fill="url(#paper)" stroke="#8a99aa" stroke-width="1.5"/>
  <path d="M68 6 v8 h8" fill="none" stroke="#8a99aa" stroke-width="1.5"/>
  <!-- body -->
  <rect x="8" y="34" width="84" height="40" rx="8" fill="url(#body)" stroke="#3b4d62" stroke-width="2"/>
  <rect x="14" y="30" width="72" height="12" rx="5" fill="url(#top)" stroke="#3b4d62" stroke-width="1.5"/>
  <!-- panel light and slot -->
  <circle cx="78" cy="50" r="3.5" fill="#9be27a" stroke="#2f6b24" stroke-width="1"/>
  <rect x="20" y="62" width="60" height="6" rx="3" fill="#2c3a4a"/>
  <!-- printed sheet -->
  <path d="M24 65 h52 v30 h-52 z" fill="url(#paper)" stroke="#8a99aa" stroke-width="1.5"/>
  <path d="M31 75 h38 M31 81 h38 M31 87 h26" stroke="#9aa9ba" stroke-width="2.5" stroke-linecap="round"/>
"""

TICK = """
  <circle cx="78" cy="86" r="19" fill="#2e9e3e" stroke="#ffffff" stroke-width="3"/>
  <path d="M68 86 l7 7 l13 -14" fill="none" stroke="#ffffff" stroke-width="5.5"
        stroke-linecap="round" stroke-linejoin="round"/>
"""

CROSS = """
  <circle cx="78" cy="86" r="19" fill="#cf2c36" stroke="#ffffff" stroke-width="3"/>
  <path d="M70 78 l16 16 M86 78 l-16 16" fill="none" stroke="#ffffff" stroke-width="5.5"
        stroke-linecap="round"/>
"""


def svg(width, height, badge, ground=None):
    back = f'<rect width="100" height="107" fill="{ground}"/>' if ground else ""
    art = PRINTER + {"tick": TICK, "cross": CROSS, "none": ""}[badge]
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 100 107">{back}{art}</svg>\n')


if __name__ == "__main__":
    w, h, badge = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    ground = sys.argv[4] if len(sys.argv) > 4 else None
    sys.stdout.write(svg(w, h, badge, ground))
