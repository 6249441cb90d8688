"""The version of the package, the version of the library it goes with
(CMake checks that they agree; setuptools reads it from here)."""

__version__ = "0.1.0"
