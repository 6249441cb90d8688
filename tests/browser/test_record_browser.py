"""The HTML calculation record in a real browser: headless Chromium opens
it, and it must render without console errors, look like something in a
screenshot, and print on A4 to the expected number of pages."""

import json
import os
import pathlib
import tempfile
import unittest

import cdp
import tool


class RecordInBrowser(unittest.TestCase):
    def setUp(self):
        self._dir = tempfile.TemporaryDirectory()
        self.addCleanup(self._dir.cleanup)
        self.browser = tool.browser(self)

    def open_record(self, name, text, json_lines=False):
        path = os.path.join(self._dir.name, name)
        tool.write_record(path, text, json_lines)
        self.browser.open(pathlib.Path(path).as_uri())
        self.assertEqual(self.browser.errors, [], "errori nella console del browser")
        return path

    def assert_not_blank(self):
        width, height, colours = cdp.png_colours(self.browser.screenshot())
        self.assertGreaterEqual((width, height), (400, 300))
        # A blank page has one colour; text, tables and drawings bring dozens.
        self.assertGreater(colours, 8, "lo screenshot sembra vuoto")

    def assert_laid_out(self):
        """Nothing wider than the page, every figure captioned, no two labels of a drawing overlapping."""
        wide = self.browser.evaluate(
            "Array.from(document.querySelectorAll('table, svg, .figure')).filter(e => "
            "e.getBoundingClientRect().right > document.body.getBoundingClientRect().right + 1).length")
        self.assertEqual(wide, 0, "tabelle o figure più larghe della pagina")
        uncaptioned = self.browser.evaluate(
            "Array.from(document.querySelectorAll('.figure')).filter(f => "
            "!/^Figura \\d+ — ./.test((f.querySelector('.caption') || {}).textContent || '')).length")
        self.assertEqual(uncaptioned, 0, "figure senza didascalia numerata")
        overlaps = self.browser.evaluate(
            "Array.from(document.querySelectorAll('svg')).flatMap(svg => { const r = Array.from("
            "svg.querySelectorAll('text')).map(t => t.getBoundingClientRect()).filter(b => b.width > 0); "
            "return r.flatMap((a, i) => r.slice(i + 1).filter(b => a.left < b.right - 1 && b.left < a.right - 1 && "
            "a.top < b.bottom - 1 && b.top < a.bottom - 1)); }).length")
        self.assertEqual(overlaps, 0, "testi sovrapposti in un disegno")

    def test_one_section_and_a_batch(self):
        section = tool.example()
        self.open_record("one.html", json.dumps(section))
        self.assertGreater(self.browser.evaluate("document.querySelectorAll('svg').length"), 0)
        self.assert_not_blank()
        self.assert_laid_out()
        one_section_pages = cdp.pdf_pages(self.browser.pdf())
        self.assertGreaterEqual(one_section_pages, 1)

        second = dict(section, DescrSezione="T2", Altezza=600)
        batch = json.dumps(section) + "\n" + json.dumps(second) + "\n"
        self.open_record("batch.html", batch, json_lines=True)
        self.assert_not_blank()
        self.assertGreater(cdp.pdf_pages(self.browser.pdf()), one_section_pages,
                           "due sezioni stampano più pagine di una")


class OutputChecks(unittest.TestCase):
    """The driver's own readers of PNG and PDF, on hand-made inputs."""

    def test_png_colours(self):
        import struct
        import zlib

        def png(rows):
            raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rows)
            chunk = lambda kind, body: (struct.pack(">I", len(body)) + kind + body +
                                        struct.pack(">I", zlib.crc32(kind + body)))
            header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)
            return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) + chunk(
                b"IEND", b"")

        white = [[(255, 255, 255)] * 16 for _ in range(8)]
        self.assertEqual(cdp.png_colours(png(white)), (16, 8, 1))
        stripes = [[(255, 255, 255)] * 4 + [(0, 0, 0)] * 4 + [(200, 0, 0)] * 8 for _ in range(8)]
        self.assertEqual(cdp.png_colours(png(stripes))[2], 3)

    def test_pdf_pages_counts_pages_not_the_page_tree(self):
        pdf = b"1 0 obj << /Type /Pages /Kids [2 0 R 3 0 R] >> 2 0 obj << /Type /Page >> 3 0 obj <</Type/Page>>"
        self.assertEqual(cdp.pdf_pages(pdf), 2)


if __name__ == "__main__":
    unittest.main()
