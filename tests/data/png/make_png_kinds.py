#!/usr/bin/env python3
"""Writes one small picture in each kind of PNG that libpng reads (every colour type and bit depth,
palettes with and without transparency, plain and interlaced), and beside each the pixels that
ImageMagick decodes from it as 16-bit RGBA, most significant byte first: the reference the
decoder is compared with.
The pictures are written here byte by byte, so neither libpng nor ImageMagick makes them."""
import os, random, struct, subprocess, zlib

WIDTH, HEIGHT = 17, 13
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)


def pack_row(samples, depth):
    if depth == 16:
        return b''.join(struct.pack('>H', s) for s in samples)
    if depth == 8:
        return bytes(samples)
    per_byte = 8 // depth
    out = bytearray()
    for i in range(0, len(samples), per_byte):
        group = samples[i:i + per_byte] + [0] * (per_byte - len(samples[i:i + per_byte]))
        byte = 0
        for s in group:
            byte = (byte << depth) | s
        out.append(byte)
    return bytes(out)


def scanlines(pixels, width, height, colour_type, depth, rows, columns):
    channels = CHANNELS[colour_type]
    bpp = max(1, channels * depth // 8)
    data = b''
    previous = None
    for y in rows:
        samples = []
        for x in columns:
            samples.extend(pixels[y * width + x])
        raw = pack_row(samples, depth)
        previous = previous or bytes(len(raw))
        # The filter varies by row, so each of libpng's unfilters is used.
        kind = y % 5
        data += bytes([kind]) + apply_filter(kind, raw, previous, bpp)
        previous = raw
    return data


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def apply_filter(kind, raw, prior, bpp):
    out = bytearray()
    for i, value in enumerate(raw):
        left = raw[i - bpp] if i >= bpp else 0
        up = prior[i]
        upper_left = prior[i - bpp] if i >= bpp else 0
        predictor = [0, left, up, (left + up) // 2, paeth(left, up, upper_left)][kind]
        out.append((value - predictor) & 0xff)
    return bytes(out)


def png(pixels, colour_type, depth, interlace, palette=None, transparency=None):
    header = struct.pack('>IIBBBBB', WIDTH, HEIGHT, depth, colour_type, 0, 0, 1 if interlace else 0)
    if interlace:
        data = b''
        for x0, y0, dx, dy in ADAM7:
            columns = list(range(x0, WIDTH, dx))
            rows = list(range(y0, HEIGHT, dy))
            if columns and rows:
                data += scanlines(pixels, WIDTH, HEIGHT, colour_type, depth, rows, columns)
    else:
        data = scanlines(pixels, WIDTH, HEIGHT, colour_type, depth, range(HEIGHT), range(WIDTH))
    out = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header)
    if palette:
        out += chunk(b'PLTE', b''.join(bytes(c) for c in palette))
    if transparency is not None:
        out += chunk(b'tRNS', transparency)
    return out + chunk(b'IDAT', zlib.compress(data, 9)) + chunk(b'IEND', b'')


def kinds():
    rnd = random.Random(9)
    top = lambda depth: (1 << depth) - 1
    for depth in (1, 2, 4, 8, 16):
        yield f'grey{depth}', 0, depth, [(rnd.randint(0, top(depth)),) for _ in range(WIDTH * HEIGHT)], {}
    grey_key = struct.pack('>H', 5)
    yield 'grey8-transparent-key', 0, 8, [(rnd.choice([5, rnd.randint(0, 255)]),) for _ in range(WIDTH * HEIGHT)], \
        {'transparency': grey_key}
    for depth in (8, 16):
        yield f'rgb{depth}', 2, depth, [tuple(rnd.randint(0, top(depth)) for _ in range(3)) for _ in range(WIDTH * HEIGHT)], {}
        yield f'greyalpha{depth}', 4, depth, [tuple(rnd.randint(0, top(depth)) for _ in range(2)) for _ in range(WIDTH * HEIGHT)], {}
        yield f'rgba{depth}', 6, depth, [tuple(rnd.randint(0, top(depth)) for _ in range(4)) for _ in range(WIDTH * HEIGHT)], {}
    for depth in (1, 2, 4, 8):
        size = min(1 << depth, 200)
        palette = [tuple(rnd.randint(0, 255) for _ in range(3)) for _ in range(size)]
        pixels = [(rnd.randint(0, size - 1),) for _ in range(WIDTH * HEIGHT)]
        yield f'palette{depth}', 3, depth, pixels, {'palette': palette}
        alphas = bytes(rnd.choice([0, 128, 255]) for _ in range(size))
        yield f'palette{depth}-transparent', 3, depth, pixels, {'palette': palette, 'transparency': alphas}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, colour_type, depth, pixels, extra in kinds():
        for interlace in (False, True):
            stem = os.path.join(here, f'{name}-{"interlaced" if interlace else "plain"}')
            with open(stem + '.png', 'wb') as f:
                f.write(png(pixels, colour_type, depth, interlace, **extra))
            subprocess.run(['convert', stem + '.png', '-depth', '16', '-endian', 'MSB', 'rgba:' + stem + '.rgba'], check=True)


main()
