"""Build step of the package: the shared library built with CMake and put
inside the package, so that an environment it is installed into needs
nothing else:

    pip install --no-build-isolation ./python    # or . from the repository root

The library alone is configured from the repository's CMake project (no
tests, tool, examples or Python package) and built in
FERROLIT_PYTHON_BUILD_DIR (default build-python/ in the repository, kept so
that the next install builds only what changed); FERROLIT_CMAKE_ARGS adds
configure arguments (for example -DCMAKE_BUILD_TYPE=Debug). FERROLIT_LIBRARY
at build time names a library already built, copied instead. At run time the
package loads FERROLIT_LIBRARY when set, else the library inside it (see
ferrolit/_abi.py).
"""

import glob
import os
import shlex
import shutil
import subprocess

from setuptools import Distribution, setup
from setuptools.command.build_py import build_py

PACKAGE_ROOT = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(PACKAGE_ROOT)
BUILD_DIR = os.path.abspath(os.environ.get("FERROLIT_PYTHON_BUILD_DIR") or os.path.join(SOURCE_DIR, "build-python"))


def version():
    scope = {}
    with open(os.path.join(PACKAGE_ROOT, "ferrolit", "_version.py"), encoding="utf-8") as f:
        exec(f.read(), scope)
    return scope["__version__"]


def build_library():
    """The path of the shared library, built with CMake unless FERROLIT_LIBRARY names one."""
    given = os.environ.get("FERROLIT_LIBRARY")
    if given:
        return given
    cmake_dir = os.path.join(BUILD_DIR, "cmake")
    configure = ["cmake", "-S", SOURCE_DIR, "-B", cmake_dir, "-DBUILD_SHARED_LIBS=ON"]
    if not os.path.exists(os.path.join(cmake_dir, "CMakeCache.txt")):
        configure += ["-DCMAKE_BUILD_TYPE=Release"] + (["-G", "Ninja"] if shutil.which("ninja") else [])
    for part in ("TESTS", "TOOLS", "PYTHON", "EXAMPLES", "BENCH"):
        configure.append(f"-DFERROLIT_BUILD_{part}=OFF")
    configure += shlex.split(os.environ.get("FERROLIT_CMAKE_ARGS", ""))
    subprocess.run(configure, check=True)
    subprocess.run(["cmake", "--build", cmake_dir, "--target", "ferrolit", "--parallel"], check=True)
    # The file the soname names (libferrolit.so.0), whatever links point to it.
    found = sorted(glob.glob(os.path.join(cmake_dir, "**", "libferrolit.so.*"), recursive=True), key=len)
    if not found:
        raise RuntimeError(f"libferrolit.so was not built in {cmake_dir}")
    return found[0]


class BuildWithLibrary(build_py):
    def run(self):
        super().run()
        library = os.path.realpath(build_library())
        target = os.path.join(self.build_lib, "ferrolit", "libferrolit.so.0")
        shutil.copyfile(library, target)
        shutil.copymode(library, target)


class BinaryDistribution(Distribution):
    """The wheel carries a compiled library: tagged for this platform, not pure Python."""

    def has_ext_modules(self):
        return True


setup(
    name="ferrolit",
    version=version(),
    description="Verification of reinforced-concrete sections at limit states (NTC 2018): "
    "Python interface to libferrolit",
    license="MIT",
    python_requires=">=3.9",
    packages=["ferrolit"],
    package_dir={"": os.path.relpath(PACKAGE_ROOT)},
    cmdclass={"build_py": BuildWithLibrary},
    distclass=BinaryDistribution,
    options={"build": {"build_base": os.path.join(BUILD_DIR, "setuptools")}},
)
