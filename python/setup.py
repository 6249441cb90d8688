"""Build step of the package: records which shared library it goes with.

When FERROLIT_LIBRARY names the library at build time, for example

    FERROLIT_LIBRARY=/opt/ferrolit/lib/libferrolit.so.0 pip install --no-build-isolation ./python

the installed package loads that library by default (ferrolit/_install.py,
written into the built package). At run time FERROLIT_LIBRARY still comes
first, then a library next to the package, then the recorded one, then the
dynamic loader's search path (a library installed under /usr or /usr/local).
The rest of the metadata is in pyproject.toml.
"""

import os

from setuptools import setup
from setuptools.command.build_py import build_py


class BuildWithLibrary(build_py):
    def run(self):
        super().run()
        library = os.environ.get("FERROLIT_LIBRARY")
        if library:
            target = os.path.join(self.build_lib, "ferrolit", "_install.py")
            with open(target, "w", encoding="utf-8") as note:
                note.write("# Written by the build: the shared library this package goes with.\n")
                note.write(f"LIBRARY = {os.path.abspath(library)!r}\n")


setup(cmdclass={"build_py": BuildWithLibrary})
