#include "record/record_style.hpp"

#include <string>
#include <string_view>

#include "serve/web_assets.hpp"

namespace ferrolit::cli {

namespace {

// Verdicts carry a symbol and a word besides their colour, so that a record
// printed in black and white reads the same.

const char* const kRecordRules = R"(
* { box-sizing: border-box; }
body { font-family: "Source Sans Pro", "Segoe UI", "Helvetica Neue", Arial, sans-serif; color: var(--ink);
  margin: 0 auto; max-width: 1120px; padding: 24px 32px; font-size: 14px; line-height: 1.45; }
header.record { border-bottom: 2px solid var(--ink); padding-bottom: 8px; margin-bottom: 18px;
  display: flex; justify-content: space-between; align-items: flex-end; gap: 24px; }
header.record h1 { font-size: 22px; margin: 0; letter-spacing: .02em; }
header.record .meta { text-align: right; color: var(--muted); font-size: 13px; }
h2 { font-size: 19px; margin: 0 0 10px; padding-bottom: 4px; border-bottom: 1px solid var(--line); }
h3 { font-size: 15px; margin: 22px 0 8px; color: var(--accent); text-transform: uppercase; letter-spacing: .04em; }
section.record-section { margin-bottom: 40px; }
.source { color: var(--muted); font-size: 13px; margin: -6px 0 10px; }
.outcome { border: 1.5px solid; border-left-width: 6px; padding: 8px 14px; margin: 10px 0 16px; }
.outcome.ok { border-color: var(--ok); background: var(--ok-bg); }
.outcome.fail { border-color: var(--fail); background: var(--fail-bg); }
.outcome p { margin: 3px 0; }
.verdict-line { font-weight: bold; font-size: 16px; }
.verdict { font-weight: 600; white-space: nowrap; }
.verdict.ok { color: var(--ok); }
.verdict.fail { color: var(--fail); }
.gov-mark { font-size: 11px; border: 1px solid var(--muted); padding: 0 4px; border-radius: 3px; color: var(--muted);
  white-space: nowrap; }
table { border-collapse: collapse; margin: 8px 0 14px; font-variant-numeric: tabular-nums; }
caption { text-align: left; font-weight: 600; padding: 2px 0 4px; }
caption .id { font-weight: normal; color: var(--muted); font-size: 12px; }
th, td { padding: 3px 10px; vertical-align: top; }
thead th { border-bottom: 1.5px solid var(--ink); text-align: left; font-weight: 600; }
tbody td { border-bottom: 1px solid #e6eaee; }
.num { text-align: right; white-space: nowrap; }
table.checks, table.grid-table, table.summary { width: 100%; }
table.checks { table-layout: fixed; }
col.c-comb { width: 15%; } col.c-clause { width: 20%; } col.c-num { width: 14%; } col.c-ratio { width: 9%; }
col.c-verdict { width: 28%; }
table.checks td { overflow-wrap: anywhere; }
tr.governing td { background: #f3f6f9; font-weight: 600; }
tr.fail td.ratio { color: var(--fail); font-weight: bold; }
tr.note-row td { border-bottom: 1px solid #e6eaee; color: var(--muted); font-size: 12px; padding-top: 0; }
tr.total td { border-top: 1.5px solid var(--ink); font-weight: 600; }
table.pairs th { text-align: left; font-weight: normal; padding-right: 14px; border-bottom: 1px solid #e6eaee; }
table.pairs td { border-bottom: 1px solid #e6eaee; }
table.pairs td.remark { color: var(--muted); font-size: 12px; }
.columns { display: flex; flex-wrap: wrap; gap: 8px 36px; align-items: flex-start; }
.figure { margin: 8px 0 14px; }
.figure svg { max-width: 100%; height: auto; }
.figure .caption { color: var(--muted); font-size: 12px; }
p.not-run { border: 1px dashed var(--muted); padding: 6px 12px; color: var(--ink); }
ul.warnings li { margin: 2px 0; }
dl.validation-sources dt { font-weight: 600; margin-top: 8px; }
dl.validation-sources dd { margin: 2px 0 0 18px; color: var(--ink); }
svg.axes-figure { font-family: sans-serif; }
.error-block { border: 1.5px solid var(--fail); border-left-width: 6px; padding: 8px 14px; background: var(--fail-bg); }
table.summary td.error { color: var(--fail); }
a { color: var(--accent); }
footer.record { border-top: 1px solid var(--line); color: var(--muted); font-size: 12px; padding-top: 6px; margin-top: 30px; }
@page { size: A4; margin: 16mm 12mm 15mm 15mm; }
@media print {
  body { max-width: none; padding: 0; font-size: 9pt; }
  header.record h1 { font-size: 16pt; }
  h2 { font-size: 13pt; }
  h3 { font-size: 10pt; margin: 12px 0 6px; break-after: avoid; }
  section.record-section { break-before: page; margin-bottom: 0; }
  header.record + section { break-before: auto; }
  section.reliability { break-before: page; }
  table, .figure, .outcome, p.not-run { break-inside: avoid; }
  table.checks, table.summary, table.grid-table { break-inside: auto; }
  table.checks.whole { break-inside: avoid; }
  tr { break-inside: avoid; }
  thead { display: table-header-group; }
  th, td { padding: 2px 6px; }
  a { color: inherit; text-decoration: none; }
  .outcome.ok, .outcome.fail, tr.governing td, .error-block { background: none; }
  .columns { gap: 4px 6mm; }
  .columns > table.pairs { width: calc(50% - 3mm); }
  table.pairs td.remark { font-size: 7.5pt; }
  svg.section-drawing { height: 72mm; width: auto; max-width: 95mm; }
  .columns { break-inside: avoid; }
  svg.domains { max-height: 105mm; }
  svg.contour { width: 95mm; }
}
)";

// A CSS string: quotes and backslashes escaped, and '<' so that no text ends the <style> element.
std::string css_string(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '<') {
            out += "\\3C ";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

// The shared palette, embedded with the page's files.
std::string_view palette() {
    for (std::size_t i = 0; i < serve::kWebAssetCount; ++i)
        if (serve::kWebAssets[i].path == "/palette.css") return serve::kWebAssets[i].body;
    return {};
}

}  // namespace

std::string record_style() { return std::string(palette()) + kRecordRules; }

std::string page_style(const std::string& version, const std::string& date, const std::string& code) {
    return "@page {\n  @top-left { content: " + css_string("ferrolit " + version + " — relazione di calcolo") +
           "; font-size: 8pt; font-family: Arial, sans-serif; color: #5b6670; }\n  @top-right { content: " +
           css_string(code + " — " + date) +
           "; font-size: 8pt; font-family: Arial, sans-serif; color: #5b6670; }\n  @bottom-right { content: \"pagina "
           "\" counter(page) \" di \" "
           "counter(pages); font-size: 8pt; font-family: Arial, sans-serif; color: #5b6670; }\n}\n";
}

}  // namespace ferrolit::cli
