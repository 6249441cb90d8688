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

Anything with __float__ (or, for a whole number, __index__) is taken where
a number is expected: numpy scalars and 0-d arrays as well as int and float.
Failures raise ferrolit.Error, whose kind tells them apart and whose message
names the member and, for a value that cannot be passed, the argument. The
docstrings give each number's unit. The shared library is found through
FERROLIT_LIBRARY, next to this package, the path recorded when the package
was installed, or the dynamic loader's search path.
"""

import ctypes
import enum
import inspect
import math
import operator

from . import _abi
from ._abi import lib
from ._version import __version__

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
    number of a status this package does not know), `description` the
    library's Italian text, `member` the member called ("clsSezRett.Vrsd"),
    `argument` the argument whose value could not be passed, if that was
    the failure, and `key` the input key a verification's error names
    ("combinazioni[2].tipo"), or None."""

    def __init__(self, kind, description=None, member=None, argument=None, received=None, key=None):
        if description is None:
            description = _descriptions[int(kind)]
        try:
            kind = ErrorKind(kind)
        except ValueError:
            pass
        text = f"{description} ({int(kind)})"
        if argument is not None:
            text += f": argomento {argument}" + (f" di {member}" if member else "")
        elif member is not None:
            text += f": {member}"
        if received is not None:
            text += f", ricevuto {received}"
        super().__init__(text)
        self.kind = kind
        self.description = description
        self.member = member
        self.argument = argument
        self.key = key


def _check(status, member=None):
    if status != 0:
        raise Error(status, lib.ferrolit_last_error().decode("utf-8", "replace"), member)


def version():
    """The library's version, "major.minor.patch"."""
    return lib.ferrolit_version().decode()


# ---- values ----

_INTEGER_RANGES = {_abi.INT16: (-2**15, 2**15), _abi.INT32: (-2**31, 2**31)}
_NUMBER_TYPES = (_abi.SINGLE, _abi.INT16, _abi.INT32)


def _number(x, declared):
    """x as an int (a whole number for an integer argument: anything with
    __index__) or a float (anything with __float__), or None for no number;
    OverflowError for a whole number beyond any float. Covers int, float,
    numpy scalars and 0-d arrays."""
    if isinstance(x, (str, bytes, _Object, list, tuple)):
        return None
    kind = type(x)
    if declared != _abi.SINGLE and hasattr(kind, "__index__"):
        try:
            return operator.index(x)
        except TypeError:  # a 0-d array of reals has __index__ but refuses it
            pass
    if hasattr(kind, "__float__"):
        return float(x)
    if hasattr(kind, "__index__"):
        return float(operator.index(x))
    return None


def _mismatch(x, member, argument):
    return Error(ErrorKind.TypeMismatch, None, member, argument, type(x).__name__)


class _Inputs:
    """Builds the value slots of one call and keeps alive what they point to.
    A value that cannot be passed raises Error naming its argument; what the
    library checks besides (16-bit ranges, rounding) it checks again."""

    def __init__(self, member):
        self.member = member
        self.keep = []

    def fill(self, slot, x, declared, argument):
        if x is None:
            slot.type = _abi.EMPTY
        elif isinstance(x, bool):
            slot.type, slot.u.boolean = _abi.BOOL, int(x)
        elif isinstance(x, str):
            if declared in _NUMBER_TYPES:
                raise _mismatch(x, self.member, argument)
            text = ctypes.create_string_buffer(x.encode("utf-8"))
            self.keep.append(text)
            slot.type, slot.u.string = _abi.STRING, ctypes.addressof(text)
        elif isinstance(x, _Object):
            slot.type, slot.u.object = _abi.OBJECT, x._handle
        elif isinstance(x, (list, tuple)):
            values = [self._real(v, argument) for v in x]
            data = (ctypes.c_float * len(values))(*values)
            self.keep.append(data)
            slot.type = _abi.SINGLE_ARRAY
            slot.u.array.data = ctypes.cast(data, ctypes.POINTER(ctypes.c_float))
            slot.u.array.count = len(values)
        else:
            try:
                number = _number(x, declared)
            except OverflowError:
                raise self._overflow(argument) from None
            if number is None or declared in (_abi.STRING, _abi.OBJECT):
                raise _mismatch(x, self.member, argument)
            low, high = _INTEGER_RANGES.get(declared, (None, None))
            if isinstance(number, int) and low is not None:
                if not low <= number < high:
                    raise self._overflow(argument)
                slot.type, slot.u.int32 = _abi.INT32, number
                return
            number = float(number)
            if low is not None and not (math.isfinite(number) and low <= round(number) < high):
                raise self._overflow(argument)  # rounded half to even, as the library does
            slot.type, slot.u.single = _abi.SINGLE, self._real(number, argument)

    def _real(self, x, argument):
        """x as a float within the range of a single (infinities and NaN pass)."""
        try:
            number = _number(x, _abi.SINGLE)
        except OverflowError:
            raise self._overflow(argument) from None
        if number is None:
            raise _mismatch(x, self.member, argument)
        if math.isfinite(number) and abs(number) > _FLOAT_MAX:
            raise self._overflow(argument)
        return number

    def _overflow(self, argument):
        return Error(ErrorKind.Overflow, None, self.member, argument)


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
    member = f"{obj._class_name}.{name.decode()}"
    slots = (_abi.Value * max(len(args), 1))()
    result = _abi.Value()
    inputs = _Inputs(member)
    try:
        for i, (arg, x) in enumerate(zip(args, values)):
            inputs.fill(slots[i], x, arg.type, arg.name)
        _check(function(obj._handle, name, slots, len(args), ctypes.byref(result)), member)
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


# ---- docstrings: types and units from the library's type information ----

_TYPE_NAMES = {_abi.EMPTY: "nothing", _abi.SINGLE: "single", _abi.INT16: "16-bit integer",
               _abi.INT32: "32-bit integer", _abi.BOOL: "boolean", _abi.STRING: "text",
               _abi.OBJECT: "object", _abi.SINGLE_ARRAY: "list of singles"}


def _unit(name):
    unit = lib.ferrolit_unit(name.encode())
    return unit.decode("utf-8") if unit else ""


def _type_text(type_code, type_name, unit):
    """"single, mm", "TipoBordo", "clsSezRett", "text"."""
    text = type_name.decode() if type_name else _TYPE_NAMES.get(type_code, str(type_code))
    if not text:
        text = "section"  # an object of either section class
    return f"{text}, {unit}" if unit else text


class _Arg:
    def __init__(self, info, member):
        self.name = info.name.decode()
        self.type = info.type
        self.is_output = bool(info.is_output)
        # The domain arrays come out through Matr, in the member's own unit.
        unit = _unit(member if self.type == _abi.SINGLE_ARRAY else self.name)
        self.doc = f"{self.name}: {_type_text(info.type, info.type_name, unit)}" + \
            (" (output)" if self.is_output else "")


def _make_property(class_name, info):
    name = info.name
    readable = info.name.decode()
    member = f"{class_name}.{readable}"

    def fget(self):
        return _invoke(lib.ferrolit_get, self, name, [], [])

    fset = None
    access = "read only"
    if info.kind & _abi.KIND_LET:
        declared = info.result_type
        access = "read and write"

        def fset(self, x):
            slot = _abi.Value()
            inputs = _Inputs(member)
            inputs.fill(slot, x, declared, readable)
            _check(lib.ferrolit_let(self._handle, name, ctypes.byref(slot)), member)

    doc = f"{readable}: {_type_text(info.result_type, info.result_type_name, _unit(readable))}; {access}."
    return property(fget, fset, doc=doc)


def _make_method(info):
    name = info.name
    readable = name.decode()
    args = [_Arg(info.args[i], readable) for i in range(info.arg_count)]
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
    returned = ([f"the result ({_type_text(info.result_type, info.result_type_name, _unit(readable))})"]
                if info.result_type != _abi.EMPTY else []) + [a.name for a in args if a.is_output]
    lines = [f"{readable}({', '.join(a.name for a in args)}): returns {', '.join(returned) or 'nothing'}."]
    if args:
        lines += ["", "Arguments:"] + [f"    {a.doc}" for a in args]
    method.__doc__ = "\n".join(lines)
    return method


# ---- repr: what the object is, at a glance ----

def _section_repr(s):
    shape = f"{s.Base:g} x {s.Altezza:g} mm"
    if s._class_name == "clsSezT":
        shape = f"{s.Base:g}/{s.BaseInf:g} x {s.Altezza:g} mm, flange {s.SpessoreT:g} mm"
    return f"{s.TipoSezione} {s.DescrSezione!r}, {shape}"


def _sections(count):
    return f"{count} section" + ("" if count == 1 else "s")


_REPRS = {
    "clsGenVerSez": lambda r: f"{_sections(r.Sezioni.Count)}, current {r.SezioneCorrente}",
    "Collection": lambda c: _sections(c.Count),
    "clsSezRett": _section_repr,
    "clsSezT": _section_repr,
}


def _repr(self):
    try:
        return f"<ferrolit.{self._class_name}: {_REPRS[self._class_name](self)}>"
    except Exception:  # a repr must not fail, whatever the object holds
        return f"<ferrolit.{self._class_name} object>"


def _build_class(class_name):
    namespace = {"__slots__": (), "_class_name": class_name, "__doc__": f"The ferrolit class {class_name}.",
                 "__repr__": _repr}
    key = class_name.encode()
    for i in range(lib.ferrolit_member_count(key)):
        info = lib.ferrolit_member_at(key, i).contents
        member = info.name.decode()
        if info.kind & _abi.KIND_GET and info.arg_count == 0 and not info.kind & _abi.KIND_METHOD:
            namespace[member] = _make_property(class_name, info)
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

from ._verify import analyse, verify, verify_file, verify_members  # noqa: E402,F401  (ferrolit.analyse, .verify, ...)
