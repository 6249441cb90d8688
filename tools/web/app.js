// The section editor of `ferrolit serve` and of the page that computes in the
// browser (make web). The section is one JSON object, edited through the form
// or as text; every change is sent to api/verify after a short pause and the
// answer redrawn. Input errors name the key they concern ("chiave"), and the
// form shows them beside that key's field. With the WebAssembly module loaded
// (ferrolit.js), the same API is answered in the page by the module, so the
// page needs no server and works opened from disk. The work is kept in the
// browser's storage and a project of many sections and members is kept by
// project.js, which this script drives through the `page` object below.
'use strict';

(() => {
  const $ = (selector, root = document) => root.querySelector(selector);
  const $$ = (selector, root = document) => Array.from(root.querySelectorAll(selector));

  const DEBOUNCE_MS = 300;
  const FORCES = ['N', 'My', 'Mz', 'Vy', 'Vz', 'T'];
  const PROFILE_KEYS = ['Base', 'Altezza', 'BaseInf', 'SpessoreT', 'Copriferro_Inf', 'Copriferro_Sup', 'copriferro',
    'larghezza_armatura_ala', 'stringaAs_inf', 'stringaAs_sup', 'stringaAs_supY', 'stringaAs_infY', 'As_inf', 'As_sup', 'As_supY', 'As_infY'];

  const COVER_KINDS = {
    copriferro: ['Copriferro_Inf', 'Copriferro_Sup'],
    Copriferro_Inf: ['copriferro'],
    Copriferro_Sup: ['copriferro'],
  };

  // The page's API: answered by the module when there is one, otherwise by the server.
  const api = typeof ferrolit === 'object' ? ferrolit.fetch : fetch;

  let section = {};
  let lists = { tipo: [], verifiche: {} };
  let lastResult = null;
  let sequence = 0;
  let timer = 0;

  // ------------------------------------------------------------ numbers

  // As the program writes numbers: a decimal comma, no grouping of thousands.
  const numberFormat = (digits) => new Intl.NumberFormat('it-IT', { maximumFractionDigits: digits, useGrouping: false });
  function formatNumber(value, digits = 2) {
    if (value === null || value === undefined) return '—';
    if (!Number.isFinite(value)) return value > 0 ? '∞' : '−∞';
    return numberFormat(digits).format(value);
  }

  // A ratio demand/capacity by the program's one rule (ferrolit/format.hpp):
  // three decimals, a decimal comma, no grouping, no negative zero, scientific
  // form from 1e15; none means nothing resists (unbounded).
  const RATIO_PLACES = 3;
  function formatRatio(value) {
    if (value === null || value === undefined || !Number.isFinite(value)) return 'illimitato';
    const text = Math.abs(value) < 1e15 ? value.toFixed(RATIO_PLACES) : value.toExponential(RATIO_PLACES);
    return text.replace(/^-(?=[0.]*$)/, '').replace('.', ',');
  }

  // The Italian title of a family of checks, from the program's own list.
  const checkTitle = (id) => lists.verifiche[id] || id;

  // A number typed in a field ("300", "12,5"); what is not a number stays
  // text, so that the server names the field in its answer.
  function parseNumber(text) {
    const t = text.trim();
    const n = Number(/^[-+]?\d+,\d+$/.test(t) ? t.replace(',', '.') : t);
    return t !== '' && Number.isFinite(n) ? n : t;
  }

  // ------------------------------------------------------------ the form

  function fieldValue(field) {
    if (field.type === 'checkbox') return field.checked;
    if (field.dataset.rings) return parseRings(field.value);
    if (field.dataset.points) return parsePoints(field.value, Number(field.dataset.points));
    if (field.hasAttribute('data-number')) return parseNumber(field.value);
    return field.value.trim();
  }

  // "y z" (or "y z d") per line: points of an outline, or bars.
  function parsePoints(text, count) {
    const rows = text.split('\n').map((l) => l.trim()).filter((l) => l !== '');
    const points = rows.map((l) => l.split(/[\s;]+/).map(parseNumber));
    if (points.some((p) => p.length !== count || p.some((v) => typeof v !== 'number'))) return text;
    return count === 3 ? points.map(([y, z, d]) => ({ y, z, d })) : points;
  }

  // Rings (the holes of a polygon): their points, a blank line between two rings.
  function parseRings(text) {
    const blocks = text.split(/\n[ \t]*\n/).filter((b) => b.trim() !== '');
    const rings = blocks.map((b) => parsePoints(b, 2));
    return rings.some((r) => !Array.isArray(r)) ? text : rings;
  }

  const formatRings = (value) => (Array.isArray(value) ? value.map(formatPoints).join('\n\n') : formatPoints(value));

  function formatPoints(value) {
    if (!Array.isArray(value)) return value === undefined ? '' : String(value);
    return value.map((p) => (Array.isArray(p) ? p.join(' ') : [p.y, p.z, p.d].join(' '))).join('\n');
  }

  function showField(field, value) {
    if (field.type === 'checkbox') field.checked = value === true;
    else if (field.dataset.rings) field.value = formatRings(value);
    else if (field.dataset.points) field.value = formatPoints(value);
    else if (field.tagName === 'SELECT') {
      const wanted = value === undefined ? field.dataset.default : String(value);
      if (wanted !== undefined && !Array.from(field.options).some((o) => o.value === wanted)) {
        field.add(new Option(wanted, wanted));
      }
      field.value = wanted ?? '';
    } else if (value !== null && typeof value === 'object') field.value = JSON.stringify(value);
    else field.value = value === undefined || value === null ? '' : String(value);
  }

  function fillLists() {
    for (const select of $$('select[data-list]')) {
      const options = (lists[select.dataset.list] || []).map((name) => new Option(name, name));
      // A list without a default (the material classes) can be unset: then the reader says what is missing.
      if (select.dataset.empty) options.unshift(new Option(select.dataset.empty, ''));
      select.replaceChildren(...options);
    }
  }

  // The fields a shape takes, from the program's own list of shapes (api/names).
  const shapeGroup = (shape) => (lists.campi_forma || {})[shape] || 'rectangle';

  // The shape groups each kind of field (its data-shapes) is shown for.
  const SHAPE_FIELDS = {
    profile: ['rectangle', 'flanged'],
    flanged: ['flanged'],
    polygon: ['polygon'],
    round: ['circle', 'annulus'],
    annulus: ['annulus'],
  };
  const ROUND_KEYS = ['diametro', 'diametro_interno', 'stringaAs_circ', 'copriferro'];

  function showShapeFields() {
    const group = shapeGroup(section.forma || 'rettangolare');
    for (const el of $$('[data-shapes]')) el.hidden = !(SHAPE_FIELDS[el.dataset.shapes] || []).includes(group);
  }

  function combinationRow(item, index) {
    // The JSON tab may hold anything in the list; the reader names what is wrong with it.
    const combination = item !== null && typeof item === 'object' ? item : {};
    const row = document.createElement('tr');
    const prefix = `combinazioni[${index + 1}]`;
    row.dataset.key = prefix;
    const name = document.createElement('input');
    name.value = combination.nome ?? '';
    name.dataset.key = `${prefix}.nome`;
    name.dataset.column = 'nome';
    name.setAttribute('aria-label', 'Nome');
    const kind = document.createElement('select');
    kind.dataset.key = `${prefix}.tipo`;
    kind.dataset.column = 'tipo';
    kind.dataset.default = lists.tipo[0];
    kind.setAttribute('aria-label', 'Tipo');
    kind.replaceChildren(...lists.tipo.map((t) => new Option(t, t)));
    showField(kind, combination.tipo);
    const cells = [name, kind];
    for (const force of FORCES) {
      const input = document.createElement('input');
      input.dataset.key = `${prefix}.${force}`;
      input.dataset.column = force;
      input.setAttribute('data-number', '');
      input.inputMode = 'decimal';
      input.className = 'num';
      input.placeholder = '0';
      input.setAttribute('aria-label', force);
      showField(input, combination[force]);
      cells.push(input);
    }
    const remove = document.createElement('button');
    remove.type = 'button';
    remove.className = 'remove';
    remove.title = 'Elimina la combinazione';
    remove.textContent = '×';
    remove.addEventListener('click', () => {
      section.combinazioni.splice(index, 1);
      showCombinations();
      changed();
    });
    cells.push(remove);
    for (const cell of cells) {
      const td = document.createElement('td');
      td.append(cell);
      row.append(td);
    }
    labelCells(row, $('.combinations'));
    return row;
  }

  function showCombinations() {
    const list = Array.isArray(section.combinazioni) ? section.combinazioni : [];
    $('#combinations').replaceChildren(...list.map(combinationRow));
  }

  function showSection() {
    for (const field of $$('#form [data-key]')) {
      if (field.closest('#combinations') || field.tagName === 'TABLE') continue;
      showField(field, section[field.dataset.key]);
    }
    showCombinations();
    showShapeFields();
    showSeismic();
  }

  // The block "sismica": present while a ductility class is chosen.
  function showSeismic() {
    const block = section.sismica !== null && typeof section.sismica === 'object' ? section.sismica : null;
    for (const field of $$('#form [data-seismic]')) {
      const key = field.dataset.seismic;
      if (key === 'zona_critica') field.checked = !block || block.zona_critica !== false;
      else showField(field, block ? block[key] : undefined);
    }
  }

  function setSeismic(field) {
    const key = field.dataset.seismic;
    const value = fieldValue(field);
    if (key === 'classe_duttilita' && value === '') {
      delete section.sismica;
    } else {
      if (section.sismica === null || typeof section.sismica !== 'object') {
        section.sismica = { classe_duttilita: 'B', elemento: section.TipoSezione === 'Pilastro' ? 'pilastro' : 'trave' };
      }
      if (value === '') delete section.sismica[key];
      else section.sismica[key] = value;
    }
    showSeismic();
  }

  function setKey(key, value) {
    if (value === '' || value === undefined) delete section[key];
    else section[key] = value;
  }

  // A new shape keeps what it can of the section and drops the keys the
  // reader would refuse with it.
  function changeShape(shape) {
    const was = shapeGroup(section.forma || 'rettangolare');
    const group = shapeGroup(shape);
    const isRound = (g) => g === 'circle' || g === 'annulus';
    if (isRound(group)) {
      if (!isRound(was)) {
        for (const key of [...PROFILE_KEYS, 'contorno', 'fori', 'barre']) delete section[key];
        Object.assign(section, { diametro: 500, copriferro: 30, stringaAs_circ: '8f16' });
      }
      if (group === 'annulus') section.diametro_interno ??= Math.round(section.diametro * 0.6);
      else delete section.diametro_interno;
      setKey('forma', shape);
      return;
    }
    if (isRound(was)) {
      for (const key of ROUND_KEYS) delete section[key];
      if (group !== 'polygon') Object.assign(section, { Base: 300, Altezza: 500, Copriferro_Inf: 40, Copriferro_Sup: 40 });
    }
    if (group === 'polygon' && was !== 'polygon') {
      if (lastResult) {
        section.contorno = lastResult.section.outline.map(([y, z]) => [round(y), round(z)]);
        if (lastResult.section.holes.length > 0) {
          section.fori = lastResult.section.holes.map((h) => h.map(([y, z]) => [round(y), round(z)]));
        }
        section.barre = lastResult.section.bars.map((b) => ({ y: round(b.y), z: round(b.z), d: b.d }));
      }
      for (const key of PROFILE_KEYS) delete section[key];
    } else if (group !== 'polygon' && was === 'polygon') {
      for (const key of ['contorno', 'fori', 'barre']) delete section[key];
      Object.assign(section, { Base: 300, Altezza: 500, Copriferro_Inf: 40, Copriferro_Sup: 40 });
    }
    if (group === 'flanged' && (section.BaseInf === undefined || section.SpessoreT === undefined)) {
      const width = typeof section.Base === 'number' ? section.Base : 600;
      const height = typeof section.Altezza === 'number' ? section.Altezza : 500;
      section.BaseInf ??= Math.round(width * 0.4);
      section.SpessoreT ??= Math.round(height * 0.25);
    }
    if (group === 'rectangle') {
      delete section.BaseInf;
      delete section.SpessoreT;
      delete section.larghezza_armatura_ala;
    }
    setKey('forma', shape);
  }

  const round = (v) => Math.round(v * 10) / 10;

  function onFormInput(event) {
    const field = event.target;
    if (field.dataset.seismic) {
      setSeismic(field);
      changed();
      return;
    }
    const key = field.dataset.key;
    if (!key) return;
    if (field.dataset.column) {
      const index = Array.from($('#combinations').children).indexOf(field.closest('tr'));
      let combination = section.combinazioni[index];
      if (combination === null || typeof combination !== 'object') {
        combination = {};
        section.combinazioni[index] = combination;
      }
      const value = fieldValue(field);
      if (value === '' && field.dataset.column !== 'nome') delete combination[field.dataset.column];
      else combination[field.dataset.column] = value;
    } else if (key === 'forma') {
      changeShape(field.value);
      showSection();
    } else {
      setKey(key, fieldValue(field));
      // A face takes one kind of cover: the clear cover on every face
      // replaces the covers to the bar centres, and one of those replaces it.
      if (field.value.trim() !== '') {
        for (const other of COVER_KINDS[key] || []) delete section[other];
        if (COVER_KINDS[key]) showSection();
      }
    }
    changed();
  }

  function addCombination() {
    if (!Array.isArray(section.combinazioni)) section.combinazioni = [];
    const n = section.combinazioni.length + 1;
    section.combinazioni.push({ nome: `C${n}`, tipo: lists.tipo[0], N: 0, My: 0, Mz: 0, Vy: 0, Vz: 0, T: 0 });
    showCombinations();
    changed();
    $('#combinations tr:last-child input').focus();
  }

  // ------------------------------------------------------------ the JSON tab

  function showJson() {
    $('#json').value = JSON.stringify(section, null, 2);
  }

  function onJsonInput() {
    const note = $('#json-error');
    let parsed;
    try {
      parsed = JSON.parse($('#json').value);
    } catch (e) {
      note.textContent = `JSON non valido: ${e.message}`;
      note.hidden = false;
      return;
    }
    if (parsed === null || typeof parsed !== 'object' || Array.isArray(parsed)) {
      note.textContent = 'La sezione è un oggetto JSON: { "Base": 300, ... }';
      note.hidden = false;
      return;
    }
    note.hidden = true;
    section = parsed;
    showSection();
    schedule();
    project.sectionEdited(section);
  }

  function changed() {
    showJson();
    schedule();
    project.sectionEdited(section);
  }

  // ------------------------------------------------------------ errors

  function clearErrors() {
    for (const el of $$('.field-error.inline')) el.remove();
    for (const el of $$('.invalid')) el.classList.remove('invalid');
    showMessage('');
  }

  // What to say when a request got no answer at all.
  function unreachable(e) {
    return api === fetch
      ? 'Il server di ferrolit non risponde: forse è stato chiuso. I risultati mostrati non sono aggiornati. '
        + 'Avviare di nuovo «ferrolit serve» e modificare un dato per ricalcolare.'
      : `Calcolo non riuscito: ${e.message}`;
  }

  // No answer at all: the result shown is an old one, greyed, and says so.
  function showUnreachable(e) {
    $('.results').classList.add('stale');
    $('#verdict').className = 'verdict invalid';
    $('#verdict').textContent = 'risultato non aggiornato';
    showMessage(unreachable(e));
  }

  function showMessage(text, kind = 'error') {
    const box = $('#message');
    box.textContent = text;
    box.className = `message ${kind}`;
    box.hidden = text === '';
  }

  // The field of a key, or of the nearest key that contains it
  // ("combinazioni[2].My", then "combinazioni[2]", then "combinazioni").
  function fieldOf(key) {
    for (let k = key; k; k = k.replace(/(\.[^.[\]]*|\[\d+\])$/, '')) {
      const field = $(`#form [data-key="${CSS.escape(k)}"]`);
      if (field && !field.closest('[hidden]')) return field;
      if (!/(\.[^.[\]]*|\[\d+\])$/.test(k)) break;
    }
    return null;
  }

  // What a field is called on the page: its label's text, or its column's
  // heading and its combination's name in the table of combinations.
  function labelOf(field) {
    const cell = field.closest('td');
    if (cell) {
      const name = field.closest('tr').querySelector('[data-column="nome"]');
      return `combinazione ${name && name.value ? name.value : '?'}, ${cell.dataset.label}`;
    }
    const label = field.closest('label');
    if (!label) return null;
    const text = label.cloneNode(true);
    for (const el of $$('input, select, textarea, .field-error', text)) el.remove();
    return text.textContent.trim().replace(/\s+/g, ' ');
  }

  // The reader names a key ('chiave "combinazioni[2].My"'); the page names the field.
  function withLabels(message) {
    return message.replace(/chiave "([^"]+)"/g, (whole, key) => {
      const field = fieldOf(key);
      const label = field && labelOf(field);
      return label ? `campo «${label}»` : whole;
    });
  }

  function showInputError(answer) {
    const message = withLabels(answer && answer.errore ? answer.errore : 'risposta non valida dal server');
    const field = answer && answer.chiave ? fieldOf(answer.chiave) : null;
    $('#verdict').className = 'verdict invalid';
    $('#verdict').textContent = 'dati non validi';
    $('.results').classList.add('stale');
    if (!field) {
      showMessage(message);
      return;
    }
    field.classList.add('invalid');
    const note = document.createElement('div');
    note.className = 'field-error inline';
    note.setAttribute('role', 'alert');
    note.textContent = message;
    (field.closest('label, td') || field).append(note);
    if ($('.pane.active').dataset.pane !== 'form') showMessage(message);
  }

  // ------------------------------------------------------------ results

  function svgElement(name, attributes, text) {
    const el = document.createElementNS('http://www.w3.org/2000/svg', name);
    for (const [k, v] of Object.entries(attributes)) el.setAttribute(k, v);
    if (text !== undefined) el.textContent = text;
    return el;
  }

  // The section to scale: outline, holes, bars with their diameters, and its dimensions.
  function drawSection(s) {
    const size = 340;
    const margin = 46;
    const ys = s.outline.map((p) => p[0]);
    const zs = s.outline.map((p) => p[1]);
    const [y0, y1, z0, z1] = [Math.min(...ys), Math.max(...ys), Math.min(...zs), Math.max(...zs)];
    const scale = (size - 2 * margin) / Math.max(y1 - y0, z1 - z0, 1);
    const x = (y) => margin + (y - y0) * scale;
    const yPix = (z) => margin + (z1 - z) * scale;
    const ring = (points) => `M${points.map(([py, pz]) => `${x(py).toFixed(1)},${yPix(pz).toFixed(1)}`).join('L')}Z`;
    const svg = svgElement('svg', { viewBox: `0 0 ${size} ${size}`, role: 'img', 'aria-label': 'Disegno della sezione' });
    const path = [ring(s.outline), ...s.holes.map(ring)].join(' ');
    svg.append(svgElement('path', { d: path, class: 'concrete', 'fill-rule': 'evenodd' }));
    for (const bar of s.bars) {
      svg.append(svgElement('circle', {
        cx: x(bar.y).toFixed(1), cy: yPix(bar.z).toFixed(1), r: Math.max(bar.d * scale / 2, 1.5).toFixed(1), class: 'rebar',
      }, undefined));
    }
    const [cy, cz] = s.centroid;
    svg.append(svgElement('path', { d: `M${x(cy) - 10},${yPix(cz)}h20M${x(cy)},${yPix(cz) - 10}v20`, class: 'axis' }));
    const bottom = yPix(z0) + 18;
    const left = x(y0) - 18;
    svg.append(svgElement('path', { d: `M${x(y0)},${bottom}H${x(y1)}M${left},${yPix(z0)}V${yPix(z1)}`, class: 'dimension' }));
    svg.append(svgElement('text', { x: (x(y0) + x(y1)) / 2, y: bottom + 14, class: 'dimension-text' },
      `${formatNumber(y1 - y0, 1)} mm`));
    svg.append(svgElement('text', {
      x: left - 6, y: (yPix(z0) + yPix(z1)) / 2, class: 'dimension-text',
      transform: `rotate(-90 ${left - 6} ${(yPix(z0) + yPix(z1)) / 2})`,
    }, `${formatNumber(z1 - z0, 1)} mm`));
    $('#section-drawing').replaceChildren(svg);
    const layers = s.layers.map((l) => `${l.name} ${l.bars || `${formatNumber(l.area, 0)} mm²`} (${l.origin})`);
    const stirrups = s.stirrups ? `staffe ø${s.stirrups.diameter}/${s.stirrups.spacing} mm, ${s.stirrups.legs} bracci (${s.stirrups.origin})` : 'senza staffe';
    const caption = document.createElement('p');
    caption.className = 'caption';
    caption.textContent = [...layers, stirrups].join(' · ');
    $('#section-drawing').append(caption);
  }

  // Each cell carries its column's heading, shown beside it on a narrow screen.
  function labelCells(row, table) {
    const headings = $$('thead th', table);
    for (const [i, td] of Array.from(row.children).entries()) {
      if (headings[i]) td.dataset.label = headings[i].textContent;
    }
  }

  function checkRow(check) {
    const row = document.createElement('tr');
    row.className = check.verified ? 'ok' : 'fail';
    const unit = check.unit ? ` ${check.unit}` : '';
    const value = (v) => (v === null || v === undefined ? '—' : `${formatNumber(v)}${unit}`);
    const ratio = document.createElement('td');
    ratio.className = 'num ratio';
    const bar = document.createElement('span');
    bar.className = 'ratio-bar';
    bar.style.width = `${Math.min(Number.isFinite(check.ratio) ? check.ratio : 1, 1) * 100}%`;
    ratio.append(bar, document.createTextNode(formatRatio(check.ratio)));
    const cells = [checkTitle(check.id), check.clause, check.combination ?? '—', value(check.demand),
      value(check.capacity)];
    for (const [i, text] of cells.entries()) {
      const td = document.createElement('td');
      td.textContent = text;
      if (i >= 3) td.className = 'num';
      if (i === 0 && check.note) td.title = check.note;
      row.append(td);
    }
    row.append(ratio);
    const verdict = document.createElement('td');
    verdict.className = 'verdict-cell';
    verdict.textContent = check.verified ? '✓ verificata' : '✗ non verificata';
    row.append(verdict);
    labelCells(row, $('.checks'));
    return row;
  }

  function showResult(answer) {
    const r = answer.result;
    lastResult = r;
    $('.results').classList.remove('stale');
    $('#verdict').className = `verdict ${r.verified ? 'ok' : 'fail'}`;
    $('#verdict').textContent = r.verified ? 'SEZIONE VERIFICATA' : 'SEZIONE NON VERIFICATA';
    $('#max-ratio').textContent = formatRatio(r.max_ratio);
    const g = r.governing;
    $('#governing').textContent = g
      ? `Governa: ${checkTitle(g.id)} (${g.clause}${g.combination ? `, combinazione ${g.combination}` : ''})`
      : '';
    $('#warnings').replaceChildren(...r.warnings.map((w) => {
      const li = document.createElement('li');
      li.textContent = w;
      return li;
    }));
    drawSection(r.section);
    $('#domains').innerHTML = answer.domains_svg;
    $('#checks').replaceChildren(...r.checks.map(checkRow));
    $('#record').srcdoc = answer.record_html;
  }

  // ------------------------------------------------------------ requests

  async function post(path, text, type = 'application/json') {
    return api(path, { method: 'POST', headers: { 'Content-Type': type }, body: text });
  }

  async function verify() {
    const mine = ++sequence;
    let response;
    let answer;
    try {
      response = await post('api/verify', JSON.stringify(section));
      answer = await response.json();
    } catch (e) {
      if (mine === sequence) showUnreachable(e);
      return;
    }
    if (mine !== sequence) return;
    clearErrors();
    if (response.ok) showResult(answer);
    else showInputError(answer);
  }

  function schedule() {
    clearTimeout(timer);
    timer = setTimeout(verify, DEBOUNCE_MS);
  }

  function download(blob, name) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }

  const baseName = () => (String(section.DescrSezione || 'sezione').replace(/[^\w-]+/g, '_') || 'sezione');

  async function downloadRecord() {
    const response = await post('api/record', JSON.stringify(section));
    if (!response.ok) {
      showInputError(await response.json());
      return;
    }
    const disposition = response.headers.get('Content-Disposition') || '';
    const name = (/filename="([^"]+)"/.exec(disposition) || [])[1] || `relazione-${baseName()}.html`;
    download(await response.blob(), name);
  }

  function downloadJson() {
    download(new Blob([`${JSON.stringify(section, null, 2)}\n`], { type: 'application/json' }), `${baseName()}.json`);
  }

  // Design: show the section with the chosen bars, and offer to keep them.
  async function designBars() {
    const response = await post('api/design', JSON.stringify(section));
    const answer = await response.json();
    clearErrors();
    if (!response.ok) {
      showInputError(answer);
      return;
    }
    showResult(answer);
    const s = answer.result.section;
    const designed = (item) => item && item.origin === 'progetto';
    const layers = s.layers.filter((l) => designed(l) && l.bars);
    const chosen = layers.map((l) => `${l.name} ${l.bars}`);
    if (designed(s.stirrups)) chosen.push(`staffe ø${s.stirrups.diameter}/${s.stirrups.spacing} mm`);
    if (chosen.length === 0) {
      showMessage('Nessuna armatura da scegliere: barre e staffe sono tutte assegnate.', 'info');
      return;
    }
    showMessage(`Armature progettate: ${chosen.join(', ')}.`, 'info');
    const apply = document.createElement('button');
    apply.type = 'button';
    apply.className = 'small';
    apply.textContent = 'Usa queste armature';
    apply.addEventListener('click', () => {
      for (const l of layers) section[`stringa${l.name}`] = l.bars;
      if (designed(s.stirrups)) {
        Object.assign(section, { fStaffe: s.stirrups.diameter, nBracciaStaffe: s.stirrups.legs, passoStaffe: s.stirrups.spacing });
      }
      showSection();
      changed();
    });
    $('#message').append(' ', apply);
  }

  // ------------------------------------------------------------ start

  function selectTab(name) {
    for (const tab of $$('.tab')) tab.classList.toggle('active', tab.dataset.tab === name);
    for (const pane of $$('.pane')) pane.classList.toggle('active', pane.dataset.pane === name);
    if (name === 'json') showJson();
  }

  // What project.js uses of the page.
  // eslint-disable-next-line no-undef
  const project = ferrolitProject({
    getSection: () => section,
    setSection: (s) => {
      section = s;
      showSection();
      showJson();
      schedule();
    },
    post, download, showMessage, withLabels, unreachable, labelCells, formatNumber, formatRatio, checkTitle,
  });

  async function start() {
    const [names, example] = await Promise.all([api('api/names'), api('api/example')]);
    lists = await names.json();
    const exampleSection = await example.json();
    section = project.restore() ?? exampleSection;
    fillLists();
    showSection();
    showJson();
    $('#form').addEventListener('input', onFormInput);
    $('#form').addEventListener('submit', (e) => e.preventDefault());
    $('#json').addEventListener('input', onJsonInput);
    $('#add-combination').addEventListener('click', addCombination);
    $('#download-json').addEventListener('click', downloadJson);
    $('#download-record').addEventListener('click', downloadRecord);
    $('#design').addEventListener('click', designBars);
    for (const tab of $$('.tab')) tab.addEventListener('click', () => selectTab(tab.dataset.tab));
    await verify();
  }

  start().catch((e) => showMessage(`Avvio non riuscito: ${e.message}`));
})();
