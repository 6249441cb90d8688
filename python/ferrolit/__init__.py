"""Python interface to ferrolit, the verification of reinforced-concrete
sections at limit states.

The classes clsGenVerSez, clsSezRett and clsSezT (and Collection, the
registry's Sezioni) are built at import from the library's own type
information: properties are Python properties, the other members are
methods. Arguments passed by reference and written back by the library come
back as return values, after the member's result if it has one::

    r = ferrolit.clsGenVerSez()
    r.CreaSezRett("Trave", "T1", 300, 500, 40, 40, 100, 0, 0, 0, 60, 2, 12, 24)
    s = r.SezRet(1)
    procedi, msg = s.CalcolaNMDominioSezRett("Y")
    n = s.Ny_Dominio()          # a list

Failures raise ferrolit.Error, whose kind tells them apart. The shared
library is found through FERROLIT_LIBRARY, next to this package, or where the
installation put it.
"""

import ctypes
import enum
import inspect
import math

from . import _abi
from ._abi import lib

__all__ = ["Error", "ErrorKind", "version", "set_message_box_handler", "set_beep_handler",
           "set_decimal_separator"]

_FLOAT_MAX = 3.4028234663852886e38


def _status_codes():
    """The library's failure statuses: {name: code} and {code: description}."""
    codes, descriptions = {}, {}
    code, description = ctypes.c_int32(), ctypes.c_char_p()
    for i in range(lib.ferrolit_status_count()):
        name = lib.ferrolit_status_at(i, ctypes.byref(code), ctypes.byref(description)).decode()
        codes[name] = code.value
        descriptions[code.value] = description.value.decode("utf-8")
    return codes, descriptions


_codes, _descriptions = _status_codes()
ErrorKind = enum.IntEnum("ErrorKind", _codes, module=__name__)
ErrorKind.__doc__ = "Status codes of the library: the classic run-time error numbers, read from the library."


class Error(Exception):
    """A failure reported by the library; `kind` is an ErrorKind (or the bare
    number of a status this package does not know)."""

    def __init__(self, kind, description=None):
        if description is None:
            description = _descriptions[int(kind)]
        try:
            kind = ErrorKind(kind)
        except ValueError:
            pass
        super().__init__(f"{description} ({int(kind)})")
        self.kind = kind
        self.description = description


def _check(status):
    if status != 0:
        raise Error(status, lib.ferrolit_last_error().decode("utf-8", "replace"))


def version():
    """The library's version, "major.minor.patch"."""
    return lib.ferrolit_version().decode()


# ---- values ----

class _Inputs:
    """Builds the value slots of one call and keeps alive what they point to."""

    def __init__(self):
        self.keep = []

    def fill(self, slot, x, declared):
        if x is None:
            slot.type = _abi.EMPTY
        elif isinstance(x, bool):
            slot.type, slot.u.boolean = _abi.BOOL, int(x)
        elif isinstance(x, int) and declared != _abi.SINGLE:
            if not -2**31 <= x < 2**31:
                raise Error(ErrorKind.Overflow)
            slot.type, slot.u.int32 = _abi.INT32, x
        elif isinstance(x, (int, float)):
            try:
                number = float(x)  # an int beyond any float overflows here
            except OverflowError:
                raise Error(ErrorKind.Overflow) from None
            if math.isfinite(number) and abs(number) > _FLOAT_MAX:
                raise Error(ErrorKind.Overflow)
            slot.type, slot.u.single = _abi.SINGLE, number
        elif isinstance(x, str):
            text = ctypes.create_string_buffer(x.encode("utf-8"))
            self.keep.append(text)
            slot.type, slot.u.string = _abi.STRING, ctypes.addressof(text)
        elif isinstance(x, _Object):
            slot.type, slot.u.object = _abi.OBJECT, x._handle
        elif isinstance(x, (list, tuple)):
            data = (ctypes.c_float * len(x))(*x)
            self.keep.append(data)
            slot.type = _abi.SINGLE_ARRAY
            slot.u.array.data = ctypes.cast(data, ctypes.POINTER(ctypes.c_float))
            slot.u.array.count = len(x)
        else:
            raise Error(ErrorKind.TypeMismatch, f"{_descriptions[ErrorKind.TypeMismatch]}: {type(x).__name__}")


def _to_python(slot):
    t = slot.type
    if t == _abi.EMPTY:
        return None
    if t == _abi.SINGLE:
        return slot.u.single
    if t == _abi.INT16:
        return slot.u.int16
    if t == _abi.INT32:
        return slot.u.int32
    if t == _abi.BOOL:
        return slot.u.boolean != 0
    if t == _abi.STRING:
        return ctypes.string_at(slot.u.string).decode("utf-8") if slot.u.string else ""
    if t == _abi.OBJECT:
        return _wrap(slot.u.object, retain=True) if slot.u.object else None
    if t == _abi.SINGLE_ARRAY:
        return list(slot.u.array.data[:slot.u.array.count])
    raise Error(ErrorKind.TypeMismatch, f"{_descriptions[ErrorKind.TypeMismatch]}: {t}")


# ---- objects ----

_classes = {}


class _Object:
    __slots__ = ("_handle",)
    _class_name = None

    def __init__(self):
        handle = ctypes.c_void_p()
        _check(lib.ferrolit_create(self._class_name.encode(), ctypes.byref(handle)))
        self._handle = handle.value

    def __del__(self):
        handle = getattr(self, "_handle", None)
        if handle and lib is not None:
            lib.ferrolit_release(handle)
            self._handle = None

    def __eq__(self, other):
        if not isinstance(other, _Object):
            return NotImplemented
        return bool(lib.ferrolit_same_object(self._handle, other._handle))

    __hash__ = None

    # Each wrapper owns one reference to its handle, so a copy must take its
    # own: a shallow copy is another reference to the same library object,
    # as an object assignment is in any host language. The library cannot
    # duplicate an object, nor save one, so deep copies and pickling fail.
    def __copy__(self):
        return _wrap(self._handle, retain=True)

    def __deepcopy__(self, memo):
        raise TypeError(f"ferrolit.{self._class_name} objects cannot be deep-copied")

    def __reduce__(self):
        raise TypeError(f"ferrolit.{self._class_name} objects cannot be pickled")

    def __repr__(self):
        return f"<ferrolit.{self._class_name} object>"


def _wrap(handle, retain):
    """The Python object for a handle; retain=True adds the wrapper's own reference."""
    name = lib.ferrolit_class_of(handle).decode()
    obj = object.__new__(_classes[name])
    if retain:
        lib.ferrolit_retain(handle)
    obj._handle = handle
    return obj


def _invoke(function, obj, name, args, values):
    """Calls a member with the Python values for its arguments; returns the
    result followed by the outputs (None, one value, or a tuple)."""
    slots = (_abi.Value * max(len(args), 1))()
    result = _abi.Value()
    inputs = _Inputs()
    try:
        for i, (arg, x) in enumerate(zip(args, values)):
            inputs.fill(slots[i], x, arg.type)
        _check(function(obj._handle, name, slots, len(args), ctypes.byref(result)))
        out = [] if result.type == _abi.EMPTY else [_to_python(result)]
        out += [_to_python(slots[i]) for i, arg in enumerate(args) if arg.is_output]
    finally:
        lib.ferrolit_value_clear(ctypes.byref(result))
        for i, arg in enumerate(args):
            if arg.is_output:
                lib.ferrolit_value_clear(ctypes.byref(slots[i]))
    if not out:
        return None
    return out[0] if len(out) == 1 else tuple(out)


class _Arg:
    def __init__(self, info):
        self.name = info.name.decode()
        self.type = info.type
        self.is_output = bool(info.is_output)


def _make_property(info):
    name = info.name
    readable = info.name.decode()

    def fget(self):
        return _invoke(lib.ferrolit_get, self, name, [], [])

    fset = None
    if info.kind & _abi.KIND_LET:
        declared = info.result_type

        def fset(self, x):
            slot = _abi.Value()
            inputs = _Inputs()
            inputs.fill(slot, x, declared)
            _check(lib.ferrolit_let(self._handle, name, ctypes.byref(slot)))

    return property(fget, fset, doc=f"{readable} (property)")


def _make_method(info):
    name = info.name
    readable = name.decode()
    args = [_Arg(info.args[i]) for i in range(info.arg_count)]
    function = lib.ferrolit_call
    parameters = [inspect.Parameter(a.name, inspect.Parameter.POSITIONAL_OR_KEYWORD,
                                    default=None if a.is_output else inspect.Parameter.empty) for a in args]
    signature = inspect.Signature(parameters)

    def method(self, *pargs, **kwargs):
        bound = signature.bind(*pargs, **kwargs)
        values = [bound.arguments.get(a.name) for a in args]
        return _invoke(function, self, name, args, values)

    method.__name__ = readable
    method.__signature__ = inspect.Signature([inspect.Parameter("self", inspect.Parameter.POSITIONAL_OR_KEYWORD)]
                                             + parameters)
    outputs = [a.name for a in args if a.is_output]
    method.__doc__ = f"{readable}: returns " + ", ".join(
        (["the result"] if info.result_type != _abi.EMPTY else []) + outputs or ["nothing"])
    return method


def _build_class(class_name):
    namespace = {"__slots__": (), "_class_name": class_name, "__doc__": f"The ferrolit class {class_name}."}
    key = class_name.encode()
    for i in range(lib.ferrolit_member_count(key)):
        info = lib.ferrolit_member_at(key, i).contents
        member = info.name.decode()
        if info.kind & _abi.KIND_GET and info.arg_count == 0 and not info.kind & _abi.KIND_METHOD:
            namespace[member] = _make_property(info)
        else:
            namespace[member] = _make_method(info)
    if class_name == "Collection":
        namespace["__len__"] = lambda self: self.Count
        namespace["__iter__"] = lambda self: (self.Item(i) for i in range(1, self.Count + 1))
    return type(class_name, (_Object,), namespace)


def _build_enum(index):
    name = lib.ferrolit_enum_name(index).decode()
    members = {}
    value = ctypes.c_int32()
    for j in range(lib.ferrolit_enum_value_count(index)):
        member = lib.ferrolit_enum_value(index, j, ctypes.byref(value)).decode()
        members[member] = value.value
    return name, enum.IntEnum(name, members)


for _i in range(lib.ferrolit_class_count()):
    _name = lib.ferrolit_class_name(_i).decode()
    _classes[_name] = globals()[_name] = _build_class(_name)
    __all__.append(_name)
for _i in range(lib.ferrolit_enum_count()):
    _name, globals()[_name] = _build_enum(_i)
    __all__.append(_name)


# ---- platform hooks ----

_hooks = {}


def set_message_box_handler(handler):
    """handler(text, title) is called where the design procedures show their
    critical-stop message box; None restores the default (standard error)."""
    callback = _abi.MessageBoxFn(lambda text, title, _: handler(text.decode("utf-8"), title.decode("utf-8"))) \
        if handler is not None else _abi.MessageBoxFn()
    _check(lib.ferrolit_set_message_box_handler(callback, None))
    _hooks["box"] = callback


def set_beep_handler(handler):
    """handler() is called where the design procedures sound the alert beep."""
    callback = _abi.BeepFn(lambda _: handler()) if handler is not None else _abi.BeepFn()
    _check(lib.ferrolit_set_beep_handler(callback, None))
    _hooks["beep"] = callback


def set_decimal_separator(separator):
    """Decimal separator of the numbers in the library's messages, "." or ","."""
    if not isinstance(separator, str) or len(separator.encode()) != 1:
        raise Error(ErrorKind.InvalidOperation)
    _check(lib.ferrolit_set_decimal_separator(separator.encode()))

from ._verify import verify, verify_file  # noqa: E402,F401  (ferrolit.verify, ferrolit.verify_file)
