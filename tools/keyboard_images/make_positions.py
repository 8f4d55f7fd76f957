#!/usr/bin/env python3
"""Lays out the 104-key keyboard and writes its key coordinates file.

The coordinates file is the one source of key geometry: the program reads it
for hit testing and tooltips, and draw_keyboard renders the pictures from it.
Run once after changing the layout below:
    tools/keyboard_images/make_positions.py > uires/keyboard/positions.xml
"""
from xml.sax.saxutils import quoteattr

UNIT = 38      # pixels per key unit
KEY_GAP = 4    # pixels between neighbouring caps
MARGIN = 18
CAP_COLOR = "#FF403731"  # 0xAABBGGRR: the caps' face colour

# (virtual-key code, name, width in units); None is a gap of that width.
ROWS = [
    [(0x1B, "Esc", 1), None, (0x70, "F1", 1), (0x71, "F2", 1), (0x72, "F3", 1), (0x73, "F4", 1),
     None, (0x74, "F5", 1), (0x75, "F6", 1), (0x76, "F7", 1), (0x77, "F8", 1),
     None, (0x78, "F9", 1), (0x79, "F10", 1), (0x7A, "F11", 1), (0x7B, "F12", 1)],
    [(0xC0, "~", 1), (0x31, "1", 1), (0x32, "2", 1), (0x33, "3", 1), (0x34, "4", 1),
     (0x35, "5", 1), (0x36, "6", 1), (0x37, "7", 1), (0x38, "8", 1), (0x39, "9", 1),
     (0x30, "0", 1), (0xBD, "-", 1), (0xBB, "=", 1), (0x08, "Backspace", 2)],
    [(0x09, "Tab", 1.5), (0x51, "Q", 1), (0x57, "W", 1), (0x45, "E", 1), (0x52, "R", 1),
     (0x54, "T", 1), (0x59, "Y", 1), (0x55, "U", 1), (0x49, "I", 1), (0x4F, "O", 1),
     (0x50, "P", 1), (0xDB, "[", 1), (0xDD, "]", 1), (0xDC, "\\", 1.5)],
    [(0x14, "CapsLock", 1.75), (0x41, "A", 1), (0x53, "S", 1), (0x44, "D", 1), (0x46, "F", 1),
     (0x47, "G", 1), (0x48, "H", 1), (0x4A, "J", 1), (0x4B, "K", 1), (0x4C, "L", 1),
     (0xBA, ";", 1), (0xDE, "\u2018", 1), (0x0D, "Enter", 2.25)],
    [(0xA0, "ShiftLeft", 2.25), (0x5A, "Z", 1), (0x58, "X", 1), (0x43, "C", 1), (0x56, "V", 1),
     (0x42, "B", 1), (0x4E, "N", 1), (0x4D, "M", 1), (0xBC, ",", 1), (0xBE, ".", 1),
     (0xBF, "/", 1), (0xA1, "ShiftRight", 2.75)],
    [(0xA2, "CtrlLeft", 1.25), (0x5B, "WinLeft", 1.25), (0xA4, "AltLeft", 1.25),
     (0x20, "SpaceBar", 6.25), (0xA5, "AltRight", 1.25), (0x5C, "WinRight", 1.25),
     (0x5D, "App", 1.25), (0xA3, "CtrlRight", 1.25)],
]

# The navigation block and the numeric pad: (code, name, column, row, w, h) in
# units from the block's top-left corner; row 0 is the function-key row.
NAV = [(0x2C, "PrintScreen", 0, 0), (0x91, "ScrollLock", 1, 0), (0x13, "Pause", 2, 0),
       (0x2D, "Insert", 0, 1), (0x24, "Home", 1, 1), (0x21, "PageUp", 2, 1),
       (0x2E, "Delete", 0, 2), (0x23, "End", 1, 2), (0x22, "PageDown", 2, 2),
       (0x26, "ArrowUp", 1, 4), (0x25, "ArrowLeft", 0, 5), (0x28, "ArrowDown", 1, 5),
       (0x27, "ArrowRight", 2, 5)]
PAD = [(0x90, "NumLock", 0, 1, 1, 1), (0x6F, "Pad /", 1, 1, 1, 1), (0x6A, "Pad *", 2, 1, 1, 1),
       (0x6D, "Pad -", 3, 1, 1, 1), (0x67, "Pad 7", 0, 2, 1, 1), (0x68, "Pad 8", 1, 2, 1, 1),
       (0x69, "Pad 9", 2, 2, 1, 1), (0x6B, "Pad +", 3, 2, 1, 2), (0x64, "Pad 4", 0, 3, 1, 1),
       (0x65, "Pad 5", 1, 3, 1, 1), (0x66, "Pad 6", 2, 3, 1, 1), (0x61, "Pad 1", 0, 4, 1, 1),
       (0x62, "Pad 2", 1, 4, 1, 1), (0x63, "Pad 3", 2, 4, 1, 1),
       # The pad's Enter is the extended twin of the main Enter.
       (0x10D, "Pad Enter", 3, 4, 1, 2), (0x60, "Pad 0", 0, 5, 2, 1), (0x6E, "Pad .", 2, 5, 1, 1)]

FUNCTION_ROW_GAP = 0.5  # units between the function row and the number row
BLOCK_GAP = 0.5         # units between the main block, the navigation block and the pad


def row_top(row):
    return MARGIN + round((row + (FUNCTION_ROW_GAP if row > 0 else 0)) * UNIT)


def key(code, name, x, y, w, h):
    rect = f"{x + KEY_GAP // 2},{y + KEY_GAP // 2},{w - KEY_GAP},{h - KEY_GAP}"
    return (f'\t<key id="{code}" va="{code & 0xFF}" name={quoteattr(name)} '
            f'rect="{rect}" color="{CAP_COLOR}"/>')


def main():
    lines = []
    for r, row in enumerate(ROWS):
        x = 0.0
        for item in row:
            if item is None:
                x += 0.5 if r == 0 else 0
                continue
            code, name, width = item
            lines.append((code, name, MARGIN + round(x * UNIT), row_top(r),
                          round(width * UNIT), UNIT))
            x += width
    nav_left = 15 + BLOCK_GAP
    for code, name, col, row in NAV:
        lines.append((code, name, MARGIN + round((nav_left + col) * UNIT), row_top(row),
                      UNIT, UNIT))
    pad_left = nav_left + 3 + BLOCK_GAP
    for code, name, col, row, w, h in PAD:
        top = row_top(row)
        lines.append((code, name, MARGIN + round((pad_left + col) * UNIT), top, w * UNIT,
                      row_top(row + h) - top))
    width = MARGIN * 2 + round((pad_left + 4) * UNIT)
    height = row_top(6) + MARGIN
    print('<?xml version="1.0" encoding="utf-8"?>')
    print(f'<positions width="{width}" height="{height}">')
    for code, name, x, y, w, h in lines:
        print(key(code, name, x, y, w, h))
    print("</positions>")


if __name__ == "__main__":
    main()
