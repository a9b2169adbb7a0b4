#!/usr/bin/env python3
"""Thins a COLMAP text model for a small test fixture.

usage: slim_model.py IN_DIR OUT_DIR STEP

Keeps every STEP-th 3D point (in id order) and, in images.txt, only the 2D points that observe a
kept 3D point; track indices are renumbered to match. Cameras and poses are copied unchanged.
"""
import os
import sys


def data_lines(path):
    with open(path) as f:
        return [l.rstrip('\n') for l in f if not l.startswith('#')]


def main():
    src, dst, step = sys.argv[1], sys.argv[2], int(sys.argv[3])
    os.makedirs(dst, exist_ok=True)
    points = [l.split() for l in data_lines(os.path.join(src, 'points3D.txt')) if l.strip()]
    points.sort(key=lambda v: int(v[0]))
    kept = {v[0] for v in points[::step]}

    lines = data_lines(os.path.join(src, 'images.txt'))
    renumber = {}  # (image id, old index) -> new index
    out_images = []
    for header, observations in zip(lines[0::2], lines[1::2]):
        image_id = header.split()[0]
        values = observations.split()
        kept_obs = []
        for i in range(0, len(values), 3):
            if values[i + 2] in kept:
                renumber[(image_id, i // 3)] = len(kept_obs)
                kept_obs.append(' '.join(values[i:i + 3]))
        out_images += [header, ' '.join(kept_obs)]
    with open(os.path.join(dst, 'images.txt'), 'w') as f:
        f.write('\n'.join(out_images) + '\n')

    with open(os.path.join(dst, 'points3D.txt'), 'w') as f:
        for v in points:
            if v[0] not in kept:
                continue
            track = v[8:]
            new_track = []
            for i in range(0, len(track), 2):
                new_track += [track[i], str(renumber[(track[i], int(track[i + 1]))])]
            f.write(' '.join(v[:8] + new_track) + '\n')

    with open(os.path.join(src, 'cameras.txt')) as f, open(os.path.join(dst, 'cameras.txt'), 'w') as g:
        g.write(f.read())


if __name__ == '__main__':
    main()
