"""The build backend: meson-python, with the wheel tagged for the oldest
CPython the module serves.

meson-python tags a wheel whose only modules are `.abi3.so` files as `abi3`,
but names the interpreter that built it (`cp311-abi3`), which installers then
refuse on every older CPython the module serves. The floor is set once, in
src/meson.build; it reaches the compiler as Py_LIMITED_API, and the tag is
read back from that definition in the build's introspection data.
"""
import json
import re

import mesonpy
from mesonpy import build_sdist, build_wheel, get_requires_for_build_sdist, get_requires_for_build_wheel

__all__ = ["build_sdist", "build_wheel", "get_requires_for_build_sdist", "get_requires_for_build_wheel"]

_LIMITED_API = re.compile(r"-DPy_LIMITED_API=(0x[0-9A-Fa-f]{8})")


def limited_api(build_dir):
    """(3, X): the limited API the build's targets are compiled for."""
    targets = json.loads((build_dir / "meson-info" / "intro-targets.json").read_text())
    values = {
        int(m.group(1), 16)
        for target in targets
        for sources in target["target_sources"]
        for parameter in sources.get("parameters", [])
        if (m := _LIMITED_API.fullmatch(parameter))
    }
    if len(values) != 1:
        raise mesonpy.MesonBuilderError(f"expected one Py_LIMITED_API value in the build, found {len(values)}")
    value = values.pop()
    return value >> 24, (value >> 16) & 0xFF


_meson_python_tag = mesonpy._WheelBuilder.tag


def _tag(builder):
    tag = _meson_python_tag.fget(builder)
    if tag.abi == "abi3":
        tag.interpreter = "cp{}{}".format(*limited_api(builder._build_dir))
    return tag


mesonpy._WheelBuilder.tag = property(_tag)
