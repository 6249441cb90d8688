// The page's project: the members model of `ferrolit members` (progetto,
// sezioni, membrature, sollecitazioni, convenzioni, combinazioni) opened from
// a file, its sections edited one at a time in the page's form, its forces
// table opened as CSV, every member verified by api/members with the progress
// shown as it comes, and the whole work kept in the browser's storage so that
// it survives a reload. app.js creates it with the page's own functions.
'use strict';

// eslint-disable-next-line no-unused-vars
const ferrolitProject = (page) => {
  const $ = (selector, root = document) => root.querySelector(selector);

  // The layout of what is stored; a stored text of another version is ignored.
  const STORE_VERSION = 1;
  const WORK_KEY = 'ferrolit.lavoro';
  const FORCES_KEY = 'ferrolit.sollecitazioni';

  let model = null;    // the members model, as opened and then edited
  let fileName = '';   // the model's file name, for saving it again
  let forces = null;   // {nome, testo}: the forces table opened as CSV
  let editing = null;  // the name of the model's section shown in the form
  let record = null;   // the object URL of the last members record

  const isObject = (v) => v !== null && typeof v === 'object' && !Array.isArray(v);
  const clone = (v) => JSON.parse(JSON.stringify(v));

  // ------------------------------------------------------------ storage

  function read(key) {
    try {
      const stored = JSON.parse(localStorage.getItem(key));
      return isObject(stored) && stored.versione === STORE_VERSION ? stored : null;
    } catch (e) {
      return null;
    }
  }

  // False when the browser refuses (no storage, or a table beyond its quota).
  function write(key, value) {
    try {
      localStorage.setItem(key, JSON.stringify({ versione: STORE_VERSION, ...value }));
      return true;
    } catch (e) {
      return false;
    }
  }

  function forget(key) {
    try {
      localStorage.removeItem(key);
    } catch (e) {
      // No storage: nothing to forget.
    }
  }

  function save() {
    write(WORK_KEY, { sezione: page.getSection(), progetto: model && { modello: model, nome: fileName, in_modifica: editing } });
  }

  // ------------------------------------------------------------ the lists

  function showForcesNote() {
    const rows = model.sollecitazioni;
    let note;
    if (forces) note = `Sollecitazioni: ${forces.nome} (${forces.testo.split('\n').filter((l) => l.trim()).length - 1} righe).`;
    else if (Array.isArray(rows)) note = `Sollecitazioni: ${rows.length} righe nel modello.`;
    else if (typeof rows === 'string') note = `Sollecitazioni: aprire il file «${rows}» con «Apri sollecitazioni CSV…».`;
    else note = 'Sollecitazioni: nessuna tabella; aprirne una con «Apri sollecitazioni CSV…».';
    $('#project-forces').textContent = note;
  }

  function showSections() {
    const items = Object.keys(isObject(model.sezioni) ? model.sezioni : {}).map((name) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.className = name === editing ? 'small active' : 'small';
      button.textContent = name;
      button.title = 'Modifica questa sezione nel modulo';
      button.addEventListener('click', () => edit(name));
      const li = document.createElement('li');
      li.append(button);
      return li;
    });
    $('#project-sections').replaceChildren(...items);
  }

  function cell(text, className) {
    const td = document.createElement('td');
    td.textContent = text;
    if (className) td.className = className;
    return td;
  }

  // The check that governs a member: where and in which combination, or a detailing rule (neither).
  function governing(g) {
    if (!g) return '—';
    const title = page.checkTitle(g.check);
    if (g.combination === null || g.x === null) return `${title} (regola di dettaglio)`;
    return `${title}, ${g.combination}, x = ${page.formatNumber(g.x)} m`;
  }

  // One member's row: before a run its name, section and type; after it, its verdict.
  function memberRow(member, outcome, index) {
    const row = document.createElement('tr');
    const name = cell('');
    if (record && outcome) {
      const link = document.createElement('a');
      link.href = `${record}#membratura-${index + 1}`;
      link.target = '_blank';
      link.textContent = member.id;
      name.append(link);
    } else name.textContent = String(member.id ?? '?');
    row.append(name, cell(String(member.sezione ?? '—')), cell(String(member.tipo ?? '—')));
    if (!outcome) row.append(cell('—'), cell('—', 'num'), cell(''));
    else if (outcome.error) {
      row.className = 'fail';
      row.append(cell(outcome.error), cell('—', 'num'), cell('✗ in errore', 'verdict-cell'));
    } else {
      row.className = outcome.verified ? 'ok' : 'fail';
      row.append(cell(governing(outcome.governing)),
        cell(page.formatRatio(outcome.max_ratio), 'num'),
        cell(outcome.verified ? '✓ verificata' : '✗ non verificata', 'verdict-cell'));
    }
    page.labelCells(row, $('table.members'));
    return row;
  }

  // The members in the model's order, or after a run sorted by ratio (those in error first).
  function showMembers(result) {
    const members = Array.isArray(model.membrature) ? model.membrature : [];
    let order = members.map((m, i) => [m, result ? result.members[i] : null, i]);
    if (result) {
      const key = (o) => (o.error ? Infinity : o.max_ratio ?? Infinity);
      order = order.filter(([, o]) => o).sort((a, b) => key(b[1]) - key(a[1]));
    }
    $('#members').replaceChildren(...order.map(([m, o, i]) => memberRow(isObject(m) ? m : {}, o, i)));
    $('table.members').classList.remove('stale');
  }

  function show() {
    $('#project').hidden = model === null;
    $('#save-project').disabled = model === null;
    if (model === null) return;
    const opera = isObject(model.progetto) && model.progetto.opera ? model.progetto.opera : fileName || 'senza nome';
    $('#project-title').textContent = `Progetto: ${opera}`;
    showForcesNote();
    showSections();
    showMembers(null);
  }

  // ------------------------------------------------------------ editing

  function edit(name) {
    editing = name;
    const combinations = page.getSection().combinazioni;
    page.setSection({ ...clone(model.sezioni[name]), ...(combinations ? { combinazioni: combinations } : {}) });
    showSections();
    save();
  }

  // The form's section, written back into the model without its combinations
  // (a member's combinations come from the forces table).
  function sectionEdited(section) {
    if (model && editing !== null && isObject(model.sezioni)) {
      const { combinazioni, ...kept } = section;
      model.sezioni[editing] = clone(kept);
      $('table.members').classList.add('stale');
    }
    save();
  }

  function openModel(text, name) {
    let parsed;
    try {
      parsed = JSON.parse(text);
    } catch (e) {
      page.showMessage(`Il file ${name} non è un testo JSON valido: ${e.message}`);
      return;
    }
    if (!isObject(parsed) || !isObject(parsed.sezioni) || !Array.isArray(parsed.membrature)) {
      page.showMessage(`Il file ${name} non è un progetto: servono "sezioni" {nome: sezione} e "membrature" [...]`);
      return;
    }
    model = parsed;
    fileName = name;
    forces = null;
    forget(FORCES_KEY);
    page.showMessage('');
    show();
    const first = Object.keys(model.sezioni)[0];
    if (first !== undefined) edit(first);
    else save();
  }

  function openForces(text, name) {
    if (model === null) {
      page.showMessage('Aprire prima il progetto: la tabella delle sollecitazioni è quella delle sue membrature.');
      return;
    }
    forces = { nome: name, testo: text };
    // The saved project names the table, to be kept beside it.
    if (!Array.isArray(model.sollecitazioni)) model.sollecitazioni = name;
    if (!write(FORCES_KEY, forces)) {
      page.showMessage(`La tabella ${name} è troppo grande per la memoria del browser: dopo un ricaricamento va riaperta.`, 'info');
    }
    showForcesNote();
    save();
  }

  function saveModel() {
    page.download(new Blob([`${JSON.stringify(model, null, 2)}\n`], { type: 'application/json' }), fileName || 'progetto.json');
  }

  // ------------------------------------------------------------ the run

  function status(text) {
    $('#members-status').textContent = text;
  }

  function progress(done, total) {
    const bar = $('#members-progress');
    bar.hidden = false;
    bar.max = Math.max(total, 1);
    bar.value = done;
    status(`${done} di ${total} membrature`);
  }

  function showOutcome(answer) {
    if (record) URL.revokeObjectURL(record);
    record = URL.createObjectURL(new Blob([answer.relazione_html], { type: 'text/html' }));
    const link = $('#members-record');
    link.href = record;
    link.download = `relazione-${(fileName || 'progetto').replace(/\.json$/i, '')}.html`;
    link.hidden = false;
    const r = answer.risultato;
    showMembers(r);
    status(`${r.verified ? 'Tutte le membrature sono verificate' : 'Non tutte le membrature sono verificate'}; `
      + `rapporto massimo ${page.formatRatio(r.max_ratio)}.`);
  }

  // Reads the JSON Lines answer as it arrives: progress, then the result or an error.
  async function readLines(response) {
    const reader = response.body.getReader();
    const decoder = new TextDecoder();
    let text = '';
    for (;;) {
      const { done, value } = await reader.read();
      text += decoder.decode(value || new Uint8Array(), { stream: !done });
      const lines = text.split('\n');
      text = lines.pop();
      for (const line of lines.filter((l) => l.trim() !== '')) {
        const answer = JSON.parse(line);
        if ('fatte' in answer) progress(answer.fatte, answer.totale);
        else if ('errore' in answer) status(`Verifica non riuscita: ${page.withLabels(answer.errore)}`);
        else showOutcome(answer);
      }
      if (done) return;
    }
  }

  async function run() {
    const body = { modello: model };
    if (forces) body.sollecitazioni = forces.testo;
    $('#run-members').disabled = true;
    $('#members-record').hidden = true;
    progress(0, Array.isArray(model.membrature) ? model.membrature.length : 0);
    try {
      const response = await page.post('api/members', JSON.stringify(body));
      if (response.status === 404) {
        status('La verifica delle membrature richiede il server: avviare «ferrolit serve» e aprire la pagina che indica.');
      } else if (!response.ok) {
        status(`Verifica non riuscita: ${page.withLabels((await response.json()).errore)}`);
      } else await readLines(response);
    } catch (e) {
      status(page.unreachable(e));
    } finally {
      $('#run-members').disabled = false;
      $('#members-progress').hidden = true;
    }
  }

  // ------------------------------------------------------------ start

  function onFile(input, open) {
    input.addEventListener('change', async () => {
      const file = input.files[0];
      if (file) open(await file.text(), file.name);
      input.value = '';
    });
  }

  // The stored section, or null; the stored project is shown again.
  function restore() {
    const work = read(WORK_KEY);
    if (work === null || !isObject(work.sezione)) return null;
    const kept = work.progetto;
    if (isObject(kept) && isObject(kept.modello) && isObject(kept.modello.sezioni) && Array.isArray(kept.modello.membrature)) {
      model = kept.modello;
      fileName = typeof kept.nome === 'string' ? kept.nome : '';
      editing = typeof kept.in_modifica === 'string' && kept.in_modifica in model.sezioni ? kept.in_modifica : null;
      const table = read(FORCES_KEY);
      forces = table && typeof table.nome === 'string' && typeof table.testo === 'string' ? { nome: table.nome, testo: table.testo } : null;
    }
    show();
    return work.sezione;
  }

  onFile($('#open-project'), openModel);
  onFile($('#open-forces'), openForces);
  $('#save-project').addEventListener('click', saveModel);
  $('#run-members').addEventListener('click', run);
  $('#print').addEventListener('click', () => window.print());

  return { restore, sectionEdited };
};
