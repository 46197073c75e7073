#!/usr/bin/env python3
"""Prints throughput ratios from a bench_lines JSON report.

    bench_lines --benchmark_format=json --benchmark_repetitions=5 > lines.json
    line_ratios.py lines.json

Routines over memcpy of the same bytes (same shape and working set), the fast routines over their plain
versions, and SDL's blits over memcpy. With repetitions, the medians are used. Ratios are of CPU time
throughput, so other processes on the machine disturb them less than wall time would.
"""
import json
import sys


def throughputs(report):
    """name -> bytes per second, preferring the median aggregate of repeated runs."""
    single, median = {}, {}
    for b in report["benchmarks"]:
        if "bytes_per_second" not in b or b.get("error_occurred"):
            continue
        name = b.get("run_name", b["name"])
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                median[name] = b["bytes_per_second"]
        else:
            single.setdefault(name, []).append(b["bytes_per_second"])
    result = {name: sorted(v)[len(v) // 2] for name, v in single.items()}
    result.update(median)
    return result


def main():
    with open(sys.argv[1]) if len(sys.argv) > 1 else sys.stdin as f:
        tp = throughputs(json.load(f))
    print("routine / memcpy of the same bytes")
    for name in sorted(tp):
        parts = name.split("/")
        if len(parts) != 4 or parts[0] in ("memcpy", "memcpy_block") or parts[0].startswith("SDL_"):
            continue
        routine, isa, shape, wset = parts
        base = "memcpy_block" if routine.endswith("_block") else "memcpy"
        ref = "/".join([base, "best", shape, wset])
        if ref in tp:
            print(f"  {name:48s} {tp[name] / tp[ref]:6.2f}")
    print("fast routine / plain version (row1023, cached)")
    for name in sorted(tp):
        parts = name.split("/")
        if parts[0] == "fast":
            plain = "/".join(["plain", parts[1], "scalar", parts[3], parts[4]])
            if plain in tp:
                print(f"  {parts[1]:48s} {tp[name] / tp[plain]:6.2f}")
    print("SDL blit / memcpy (whole bitmap, per row)")
    for name in sorted(tp):
        parts = name.split("/")
        if parts[0].startswith("SDL_"):
            ref = "/".join(["memcpy", "best", parts[2], parts[3]])
            if ref in tp:
                print(f"  {name:48s} {tp[name] / tp[ref]:6.2f}")


if __name__ == "__main__":
    main()
