"""The one wheel on every CPython of this machine.

Given the folder holding the wheel and the build folder it was made from:
the wheel must be tagged abi3 for the floor of the limited API the build
compiled for. Then each CPython found here (pyenv's and the like) installs
it with its own pip into a scratch folder: at or above the floor, it parses
examples/stop_monitoring.xml, and str() must give what this interpreter
gives; below the floor, the installer must refuse it. Where no CPython at or
above the floor is found besides this one, it says so.
"""
import concurrent.futures
import glob
import json
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import zipfile

import quorvane

ROOT = pathlib.Path(__file__).resolve().parent.parent
EXAMPLE = ROOT / "examples" / "stop_monitoring.xml"
PYENV = os.environ.get("PYENV_ROOT", os.path.expanduser("~/.pyenv"))
CANDIDATES = [f"{PYENV}/versions/*/bin/python3", "/opt/python/*/bin/python3", "/usr/local/bin/python3.*",
              "/usr/bin/python3.*"]
ENV = {**os.environ, "PIP_ROOT_USER_ACTION": "ignore", "PIP_DISABLE_PIP_VERSION_CHECK": "1"}
ENV.pop("PYTHONPATH", None)

# Run isolated from the environment, with only the scratch folder added.
RENDER = """
import pathlib, sys
sys.path.insert(0, sys.argv[1])
import quorvane
assert pathlib.Path(quorvane.__file__).parent == pathlib.Path(sys.argv[1]), quorvane.__file__
sys.stdout.write(str(quorvane.SIRI().parse(pathlib.Path(sys.argv[2]).read_text(encoding="utf-8"))))
"""
# The floor as the compiler was given it: the build backend reads it from
# src/meson.build's text, so the two are checked against each other here.
LIMITED_API = re.compile(r"-DPy_LIMITED_API=(0x[0-9A-Fa-f]{8})")


def limited_api(build):
    """(3, X): the limited API the build's targets were compiled for, from its introspection data."""
    targets = json.loads((build / "meson-info" / "intro-targets.json").read_text())
    values = {int(m.group(1), 16) for target in targets for sources in target["target_sources"]
              for parameter in sources.get("parameters", []) if (m := LIMITED_API.fullmatch(parameter))}
    if len(values) != 1:
        sys.exit(f"check_wheel: expected one Py_LIMITED_API value in {build}, found {len(values)}")
    value = values.pop()
    return value >> 24, (value >> 16) & 0xFF


def cpythons():
    """{version: path} of the CPython 3 interpreters found, one per version."""
    found = {}
    paths = sorted({os.path.realpath(p) for pattern in CANDIDATES for p in glob.glob(pattern)
                    if re.fullmatch(r"python3(\.\d+)?", os.path.basename(p)) and os.access(p, os.X_OK)})
    for path in paths:
        probe = subprocess.run([path, "-I", "-c", "import sys; print(sys.implementation.name, *sys.version_info[:3])"],
                               capture_output=True, text=True)
        if probe.returncode != 0:
            continue
        name, *version = probe.stdout.split()
        if name == "cpython":
            found.setdefault(tuple(int(v) for v in version), path)
    return found


def check(path, wheel, at_or_above_floor, expected):
    """(whether `path` did right with the wheel, what it did)."""
    with tempfile.TemporaryDirectory() as scratch:
        install = subprocess.run([path, "-m", "pip", "install", "-q", "--no-index", "--no-deps", "--target", scratch,
                                  str(wheel)], capture_output=True, text=True, env=ENV)
        if not at_or_above_floor:
            installed = any(pathlib.Path(scratch).glob("quorvane*"))
            return install.returncode != 0 and not installed, "refused, below the floor"
        if install.returncode != 0:
            return False, "pip failed:\n" + install.stdout + install.stderr
        run = subprocess.run([path, "-I", "-c", RENDER, scratch, str(EXAMPLE)], capture_output=True, text=True,
                             env=ENV)
        if run.returncode != 0:
            return False, "failed:\n" + run.stderr
        if run.stdout != expected:
            return False, "a different rendering:\n" + run.stdout
        return True, "same rendering"


def main():
    folder, build = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    wheels = list(folder.glob("*.whl"))
    if len(wheels) != 1:
        sys.exit(f"check_wheel: expected one wheel in {folder}, found {len(wheels)}")
    wheel = wheels[0]
    floor = limited_api(build)
    # The tag in the file name and in the wheel's own metadata.
    name_tag = wheel.name[:-len(".whl")].split("-", 2)[2]
    with zipfile.ZipFile(wheel) as archive:
        tags = [line[len("Tag: "):] for name in archive.namelist() if name.endswith(".dist-info/WHEEL")
                for line in archive.read(name).decode().splitlines() if line.startswith("Tag: ")]
    if not name_tag.startswith(f"cp{floor[0]}{floor[1]}-abi3-") or tags != [name_tag]:
        sys.exit(f"check_wheel: {wheel.name} (WHEEL: {', '.join(tags)}) is not tagged abi3 for CPython "
                 f"{floor[0]}.{floor[1]} on")
    expected = str(quorvane.SIRI().parse(EXAMPLE.read_text(encoding="utf-8")))

    found = cpythons()
    with concurrent.futures.ThreadPoolExecutor() as pool:
        results = {v: pool.submit(check, found[v], wheel, v[:2] >= floor, expected) for v in sorted(found)}
    failed = False
    for version, result in results.items():
        ok, what = result.result()
        failed |= not ok
        print(f"check_wheel: {'ok  ' if ok else 'FAIL'} {'.'.join(map(str, version))} ({found[version]}): {what}")
    others = [v for v in found if v[:2] >= floor and found[v] != os.path.realpath(sys.executable)]
    if not others:
        print(f"check_wheel: no other CPython from {floor[0]}.{floor[1]} on found here: the wheel was tried "
              "with this interpreter alone")
    if failed:
        sys.exit(f"check_wheel: {wheel.name} does not serve every CPython from {floor[0]}.{floor[1]} on")


if __name__ == "__main__":
    main()
