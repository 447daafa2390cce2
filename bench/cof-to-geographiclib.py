#!/usr/bin/env python3
# Writes a fixed-column .COF model in GeographicLib's format: a WMMF-1
# metadata file (the second argument) and, beside it, the .cof coefficients.
#   cof-to-geographiclib.py MODEL.COF OUT.wmm
import struct, sys
lines = open(sys.argv[1]).read().split("\n")
epoch = float(lines[0].split()[0])
rows = {}
for line in lines[1:]:
    f = line.split()
    if len(f) < 6 or f[0].startswith("9999"):
        continue
    rows[(int(f[0]), int(f[1]))] = [float(v) for v in f[2:6]]
N = max(n for n, _ in rows)
def block(g, h):
    cos = [rows.get((n, m), [0.0] * 4)[g] for m in range(N + 1) for n in range(m, N + 1)]
    sin = [rows.get((n, m), [0.0] * 4)[h] for m in range(1, N + 1) for n in range(m, N + 1)]
    return struct.pack("<ii", N, N) + struct.pack("<%dd" % len(cos), *cos) + struct.pack("<%dd" % len(sin), *sin)
with open(sys.argv[2] + ".cof", "wb") as out:
    out.write(b"TELLURIM" + block(0, 1) + block(2, 3))
with open(sys.argv[2], "w") as out:
    out.write("WMMF-1\nName tellurim\nDescription converted from %s\nRadius 6371200\n"
              "NumModels 1\nEpoch %g\nDeltaEpoch 5\nMinTime %g\nMaxTime %g\n"
              "MinHeight -1000e3\nMaxHeight 10000e3\nNormalization Schmidt\nByteOrder Little\nID TELLURIM\n"
              % (sys.argv[1], epoch, epoch, epoch + 5))
