#!/usr/bin/env python3
"""Prints, from bench_draw's JSON output, each drawing's speed relative to SDL's in the same run.

    bench_draw --benchmark_format=json > draw.json && python3 ratio_report.py draw.json
"""
import json
import sys


def main(path):
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    rate = {r["name"]: r["items_per_second"] for r in runs if "items_per_second" in r}
    for group, sdl in (("Scaled", "Scaled/SDL_BlitScaled"), ("Rotated", "Rotated/SDL_RenderCopyEx")):
        if sdl not in rate:
            print(f"{group}: no SDL figure")
            continue
        for name, value in rate.items():
            if name.startswith(group + "/Zolvane_"):
                print(f"{name:45s} {value / 1e6:9.1f} Mpix/s  {value / rate[sdl]:6.1f} x {sdl}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "/dev/stdin")
