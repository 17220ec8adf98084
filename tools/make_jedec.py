#!/usr/bin/env python3
"""Writes a synthetic MachXO2 JEDEC fuse file with the layout of the vendor's
files: STX, notes, QF/G/F, the configuration rows at L000000, "NOTE END
CONFIG DATA" and the user flash rows, the fuse checksum, the feature row and
feature bits, the user code, ETX and the transmission checksum.

The rows are pseudo-random but fixed by --seed, so two runs give the same
file. Checks and benchmarks use it where no real file is at hand, and to
reach sizes no sample has.

    tools/make_jedec.py [--config-rows N] [--ufm-rows N] [--seed S] [-o FILE]

The defaults give the layout of a 1200 part's file: 1034 configuration rows
and 1653 user flash rows, 2687 rows of 128 fuses in all.
"""

import argparse
import random
import sys

ROW_BITS = 128


def fuse_checksum(rows):
    """The 16-bit sum of the fuses taken eight at a time, the first fuse of
    each group as the least significant bit."""
    total = 0
    bits = "".join(rows)
    for start in range(0, len(bits), 8):
        byte = 0
        for offset, fuse in enumerate(bits[start:start + 8]):
            if fuse == "1":
                byte |= 1 << offset
        total += byte
    return total & 0xFFFF


def make_rows(count, rng, density):
    """Rows with about `density` of their fuses set; every eighth row stays
    erased, as whole unused rows are in real files."""
    rows = []
    for index in range(count):
        if index % 8 == 7:
            rows.append("0" * ROW_BITS)
            continue
        rows.append("".join("1" if rng.random() < density else "0" for _ in range(ROW_BITS)))
    return rows


def jedec_text(config_rows, ufm_rows, feature_row, feature_bits, user_code):
    lines = [
        "\x02*",
        "NOTE Synthetic fuse file for tests and benchmarks.*",
        "NOTE DEVICE NAME:\tLCMXO2-1200HC-4TG100C*",
        f"QF{(len(config_rows) + len(ufm_rows)) * ROW_BITS}*",
        "G0*",
        "F0*",
        "L000000",
        *config_rows,
        "*",
        "NOTE END CONFIG DATA*",
        f"L{len(config_rows) * ROW_BITS:06d}",
        *ufm_rows,
        "*",
        f"C{fuse_checksum(config_rows + ufm_rows):04X}*",
        "NOTE FEATURE_ROW*",
        "E" + feature_row,
        feature_bits + "*",
        "NOTE User Electronic Signature Data*",
        f"UH{user_code:08X}*",
        "\x03",
    ]
    body = "\n".join(lines)
    # The transmission checksum covers STX through ETX as written.
    return body + f"{sum(body.encode('ascii')) & 0xFFFF:04X}\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--config-rows", type=int, default=1034)
    parser.add_argument("--ufm-rows", type=int, default=1653)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--density", type=float, default=0.3,
                        help="share of set fuses in a non-erased row (default 0.3)")
    parser.add_argument("--feature-bits", default="0000010000100000",
                        help="the 16 feature bits as the file writes them (default 0000010000100000)")
    parser.add_argument("--user-code", type=lambda text: int(text, 16), default=0,
                        help="user code in hexadecimal")
    parser.add_argument("-o", "--output", help="file to write (default: standard output)")
    args = parser.parse_args()
    if args.config_rows < 1 or args.ufm_rows < 0:
        parser.error("--config-rows must be at least 1 and --ufm-rows at least 0")
    if len(args.feature_bits) != 16 or set(args.feature_bits) - {"0", "1"}:
        parser.error(f"--feature-bits must be 16 characters of 0 and 1, not {args.feature_bits!r}")

    rng = random.Random(args.seed)
    config_rows = make_rows(args.config_rows, rng, args.density)
    ufm_rows = ["0" * ROW_BITS] * args.ufm_rows
    text = jedec_text(config_rows, ufm_rows, "0" * 64, args.feature_bits, args.user_code)
    if args.output:
        with open(args.output, "w", encoding="ascii", newline="\n") as out:
            out.write(text)
    else:
        sys.stdout.write(text)


if __name__ == "__main__":
    main()
