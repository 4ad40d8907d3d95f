#!/usr/bin/env python3
"""Draws the tree control's bitmaps and cursors into tree/resources/ (our own art, drawn here pixel by pixel).

Run it after changing the art and commit its output; the builds only compile the committed files.

The colour-mapped strips are 8-bit palettised: the platform's mapped-bitmap loading replaces colour-table
entries, so white, silver and grey must be exact palette entries (white becomes the window colour, silver
the button face, grey the button shadow). Every strip is transparent where its top-left pixel's colour
(fuchsia) shows.
"""
import os
import struct
import sys

FUCHSIA = (255, 0, 255)
WHITE = (255, 255, 255)
SILVER = (192, 192, 192)
GREY = (128, 128, 128)
BLACK = (0, 0, 0)
DARK = (64, 64, 64)
HOT = (0, 102, 204)
ORANGE = (248, 169, 0)
ORANGE_DARK = (229, 151, 0)
XP_FRAME = (28, 81, 128)
XP_HOT_FRAME = (248, 179, 48)
XP_TICK = (33, 161, 33)
XP_DISABLED = (202, 200, 187)

CELL = 16
CHECK_IMAGES = 25


class Canvas:
    def __init__(self, width, height, fill=FUCHSIA):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def get(self, x, y):
        return self.pixels[y][x]

    def fill(self, left, top, right, bottom, colour):
        for y in range(top, bottom):
            for x in range(left, right):
                self.set(x, y, colour)

    def hline(self, left, right, y, colour):
        self.fill(left, y, right, y + 1, colour)

    def vline(self, x, top, bottom, colour):
        self.fill(x, top, x + 1, bottom, colour)

    def points(self, pts, colour, dx=0, dy=0):
        for x, y in pts:
            self.set(x + dx, y + dy, colour)

    def disc(self, cx, cy, radius, colour):
        for y in range(self.height):
            for x in range(self.width):
                if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                    self.set(x, y, colour)


# --- check images -------------------------------------------------------------------------------------

# The variants of one kind of control: normal, hot, pressed, disabled.
NORMAL, HOT_STATE, PRESSED, DISABLED = range(4)


class Style:
    def __init__(self, frame, frame_inner, hot_frame, face, pressed_face, disabled_face, mark, disabled_mark,
                 tick):
        self.frame = frame
        self.frame_inner = frame_inner  # None: a single frame line
        self.hot_frame = hot_frame
        self.face = face
        self.pressed_face = pressed_face
        self.disabled_face = disabled_face
        self.mark = mark
        self.disabled_mark = disabled_mark
        self.tick = tick  # a large tick instead of the small check


CHECK_GLYPH = [(0, 2), (0, 3), (0, 4), (1, 3), (1, 4), (1, 5), (2, 4), (2, 5), (2, 6), (3, 3), (3, 4), (3, 5),
               (4, 2), (4, 3), (4, 4), (5, 1), (5, 2), (5, 3), (6, 0), (6, 1), (6, 2)]
TICK_GLYPH = [(0, 4), (0, 5), (1, 5), (1, 6), (2, 6), (2, 7), (3, 7), (3, 8), (4, 6), (4, 7), (5, 5), (5, 6),
              (6, 4), (6, 5), (7, 3), (7, 4), (8, 2), (8, 3), (9, 1), (9, 2), (10, 0), (10, 1)]


def face_for(style, state):
    return {NORMAL: style.face, HOT_STATE: style.face, PRESSED: style.pressed_face,
            DISABLED: style.disabled_face}[state]


def mark_for(style, state):
    return style.disabled_mark if state == DISABLED else style.mark


def frame_for(style, state):
    return style.hot_frame if state == HOT_STATE else style.frame


def draw_box(c, ox, style, state, content):
    left, top, right, bottom = ox + 1, 1, ox + 14, 14
    c.fill(left, top, right, bottom, frame_for(style, state))
    inset = 1
    if style.frame_inner is not None:
        c.fill(left + 1, top + 1, right - 1, bottom - 1, style.frame_inner)
        inset = 2
    c.fill(left + inset, top + inset, right - inset, bottom - inset, face_for(style, state))
    mark = mark_for(style, state)
    if content == 'check':
        if style.tick:
            c.points(TICK_GLYPH, mark, ox + 2, 3)
        else:
            c.points(CHECK_GLYPH, mark, ox + 4, 4)
    elif content == 'mixed':
        c.fill(ox + 4, 4, ox + 11, 11, GREY if state != DISABLED else style.disabled_mark)


def draw_radio(c, ox, style, state, checked):
    cx, cy = ox + 7, 7
    c.disc(cx, cy, 6.4, frame_for(style, state))
    if style.frame_inner is not None:
        c.disc(cx, cy, 5.4, style.frame_inner)
        c.disc(cx, cy, 4.4, face_for(style, state))
    else:
        c.disc(cx, cy, 5.4, face_for(style, state))
    if checked:
        c.disc(cx, cy, 2.2, mark_for(style, state))


def draw_push_button(c, ox, style, state):
    left, top, right, bottom = ox + 1, 1, ox + 15, 15
    c.fill(left, top, right, bottom, SILVER)
    if state == PRESSED:
        c.hline(left, right, top, GREY)
        c.vline(left, top, bottom, GREY)
        c.hline(left, right, bottom - 1, WHITE)
        c.vline(right - 1, top, bottom, WHITE)
    else:
        c.hline(left, right, top, WHITE)
        c.vline(left, top, bottom, WHITE)
        c.hline(left, right, bottom - 1, BLACK if state != DISABLED else GREY)
        c.vline(right - 1, top, bottom, BLACK if state != DISABLED else GREY)
        c.hline(left + 1, right - 1, bottom - 2, GREY)
        c.vline(right - 2, top + 1, bottom - 1, GREY)
    if state == HOT_STATE:
        c.hline(left + 2, right - 2, top + 1, style.hot_frame)


def check_strip(style):
    c = Canvas(CELL * CHECK_IMAGES, CELL)
    index = 1
    for checked in (False, True):
        for state in range(4):
            draw_radio(c, index * CELL, style, state, checked)
            index += 1
    for content in (None, 'check', 'mixed'):
        for state in range(4):
            draw_box(c, index * CELL, style, state, content)
            index += 1
    for state in range(4):
        draw_push_button(c, index * CELL, style, state)
        index += 1
    return c


def xp_strip():
    style = Style(frame=XP_FRAME, frame_inner=None, hot_frame=XP_HOT_FRAME, face=(244, 244, 240),
                  pressed_face=(176, 176, 167), disabled_face=(245, 244, 234), mark=XP_TICK,
                  disabled_mark=XP_DISABLED, tick=False)
    c = check_strip(style)
    # A soft shade towards the lower right of every face.
    for index in range(1, CHECK_IMAGES):
        ox = index * CELL
        for y in range(CELL):
            for x in range(ox, ox + CELL):
                r, g, b = c.get(x, y)
                if (r, g, b) == (244, 244, 240):
                    shade = (x - ox + y) // 3
                    c.set(x, y, (244 - shade, 244 - shade, 240 - shade))
    return c


LIGHT_CHECK = Style(GREY, None, HOT, WHITE, SILVER, SILVER, BLACK, GREY, tick=False)
DARK_CHECK = Style(GREY, BLACK, HOT, WHITE, SILVER, SILVER, BLACK, GREY, tick=False)
LIGHT_TICK = Style(GREY, None, HOT, WHITE, SILVER, SILVER, BLACK, GREY, tick=True)
DARK_TICK = Style(GREY, BLACK, HOT, WHITE, SILVER, SILVER, BLACK, GREY, tick=True)
FLAT = Style(BLACK, None, HOT, WHITE, SILVER, SILVER, BLACK, GREY, tick=False)


# --- utility images -----------------------------------------------------------------------------------

def triangle(c, ox, apex_y, height, down, colour):
    """A triangle 2 x height - 1 wide at its base, centred in a cell."""
    for row in range(height):
        half = row if down is False else height - 1 - row
        y = apex_y + row
        c.hline(ox + 7 - half, ox + 8 + half, y, colour)


def utility_strip():
    c = Canvas(CELL * 9, CELL)
    # 0 and 1: drop marks, an arrow pointing at the left or right edge of the drop target.
    for row in range(9):
        reach = 5 - abs(row - 4)
        c.hline(0 * CELL + 1, 0 * CELL + 1 + reach, 4 + row, BLACK)
        c.hline(1 * CELL + 15 - reach, 1 * CELL + 15, 4 + row, BLACK)
    # 2 and 3: classic sort glyphs, descending and ascending, with a light edge.
    triangle(c, 2 * CELL, 6, 4, True, GREY)
    c.points([(2 * CELL + 7 + 3 - i, 6 + i) for i in range(4)], WHITE)
    triangle(c, 3 * CELL, 6, 4, False, GREY)
    c.points([(3 * CELL + 7 + i, 6 + i) for i in range(4)], WHITE)
    # 4 and 5: themed sort glyphs. 4 also marks a push-button check image, so it stays a plain solid shape.
    triangle(c, 4 * CELL, 6, 4, True, DARK)
    triangle(c, 5 * CELL, 6, 4, False, DARK)
    # 6, 7 and 8: the hot underline of XP-style header buttons, bands of 3 rows at the bottom.
    for i, colour in enumerate((ORANGE_DARK, ORANGE, ORANGE)):
        y = CELL - 3 + i
        c.hline(6 * CELL + (2 - i if i < 2 else 0), 7 * CELL, y, colour)
        c.hline(7 * CELL, 8 * CELL, y, colour)
        c.hline(8 * CELL, 9 * CELL - (2 - i if i < 2 else 0), y, colour)
    return c


# --- expand buttons and panning images --------------------------------------------------------------

def xp_button(plus):
    c = Canvas(9, 9)
    c.fill(0, 0, 9, 9, (120, 152, 181))
    for y in range(1, 8):
        level = 255 - (y - 1) * 9
        c.hline(1, 8, y, (level, level, min(255, level + 4)))
    c.hline(2, 7, 4, BLACK)
    if plus:
        c.vline(4, 2, 7, BLACK)
    for x, y in ((0, 0), (8, 0), (0, 8), (8, 8)):
        c.set(x, y, FUCHSIA)
    return c


ARROW_UP = [(0, 0), (-1, 1), (0, 1), (1, 1), (-2, 2), (-1, 2), (0, 2), (1, 2), (2, 2)]


def rotate(points, quarter_turns):
    result = points
    for _ in range(quarter_turns % 4):
        result = [(-y, x) for x, y in result]
    return result


def panning_image(horizontal, vertical):
    c = Canvas(32, 32)
    c.disc(15.5, 15.5, 13.5, BLACK)
    c.disc(15.5, 15.5, 12.5, WHITE)
    c.fill(14, 14, 18, 18, BLACK)
    turns = []
    if vertical:
        turns += [0, 2]
    if horizontal:
        turns += [1, 3]
    for turn in turns:
        offset = {0: (16, 5), 1: (26, 16), 2: (16, 26), 3: (5, 16)}[turn]
        c.points(rotate(ARROW_UP, turn), BLACK, *offset)
    return c


# --- cursors ------------------------------------------------------------------------------------------

def outlined(black_points):
    black = set(black_points)
    white = set()
    for x, y in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in black:
                    white.add(p)
    return black, white


def header_split_cursor():
    pts = []
    for y in range(8, 24):
        pts += [(14, y), (17, y)]
    for i in range(5):
        for y in range(16 - i, 17 + i):
            pts += [(8 + i, y), (23 - i, y)]
    pts += [(x, 16) for x in range(8, 24)]
    return outlined(pts)


def move_cursor(directions):
    pts = [(x, y) for x in range(15, 18) for y in range(15, 18)]
    arrows = {'N': (0, (16, 4)), 'E': (1, (28, 16)), 'S': (2, (16, 28)), 'W': (3, (4, 16))}
    diagonal = {'NE': ((1, -1), (26, 6)), 'SE': ((1, 1), (26, 26)), 'SW': ((-1, 1), (6, 26)),
                'NW': ((-1, -1), (6, 6))}
    for d in directions:
        if d in arrows:
            turn, (ox, oy) = arrows[d]
            pts += [(x + ox, y + oy) for x, y in rotate(ARROW_UP, turn)]
        else:
            (sx, sy), (ox, oy) = diagonal[d]
            pts += [(ox, oy), (ox - sx, oy), (ox - 2 * sx, oy), (ox, oy - sy), (ox, oy - 2 * sy),
                    (ox - sx, oy - sy)]
    return outlined(pts)


# --- file formats -------------------------------------------------------------------------------------

def bmp_bytes(canvas, bits):
    colours = []
    if bits <= 8:
        for row in canvas.pixels:
            for colour in row:
                if colour not in colours:
                    colours.append(colour)
        for required in (FUCHSIA, WHITE, SILVER, GREY, BLACK):
            if required not in colours and len(colours) < (1 << bits):
                colours.append(required)
        if len(colours) > (1 << bits):
            sys.exit("too many colours for %d bits" % bits)
        colours += [BLACK] * ((1 << bits) - len(colours))
    row_bytes = ((canvas.width * bits + 31) // 32) * 4
    data = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(canvas.width):
            colour = canvas.pixels[y][x]
            if bits == 24:
                row[x * 3:x * 3 + 3] = bytes((colour[2], colour[1], colour[0]))
            elif bits == 8:
                row[x] = colours.index(colour)
            else:  # 4
                row[x // 2] |= colours.index(colour) << (4 if x % 2 == 0 else 0)
        data += row
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in colours)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.width, canvas.height, 1, bits, 0, len(data), 2835, 2835,
                       len(colours), 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    return header + info + palette + bytes(data)


def cursor_bytes(shape, hot_x=16, hot_y=16):
    black, white = shape
    xor_rows = bytearray()
    and_rows = bytearray()
    for y in range(31, -1, -1):
        xor_row = 0
        and_row = 0
        for x in range(32):
            bit = 1 << (31 - x)
            if (x, y) in black:
                pass
            elif (x, y) in white:
                xor_row |= bit
            else:
                and_row |= bit
        xor_rows += struct.pack('>I', xor_row)
        and_rows += struct.pack('>I', and_row)
    info = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 1, 0, len(xor_rows) + len(and_rows), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info + palette + bytes(xor_rows) + bytes(and_rows)
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', 32, 32, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    return directory + entry + image


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(top, 'tree', 'resources')
    os.makedirs(out, exist_ok=True)
    bitmaps = {
        'VT_CHECK_LIGHT': (check_strip(LIGHT_CHECK), 8),
        'VT_CHECK_DARK': (check_strip(DARK_CHECK), 8),
        'VT_TICK_LIGHT': (check_strip(LIGHT_TICK), 8),
        'VT_TICK_DARK': (check_strip(DARK_TICK), 8),
        'VT_FLAT': (check_strip(FLAT), 8),
        'VT_XP': (xp_strip(), 24),
        'VT_UTILITIES': (utility_strip(), 8),
        'VT_XPBUTTONPLUS': (xp_button(True), 24),
        'VT_XPBUTTONMINUS': (xp_button(False), 24),
        'VT_MOVEALL': (panning_image(True, True), 4),
        'VT_MOVEEW': (panning_image(True, False), 4),
        'VT_MOVENS': (panning_image(False, True), 4),
    }
    cursors = {
        'VT_HEADERSPLIT': header_split_cursor(),
        'VT_MOVEALL': move_cursor(['N', 'E', 'S', 'W']),
        'VT_MOVEEW': move_cursor(['E', 'W']),
        'VT_MOVENS': move_cursor(['N', 'S']),
        'VT_MOVEN': move_cursor(['N']),
        'VT_MOVENE': move_cursor(['NE']),
        'VT_MOVEE': move_cursor(['E']),
        'VT_MOVESE': move_cursor(['SE']),
        'VT_MOVES': move_cursor(['S']),
        'VT_MOVESW': move_cursor(['SW']),
        'VT_MOVEW': move_cursor(['W']),
        'VT_MOVENW': move_cursor(['NW']),
    }
    lines = ['// The tree control\'s bitmaps and cursors, loaded by name. Generated by tools/make-tree-resources.py.',
             '']
    for name, (canvas, bits) in bitmaps.items():
        file_name = name.lower() + '.bmp'
        with open(os.path.join(out, file_name), 'wb') as f:
            f.write(bmp_bytes(canvas, bits))
        lines.append('%s BITMAP "%s"' % (name, file_name))
    for name, shape in cursors.items():
        file_name = name.lower() + '.cur'
        with open(os.path.join(out, file_name), 'wb') as f:
            f.write(cursor_bytes(shape))
        lines.append('%s CURSOR "%s"' % (name, file_name))
    with open(os.path.join(out, 'TreeResources.rc'), 'w') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
