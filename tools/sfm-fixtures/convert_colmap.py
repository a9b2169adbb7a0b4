#!/usr/bin/env python3
"""Writes the COLMAP text model of tests/data/sfm/txt in the other camera formats the import reads.

The cameras stay the same (poses and focal lengths exactly, the radial term k as k1), so every
converted file must import to the cameras the COLMAP model imports to. Not part of the build:

    python3 tools/sfm-fixtures/convert_colmap.py tests/data/sfm/txt tests/data/sfm
"""
import json
import math
import os
import sys

# Photographs the COLMAP mapper did not register: written as cameras without a pose.
UNPLACED = ["img_0001.jpg", "img_0007.jpg"]


def read_model(folder):
    cameras, images, points = {}, [], []
    for line in open(os.path.join(folder, "cameras.txt")):
        if line.strip() and not line.startswith("#"):
            f = line.split()
            assert f[1] == "SIMPLE_RADIAL"
            cameras[int(f[0])] = dict(w=int(f[2]), h=int(f[3]), f=float(f[4]), cx=float(f[5]),
                                      cy=float(f[6]), k=float(f[7]))
    lines = [l for l in open(os.path.join(folder, "images.txt")) if not l.startswith("#")]
    for header in lines[0::2]:
        f = header.split()
        q = [float(v) for v in f[1:5]]
        t = [float(v) for v in f[5:8]]
        r = quaternion_matrix(q)
        centre = [-sum(r[k][c] * t[k] for k in range(3)) for c in range(3)]
        images.append(dict(name=" ".join(f[9:]), camera=int(f[8]), r=r, c=centre))
    for line in open(os.path.join(folder, "points3D.txt")):
        if line.strip() and not line.startswith("#"):
            f = line.split()
            points.append(([float(v) for v in f[1:4]], [int(v) for v in f[4:7]]))
    images.sort(key=lambda i: i["name"])
    return cameras, images, points


def quaternion_matrix(q):
    n = math.sqrt(sum(v * v for v in q))
    w, x, y, z = (v / n for v in q)
    return [[1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)],
            [2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)],
            [2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)]]


def transpose(m):
    return [[m[c][r] for c in range(3)] for r in range(3)]


def mul(a, b):
    return [[sum(a[r][k] * b[k][c] for k in range(3)) for c in range(3)] for r in range(3)]


def num(v):
    return repr(float(v))


# The chunk-to-world similarity of the Metashape files: rotation about (1, 2, 2) / 3 by 40 degrees,
# translation, scale 2.5. The test computes the world positions from it by hand.
def axis_rotation(axis, degrees):
    n = math.sqrt(sum(v * v for v in axis))
    x, y, z = (v / n for v in axis)
    a = math.radians(degrees)
    c, s, t = math.cos(a), math.sin(a), 1 - math.cos(a)
    return [[t * x * x + c, t * x * y - s * z, t * x * z + s * y],
            [t * x * y + s * z, t * y * y + c, t * y * z - s * x],
            [t * x * z - s * y, t * y * z + s * x, t * z * z + c]]


CHUNK_R = axis_rotation([1, 2, 2], 40)
CHUNK_T = [120.0, -35.5, 8.25]
CHUNK_S = 2.5


def metashape(cameras, images, version):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', '<document version="%s">' % version,
             '  <chunk label="Chunk 1" enabled="true">', '    <sensors next_id="%d">' % (max(cameras) + 1)]
    for cid, cam in sorted(cameras.items()):
        lines.append('      <sensor id="%d" label="camera %d" type="frame">' % (cid, cid))
        lines.append('        <resolution width="%d" height="%d"/>' % (cam["w"], cam["h"]))
        # An initial calibration that must not be used, then the adjusted one.
        for cls, f in (("initial", cam["f"] * 1.2), ("adjusted", cam["f"])):
            lines += ['        <calibration type="frame" class="%s">' % cls,
                      '          <resolution width="%d" height="%d"/>' % (cam["w"], cam["h"]),
                      '          <f>%s</f>' % num(f),
                      '          <cx>%s</cx>' % num(cam["cx"] - cam["w"] / 2),
                      '          <cy>%s</cy>' % num(cam["cy"] - cam["h"] / 2),
                      '          <k1>%s</k1>' % num(cam["k"]), '          <k2>0</k2>',
                      '        </calibration>']
        lines.append('      </sensor>')
    lines.append('    </sensors>')
    transform = ['<transform>', '<rotation locked="false">%s</rotation>' % " ".join(num(v) for row in CHUNK_R for v in row),
                 '<translation locked="false">%s</translation>' % " ".join(num(v) for v in CHUNK_T),
                 '<scale locked="false">%s</scale>' % num(CHUNK_S), '</transform>']
    if version.startswith("2"):
        # 2.x repeats the chunk's transform on the component.
        lines += ['    <components next_id="1" active_id="0">', '      <component id="0" label="Component 1">']
        lines += ['        ' + l for l in transform]
        lines += ['      </component>', '    </components>']
    lines.append('    <cameras next_id="%d" next_group_id="1">' % (len(images) + len(UNPLACED)))
    lines.append('      <group id="0" label="walk" type="folder">')
    chunk_r_t = transpose(CHUNK_R)
    for i, image in enumerate(images):
        # camera-to-chunk: R_chunk^T * camera-to-world; position (R_chunk^T (C - t)) / s
        rot = mul(chunk_r_t, transpose(image["r"]))
        d = [image["c"][k] - CHUNK_T[k] for k in range(3)]
        pos = [sum(chunk_r_t[r][k] * d[k] for k in range(3)) / CHUNK_S for r in range(3)]
        matrix = [rot[0] + [pos[0]], rot[1] + [pos[1]], rot[2] + [pos[2]], [0, 0, 0, 1]]
        label = os.path.splitext(image["name"])[0]
        if i % 5 == 4:
            label = "walk/" + label  # labels may hold folders
        component = ' component_id="0"' if version.startswith("2") else ""
        lines.append('        <camera id="%d" sensor_id="%d"%s label="%s">' % (i, image["camera"], component, label))
        lines.append('          <transform>%s</transform>' % " ".join(num(v) for row in matrix for v in row))
        lines.append('        </camera>')
        if i == len(images) // 2:
            lines.append('      </group>')
    for j, name in enumerate(UNPLACED):
        lines.append('      <camera id="%d" sensor_id="1" label="%s"/>' % (len(images) + j, os.path.splitext(name)[0]))
    lines.append('    </cameras>')
    lines += ['    ' + l for l in transform]
    lines += ['  </chunk>', '</document>', '']
    return "\n".join(lines)


def gl_matrix(image):
    # camera-to-world with the y and z axes negated (OpenGL), centre in the last column.
    c2w = transpose(image["r"])
    rows = [[c2w[r][0], -c2w[r][1], -c2w[r][2], image["c"][r]] for r in range(3)]
    return rows + [[0.0, 0.0, 0.0, 1.0]]


def nerfstudio(cameras, images):
    frames = []
    for image in images:
        cam = cameras[image["camera"]]
        frames.append({"file_path": "images/" + os.path.splitext(image["name"])[0],
                       "transform_matrix": gl_matrix(image), "fl_x": cam["f"], "fl_y": cam["f"],
                       "cx": cam["cx"], "cy": cam["cy"], "w": cam["w"], "h": cam["h"], "k1": cam["k"], "k2": 0.0})
    return json.dumps({"camera_model": "OPENCV", "p1": 0.0, "p2": 0.0, "frames": frames}, indent=1)


def instant_ngp(cameras, images):
    # One global intrinsic as a field of view: the frames of the camera holding most photographs.
    counts = {}
    for image in images:
        counts[image["camera"]] = counts.get(image["camera"], 0) + 1
    cid = max(counts, key=counts.get)
    cam = cameras[cid]
    frames = [{"file_path": "./" + image["name"], "sharpness": 100.0, "transform_matrix": gl_matrix(image)}
              for image in images if image["camera"] == cid]
    return json.dumps({"camera_angle_x": 2 * math.atan(cam["w"] / (2 * cam["f"])),
                       "camera_angle_y": 2 * math.atan(cam["h"] / (2 * cam["f"])), "w": cam["w"], "h": cam["h"], "k1": cam["k"],
                       "aabb_scale": 16, "frames": frames}, indent=1)


def s(v):
    return repr(float(v)) if isinstance(v, float) else str(v)


def meshroom(cameras, images, points, version):
    major, minor, patch = (int(v) for v in version.split("."))
    intrinsics, views, poses = [], [], []
    for cid, cam in sorted(cameras.items()):
        entry = {"intrinsicId": str(1000 + cid), "width": str(cam["w"]), "height": str(cam["h"]),
                 "sensorWidth": "36", "sensorHeight": "24", "serialNumber": "fixture", "type": "radial3",
                 "initializationMode": "estimated", "distortionParams": [s(cam["k"]), "0", "0"], "locked": "0"}
        if patch < 1:
            entry["principalPoint"] = [s(cam["cx"]), s(cam["cy"])]
        else:
            entry["principalPoint"] = [s(cam["cx"] - cam["w"] / 2), s(cam["cy"] - cam["h"] / 2)]
        if patch < 2:
            entry["pxInitialFocalLength"] = "-1"
            entry["pxFocalLength"] = [s(cam["f"]), s(cam["f"])]
        else:
            entry["initialFocalLength"] = "-1"
            entry["focalLength"] = s(cam["f"] * 36 / cam["w"])
            entry["pixelRatio"] = "1"
            entry["pixelRatioLocked"] = "true"
        intrinsics.append(entry)
    for i, image in enumerate(images):
        views.append({"viewId": str(500 + i), "poseId": str(500 + i), "frameId": str(i),
                      "intrinsicId": str(1000 + image["camera"]), "path": "/data/photos/" + image["name"],
                      "width": str(cameras[image["camera"]]["w"]), "height": str(cameras[image["camera"]]["h"]),
                      "metadata": {"Make": "fixture"}})
        columns = [image["r"][r][c] for c in range(3) for r in range(3)]
        poses.append({"poseId": str(500 + i), "pose": {"transform": {"rotation": [s(v) for v in columns],
                                                                      "center": [s(v) for v in image["c"]]},
                                                        "locked": "0"}})
    for j, name in enumerate(UNPLACED):
        views.append({"viewId": str(900 + j), "poseId": str(900 + j), "intrinsicId": "1001",
                      "path": "/data/photos/" + name, "width": "1024", "height": "768"})
    document = {"version": [str(major), str(minor), str(patch)], "featuresFolders": [], "matchesFolders": [],
                "views": views, "intrinsics": intrinsics, "poses": poses}
    if points:
        document["structure"] = [{"landmarkId": str(n), "descType": "sift", "color": [str(v) for v in p[1]],
                                  "X": [s(v) for v in p[0]], "observations": []} for n, p in enumerate(points)]
    return json.dumps(document, indent=1)


def openmvg(cameras, images, points):
    views, intrinsics, extrinsics = [], [], []
    for n, (cid, cam) in enumerate(sorted(cameras.items())):
        value = {"polymorphic_id": 2147483649 if n == 0 else 1,
                 "ptr_wrapper": {"id": 2147483649 + 100 + n,
                                 "data": {"width": cam["w"], "height": cam["h"], "focal_length": cam["f"],
                                          "principal_point": [cam["cx"], cam["cy"]],
                                          "disto_k3": [cam["k"], 0.0, 0.0]}}}
        if n == 0:
            value["polymorphic_name"] = "pinhole_radial_k3"
        intrinsics.append({"key": cid, "value": value})
    names = [(image["name"], image["camera"], i) for i, image in enumerate(images)]
    names += [(name, 1, 4294967295) for name in UNPLACED]
    for n, (name, cid, pose) in enumerate(names):
        views.append({"key": n, "value": {"polymorphic_id": 1073741824,
                                          "ptr_wrapper": {"id": 2147483649 + n,
                                                          "data": {"local_path": "", "filename": name,
                                                                   "width": cameras[cid]["w"],
                                                                   "height": cameras[cid]["h"], "id_view": n,
                                                                   "id_intrinsic": cid, "id_pose": pose}}}})
    for i, image in enumerate(images):
        extrinsics.append({"key": i, "value": {"rotation": image["r"], "center": image["c"]}})
    structure = [{"key": n, "value": {"X": p[0], "observations": []}} for n, p in enumerate(points)]
    return json.dumps({"sfm_data_version": "0.3", "root_path": ".", "views": views, "intrinsics": intrinsics,
                       "extrinsics": extrinsics, "structure": structure, "control_points": []}, indent=1)


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as out:
        out.write(text)


def main():
    source, target = sys.argv[1], sys.argv[2]
    cameras, images, points = read_model(source)
    write(os.path.join(target, "metashape", "cameras-1.5.xml"), metashape(cameras, images, "1.5.0"))
    write(os.path.join(target, "metashape", "cameras-2.1.xml"), metashape(cameras, images, "2.1.0"))
    write(os.path.join(target, "transforms", "transforms.json"), nerfstudio(cameras, images))
    write(os.path.join(target, "transforms", "instant-ngp.json"), instant_ngp(cameras, images))
    for version in ("1.2.0", "1.2.1", "1.2.4", "1.2.5", "1.2.11"):
        write(os.path.join(target, "meshroom", "cameras-%s.sfm" % version),
              meshroom(cameras, images, points if version == "1.2.5" else [], version))
    write(os.path.join(target, "openmvg", "sfm_data.json"), openmvg(cameras, images, points))


if __name__ == "__main__":
    main()
