#!/usr/bin/env python3
"""Computes the first 60 ticks of the about window animation after a click, straight from the
rules, in Python: the table in BounceTest.cpp comes from here, not from the code under test."""
import math, struct
def f32(x): return struct.unpack('f', struct.pack('f', x))[0]
speed, accel, ticks, top = 20, 10, 25, 360.0   # state right after a click
H, CH = 960, 1980
rows=[]
for n in range(1, 61):
    ticks += 1
    beep = False
    if top > 1000 and ticks > 25:
        beep = True; ticks = -1
    top = f32(top + speed/10.0)
    speed += accel
    if f32(top + H) >= CH: speed = math.floor(abs(speed) * -0.9)
    if f32(top + H) < CH or speed != 0: speed += 1
    if top <= 0: speed = math.floor(abs(speed) * 0.9)
    rows.append((n, repr(top), speed, ticks, int(beep)))
for r in rows: print("{%d, %sf, %d, %d, %d}," % r)
