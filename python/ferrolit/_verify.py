"""Verification of a section by the 2018 code, through the library's C entry
point ferrolit_verify_json: a dict in (the JSON keys of the README), a dict
out ("verified", "max_ratio", "checks", ...). And the code engine through
ferrolit_analyse_json: the document of `ferrolit analyse` in and out.

An unbounded ratio (nothing provided against a minimum) comes back as
None, with the check not verified; "max_ratio" is then None too.
"""

import ctypes
import json
import os

from ._abi import lib

__all__ = ["verify", "verify_file", "analyse", "verify_members"]

for _entry in (lib.ferrolit_verify_json, lib.ferrolit_analyse_json):
    _entry.restype = ctypes.c_int
    _entry.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p)]
lib.ferrolit_verify_members_json.restype = ctypes.c_int
lib.ferrolit_verify_members_json.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p)]
lib.ferrolit_json_free.restype = None
lib.ferrolit_json_free.argtypes = [ctypes.c_void_p]


def _error(status, message, key=None):
    from . import Error  # the package's error type, defined before this module is imported
    return Error(status, message, key=key)


# A NUL byte cannot cross the C interface (it ends the text there); the
# library refuses one with this description, and so does this package.
_NUL_PROBLEM = "JSON non valido: carattere NUL"
# FERROLIT_E_INVALID_OPERATION, the status of unusable input.
_INVALID_INPUT = 5


def _verify_text(text, entry=lib.ferrolit_verify_json):
    """The result dict of one section's JSON (str, or bytes as read from a
    file) through a JSON entry point; raises ferrolit.Error when unusable."""
    data = text.encode("utf-8") if isinstance(text, str) else text
    if b"\0" in data:
        raise _error(_INVALID_INPUT, _NUL_PROBLEM)
    return _reply(lambda out: entry(data, out))


def _reply(call):
    """The result dict that call(out) writes through a JSON entry point of
    the C interface; raises ferrolit.Error with the key when unusable."""
    out = ctypes.c_void_p()
    status = call(ctypes.byref(out))
    key = lib.ferrolit_last_error_key().decode("utf-8", "replace") or None
    try:
        reply = json.loads(ctypes.string_at(out.value).decode("utf-8")) if out.value else {}
    finally:
        lib.ferrolit_json_free(out)
    if status != 0:
        raise _error(status, reply.get("error", ""), key)
    return reply


def verify(section):
    """Verifies one section given as a dict of the input keys (README):
    returns the result as a dict. Raises ferrolit.Error for unusable input,
    TypeError for something that is not a dict."""
    if not isinstance(section, dict):
        raise TypeError(f"ferrolit.verify expects a dict, not {type(section).__name__}")
    return _verify_text(json.dumps(section, ensure_ascii=False))


def verify_file(path, errors="raise"):
    """Verifies the section of a .json file (returns a dict) or every section
    of a .jsonl/.ndjson file, one a line (returns a list of dicts in line
    order, each with its "line"). A line that cannot be used raises
    ferrolit.Error naming the file and line; with errors="keep" it becomes
    {"line": n, "error": "..."} in its place and the others still run."""
    if errors not in ("raise", "keep"):
        raise ValueError('errors must be "raise" or "keep"')
    # Bytes as the command line reads them: no decoding of the whole file
    # (a line that is not UTF-8 is that line's error), lines split at "\n"
    # only (a bare CR is no line end), blank lines of spaces, tabs and CRs skipped.
    with open(path, "rb") as f:
        data = f.read()
    if not os.fspath(path).endswith((".jsonl", ".ndjson")):
        try:
            return _verify_text(data)
        except Exception as e:  # name the file, keep the kind
            if hasattr(e, "kind"):
                raise _error(e.kind, f"{os.fspath(path)}: {e.description}", e.key) from None
            raise
    results = []
    for number, line in enumerate(data.split(b"\n"), start=1):
        if not line.strip(b" \t\r"):
            continue
        try:
            result = _verify_text(line)
        except Exception as e:
            if not hasattr(e, "kind"):
                raise
            message = f"{os.fspath(path)}:{number}: {e.description}"
            if errors == "raise":
                raise _error(e.kind, message, e.key) from None
            results.append({"line": number, "error": message})
            continue
        results.append({"line": number, **result})
    return results


def analyse(document):
    """Analyses a section by the code engine: the document of `ferrolit
    analyse` (README) as a dict in ("concrete", "steel", "outline", "bars",
    "queries", ...), the result as a dict ("N_max", "N_min", "results").
    Raises ferrolit.Error for unusable input, TypeError for something that
    is not a dict."""
    if not isinstance(document, dict):
        raise TypeError(f"ferrolit.analyse expects a dict, not {type(document).__name__}")
    return _verify_text(json.dumps(document, ensure_ascii=False), lib.ferrolit_analyse_json)


def _plain(value):
    """A table cell as JSON takes it: numpy's scalars have .item(), dates and the rest become text."""
    if hasattr(value, "item"):
        return value.item()
    return str(value)


def _rows_of(forces):
    """The rows of a forces table: a list of dicts, or any table object with
    to_dict("records") (a pandas DataFrame among them, without importing pandas)."""
    if hasattr(forces, "to_dict"):
        forces = forces.to_dict("records")
    if not isinstance(forces, (list, tuple)) or not all(isinstance(r, dict) for r in forces):
        raise TypeError("forces: a list of dicts or a table with to_dict(\"records\")")
    return list(forces)


def verify_members(model, forces=None):
    """Verifies every member of a building: the model (README "Members of a
    building") as a dict, or the path of its JSON file, whose relative
    "sollecitazioni" path then lies beside it. `forces`, when given, replaces
    the model's rows: a list of dicts keyed by the table's headers, any table
    object with to_dict("records"), or the path of a CSV file. Returns the
    result as a dict ("verified", "max_ratio", "members"); a member that cannot
    be verified has its "error". Raises ferrolit.Error for a model that
    cannot be used at all."""
    if isinstance(model, (str, os.PathLike)):
        base = os.path.dirname(os.path.abspath(os.fspath(model)))
        with open(model, "rb") as f:
            model = json.loads(f.read().decode("utf-8"))
        rows = model.get("sollecitazioni") if isinstance(model, dict) else None
        if isinstance(rows, str) and not os.path.isabs(rows):
            model["sollecitazioni"] = os.path.join(base, rows)
    if not isinstance(model, dict):
        raise TypeError(f"ferrolit.verify_members expects a dict or a path, not {type(model).__name__}")
    csv = None
    if isinstance(forces, (str, os.PathLike)):
        with open(forces, "rb") as f:
            csv = f.read()
    elif forces is not None:
        model = dict(model, sollecitazioni=_rows_of(forces))
    data = json.dumps(model, ensure_ascii=False, default=_plain).encode("utf-8")
    if b"\0" in data or (csv is not None and b"\0" in csv):
        raise _error(_INVALID_INPUT, _NUL_PROBLEM)
    return _reply(lambda out: lib.ferrolit_verify_members_json(data, csv, out))
