"""pip install . from the repository root: the Python package of python/,
built by python/setup.py (which builds the library with CMake)."""

import os
import runpy

runpy.run_path(os.path.join(os.path.dirname(os.path.abspath(__file__)), "python", "setup.py"), run_name="__main__")
