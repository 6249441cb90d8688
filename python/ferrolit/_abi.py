"""ctypes declarations of the C interface of libferrolit (ferrolit/ferrolit.h)."""

import ctypes
import glob
import os

# Tags of ferrolit_value
EMPTY, SINGLE, INT16, INT32, BOOL, STRING, OBJECT, SINGLE_ARRAY = range(8)
# Kinds of members
KIND_GET, KIND_LET, KIND_METHOD = 1, 2, 4


class _Array(ctypes.Structure):
    _fields_ = [("data", ctypes.POINTER(ctypes.c_float)), ("count", ctypes.c_int32)]


class _Payload(ctypes.Union):
    _fields_ = [
        ("single", ctypes.c_float),
        ("int16", ctypes.c_int16),
        ("int32", ctypes.c_int32),
        ("boolean", ctypes.c_int32),
        ("string", ctypes.c_void_p),
        ("object", ctypes.c_void_p),
        ("array", _Array),
    ]


class Value(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int32), ("owned", ctypes.c_int32), ("u", _Payload)]


class ArgInfo(ctypes.Structure):
    _fields_ = [
        ("name", ctypes.c_char_p),
        ("type", ctypes.c_int32),
        ("type_name", ctypes.c_char_p),
        ("is_output", ctypes.c_int32),
    ]


class MemberInfo(ctypes.Structure):
    _fields_ = [
        ("name", ctypes.c_char_p),
        ("kind", ctypes.c_int32),
        ("result_type", ctypes.c_int32),
        ("result_type_name", ctypes.c_char_p),
        ("arg_count", ctypes.c_int32),
        ("args", ctypes.POINTER(ArgInfo)),
    ]


MessageBoxFn = ctypes.CFUNCTYPE(None, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_void_p)
BeepFn = ctypes.CFUNCTYPE(None, ctypes.c_void_p)


def _candidates():
    """Where the shared library may be, in the order it is looked for."""
    explicit = os.environ.get("FERROLIT_LIBRARY")
    if explicit:
        yield explicit
        return
    here = os.path.dirname(os.path.abspath(__file__))
    yield from sorted(glob.glob(os.path.join(here, "libferrolit.so*")))
    try:
        # Written by CMake's installation: the library, relative to the package.
        # (A pip install puts the library inside the package instead.)
        from . import _install
        yield os.path.normpath(os.path.join(here, _install.LIBRARY))
    except ImportError:
        pass
    yield "libferrolit.so.0"  # through the dynamic loader's search path


def _load():
    tried = []
    for path in _candidates():
        try:
            return ctypes.CDLL(path)
        except OSError as error:
            tried.append(f"{path}: {error}")
    raise ImportError("libferrolit not found; set FERROLIT_LIBRARY to its path.\n" + "\n".join(tried))


lib = _load()


def _declare(name, restype, *argtypes):
    function = getattr(lib, name)
    function.restype = restype
    function.argtypes = list(argtypes)


_obj = ctypes.c_void_p
_i32 = ctypes.c_int32
_declare("ferrolit_last_status", _i32)
_declare("ferrolit_last_error", ctypes.c_char_p)
_declare("ferrolit_last_error_key", ctypes.c_char_p)
_declare("ferrolit_status_count", _i32)
_declare("ferrolit_status_at", ctypes.c_char_p, _i32, ctypes.POINTER(_i32), ctypes.POINTER(ctypes.c_char_p))
_declare("ferrolit_value_clear", None, ctypes.POINTER(Value))
_declare("ferrolit_create", _i32, ctypes.c_char_p, ctypes.POINTER(_obj))
_declare("ferrolit_retain", _i32, _obj)
_declare("ferrolit_release", _i32, _obj)
_declare("ferrolit_class_of", ctypes.c_char_p, _obj)
_declare("ferrolit_same_object", ctypes.c_int, _obj, _obj)
_declare("ferrolit_class_count", _i32)
_declare("ferrolit_class_name", ctypes.c_char_p, _i32)
_declare("ferrolit_member_count", _i32, ctypes.c_char_p)
_declare("ferrolit_member_at", ctypes.POINTER(MemberInfo), ctypes.c_char_p, _i32)
_declare("ferrolit_unit", ctypes.c_char_p, ctypes.c_char_p)
_declare("ferrolit_enum_count", _i32)
_declare("ferrolit_enum_name", ctypes.c_char_p, _i32)
_declare("ferrolit_enum_value_count", _i32, _i32)
_declare("ferrolit_enum_value", ctypes.c_char_p, _i32, _i32, ctypes.POINTER(_i32))
for _name in ("ferrolit_get", "ferrolit_call"):
    _declare(_name, _i32, _obj, ctypes.c_char_p, ctypes.POINTER(Value), _i32, ctypes.POINTER(Value))
_declare("ferrolit_let", _i32, _obj, ctypes.c_char_p, ctypes.POINTER(Value))
_declare("ferrolit_set_message_box_handler", _i32, MessageBoxFn, ctypes.c_void_p)
_declare("ferrolit_set_beep_handler", _i32, BeepFn, ctypes.c_void_p)
_declare("ferrolit_set_decimal_separator", _i32, ctypes.c_char)
_declare("ferrolit_version", ctypes.c_char_p)
