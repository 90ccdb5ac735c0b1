import hashlib
import os
import pathlib

import quorvane

# With QUORVANE_FUZZ_SEEDS set to a folder, every document the suite parses
# is also written there, as seed inputs for the fuzzer. The suite's own
# checks on the classes do not hold in that mode. Documents over 64 KiB are
# left out, as the fuzzer takes no longer inputs, unless
# QUORVANE_FUZZ_SEEDS_ANY_SIZE is set (for the outcome comparison).
_SEEDS = os.environ.get("QUORVANE_FUZZ_SEEDS")
_LIMIT = None if os.environ.get("QUORVANE_FUZZ_SEEDS_ANY_SIZE") else 65536
if _SEEDS:
    _folder = pathlib.Path(_SEEDS)
    _folder.mkdir(parents=True, exist_ok=True)
    _real = quorvane.SIRI

    class _RecordingSIRI:
        def __init__(self, *args, **kwargs):
            self._siri = _real(*args, **kwargs)

        def parse(self, s=None, *args, **kwargs):
            if isinstance(s, str):
                data = s.encode("utf-8", "surrogatepass")
                if _LIMIT is None or len(data) <= _LIMIT:
                    (_folder / hashlib.sha1(data).hexdigest()).write_bytes(data)
            return self._siri.parse(s, *args, **kwargs)

    quorvane.SIRI = _RecordingSIRI
