"""End-to-end scenarios: the real program on a private X server, driven by
real pointer and key input, checked from outside through its files, the
clipboard and the screen.

Usage: scenarios.py PROGRAM TEMPLATE (NAME [ARTIFACT_DIR] | --list | --screenshot PNG)
"""

import json
import os
import shutil
import subprocess
import sys
import time

import layout as L
import midi
from harness import (CAPTIONS, PROMPT_TITLE, Failure, Session, ask_window_to_close, check,
                     is_dark, missing_tools, wait_until)

SCENARIOS = {}

QUARTER, EIGHTH = 32, 16  # ticks
# Keyboard entry writes into measure 4 of a new piece: in 4/4 the three empty
# measures before it are three bars of rest.
ENTRY_START, ENTRY_RESTS = 3 * 128, "r1 r1 r1 "
LUTE, FLUTE = 105, 74
EMPTY_TRACK_0 = bytes.fromhex("4d546864 00000006 0001 0001 0020"
                              "4d54726b 00000007 00c069 20ff2f00")
NO_TRACKS = bytes.fromhex("4d546864 00000006 0001 0000 0020")


def scenario(size=L.DESIGN_SIZE):
    def register(function):
        SCENARIOS[function.__name__] = (function, size)
        return function
    return register


# -- helpers -------------------------------------------------------------------


def text1(s):
    return s.read_text_box(*L.TEXT1)


def text2(s):
    return s.read_text_box(*L.TEXT2)


def set_text1(s, text):
    s.click(*L.TEXT1)
    s.key("ctrl+a", "BackSpace")
    if text:
        s.type(text)


def play(s, button):
    """Clicks a play button and returns the trk.mid it writes."""
    s.remove_file("trk.mid")
    s.click(*button)
    data = s.wait_file("trk.mid")
    check(data is not None, "no trk.mid was written")
    return data


def press_key(s, name):
    """Presses a key on the focused control and returns the trk.mid written,
    for F5 and F6."""
    s.remove_file("trk.mid")
    s.key(name)
    data = s.wait_file("trk.mid")
    check(data is not None, f"{name} wrote no trk.mid")
    return data


def preview(s):
    """(program, key) that the one-note preview last wrote into c.mid."""
    data = s.file_bytes("c.mid")
    check(data is not None and len(data) >= 28, "c.mid is missing or short")
    return data[24], data[27]


def wait_preview(s, program, key):
    found = wait_until(lambda: preview(s) == (program, key))
    check(found, f"c.mid should sound program {program} key {key}, has {preview(s)}")


def focus_canvas(s):
    """Gives the canvas the keyboard focus without editing: the slider hands
    its focus on to the canvas."""
    s.click(*L.SLIDER)


def pointer_off(s):
    """Moves the pointer to the bare window, right of the palette's lower row."""
    s.move(700, 250)


def face_brightness(s, shot, i):
    """Mean brightness of palette button i's face left of its picture."""
    left, top, _, height = L.palette_rect(i)
    values = [shot.brightness(s.origin[0] + x, s.origin[1] + y)
              for x in range(left + 3, left + 6) for y in range(top + 6, top + height - 6)]
    return sum(values) / len(values)


def chosen_palette_button(s):
    """The palette glyph button drawn in the chosen colour: it is clearly
    brighter than every other."""
    pointer_off(s)
    shot = s.screenshot()
    faces = [face_brightness(s, shot, i) for i in range(31)]
    best = max(range(31), key=lambda i: faces[i])
    others = max(f for i, f in enumerate(faces) if i != best)
    check(faces[best] - others >= 3,
          f"no palette button stands out: brightest {best} at {faces[best]:.1f}, next "
          f"{others:.1f}")
    return best


def dark_pixels(s, shot, left, top, width, height):
    """Dark pixels inside a rectangle of the canvas."""
    x0, y0 = L.on_canvas(left, top)
    return shot.count(range(s.origin[0] + x0, s.origin[0] + x0 + width),
                      range(s.origin[1] + y0, s.origin[1] + y0 + height), is_dark)


def glyph_rect(x, y, length=8):
    """Canvas rectangle of the cursor glyph (and of a note placed from it) for
    the pointer at canvas x, y and palette index `length`: stem-up glyphs end
    on the snapped row, stem-down glyphs and rests start just above it."""
    snapped = ((y + 2) // 4) * 4
    if length >= 12 or y < 62 or 90 <= y < 110:
        top = snapped - (10 if length >= 12 else 8)
    else:
        top = snapped - 34
    return x - 6, top, 24, 34


def expect_notes(data, expected, what):
    found = [(n[2], n[3], n[4]) for n in midi.notes(data)]
    check(found == expected, f"{what}: notes (key, start, end) {found}, expected {expected}")


def place(s, x, y):
    """Moves over the canvas to x, y and clicks there."""
    s.move(*L.on_canvas(x - 1, y))
    s.click(*L.on_canvas(x, y))


# -- scenarios that use the window's controls ------------------------------------


@scenario()
def startup(s):
    check(s.caption() in CAPTIONS, f"caption {s.caption()!r}")
    check(s.origin == (0, 0) and s.size == L.DESIGN_SIZE,
          f"window at {s.origin} size {s.size}, expected the origin and {L.DESIGN_SIZE}")
    shot = s.screenshot()
    for y in L.STAFF_LINES:
        for x in (30, 100, 300, 500, 860):
            wx, wy = L.on_canvas(x, y)
            check(shot.pixel(wx, wy) == L.STAFF_COLOUR,
                  f"staff line at canvas {x},{y} has colour {shot.pixel(wx, wy)}")
    for x in (100, 300):
        wx, wy = L.on_canvas(x, 44)
        check(shot.pixel(wx, wy) == (255, 255, 255), f"between the lines at {x},44 is not white")
    check(dark_pixels(s, shot, 66, 20, 790, 110) == 0, "the score shows glyphs at start-up")
    check(chosen_palette_button(s) == 8, "the quarter note is not the chosen length")
    check(s.file_bytes("c.mid") == s.template_bytes, "c.mid changed at start-up")
    check(s.file_bytes("trk.mid") is None, "trk.mid written at start-up")


@scenario()
def palette(s):
    s.click(*L.palette(6))
    check(chosen_palette_button(s) == 6, "the eighth note button was not chosen")
    s.click(*L.palette(22))
    check(chosen_palette_button(s) == 22, "the quarter rest button was not chosen")
    s.click(*L.palette(0))
    check(chosen_palette_button(s) == 0, "the first palette button was not chosen")


@scenario()
def play_buttons(s):
    data = play(s, L.TRK_PLAY)
    check(data == EMPTY_TRACK_0, f"trk♪ on an empty score wrote {data.hex(' ')}")
    check(midi.header(data) == (1, 1, 32), "header of the one-track file")
    check(text1(s) == "", "Text1 is not empty after playing an empty track")
    data = play(s, L.ALL_PLAY)
    check(data == EMPTY_TRACK_0, f"all♪ with track 1 compiled wrote {data.hex(' ')}")
    s.click(*L.check_box(0))
    data = play(s, L.ALL_PLAY)
    check(data == NO_TRACKS, f"all♪ with track 1 unticked wrote {data.hex(' ')}")
    check(midi.header(data) == (1, 0, 32), "header of the file without tracks")
    s.click(*L.check_box(0))
    data = play(s, L.ALL_PLAY)
    check(data == EMPTY_TRACK_0, f"all♪ with track 1 ticked again wrote {data.hex(' ')}")


def choose_instrument(s, entry):
    """Opens Combo1's list and picks an entry with the arrow keys."""
    s.click(*L.COMBO_ARROW)
    time.sleep(0.2)  # the list opens as a window of its own
    s.key("Home", *["Down"] * entry, "Return")


@scenario(L.WITH_PIANO)
def tracks_instruments(s):
    choose_instrument(s, 3)
    check(s.copy_text(*L.COMBO_TEXT) == "フルート", "Combo1 does not show the flute")
    s.click(*L.KEY_ENTRY)
    s.click(*L.on_key(36, 85))  # C, quarter zone
    wait_preview(s, FLUTE, 60)

    s.click(*L.TRACK_DOWN)
    check(s.copy_text(*L.TRACK_NUMBER) == "2", "Text5 does not show track 2")
    check(s.copy_text(*L.COMBO_TEXT) == "リュート", "track 2 does not show the lute")
    s.click(*L.on_key(40, 70))  # E, eighth zone
    wait_preview(s, LUTE, 64)
    data = play(s, L.TRK_PLAY)
    check(midi.programs(data) == [(1, 1, LUTE)], f"track 2 programs {midi.programs(data)}")
    check([n[1] for n in midi.notes(data)] == [1], "track 2 does not play on channel 1")
    expect_notes(data, [(64, ENTRY_START, ENTRY_START + EIGHTH)], "track 2")
    check(text1(s) == ENTRY_RESTS + "O4E8 ", "Text1 of track 2")

    s.click(*L.TRACK_UP)
    check(s.copy_text(*L.TRACK_NUMBER) == "1", "Text5 does not show track 1")
    check(s.copy_text(*L.COMBO_TEXT) == "フルート", "track 1 lost its flute")
    data = play(s, L.TRK_PLAY)
    check(midi.programs(data) == [(1, 0, FLUTE)], f"track 1 programs {midi.programs(data)}")
    expect_notes(data, [(60, ENTRY_START, ENTRY_START + QUARTER)], "track 1")

    data = play(s, L.ALL_PLAY)
    check(midi.header(data) == (1, 2, 32), f"all♪ header {midi.header(data)}")
    check(midi.programs(data) == [(1, 0, FLUTE), (2, 1, LUTE)],
          f"all♪ programs {midi.programs(data)}")
    check([(n[0], n[1], n[2]) for n in midi.notes(data)] == [(1, 0, 60), (2, 1, 64)],
          f"all♪ notes {midi.notes(data)}")
    check(text1(s) == "", "Text1 is not empty after all♪")


def choose_meter(s, entry):
    """Opens Combo2's list and picks an entry with the arrow keys."""
    s.click(*L.METER_ARROW)
    time.sleep(0.2)
    s.key("Home", *["Down"] * entry, "Return")


def red_number_ink(s, shot, bar_x):
    """Red pixels of a measure number above the bar line at canvas x."""
    x0, y0 = L.on_canvas(bar_x - 10, 24)
    return shot.count(range(s.origin[0] + x0, s.origin[0] + x0 + 21),
                      range(s.origin[1] + y0, s.origin[1] + y0 + 16),
                      lambda rgb: rgb[0] > 150 and rgb[1] < 110 and rgb[2] < 110)


@scenario()
def meter(s):
    place(s, L.measure_x(0, 40), L.row_y(21))
    place(s, L.measure_x(2, 40), L.row_y(21))  # the second measure stays empty
    expect_notes(play(s, L.TRK_PLAY), [(60, 0, 32), (60, 256, 288)], "4/4")
    check(text1(s) == "O4C4 r2. r1 O4C4 ", f"Text1 in 4/4 {text1(s)!r}")
    check(wait_until(lambda: red_number_ink(s, s.screenshot(), 65) >= 4
                     and red_number_ink(s, s.screenshot(), 265) >= 4
                     and red_number_ink(s, s.screenshot(), 465) == 0),
          "the short measures' numbers are not red")

    choose_meter(s, 1)
    expect_notes(play(s, L.TRK_PLAY), [(60, 0, 32), (60, 192, 224)], "3/4")
    choose_meter(s, 7)
    expect_notes(play(s, L.TRK_PLAY), [(60, 0, 32), (60, 32, 64)], "自由")
    check(wait_until(lambda: red_number_ink(s, s.screenshot(), 65) == 0),
          "a number stays red in the free meter")
    focus_canvas(s)
    s.key("ctrl+z")
    expect_notes(play(s, L.TRK_PLAY), [(60, 0, 32), (60, 192, 224)], "3/4 again after Ctrl+Z")


FLATS = [(27, 43), (32, 31), (36, 47)]  # treble places of the first three flats
FLAT_SIZE = (14, 19)
FIRST_SHARP = [(26, 32), (26, 91)]
SHARP_SIZE = (13, 18)


def accidental_ink(s, places, size):
    shot = s.screenshot()
    return [dark_pixels(s, shot, x, y, *size) for x, y in places]


def accidental_area_ink(s):
    shot = s.screenshot()
    return dark_pixels(s, shot, 26, 20, 40, 110)


@scenario(L.WITH_PIANO)
def key_signature(s):
    check(accidental_area_ink(s) == 0, "accidentals shown at start-up")
    for _ in range(3):
        s.click(*L.FLAT)
    flats = FLATS + [(x, y + 56) for x, y in FLATS]
    ink = wait_until(lambda: (lambda found: found if min(found) >= 10 else None)(
        accidental_ink(s, flats, FLAT_SIZE)))
    check(ink, f"the three flats are not drawn: ink {accidental_ink(s, flats, FLAT_SIZE)}")
    beyond = s.screenshot()
    check(dark_pixels(s, beyond, 51, 20, 15, 110) == 0, "more than three flats drawn")

    s.click(*L.KEY_ENTRY)
    for k in (47, 40, 38):  # B, E, D in the eighth zone
        s.click(*L.on_key(k, 70))
    check(text1(s) == "O4B8 O4E8 O4D8 ", "the piano's text names the keys pressed")
    wait_preview(s, LUTE, 62)
    data = play(s, L.TRK_PLAY)
    # The white keys B and E against the flats of the key: stored with a natural.
    entered = [(71, 0, 16), (64, 16, 32), (62, 32, 48), (65, 48, 64)]
    entered = [(key, ENTRY_START + on, ENTRY_START + off) for key, on, off in entered]
    expect_notes(data, entered[:3], "three flats")
    check(text1(s) == ENTRY_RESTS + " O4B8  O4E8 O4D8 ", "MML text with three flats")

    s.click(*L.SHARP)  # from flats, the sharp button clears
    check(wait_until(lambda: accidental_area_ink(s) == 0), "the flats were not cleared")
    data = play(s, L.TRK_PLAY)
    expect_notes(data, entered[:3], "no key signature")
    check(text1(s) == ENTRY_RESTS + " O4B8  O4E8 O4D8 ", "MML text without key signature")

    s.click(*L.SHARP)
    ink = wait_until(lambda: (lambda found: found if min(found) >= 8 else None)(
        accidental_ink(s, FIRST_SHARP, SHARP_SIZE)))
    check(ink, f"the sharp is not drawn: {accidental_ink(s, FIRST_SHARP, SHARP_SIZE)}")
    s.click(*L.on_key(41, 70))  # F
    data = play(s, L.TRK_PLAY)
    expect_notes(data, entered, "one sharp")
    check(text1(s) == ENTRY_RESTS + " O4B8  O4E8 O4D8  O4F8 ", "MML text with one sharp")


@scenario()
def optimizer(s):
    cases = [
        ("O4C8 O4D8 O5E8 O4C4", False, "L8CD>E<C4"),
        ("o5c4 o5d4", False, ">CD"),
        ("O4C4 O4D4 O4E8", False, "CDE8"),
        ("O4C O2D", False, "CO2D"),
        ("O4C8 O4D8 O4E4", True, "CDE2"),
        ("", True, ""),
    ]
    ticked = False
    for mml, double, expected in cases:
        if double != ticked:
            s.click(*L.DOUBLE_SPEED)
            ticked = double
        set_text1(s, mml)
        s.click(*L.OPTIMIZE)
        result = text2(s)
        check(result == expected,
              f"{mml!r} (倍速 {double}) gave {result!r}, expected {expected!r}")
        check(text1(s) == mml, f"the optimizer changed Text1 of {mml!r}")


@scenario(L.WITH_PIANO)
def piano(s):
    # Keyboard entry off: sound and text only.
    s.click(*L.on_key(36, 7))  # C, top 8 pixels: sixty-fourth
    wait_preview(s, LUTE, 60)
    s.click(*L.on_key(36, 8))  # the zone below starts at 120 twips
    s.click(*L.on_key(37, 30, dx=2))  # C# where it overlaps C
    s.click(*L.on_key(38, 100))  # D, bottom zone
    s.click(*L.on_key(57, 50))  # the highest key, A
    check(text1(s) == "O4C64 O4C32 O4C#4 O4D2 O5A8. ", "piano text with keyboard entry off")
    check(preview(s) == (LUTE, 81), f"preview of the highest key: {preview(s)}")
    data = play(s, L.TRK_PLAY)
    check(data == EMPTY_TRACK_0, "keys without keyboard entry changed the score")

    # Keyboard entry on: the notes go into the score as well.
    shot = s.screenshot()
    check(dark_pixels(s, shot, 470, 20, 190, 130) == 0, "glyphs in the third column before entry")
    s.click(*L.KEY_ENTRY)
    s.click(*L.on_key(43, 70))  # G, eighth
    s.click(*L.on_key(45, 50))  # A, dotted eighth
    s.click(*L.on_key(46, 10))  # A#, black key: eighth
    check(text1(s) == "O4G8 O4A8. O4A#8 ", "piano text with keyboard entry on")
    check(preview(s) == (LUTE, 70), f"preview of A#: {preview(s)}")
    # The entry writes into the measure after the last one in use, shown in the
    # third column; the notes stand right of each other.
    shot = s.screenshot()
    ink = [dark_pixels(s, shot, 70 + 400 + 22 * k, 20, 18, 130) for k in (1, 2, 3)]
    check(min(ink) >= 20, f"entered notes not drawn in the third column: ink {ink}")
    data = play(s, L.TRK_PLAY)
    expect_notes(data, [(67, ENTRY_START, ENTRY_START + 16), (69, ENTRY_START + 16, ENTRY_START + 40),
                        (70, ENTRY_START + 40, ENTRY_START + 56)], "entered notes")
    check(text1(s) == ENTRY_RESTS + "O4G8 O4A8.  O4A#8 ", "MML text of the entered notes")

    # Two quick presses scroll on by two measures: the notes move to the first column.
    s.click(*L.SCROLL_ON)
    s.click(*L.SCROLL_ON)
    shown = wait_until(lambda: (lambda shot: dark_pixels(s, shot, 70 + 22, 20, 18, 130) >= 20
                                and dark_pixels(s, shot, 270, 20, 390, 110) == 0)(s.screenshot()))
    check(shown, "two presses of ▶ did not show the entered measure first")
    s.click(*L.SCROLL_BACK)
    check(wait_until(lambda: dark_pixels(s, s.screenshot(), 270 + 22, 20, 18, 130) >= 20),
          "◀ did not scroll back by one measure")


# -- scenarios of score editing with the pointer and the canvas keys -------------


@scenario()
def pointer(s):
    x, y = 250, L.row_y(21)
    s.move(*L.on_canvas(x - 3, y))
    s.move(*L.on_canvas(x, y))
    left, top, width, height = glyph_rect(x, y)
    check(wait_until(lambda: dark_pixels(s, s.screenshot(), left, top, width, height) >= 20),
          "no cursor glyph under the pointer")
    pointer_off(s)
    check(wait_until(lambda: dark_pixels(s, s.screenshot(), left, top, width, height) == 0),
          "the cursor glyph stays when the pointer leaves the canvas")
    s.click(*L.palette(22))
    s.move(*L.on_canvas(x - 3, y))
    s.move(*L.on_canvas(x, y))
    left, top, width, height = glyph_rect(x, y, 22)
    check(wait_until(lambda: dark_pixels(s, s.screenshot(), left, top, width, height) >= 10),
          "no rest glyph under the pointer")
    above = dark_pixels(s, s.screenshot(), left, top - 20, width, 20)
    check(above == 0, "the rest glyph is not placed as a rest")


@scenario()
def place_notes(s):
    place(s, 100, L.row_y(21))  # O4C, quarter
    wait_preview(s, LUTE, 60)
    s.click(*L.palette(22))  # quarter rest
    place(s, 140, L.row_y(21))
    s.click(*L.palette(6))  # eighth
    place(s, 180, L.row_y(23))  # O4E
    place(s, L.measure_x(1, 35), L.row_y(25))  # O4G in the second measure
    wait_preview(s, LUTE, 67)
    check(text1(s) == "O4C4 r4 O4E8 O4G8 ", "Text1 after placing")
    shot = s.screenshot()
    for x, y, length in ((100, 21, 8), (180, 23, 6), (L.measure_x(1, 35), 25, 6)):
        rect = glyph_rect(x, L.row_y(y), length)
        check(dark_pixels(s, shot, *rect) >= 20, f"no note drawn at {x},{L.row_y(y)}")
    data = play(s, L.TRK_PLAY)
    # In 4/4 the first measure holds 80 ticks: a dotted quarter rest completes it.
    expect_notes(data, [(60, 0, 32), (64, 64, 80), (67, 128, 144)], "placed notes")
    check(text1(s) == "O4C4 r4 O4E8 r4. O4G8 ", "Text1 after compiling")


def frame_ink(s, x, y):
    """Dark pixels on the row of the top edge of the note glyph placed for
    pointer x, y: the frame of a selected glyph, otherwise empty staff. The
    quarter note's picture is 13 pixels wide."""
    left, top, _, _ = glyph_rect(x, y)
    return dark_pixels(s, s.screenshot(), left, top, 13, 1)


@scenario()
def select_move_delete(s):
    notes = [(100, L.row_y(21)), (140, L.row_y(23)), (180, L.row_y(25))]  # C, E, G
    for x, y in notes:
        place(s, x, y)
    wait_preview(s, LUTE, 67)
    check(frame_ink(s, *notes[1]) == 0, "a frame before any selection")
    s.click(*L.on_canvas(*notes[1]))  # select E
    check(wait_until(lambda: frame_ink(s, *notes[1]) >= 11), "the selected note has no frame")
    # E up to F, frame to G, G up to A, frame back to F, delete F (the frame
    # stays on its glyph, which now shows A), A down to G.
    s.key("Up", "Right", "Up", "Left", "Delete", "Down")
    data = play(s, L.TRK_PLAY)
    expect_notes(data, [(60, 0, 32), (67, 32, 64)], "after selecting and editing with keys")
    check(text1(s) == "O4C4 O4G4 ", "Text1 after the key edits")
    check(preview(s) == (LUTE, 67), "key edits sounded a note")

    focus_canvas(s)
    s.key("Escape", "Down", "Delete")  # without a selection nothing changes
    data = play(s, L.TRK_PLAY)
    expect_notes(data, [(60, 0, 32), (67, 32, 64)], "after Escape, Down, Delete")

    s.click(*L.on_canvas(*notes[0]))  # select C, delete it with the × button
    s.click(*L.DELETE)
    data = play(s, L.TRK_PLAY)
    expect_notes(data, [(67, 0, 32)], "after ×")

    # Deleting the last note of a measure leaves the frame on a glyph without
    # a note; Left still moves the frame to the note before it.
    focus_canvas(s)
    place(s, 220, L.row_y(21))  # C after the G: G, C
    s.click(*L.on_canvas(220, L.row_y(21)))
    s.key("Delete", "Left", "Up")
    data = play(s, L.TRK_PLAY)
    expect_notes(data, [(69, 0, 32)], "Left after deleting the measure's last note, then Up")


@scenario()
def canvas_keys(s):
    s.click(*L.palette(8))  # the chosen length again: focus on the canvas
    data = press_key(s, "F5")
    check(data == EMPTY_TRACK_0, f"F5 on an empty track 1 wrote {data.hex(' ')}")
    s.click(*L.TRACK_DOWN)
    data = press_key(s, "F5")
    check(midi.header(data) == (1, 1, 32) and midi.programs(data) == [(1, 1, LUTE)],
          "F5 on track 2 did not compile track 2")
    data = press_key(s, "F6")
    check(midi.header(data) == (1, 2, 32), f"F6 header {midi.header(data)}")
    check(midi.programs(data) == [(1, 0, LUTE), (2, 1, LUTE)], "F6 tracks")
    check(text1(s) == "", "Text1 is not empty after F6")


@scenario()
def undo_redo(s):
    notes = [(100, L.row_y(21)), (140, L.row_y(23)), (180, L.row_y(25))]  # C, E, G
    for x, y in notes:
        place(s, x, y)
    s.click(*L.on_canvas(*notes[2]))  # select G and delete it
    s.key("Delete")
    data = press_key(s, "F5")
    expect_notes(data, [(60, 0, 32), (64, 32, 64)], "after deleting G")
    # Back over the deletion and the third placement: C and E stay.
    s.key("ctrl+z", "ctrl+z")
    data = press_key(s, "F5")
    expect_notes(data, [(60, 0, 32), (64, 32, 64)], "after two steps back")
    s.key("ctrl+z")
    data = press_key(s, "F5")
    expect_notes(data, [(60, 0, 32)], "after three steps back")
    s.key("ctrl+y", "ctrl+y")
    data = press_key(s, "F5")
    expect_notes(data, [(60, 0, 32), (64, 32, 64), (67, 64, 96)], "after two steps again")


def canvas_picture(s):
    """The canvas's pixels, with the pointer off it."""
    pointer_off(s)
    time.sleep(0.2)
    shot = s.screenshot()
    x0, y0 = L.on_canvas(0, 0)
    return [shot.pixel(s.origin[0] + x0 + x, s.origin[1] + y0 + y)
            for y in range(0, 150) for x in range(0, 860)]


def answer_file_dialog(s, title, path):
    """Types `path` into the program's file dialog named `title` and takes it."""
    dialog = s.find_dialog(title)
    check(dialog is not None, f"no dialog {title!r} appeared")
    s._run("xdotool", "windowfocus", "--sync", dialog)
    s.key("ctrl+a")
    s.type(path)
    s.key("Return")


def shows_file(s, name):
    """Whether the caption names the piece's file without an unsaved mark."""
    caption = s.caption()
    return caption.startswith("綴 Tsuzuri") and caption.endswith(" — " + name)


@scenario()
def save_close_load(s):
    s.click(*L.FLAT)
    s.click(*L.palette(8))
    place(s, L.measure_x(0, 40), L.row_y(24))
    place(s, L.measure_x(1, 40), L.row_y(27))  # B, flat in this key
    s.click(*L.TRACK_DOWN)
    s.click(*L.palette(6))
    place(s, L.measure_x(0, 80), L.row_y(17))
    s.click(*L.TRACK_UP)
    check(s.caption().endswith(" *"), f"no unsaved mark in {s.caption()!r}")
    before = canvas_picture(s)
    path = os.path.join(s.dir, "my piece.tsz")
    s.click(*L.SAVE)
    answer_file_dialog(s, "保存", path)
    check(wait_until(lambda: shows_file(s, "my piece.tsz")), f"caption after saving {s.caption()!r}")
    check(s.quit(answer=None) == 0, "the program did not end cleanly")

    s.relaunch()
    check(s.caption() in CAPTIONS, f"caption at the new start {s.caption()!r}")
    s.click(*L.LOAD)
    answer_file_dialog(s, "開く", path)
    check(wait_until(lambda: shows_file(s, "my piece.tsz")),
          f"caption after loading {s.caption()!r}")
    check(canvas_picture(s) == before, "the canvas does not show the saved notes")
    focus_canvas(s)
    data = press_key(s, "F6")
    expect_notes(data, [(65, 0, 32), (70, 128, 160), (53, 0, 16)], "F6 after loading (in 4/4)")

    place(s, L.measure_x(2, 40), L.row_y(24))
    ask_window_to_close(s.env["DISPLAY"], int(s.window))
    prompt = s.find_dialog(PROMPT_TITLE)
    check(prompt is not None, "closing with an unsaved note did not ask")
    s._run("xdotool", "windowfocus", "--sync", prompt)
    s.key("Escape")
    check(wait_until(lambda: s.find_dialog(PROMPT_TITLE, timeout=0) is None),
          "the question stayed after Escape")
    check(s.alive(), "the program ended although the question was cancelled")
    s._focus_window()


# -- the desktop -------------------------------------------------------------------


def score_file(tracks):
    """A score file as the file's description lays it out: `tracks` are
    (program, [(palette index, row), ...]) with every slot in measure 0, as
    stem-up notes whose glyphs end on their rows."""
    return json.dumps({
        "format": "tsuzuri-score", "version": 1, "keySignature": 0, "octave": 4,
        "trackCount": 3, "currentTrack": 0, "firstMeasure": 0, "mml": "",
        "tracks": [{"lastMeasure": 3, "program": program, "ticked": True,
                    "measures": [{"measure": 0,
                                  "notes": [[20 + 40 * i, 4 * (42 - row) - 34, length, row]
                                            for i, (length, row) in enumerate(notes)]}]}
                   for program, notes in tracks]})


@scenario()
def open_from_command_line(s):
    path = os.path.join(s.dir, "given piece.tsz")
    with open(path, "w", encoding="utf-8") as f:
        f.write(score_file([(LUTE, [(8, 21), (8, 23)]), (FLUTE, [(10, 26)])]))
    check(s.quit() == 0, "the program did not end cleanly")
    s.relaunch(*L.DESIGN_SIZE, args=[path])
    check(wait_until(lambda: shows_file(s, "given piece.tsz")),
          f"caption after starting with the file {s.caption()!r}")
    data = play(s, L.ALL_PLAY)
    expect_notes(data, [(60, 0, 32), (64, 32, 64), (69, 0, 64)], "all♪ of the given piece")
    check(midi.programs(data) == [(1, 0, LUTE), (2, 1, FLUTE)],
          f"instruments of the given piece {midi.programs(data)}")

    s.quit()
    s.relaunch(*L.DESIGN_SIZE, args=[os.path.join(s.dir, "no such piece.tsz")])
    check(s.caption() in CAPTIONS, f"caption after a missing file {s.caption()!r}")
    check(midi.notes(play(s, L.ALL_PLAY)) == [], "a missing file did not leave the empty score")


@scenario(size=())
def window_place(s):
    check(s.size == L.DESIGN_SIZE, f"first start at {s.size}, expected {L.DESIGN_SIZE}")
    s._run("xdotool", "windowsize", "--sync", s.window, "950", "560")
    check(s.quit() == 0, "the program did not end cleanly")
    check(os.path.isfile(s.config_file()), "closing kept no settings")
    s.relaunch()
    check(s.size == (950, 560), f"the next start at {s.size}, expected 950 x 560")
    check(s.quit() == 0, "the program did not end cleanly")
    os.remove(s.config_file())
    s.relaunch()
    check(s.size == L.DESIGN_SIZE, f"start without settings at {s.size}")


# -- running ---------------------------------------------------------------------


def screenshot(program, template, path):
    """A picture of the window with the piano: a tune in F placed with the
    pointer and finished on the piano, compiled and optimized."""
    s = Session(program, template)
    try:
        s.start(*L.WITH_PIANO)
        s.click(*L.FLAT)
        tune = [(8, 0, 30, 24), (8, 0, 75, 26), (8, 0, 120, 28), (8, 0, 165, 26),
                (8, 1, 30, 25), (8, 1, 75, 27), (10, 1, 120, 26)]
        for length, column, offset, row in tune:
            s.click(*L.palette(length))
            place(s, L.measure_x(column, offset), L.row_y(row))
        s.click(*L.KEY_ENTRY)
        for k, y in ((48, 70), (50, 70), (48, 70), (45, 70), (41, 100)):
            s.click(*L.on_key(k, y))
        s.click(*L.SCROLL_BACK)
        s.click(*L.TRK_PLAY)
        s.click(*L.OPTIMIZE)
        s.click(*L.palette(6))
        s.move(*L.on_canvas(L.measure_x(2, 60), L.row_y(29)))
        time.sleep(0.3)
        s._run("import", "-window", s.window, path)
    finally:
        s.close()


def run(program, template, name, artifacts):
    function, size = SCENARIOS[name]
    if artifacts:
        shutil.rmtree(artifacts, ignore_errors=True)  # left by an earlier failing run
    s = Session(program, template, artifacts)
    failed = True
    started = time.monotonic()
    try:
        s.start(*size)
        function(s)
        check(s.alive(), f"the program ended during the scenario: {s.log_tail()}")
        status = s.quit()
        check(status == 0 and not s.sanitizer_reports(),
              f"the program ended with status {status} when closed: {s.log_tail()}")
        failed = False
    except Failure as failure:
        print(f"FAIL {name}: {failure}")
    except (OSError, subprocess.SubprocessError) as error:
        print(f"FAIL {name}: {error}")
    finally:
        s.close(failed)
    print(f"{'FAIL' if failed else 'ok'} {name} ({time.monotonic() - started:.1f} s)")
    return 1 if failed else 0


def main(argv):
    if len(argv) >= 2 and argv[1] == "--list":
        print("\n".join(SCENARIOS))
        return 0
    if len(argv) < 4:
        print(__doc__)
        return 2
    missing = missing_tools()
    if missing:
        print(f"missing tools: {' '.join(missing)} (scripts/setup.sh test installs them)")
        return 1
    program, template = argv[1], argv[2]
    if argv[3] == "--screenshot":
        screenshot(program, template, argv[4])
        return 0
    return run(program, template, argv[3], argv[4] if len(argv) > 4 else None)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
