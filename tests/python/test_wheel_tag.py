"""The build backend's retagging of a finished wheel, on small synthetic wheels
shaped like meson-python's."""
import base64
import csv
import hashlib
import io
import pathlib
import sys
import zipfile

import pytest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tools"))
from abi3_backend import retag  # noqa: E402

DIST_INFO = "quorvane-0.1.0.dist-info"


def digest(data):
    return "sha256=" + base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()


def make_wheel(folder, tag, modules):
    files = {name: b"\x7fELF" + name.encode() for name in modules}
    files[f"{DIST_INFO}/METADATA"] = b"Metadata-Version: 2.1\nName: quorvane\nVersion: 0.1.0\n"
    files[f"{DIST_INFO}/WHEEL"] = f"Wheel-Version: 1.0\nGenerator: meson\nRoot-Is-Purelib: false\nTag: {tag}".encode()
    record = "".join(f"{name},{digest(data)},{len(data)}\n" for name, data in files.items())
    files[f"{DIST_INFO}/RECORD"] = (record + f"{DIST_INFO}/RECORD,,\n").encode()
    wheel = folder / f"quorvane-0.1.0-{tag}.whl"
    with zipfile.ZipFile(wheel, "w") as archive:
        for name, data in files.items():
            info = zipfile.ZipInfo(name, (2024, 1, 2, 3, 4, 6))
            info.external_attr = (0o100755 if name.endswith(".so") else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data)
    return wheel


def contents(wheel):
    with zipfile.ZipFile(wheel) as archive:
        return {info.filename: (archive.read(info), info.external_attr, info.compress_type, info.date_time)
                for info in archive.infolist()}


@pytest.mark.parametrize("tag, modules, expected", [
    # meson-python 0.14 on, without its limited-API setting: the building interpreter's own tag.
    ("cp313-cp313-linux_x86_64", ["quorvane.abi3.so"], "cp310-abi3-linux_x86_64"),
    # meson-python 0.12 and 0.13: abi3, but for the building interpreter.
    ("cp311-abi3-linux_x86_64", ["quorvane.abi3.so"], "cp310-abi3-linux_x86_64"),
    ("cp312-abi3-macosx_11_0_arm64", ["pkg/quorvane.abi3.so", "pkg/other.abi3.so"], "cp310-abi3-macosx_11_0_arm64"),
    # Not for the stable ABI: left as meson-python made it.
    ("cp313-cp313-linux_x86_64", ["quorvane.cpython-313-x86_64-linux-gnu.so"], None),
    ("cp313-cp313-linux_x86_64", ["quorvane.abi3.so", "pkg/_speed.cpython-313-x86_64-linux-gnu.so"], None),
    ("pp310-pypy310_pp73-linux_x86_64", ["quorvane.abi3.so"], None),
    ("py3-none-any", [], None),
])
def test_retag(tmp_path, tag, modules, expected):
    wheel = make_wheel(tmp_path, tag, modules)
    before = contents(wheel)
    result = retag(wheel, (3, 10))
    if expected is None:
        assert result == wheel
        assert contents(wheel) == before
        return
    assert result.name == f"quorvane-0.1.0-{expected}.whl"
    assert sorted(tmp_path.iterdir()) == [result]

    after = contents(result)
    assert after.keys() == before.keys()
    changed = {f"{DIST_INFO}/WHEEL", f"{DIST_INFO}/RECORD"}
    assert {name: before[name] for name in before.keys() - changed} == {name: after[name]
                                                                       for name in after.keys() - changed}
    for name in changed:
        assert after[name][1:] == before[name][1:]
    assert after[f"{DIST_INFO}/WHEEL"][0] == before[f"{DIST_INFO}/WHEEL"][0].replace(tag.encode(),
                                                                                   expected.encode())
    rows = list(csv.reader(io.StringIO(after[f"{DIST_INFO}/RECORD"][0].decode())))
    assert [row[0] for row in rows] == list(after)
    for name, hashed, size in rows:
        data = after[name][0]
        assert (hashed, size) == (("", "") if name.endswith("/RECORD") else (digest(data), str(len(data))))
