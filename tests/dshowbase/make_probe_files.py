#!/usr/bin/env python3
"""Writes the three tiny files txDShowPinIds connects the stock parsers to:
tone.wav (0.1 s of PCM silence), silence.mp2 (40 silent MPEG-1 layer II frames) and
tiny.avi (three 4x4 RGB frames). Usage: make_probe_files.py <folder>"""
import os
import struct
import sys


def chunk(fourcc, data):
    return fourcc + struct.pack('<I', len(data)) + data + (b'\0' if len(data) % 2 else b'')


def main(folder):
    pcm = b'\0' * 17640
    fmt = struct.pack('<IHHIIHH', 16, 1, 2, 44100, 44100 * 4, 4, 16)
    wav = b'WAVEfmt ' + fmt + b'data' + struct.pack('<I', len(pcm)) + pcm
    open(os.path.join(folder, 'tone.wav'), 'wb').write(b'RIFF' + struct.pack('<I', len(wav)) + wav)

    # 128 kbit/s, 44.1 kHz, stereo, no CRC; all-zero bit allocation decodes as silence.
    header = bytes([0xFF, 0xFD, 0x94, 0x04])
    size = 144 * 128000 // 44100
    open(os.path.join(folder, 'silence.mp2'), 'wb').write((header + b'\0' * (size - 4)) * 40)

    w, h, n = 4, 4, 3
    frame = b'\x10' * (w * h * 3)
    avih = struct.pack('<IIIIIIIIII4I', 40000, 0, 0, 0x10, n, 0, 1, len(frame), w, h, 0, 0, 0, 0)
    strh = struct.pack('<4s4sIHHIIIIIIIIhhhh', b'vids', b'DIB ', 0, 0, 0, 0, 1, 25, 0, n, len(frame),
                       0xFFFFFFFF, 0, 0, 0, w, h)
    strf = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(frame), 0, 0, 0, 0)
    strl = chunk(b'LIST', b'strl' + chunk(b'strh', strh) + chunk(b'strf', strf))
    hdrl = chunk(b'LIST', b'hdrl' + chunk(b'avih', avih) + strl)
    movi = chunk(b'LIST', b'movi' + b''.join(chunk(b'00db', frame) for _ in range(n)))
    index = b''.join(b'00db' + struct.pack('<III', 0x10, 4 + i * (8 + len(frame)), len(frame)) for i in range(n))
    body = b'AVI ' + hdrl + movi + chunk(b'idx1', index)
    open(os.path.join(folder, 'tiny.avi'), 'wb').write(b'RIFF' + struct.pack('<I', len(body)) + body)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else '.')
