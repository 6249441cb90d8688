#!/usr/bin/env python3
"""The README beam verified in the page's WebAssembly module, in headless
Chromium, against the native library called in-process through its C
interface (ferrolit_verify_json), both from a JSON text to a JSON text.
Rounds of the two alternate, so that a machine's changing load weighs on
both alike; the figure is the ratio of the best round of each, and the
median round's too.

    bench/browser_vs_native.py [--page build/web/index.html] [--library build/libferrolit.so]
                               [--program build/tools/ferrolit] [--rounds 15] [--calls 300]
"""

import argparse
import ctypes
import json
import os
import pathlib
import statistics
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "browser"))
import cdp  # noqa: E402


def native_round(library, text, calls):
    out = ctypes.c_void_p()
    start = time.perf_counter()
    for _ in range(calls):
        if library.ferrolit_verify_json(text, ctypes.byref(out)) != 0:
            raise SystemExit("ferrolit_verify_json ha rifiutato la trave del README")
        library.ferrolit_json_free(out)
    return (time.perf_counter() - start) / calls * 1e3


def browser_round(browser, text, calls):
    return browser.evaluate(f"""(async () => {{
        const t = {json.dumps(text)};
        const start = performance.now();
        for (let i = 0; i < {calls}; ++i) await ferrolit.verify(t);
        return (performance.now() - start) / {calls}; }})()""")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--page", default=str(ROOT / "build" / "web" / "index.html"))
    parser.add_argument("--library", default=str(ROOT / "build" / "libferrolit.so"))
    parser.add_argument("--program", default=str(ROOT / "build" / "tools" / "ferrolit"))
    parser.add_argument("--rounds", type=int, default=15)
    parser.add_argument("--calls", type=int, default=300)
    a = parser.parse_args()
    text = subprocess.run([a.program, "example"], capture_output=True, text=True, check=True).stdout
    library = ctypes.CDLL(a.library)
    library.ferrolit_verify_json.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p)]
    library.ferrolit_json_free.argtypes = [ctypes.c_void_p]
    with cdp.Browser(timeout=120) as browser:
        browser.open(pathlib.Path(os.path.abspath(a.page)).as_uri())
        browser.wait_for("document.querySelector('#max-ratio').textContent !== '—'")
        native_round(library, text.encode(), a.calls)  # warm both up
        browser_round(browser, text, a.calls)
        native, page = [], []
        for _ in range(a.rounds):
            native.append(native_round(library, text.encode(), a.calls))
            page.append(browser_round(browser, text, a.calls))
    print(f"trave del README, {a.rounds} giri di {a.calls} verifiche (ms per verifica):")
    print(f"  nativo (ferrolit_verify_json): migliore {min(native):.4f}  mediana {statistics.median(native):.4f}")
    print(f"  browser (ferrolit.verify):     migliore {min(page):.4f}  mediana {statistics.median(page):.4f}")
    print(f"  rapporto browser/nativo: {min(page) / min(native):.2f} (migliori), "
          f"{statistics.median(page) / statistics.median(native):.2f} (mediane)")


if __name__ == "__main__":
    main()
