"""The build backend: meson-python's own hooks, with the finished wheel tagged
for the oldest CPython the module serves.

The module is built on the limited API of the floor set in src/meson.build,
so one wheel serves every CPython from that floor on. meson-python names the
interpreter that built it instead (`cp312-cp312`, or `cp312-abi3` in some
releases), which installers refuse on every other CPython. So once
meson-python's build_wheel is done, a wheel whose extension modules are all
CPython `.abi3.so` files is tagged `cpXY-abi3` for the floor: its file name,
the Tag line of its WHEEL file and that file's line in RECORD. Only
meson-python's public hooks are used, so this holds across its releases.
"""
import base64
import hashlib
import pathlib
import re
import zipfile

import mesonpy

# Every hook meson-python offers is offered here, whatever its release.
_HOOKS = ("build_sdist", "get_requires_for_build_sdist", "get_requires_for_build_wheel",
          "prepare_metadata_for_build_wheel", "build_editable", "get_requires_for_build_editable",
          "prepare_metadata_for_build_editable")
globals().update({name: getattr(mesonpy, name) for name in _HOOKS if hasattr(mesonpy, name)})

_MESON_BUILD = pathlib.Path(__file__).resolve().parent.parent / "src" / "meson.build"
_FLOOR = re.compile(r"^limited_api = '(\d+)\.(\d+)'$", re.MULTILINE)


def floor():
    """(3, X): the oldest CPython the module serves, as src/meson.build sets it."""
    found = _FLOOR.findall(_MESON_BUILD.read_text(encoding="utf-8"))
    if len(found) != 1:
        raise SystemExit(f"abi3_backend: expected one `limited_api = '3.X'` line in {_MESON_BUILD}, "
                         f"found {len(found)}")
    return tuple(int(part) for part in found[0])


def _record_hash(data):
    return "sha256=" + base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()


def retag(wheel, version):
    """The path of `wheel` tagged `cpXY-abi3` for `version` (X, Y) when every
    extension module in it is a CPython `.abi3.so`; else `wheel` unchanged."""
    *name, interpreter, _, platform = wheel.name[:-len(".whl")].split("-")
    with zipfile.ZipFile(wheel) as archive:
        entries = {info.filename: (info, archive.read(info)) for info in archive.infolist()}
    modules = [path for path in entries if path.endswith(".so")]
    if not interpreter.startswith("cp") or not modules or not all(path.endswith(".abi3.so") for path in modules):
        return wheel
    tag = f"cp{version[0]}{version[1]}-abi3-{platform}"
    dist_info = "-".join(name[:2]) + ".dist-info"

    info, text = entries[f"{dist_info}/WHEEL"]
    text, count = re.subn(r"^Tag: [^\r\n]*", f"Tag: {tag}", text.decode(), flags=re.MULTILINE)
    if count != 1:
        raise SystemExit(f"abi3_backend: expected one Tag line in the WHEEL file of {wheel.name}, found {count}")
    text = text.encode()
    entries[info.filename] = info, text

    info, record = entries[f"{dist_info}/RECORD"]
    line = f"{dist_info}/WHEEL,{_record_hash(text)},{len(text)}"
    record = re.sub(rf"^{re.escape(dist_info)}/WHEEL,[^\r\n]*", lambda _: line, record.decode(), flags=re.MULTILINE)
    entries[info.filename] = info, record.encode()

    target = wheel.with_name("-".join([*name, tag]) + ".whl")
    with zipfile.ZipFile(target, "w") as archive:
        for info, data in entries.values():
            archive.writestr(info, data)
    if target != wheel:
        wheel.unlink()
    return target


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    built = mesonpy.build_wheel(wheel_directory, config_settings, metadata_directory)
    return retag(pathlib.Path(wheel_directory) / built, floor()).name


if not hasattr(mesonpy, "build_editable"):
    def build_editable(wheel_directory, config_settings=None, metadata_directory=None):
        # Without this hook pip falls back on `setup.py develop`, which reports
        # success and installs nothing importable.
        raise SystemExit(f"abi3_backend: editable installs need meson-python 0.13 or later "
                         f"(this is {mesonpy.__version__}); use `pip install .`")
