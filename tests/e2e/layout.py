"""Where the controls of the window are, in window pixels.

The window's inventory places controls in twips, 15 to a pixel. The score
canvas and the keyboard panel draw inside a 2-pixel border, so their own
coordinates start 2 pixels right of and below their top-left corner.
"""


def px(twips):
    return int(twips / 15)


def centre(left, top, width, height):
    return left + width // 2, top + height // 2


def control(left, top, width, height, dx=0, dy=0):
    """Centre of a control placed in twips, in a container at dx, dy pixels."""
    return centre(px(left) + dx, px(top) + dy, px(width), px(height))


DESIGN_SIZE = (889, 416)
WITH_PIANO = (889, 530)  # tall enough to show the keyboard panel in full

# Score canvas: Picture2 at 180, 240 twips; its drawing starts inside the border.
CANVAS = (12 + 2, 16 + 2)


def on_canvas(x, y):
    return CANVAS[0] + x, CANVAS[1] + y


STAFF_LINES = (40, 48, 56, 64, 72, 88, 96, 104, 112, 120)  # canvas y
STAFF_COLOUR = (132, 140, 148)


def row_y(row):
    """A canvas y whose staff row is `row` and where a stem-up cursor glyph,
    whose bottom edge lies on the snapped row, still covers the pointer."""
    return 4 * (42 - row) - 2


def measure_x(column, offset):
    """Canvas x of a pointer `offset` pixels into view column 0..3."""
    return 65 + 200 * column + offset


LOAD = control(10080, 0, 675, 255)  # Command18
SAVE = control(10740, 0, 675, 255)  # Command14
FLAT = control(0, 960, 195, 495)  # Command5
SHARP = control(0, 1440, 195, 495)  # Command6
TRACK_UP = control(0, 0, 435, 255, *CANVAS)  # Command3, inside the canvas
TRACK_DOWN = control(0, 2040, 435, 255, *CANVAS)  # Command4
SCROLL_BACK = control(420, 2040, 435, 255, *CANVAS)  # Command12
SCROLL_ON = control(12540, 2040, 435, 255, *CANVAS)  # Command13
COMBO_ARROW = (px(8400) + px(1335) - 8, px(300) // 2)  # Combo1's drop-down button
COMBO_TEXT = (px(8400) + 30, px(300) // 2)
METER_ARROW = (px(11880) + px(1395) - 8, px(300) // 2)  # Combo2's drop-down button
TRACK_NUMBER = control(420, 0, 375, 225)  # Text5
SLIDER = (800, (173 + 196) // 2)  # the strip of Slider1 between canvas and palette
TRK_PLAY = control(60, 120, 555, 255, px(0), px(3840))  # Command1 in Frame1
ALL_PLAY = control(660, 120, 495, 255, px(0), px(3840))  # Command7 in Frame1
DELETE = control(6780, 3540, 375, 375)  # Command17
TEXT1 = (600, px(4260) + 40)  # a point of Text1 clear of the buttons on it
TEXT2 = (600, px(5520) + 25)
OPTIMIZE = control(0, 5340, 855, 195)  # Command15
DOUBLE_SPEED = (px(900) + 6, px(5340) + 6)  # Check2's box
KEY_ENTRY = control(10740, 5340, 1095, 195)  # Command16

PALETTE_ROW_LEFTS = (-30, 420, 870, 1320, 1770, 2220, 2670, 3120, 3540, 3990, 4440, 4890, 5340,
                     5760, 6180, 6600, 7020, 7440, 7860, 8280, 8700, 9120, 9540, 9960, 10380,
                     10800, 11220, 11640, 12060, 12480, 12900)


def palette_rect(i):
    """Left, top, width, height of palette button i (0..30, the glyph row)."""
    return px(PALETTE_ROW_LEFTS[i]), px(2940), px(465), px(615)


def palette(i):
    return centre(*palette_rect(i))


def check_box(i):
    """Centre of track check box Check3(i)."""
    return control(10920 + 240 * (i % 10), 3900 if i < 10 else 4080, 195, 195)


# Keyboard panel: Picture1 at 0, 6240 twips; key k sounds MIDI note k + 24.
PIANO = (0 + 2, 416 + 2)
WHITE_KEY = (25, 106)
BLACK_KEY = (17, 65)
BLACK_LEFTS = {1: 240, 3: 630, 6: 1440, 8: 1830, 10: 2220, 13: 2970, 15: 3360, 18: 4170,
               20: 4560, 22: 4950, 25: 5700, 27: 6090, 30: 6870, 32: 7260, 34: 7650, 37: 8430,
               39: 8820, 42: 9600, 44: 9990, 46: 10380, 49: 11160, 51: 11580, 54: 12330,
               56: 12720}


def key_rect(k):
    """Left, top, width, height of piano key k in window pixels."""
    if k in BLACK_LEFTS:
        return PIANO[0] + px(BLACK_LEFTS[k]), PIANO[1], *BLACK_KEY
    whites_before = sum(1 for j in range(k) if j not in BLACK_LEFTS)
    return PIANO[0] + px(390 * whites_before), PIANO[1], *WHITE_KEY


def on_key(k, y, dx=None):
    """Window point y pixels below the top of key k (horizontally centred)."""
    left, top, width, _ = key_rect(k)
    return left + (width // 2 if dx is None else dx), top + y
