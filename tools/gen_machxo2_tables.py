#!/usr/bin/env python3
# Writes the MachXO2 pin tables and built-in boundary-scan records as C++.
#
# Regenerate everything (from the repository root):
#
#     python3 tools/gen_machxo2_tables.py --data ../shared/data
#
# `--check` compares instead of writing and exits with 1 when a generated
# file is stale. The output is deterministic: the same data gives the same
# bytes.
#
# The facts come from two open databases (see README.md beside this script):
#   prjtrellis-db  LCMXO2-<die>/iodb.json     pads, banks, special functions
#                                             and the IO balls of each package
#                  devices-MachXO2.json       die geometry and register sizes
#   prjcombine     machxo2.txt                every ball of every package
#                                             (supply, ground, no-connect)
#
# Everything the data does not settle is decided in DECISIONS below; the same
# text goes into the header of every generated file so a reader of the
# tables sees it without opening this script.
#
# Python 3 standard library only.

import argparse
import collections
import json
import os
import re
import sys
import textwrap

SCRIPT_NAME = "tools/gen_machxo2_tables.py"

DECISIONS = """\
Pin rows
  - IO rows are the package balls that prjtrellis-db bonds to a pad, sorted by
    bank, then PIC number, then pad letter. The other balls follow in package
    order (pin number, or row letters then column) with only a pin number.
  - Pad names: "P" + side + PIC number + pad letter. The PIC number is the
    tile row on the left and right sides and the tile column plus the die's
    column bias on the top and bottom sides.
  - A pair is pads A/B or C/D of one PIC, both bonded. Its name is side + PIC
    number + "A" for the first bonded pair of that PIC and "B" for the second.
    A and C are the positive pins.
  - Clock pins: pads whose function names a clock (the PCLK pads and
    MCLK/CCLK) and the TCK pad. DLL pins: pads whose function names a PLL.
  - The JTAG pads are IO rows like any other pad.
  - The 1200U set is the 2000 die in the 256-ball package (the same bond as
    the 2000 set); its pads keep the die's banks 0 to 5, which is also what
    the catalogue's figures give for this set.
  - Six sets have no unpaired IO pin at all (IO count = 2 x pairs): 256
    TQ100, 256 GA132, 640 GA132, 640U TQ144, 1200 TQ144, 2000 TQ144.
Boundary-scan records
  - The open data has no boundary-register order. The order used walks the
    die counter-clockwise from the top of the left side (left side top to
    bottom, bottom side left to right, right side bottom to top, top side
    right to left), pads A, B, C, D inside a PIC, the four JTAG pads left
    out. A pad takes a control cell (BC_2) and then its BiDir cell (BC_7).
    A built-in record therefore only serves until the user gives a vendor
    description file.
  - A pad not bonded in the package keeps its two cells as internal cells
    (BC_1, no port): the first (in the control cell's place) has safe bit 1,
    keeping the unbonded driver off; the second has safe bit X.
  - Control cells carry no pin number; the BiDir cell carries its ball, and
    the ball's scan pin refers to the BiDir cell.
  - Scan pins are every ball in package order. IO balls are named after
    their pad, the TAP balls "TDI", "TDO", "TMS", "TCK"; supply balls "VCC"
    (core) and "VCCIO<bank>" have kind power, "GND" kind ground, "NC" kind
    normal. No ball but the TAP balls has a direction other than I/O.
  - The 256-ball records leave out ball A2 (no-connect on every density) and
    ball T16 (the last ball, a core supply ball, whose absence loses no
    signal): 254 pins. The 332-ball records leave out A2 only: 331 pins.
  - The register lengths A and D are the frame count and bits per frame of
    the die in devices-MachXO2.json."""

# The data folder's SOURCE files name each database, its commit and its
# license; the generated headers quote them.
SOURCE_FILES = [("prjtrellis-db", "SOURCE"), ("prjcombine", "SOURCE")]

# --- What the tables must reproduce -----------------------------------------

# Pin set enumerator suffix, die, package in prjtrellis-db, part and package
# in prjcombine, and the published figures: PinCount, IOCount, DiffCount,
# CLK pins, DLL pins.
PIN_SETS = [
    ("256_GA64", 256, "UCBGA64", "LCMXO2-256HC", (64, 45, 22, 16, 0)),
    ("256_TQ100", 256, "TQFP100", "LCMXO2-256HC", (100, 56, 28, 18, 0)),
    ("256_GA132", 256, "CSBGA132", "LCMXO2-256HC", (132, 56, 28, 18, 0)),
    ("640_TQ100", 640, "TQFP100", "LCMXO2-640HC", (100, 79, 39, 18, 0)),
    ("640_GA132", 640, "CSBGA132", "LCMXO2-640HC", (132, 80, 40, 18, 0)),
    ("640U_TQ144", 1200, "TQFP144", "LCMXO2-640UHC", (144, 108, 54, 18, 4)),
    ("1200_TQ100", 1200, "TQFP100", "LCMXO2-1200HC", (100, 80, 39, 18, 2)),
    ("1200_GA132", 1200, "CSBGA132", "LCMXO2-1200HC", (132, 105, 52, 18, 4)),
    ("1200_TQ144", 1200, "TQFP144", "LCMXO2-1200HC", (144, 108, 54, 18, 4)),
    ("1200U_GA256", 2000, "FTBGA256", "LCMXO2-1200UHC", (256, 207, 103, 18, 4)),
    ("2000_TQ100", 2000, "TQFP100", "LCMXO2-2000HC", (100, 80, 39, 18, 2)),
    ("2000_GA132", 2000, "CSBGA132", "LCMXO2-2000HC", (132, 105, 52, 18, 4)),
    ("2000_TQ144", 2000, "TQFP144", "LCMXO2-2000HC", (144, 112, 56, 18, 4)),
    ("2000_GA256", 2000, "CABGA256", "LCMXO2-2000HC", (256, 207, 103, 18, 4)),
    ("2000U_GA484", 4000, "FPBGA484", "LCMXO2-2000UHC", (484, 279, 139, 18, 8)),
    ("4000_GA132", 4000, "CSBGA132", "LCMXO2-4000HC", (132, 105, 52, 18, 8)),
    ("4000_TQ144", 4000, "TQFP144", "LCMXO2-4000HC", (144, 115, 56, 18, 8)),
    ("4000_GA256", 4000, "CABGA256", "LCMXO2-4000HC", (256, 207, 103, 18, 8)),
    ("4000_GA332", 4000, "CABGA332", "LCMXO2-4000HC", (332, 275, 137, 18, 8)),
    ("4000_GA484", 4000, "FPBGA484", "LCMXO2-4000HC", (484, 279, 139, 18, 8)),
    ("7000_TQ144", 7000, "TQFP144", "LCMXO2-7000HC", (144, 115, 56, 18, 8)),
    ("7000_GA256", 7000, "CABGA256", "LCMXO2-7000HC", (256, 207, 103, 18, 8)),
    ("7000_GA332", 7000, "CABGA332", "LCMXO2-7000HC", (332, 279, 139, 18, 8)),
    ("7000_GA484", 7000, "FPBGA484", "LCMXO2-7000HC", (484, 335, 167, 18, 8)),
]

# The 256 and 640 dies have no PCI-capable bank.
DIES_WITHOUT_PCI = {256, 640}

# Boundary-scan files: package in the file name -> package in the data,
# entity package code, TAP balls (TDI, TDO, TMS, TCK), balls left out.
BSDL_PACKAGES = {
    "ucbga64": ("UCBGA64", "XUMG64", ("B3", "A2", "B4", "A3"), ()),
    "tqfp100": ("TQFP100", "XXTG100", ("94", "95", "90", "91"), ()),
    "csbga132": ("CSBGA132", "XXMG132", ("B4", "A4", "A6", "B6"), ()),
    "tqfp144": ("TQFP144", "XXTG144", ("136", "137", "130", "131"), ()),
    "cabga256": ("CABGA256", "XXBG256", ("A6", "C6", "B8", "A7"), ("A2", "T16")),
    "ftbga256": ("FTBGA256", "XFTG256", ("A6", "C6", "B8", "A7"), ("A2", "T16")),
    "cabga332": ("CABGA332", "XXBG332", ("B7", "C7", "C9", "A8"), ("A2",)),
    "fpbga484": ("FPBGA484", "XFPG484", ("C7", "A6", "C9", "A8"), ()),
}

# Density, packages in record order, boundary length.
BSDL_DENSITIES = [
    (256, ["ucbga64", "tqfp100", "csbga132"], 104),
    (640, ["tqfp100", "csbga132"], 152),
    (1200, ["tqfp100", "csbga132", "tqfp144"], 208),
    (2000, ["tqfp100", "csbga132", "tqfp144", "cabga256", "ftbga256"], 424),
    (4000, ["csbga132", "tqfp144", "cabga256", "ftbga256", "cabga332", "fpbga484"], 552),
    (7000, ["tqfp144", "cabga256", "ftbga256", "cabga332", "fpbga484"], 664),
]
BSDL_VARIANTS = ["hc", "ze"]
BSDL_PIN_COUNTS = {"ucbga64": 64, "tqfp100": 100, "csbga132": 132, "tqfp144": 144,
                   "cabga256": 254, "ftbga256": 254, "cabga332": 331, "fpbga484": 484}

OPCODES = [
    ("IDCODE", "11100000"), ("ISC_ENABLE", "11000110"), ("ISC_PROGRAM_DONE", "01011110"),
    ("LSC_PROGRAM_SECPLUS", "11001111"), ("ISC_PROGRAM_USERCODE", "11000010"),
    ("ISC_PROGRAM_SECURITY", "11001110"), ("ISC_PROGRAM", "01100111"),
    ("LSC_ENABLE_X", "01110100"), ("BYPASS", "11111111"), ("ISC_DATA_SHIFT", "00001010"),
    ("ISC_DISCHARGE", "00010100"), ("USERCODE", "11000000"), ("ISC_ERASE_DONE", "00100100"),
    ("CLAMP", "01111000"), ("ISC_ADDRESS_SHIFT", "01000010"), ("PRELOAD", "00011100"),
    ("ISC_READ", "10000000"), ("ISC_DISABLE", "00100110"), ("ISC_ERASE", "00001110"),
    ("ISC_NOOP", "00110000"), ("SAMPLE", "00011100"), ("HIGHZ", "00011000"),
    ("EXTEST", "00010101"), ("PRIVATE", "00000010"),
]

# Register name ("{A}" and "{D}" stand for the die's address and data
# register lengths), instructions that select it.
REGISTERS = [
    ("ISC_ADDRESS[{A}]", ["ISC_ADDRESS_SHIFT"]),
    ("ISC_SECTOR[8]", ["ISC_ERASE"]),
    ("ISC_DEFAULT[1]", ["ISC_DISABLE", "ISC_NOOP", "ISC_DISCHARGE", "ISC_PROGRAM_DONE",
                        "ISC_ERASE_DONE", "ISC_PROGRAM_SECURITY", "LSC_PROGRAM_SECPLUS"]),
    ("BYPASS", ["CLAMP", "HIGHZ", "BYPASS"]),
    ("ISC_DATA[{D}]", ["ISC_DATA_SHIFT"]),
    ("ISC_CONFIG[8]", ["ISC_ENABLE", "LSC_ENABLE_X"]),
    ("ISC_PDATA[{D}]", ["ISC_PROGRAM", "ISC_READ"]),
    ("BOUNDARY", ["EXTEST", "PRELOAD", "SAMPLE"]),
    ("DEVICE_ID", ["IDCODE", "USERCODE", "ISC_PROGRAM_USERCODE"]),
]

JTAG_FUNCTIONS = ("TDI", "TDO", "TMS", "TCK")
PAD_LETTERS = "ABCD"


class DataError(Exception):
    pass


def require(condition, message):
    if not condition:
        raise DataError(message)


# --- Reading the data ---------------------------------------------------------


class Pad:
    """One IO pad of a die."""

    def __init__(self, meta, side, pic):
        self.row = meta["row"]
        self.col = meta["col"]
        self.letter = meta["pio"]
        self.bank = meta["bank"]
        self.function = meta.get("function", "")
        self.side = side
        self.pic = pic

    @property
    def key(self):
        return (self.row, self.col, self.letter)

    @property
    def name(self):
        return "P%s%d%s" % (self.side, self.pic, self.letter)

    @property
    def is_jtag(self):
        return self.function in JTAG_FUNCTIONS

    @property
    def is_clock(self):
        return "CLK" in self.function or self.function == "TCK"

    @property
    def is_dll(self):
        return "GPLL" in self.function


class Die:
    def __init__(self, density, geometry, iodb):
        self.density = density
        self.address_length = geometry["frames"]
        self.data_length = geometry["bits_per_frame"]
        max_row, max_col = geometry["max_row"], geometry["max_col"]
        self.max_row = max_row
        col_bias, row_bias = geometry["col_bias"], geometry.get("row_bias", 0)
        self.pads = {}
        for meta in iodb["pio_metadata"]:
            row, col = meta["row"], meta["col"]
            if col == 0:
                side, pic = "L", row + row_bias
            elif col == max_col:
                side, pic = "R", row + row_bias
            elif row == 0:
                side, pic = "T", col + col_bias
            elif row == max_row:
                side, pic = "B", col + col_bias
            else:
                raise DataError("LCMXO2-%d: pad at row %d col %d is on no side" % (density, row, col))
            pad = Pad(meta, side, pic)
            require(pad.key not in self.pads, "LCMXO2-%d: pad %s listed twice" % (density, pad.name))
            self.pads[pad.key] = pad
        self.packages = {}
        for package, balls in iodb["packages"].items():
            bonded = {}
            for ball, where in balls.items():
                key = (where["row"], where["col"], where["pio"])
                require(key in self.pads, "LCMXO2-%d %s: ball %s has no pad" % (density, package, ball))
                bonded[ball] = self.pads[key]
            self.packages[package] = bonded
        jtag = [pad.function for pad in self.pads.values() if pad.is_jtag]
        require(sorted(jtag) == sorted(JTAG_FUNCTIONS), "LCMXO2-%d: JTAG pads %s" % (density, jtag))

    def boundary_order(self):
        """The pads in boundary-register order (see DECISIONS)."""
        side_rank = {"L": 0, "B": 1, "R": 2, "T": 3}

        def ring_position(pad):
            along = {"L": pad.pic, "B": pad.pic, "R": -pad.pic, "T": -pad.pic}[pad.side]
            return (side_rank[pad.side], along, PAD_LETTERS.index(pad.letter))

        return sorted((pad for pad in self.pads.values() if not pad.is_jtag), key=ring_position)


def parse_prjcombine(text):
    """Bonds (name -> [(ball, what)]) and devices (part -> {package: bond})."""
    bonds, devices = {}, {}
    current, kind = None, None
    for raw in text.splitlines():
        line = raw.strip()
        if not line or line.startswith("//"):
            continue
        opening = re.match(r"^(bond|device|chip)\s+(\S+)\s*\{$", line)
        if opening and raw[0] not in " \t":
            kind, name = opening.groups()
            current = name
            if kind == "bond":
                bonds[name] = []
            elif kind == "device":
                devices[name] = {}
            continue
        if raw.startswith("}"):
            current, kind = None, None
            continue
        if kind == "bond":
            pin = re.match(r"^pin\s+(\S+)\s*=\s*(\S+);$", line)
            if pin:
                bonds[current].append(pin.groups())
        elif kind == "device":
            bond = re.match(r"^bond\s+(\S+)\s*=\s*(\S+);$", line)
            if bond:
                devices[current][bond.group(1)] = bond.group(2)
    return bonds, devices


def ball_order(ball):
    """Package order: pin number, or row letters (A..Z, then AA..) and column."""
    match = re.match(r"^([A-Z]*)(\d+)$", ball)
    require(match is not None, "unexpected ball name %r" % ball)
    letters, number = match.groups()
    return (len(letters), letters, int(number))


class Data:
    def __init__(self, folder):
        self.folder = folder
        devices_path = os.path.join(folder, "prjtrellis-db", "devices-MachXO2.json")
        with open(devices_path, encoding="utf-8") as f:
            geometry = json.load(f)["families"]["MachXO2"]["devices"]
        self.dies = {}
        for density in (256, 640, 1200, 2000, 4000, 7000):
            part = "LCMXO2-%d" % density
            with open(os.path.join(folder, "prjtrellis-db", part, "iodb.json"), encoding="utf-8") as f:
                self.dies[density] = Die(density, geometry[part], json.load(f))
        with open(os.path.join(folder, "prjcombine", "machxo2.txt"), encoding="utf-8") as f:
            self.bonds, self.devices = parse_prjcombine(f.read())
        self.sources = []
        for database, name in SOURCE_FILES:
            with open(os.path.join(folder, database, name), encoding="utf-8") as f:
                self.sources.append((database, f.read()))

    def bond(self, part, package):
        require(part in self.devices, "prjcombine has no part %s" % part)
        require(package in self.devices[part], "prjcombine has no package %s for %s" % (package, part))
        return self.devices[part][package]

    def balls(self, die, part, package):
        """Every ball of the package: (ball, pad or None, what prjcombine says)."""
        bonded = die.packages[package]
        rows = []
        for ball, what in self.bonds[self.bond(part, package)]:
            pad = bonded.get(ball)
            if what.startswith("IOB_"):
                require(pad is not None, "%s %s: ball %s is %s in prjcombine but not bonded in prjtrellis-db"
                        % (part, package, ball, what))
                check_same_pad(die, part, package, ball, what, pad)
            else:
                require(pad is None, "%s %s: ball %s is %s in prjcombine but bonded in prjtrellis-db"
                        % (part, package, ball, what))
            rows.append((ball, pad, what))
        require(len(set(b for b, _, _ in rows)) == len(rows), "%s %s: a ball is listed twice" % (part, package))
        require(sum(1 for _, pad, _ in rows if pad) == len(bonded),
                "%s %s: prjcombine misses IO balls of prjtrellis-db" % (part, package))
        return sorted(rows, key=lambda row: ball_order(row[0]))


def check_same_pad(die, part, package, ball, what, pad):
    """prjcombine names a pad IOB_<W|E|N|S><index>_<0..3>, the index being the
    tile column on the top and bottom sides and the tile row counted from the
    bottom on the left and right sides; both sources must name the same pad."""
    match = re.match(r"^IOB_([WENS])(\d+)_(\d)$", what)
    require(match is not None, "%s %s: ball %s is %s" % (part, package, ball, what))
    side, index, letter = match.group(1), int(match.group(2)), PAD_LETTERS[int(match.group(3))]
    expected_side = {"W": "L", "E": "R", "N": "T", "S": "B"}[side]
    position = die.max_row - 1 - pad.row if side in "WE" else pad.col
    require((expected_side, index, letter) == (pad.side, position, pad.letter),
            "%s %s: ball %s is %s in prjcombine but %s in prjtrellis-db" % (part, package, ball, what, pad.name))


# --- Pin sets -----------------------------------------------------------------

STANDARD_SET_NAMES = {
    ("paired", False): "kPairedStandards",
    ("paired", True): "kPairedPciStandards",
    ("single", False): "kSingleEndedStandards",
    ("single", True): "kSingleEndedPciStandards",
}


class PinRow:
    def __init__(self, ball, bank="", diff="", options=(), standards="kNoStandards"):
        self.ball = ball
        self.bank = bank
        self.diff = diff
        self.options = list(options)
        self.standards = standards


def pin_set_rows(data, suffix, density, package, part):
    die = data.dies[density]
    balls = data.balls(die, part, package)
    has_pci = density not in DIES_WITHOUT_PCI
    io = [(ball, pad) for ball, pad, _ in balls if pad is not None]
    others = [ball for ball, pad, _ in balls if pad is None]

    sides_of_bank = collections.defaultdict(set)
    for _, pad in io:
        sides_of_bank[pad.bank].add(pad.side)
    for bank, sides in sides_of_bank.items():
        require(len(sides) == 1, "%s: bank %d spans sides %s" % (suffix, bank, sorted(sides)))
        expected = {0: "T", 1: "R", 2: "B"}.get(bank, "L")
        require(sides == {expected}, "%s: bank %d is on side %s" % (suffix, bank, sides))

    io.sort(key=lambda item: (item[1].bank, item[1].pic, PAD_LETTERS.index(item[1].letter)))
    letters_of_pic = collections.defaultdict(set)
    for _, pad in io:
        letters_of_pic[(pad.side, pad.pic)].add(pad.letter)

    rows = []
    for ball, pad in io:
        bonded = letters_of_pic[(pad.side, pad.pic)]
        first, second = ("A", "B") if pad.letter in "AB" else ("C", "D")
        paired = first in bonded and second in bonded
        options = ["IO"]
        diff = ""
        if paired:
            pairs_before = 1 if first == "C" and "A" in bonded and "B" in bonded else 0
            diff = "%s%d%s" % (pad.side, pad.pic, "AB"[pairs_before])
            options.append("DiffP" if pad.letter == first else "DiffN")
        if pad.is_clock:
            options.append("Clock")
        if pad.is_dll:
            options.append("DLL")
        pci = has_pci and pad.bank == 2
        standards = STANDARD_SET_NAMES[("paired" if paired else "single", pci)]
        rows.append(PinRow(ball, str(pad.bank), diff, options, standards))
    rows.extend(PinRow(ball) for ball in others)

    figures = (len(rows), len(io), sum(1 for r in rows if "DiffP" in r.options),
               sum(1 for r in rows if "Clock" in r.options), sum(1 for r in rows if "DLL" in r.options))
    return rows, figures, has_pci


def build_pin_sets(data):
    sets = []
    for suffix, density, package, part, published in PIN_SETS:
        rows, figures, has_pci = pin_set_rows(data, suffix, density, package, part)
        require(figures == published, "pin set %s: derived %s, published %s" % (suffix, figures, published))
        sets.append((suffix, rows, has_pci))
    return sets


# --- Boundary-scan records ------------------------------------------------------


class Cell:
    def __init__(self, number, kind, port, function, safe, disable_value, disable_result,
                 ball, control, target):
        self.fields = (number, kind, port, function, safe, disable_value, disable_result,
                       ball, control, target)


class ScanPin:
    def __init__(self, direction, name, ball, kind, cell):
        self.fields = (direction, name, ball, kind, cell)


def boundary_cells(die, ball_of_pad):
    cells = []
    for pad in die.boundary_order():
        number = len(cells)
        ball = ball_of_pad.get(pad.key)
        if ball is None:
            cells.append(Cell(number, "kBC_1", "*", "kInternal", "kBit1", "kBitU", "kResultU", "", -1, -1))
            cells.append(Cell(number + 1, "kBC_1", "*", "kInternal", "kBitX", "kBitU", "kResultU", "", -1, -1))
        else:
            cells.append(Cell(number, "kBC_2", "*", "kControl", "kBit1", "kBitU", "kResultU", "", -1, number + 1))
            cells.append(Cell(number + 1, "kBC_7", pad.name, "kBiDir", "kBitX", "kBit1", "kResultZ", ball,
                              number, -1))
    return cells


def scan_pins(balls, cell_of_ball, left_out):
    pins = []
    for ball, pad, what in balls:
        if ball in left_out:
            continue
        if pad is not None and pad.is_jtag:
            direction = "kOut" if pad.function == "TDO" else "kIn"
            pins.append(ScanPin(direction, pad.function, ball, "k" + pad.function, -1))
        elif pad is not None:
            pins.append(ScanPin("kInOut", pad.name, ball, "kNormal", cell_of_ball[ball]))
        elif what == "VCCINT":
            pins.append(ScanPin("kInOut", "VCC", ball, "kPower", -1))
        elif re.match(r"^VCCIO\d$", what):
            pins.append(ScanPin("kInOut", what, ball, "kPower", -1))
        elif what == "GND":
            pins.append(ScanPin("kInOut", "GND", ball, "kGround", -1))
        elif what == "NC":
            pins.append(ScanPin("kInOut", "NC", ball, "kNormal", -1))
        else:
            raise DataError("ball %s is %s, which no record knows" % (ball, what))
    return pins


def build_bsdl(data):
    """Shared cell/pin tables per (density, bond) and the 48 records."""
    tables = {}  # (density, bond) -> (label, cells, pins)
    records = []
    for density, packages, length in BSDL_DENSITIES:
        die = data.dies[density]
        require(2 * len(die.boundary_order()) == length,
                "LCMXO2-%d: %d boundary cells, published %d" % (density, 2 * len(die.boundary_order()), length))
        for variant in BSDL_VARIANTS:
            part = "LCMXO2-%d%s" % (density, variant.upper())
            for package in packages:
                data_package, code, tap, left_out = BSDL_PACKAGES[package]
                bond = data.bond(part, data_package)
                key = (density, bond)
                if key not in tables:
                    balls = data.balls(die, part, data_package)
                    kinds = {b: what for b, _, what in balls}
                    for ball in left_out:
                        require(kinds.get(ball) in ("NC", "VCCINT"),
                                "%s %s: ball %s to leave out is %s, not a no-connect or core supply ball"
                                % (part, package, ball, kinds.get(ball)))
                    ball_of_pad = {pad.key: ball for ball, pad, _ in balls if pad is not None}
                    cells = boundary_cells(die, ball_of_pad)
                    cell_of_ball = {c.fields[7]: c.fields[0] for c in cells if c.fields[7]}
                    pins = scan_pins(balls, cell_of_ball, left_out)
                    require(len(pins) == BSDL_PIN_COUNTS[package],
                            "%s %s: %d scan pins, published %d" % (part, package, len(pins), BSDL_PIN_COUNTS[package]))
                    taps = {p.fields[1]: p.fields[2] for p in pins if p.fields[1] in JTAG_FUNCTIONS}
                    require(tuple(taps[f] for f in JTAG_FUNCTIONS) == tap,
                            "%s %s: TAP balls %s, published %s" % (part, package, taps, tap))
                    label = "%d_%s" % (density, package.upper())
                    tables[key] = (label, cells, pins)
                label = tables[key][0]
                records.append({
                    "file": "lcmxo2_%d%s_%s.bsd" % (density, variant, package),
                    "entity": "LCMXO2_%d%s_%s" % (density, variant.upper(), code),
                    "length": length,
                    "tap": tap,
                    "tables": label,
                    "density": density,
                })
    require(len(records) == 48, "%d boundary-scan records" % len(records))
    return tables, records


# --- Writing C++ ------------------------------------------------------------------


def header_comment(what, sources):
    lines = ["// Generated by %s — do not edit." % SCRIPT_NAME,
             "// Regenerate: python3 %s --data ../shared/data" % SCRIPT_NAME,
             "//",
             "// %s" % what,
             "//",
             "// Facts from two open databases (their files are not part of this repository):"]
    for name, text in sources:
        wrapped = textwrap.wrap(" ".join(text.split()), width=72)
        lines.append("//   - %s:" % name)
        lines += ["//       " + line for line in wrapped]
    lines += ["//", "// Decisions where the data leaves a choice:"]
    lines += ["// " + line for line in DECISIONS.splitlines()]
    return "\n".join(lines) + "\n"


def quote(text):
    require(all(32 <= ord(c) < 127 and c not in '"\\' for c in text), "cannot quote %r" % text)
    return '"%s"' % text


OPTION_NAMES = {"IO": "kIO", "Clock": "kClock", "DiffP": "kDiffP", "DiffN": "kDiffN", "DLL": "kDLL"}


def write_pin_sets(sets, sources):
    out = [header_comment("The pin rows of the 24 MachXO2 pin sets.", sources),
           '#include <array>',
           '#include <cstdint>',
           '#include <stdexcept>',
           '#include <string>',
           '',
           '#include "devices/machxo2/PinTables.h"',
           '',
           'namespace machxo2 {',
           'namespace {',
           '',
           'constexpr uint16_t kIO = PinOptionBit(ePinOption_IO);',
           'constexpr uint16_t kClock = PinOptionBit(ePinOption_Clock);',
           'constexpr uint16_t kDiffP = PinOptionBit(ePinOption_DiffPositive);',
           'constexpr uint16_t kDiffN = PinOptionBit(ePinOption_DiffNegative);',
           'constexpr uint16_t kDLL = PinOptionBit(ePinOption_DLL);',
           '',
           'constexpr TIOStandardSet kNoStandards{};',
           'constexpr TIOStandardSet kPairedStandards = kAllIOStandards.Without(sPCI33_3);',
           'constexpr TIOStandardSet kPairedPciStandards = kAllIOStandards;',
           'constexpr TIOStandardSet kSingleEndedStandards = kSingleEndedIOStandards;',
           'constexpr TIOStandardSet kSingleEndedPciStandards = kSingleEndedIOStandards.With(sPCI33_3);',
           '',
           '// PinNumber, Bank, DiffId, ClkDiffId, Options, Standards.',
           'constexpr TPinParameters kPinRows[] = {']
    slices = []
    first = 0
    for suffix, rows, has_pci in sets:
        out.append("    // ePinSet_LCMXO2_%s" % suffix)
        for row in rows:
            options = " | ".join(OPTION_NAMES[o] for o in row.options) or "0"
            out.append("    {%s, %s, %s, \"\", %s, %s}," % (quote(row.ball), quote(row.bank), quote(row.diff),
                                                          options, row.standards))
        slices.append((suffix, first, len(rows), has_pci))
        first += len(rows)
    out += ['};',
            '',
            'struct TPinSetSlice {',
            '  TDevicePinSet PinSet;',
            '  int32_t First;',
            '  int32_t Count;',
            '  TIOStandardSet Standards;',
            '};',
            '',
            'constexpr std::array<TPinSetSlice, kDevicePinSetCount> kPinSetSlices = {{']
    for suffix, first, count, has_pci in slices:
        standards = "kAllIOStandards" if has_pci else "kAllIOStandards.Without(sPCI33_3)"
        out.append("    {ePinSet_LCMXO2_%s, %d, %d, %s}," % (suffix, first, count, standards))
    out += ['}};',
            '',
            'constexpr bool SlicesAreInOrder() {',
            '  int32_t next = 0;',
            '  for (int32_t i = 0; i < kDevicePinSetCount; ++i) {',
            '    if (kPinSetSlices[i].PinSet != i || kPinSetSlices[i].First != next) return false;',
            '    next += kPinSetSlices[i].Count;',
            '  }',
            '  return next == static_cast<int32_t>(std::size(kPinRows));',
            '}',
            'static_assert(SlicesAreInOrder());',
            '',
            'const TPinSetSlice& SliceOf(TDevicePinSet pinSet) {',
            '  if (pinSet < 0 || pinSet >= kDevicePinSetCount) {',
            '    throw std::out_of_range("pin set " + std::to_string(pinSet) + " is not one of the " +',
            '                            std::to_string(kDevicePinSetCount) + " MachXO2 pin sets");',
            '  }',
            '  return kPinSetSlices[pinSet];',
            '}',
            '',
            '}  // namespace',
            '',
            'std::span<const TPinParameters> PinRows(TDevicePinSet pinSet) {',
            '  const TPinSetSlice& slice = SliceOf(pinSet);',
            '  return std::span<const TPinParameters>(kPinRows).subspan(slice.First, slice.Count);',
            '}',
            '',
            'TIOStandardSet PinSetStandards(TDevicePinSet pinSet) { return SliceOf(pinSet).Standards; }',
            '',
            '}  // namespace machxo2',
            '']
    return "\n".join(out)


def write_bsdl(data, tables, records):
    out = [header_comment("The 48 built-in boundary-scan records of the MachXO2 dies and packages.",
                          data.sources),
           '#include <array>',
           '#include <cstdint>',
           '#include <string_view>',
           '',
           '#include "devices/machxo2/BsdlRecords.h"',
           '',
           'namespace machxo2 {',
           'namespace {',
           '',
           '// Short names keep the tables readable.',
           'constexpr auto kBC_1 = bsdl::eCellKind_BC_1;',
           'constexpr auto kBC_2 = bsdl::eCellKind_BC_2;',
           'constexpr auto kBC_7 = bsdl::eCellKind_BC_7;',
           'constexpr auto kControl = bsdl::eCellFunction_Control;',
           'constexpr auto kBiDir = bsdl::eCellFunction_BiDir;',
           'constexpr auto kInternal = bsdl::eCellFunction_Internal;',
           'constexpr auto kBitU = bsdl::eBit_Undefined;',
           'constexpr auto kBit1 = bsdl::eBit_1;',
           'constexpr auto kBitX = bsdl::eBit_X;',
           'constexpr auto kResultU = bsdl::eDisableResult_Undefined;',
           'constexpr auto kResultZ = bsdl::eDisableResult_HiZ;',
           'constexpr auto kIn = bsdl::eElectricInput;',
           'constexpr auto kOut = bsdl::eElectricOutput;',
           'constexpr auto kInOut = bsdl::eElectricIO;',
           'constexpr auto kNormal = bsdl::eScanPinKind_Normal;',
           'constexpr auto kPower = bsdl::eScanPinKind_Power;',
           'constexpr auto kGround = bsdl::eScanPinKind_Ground;',
           'constexpr auto kTDI = bsdl::eScanPinKind_TDI;',
           'constexpr auto kTDO = bsdl::eScanPinKind_TDO;',
           'constexpr auto kTMS = bsdl::eScanPinKind_TMS;',
           'constexpr auto kTCK = bsdl::eScanPinKind_TCK;',
           '',
           '// The instructions, the same in every record.',
           'constexpr TOpCodeParameters kOpCodes[] = {']
    for name, pattern in OPCODES:
        out.append("    {%s, %s}," % (quote(name), quote(pattern)))
    out += ['};', '', '// The instructions that select each data register.']
    opcode_names = {name for name, _ in OPCODES}
    for index, (register, instructions) in enumerate(REGISTERS):
        require(all(i in opcode_names for i in instructions), "register %s: unknown instruction" % register)
        out.append("constexpr std::string_view kSelects%d[] = {%s};  // %s"
                   % (index, ", ".join(quote(i) for i in instructions), register.split("[")[0]))
    out.append('')
    for density, _, _ in BSDL_DENSITIES:
        die = data.dies[density]
        out.append("constexpr TRegisterAssociationParameters kRegisters_%d[] = {" % density)
        for index, (register, _) in enumerate(REGISTERS):
            name = register.format(A=die.address_length, D=die.data_length)
            out.append("    {%s, 0, kSelects%d}," % (quote(name), index))
        out.append("};")
    out.append('')

    for label, cells, pins in tables.values():  # in order of first use
        out.append("// CellNumber, CellKind, PortId, CellFunction, SafeBit, DisableValue, DisableResult,")
        out.append("// PinNumber, ControlCellNumber, TargetCellNumber.")
        out.append("constexpr TBoundaryCellParameters kCells_%s[] = {" % label)
        for cell in cells:
            n, kind, port, function, safe, dv, dr, ball, control, target = cell.fields
            out.append("    {%d, %s, %s, %s, %s, %s, %s, %s, %d, %d},"
                       % (n, kind, quote(port), function, safe, dv, dr, quote(ball), control, target))
        out.append("};")
        out.append("// Direction, PinName, PinNumber, Kind, PinMapping, BoundaryCellCount, BoundaryCell.")
        out.append("constexpr TScanPinParameters kPins_%s[] = {" % label)
        for pin in pins:
            direction, name, ball, kind, cell = pin.fields
            out.append("    {%s, %s, %s, %s, {%s, %s}, %d, %d},"
                       % (direction, quote(name), quote(ball), kind, quote(name), quote(ball),
                          0 if cell < 0 else 1, cell))
        out.append("};")
        out.append('')

    out.append("constexpr std::array<std::string_view, %d> kFileNames = {{" % len(records))
    for record in records:
        out.append("    %s," % quote(record["file"]))
    out += ["}};", "",
            "constexpr std::array<TBSDLParameters, %d> kRecords = {{" % len(records)]
    for record in records:
        tdi, tdo, tms, tck = record["tap"]
        out.append("    {%s, %d, 25000000.0, bsdl::eScanClockHaltMode_Both, \"STD_1149_1_2001\", \"\","
                   % (quote(record["entity"]), record["length"]))
        out.append("     %s, 0x1C, %s, %s, %s, %s, \"\","
                   % (quote(record["file"]), quote(tdi), quote(tdo), quote(tms), quote(tck)))
        out.append("     kPins_%s, kCells_%s, kOpCodes, kRegisters_%d},"
                   % (record["tables"], record["tables"], record["density"]))
    out += ["}};",
            "",
            "constexpr bool NamesMatchRecords() {",
            "  for (size_t i = 0; i < kRecords.size(); ++i) {",
            "    if (kRecords[i].Filename != kFileNames[i]) return false;",
            "  }",
            "  return true;",
            "}",
            "static_assert(NamesMatchRecords());",
            "",
            "}  // namespace",
            "",
            "std::span<const TBSDLParameters> BuiltInBsdlRecords() { return kRecords; }",
            "",
            "std::span<const std::string_view> BuiltInBsdlFileNames() { return kFileNames; }",
            "",
            "}  // namespace machxo2",
            ""]
    return "\n".join(out)


# --- Main -----------------------------------------------------------------------


def main():
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description="Writes the MachXO2 pin and boundary-scan tables.")
    parser.add_argument("--data", default=os.path.join(repo, "..", "shared", "data"),
                        help="folder holding prjtrellis-db/ and prjcombine/ (default: ../shared/data)")
    parser.add_argument("--out", default=repo, help="repository root to write into (default: this repository)")
    parser.add_argument("--check", action="store_true", help="compare with the files on disk instead of writing")
    args = parser.parse_args()

    try:
        data = Data(args.data)
        pin_sets = build_pin_sets(data)
        tables, records = build_bsdl(data)
    except (DataError, OSError, KeyError, ValueError) as error:
        print("gen_machxo2_tables: %s" % error, file=sys.stderr)
        return 2

    outputs = {
        os.path.join("devices", "machxo2", "generated", "PinSets.generated.cpp"): write_pin_sets(pin_sets, data.sources),
        os.path.join("devices", "machxo2", "generated", "BsdlRecords.generated.cpp"): write_bsdl(data, tables, records),
    }
    stale = []
    for relative, text in outputs.items():
        path = os.path.join(args.out, relative)
        if args.check:
            try:
                with open(path, encoding="utf-8", newline="") as f:
                    if f.read() != text:
                        stale.append(relative)
            except FileNotFoundError:
                stale.append(relative)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        print("wrote %s (%d rows of text)" % (relative, text.count("\n")))
    if stale:
        print("stale: %s" % ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
