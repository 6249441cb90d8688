// The JavaScript API of ferrolit's WebAssembly module (make web writes it
// into ferrolit.js after Emscripten's loader and the module's binary):
//
//   await ferrolit.verify(json)   the result: the JSON `ferrolit verify --json` writes (as text)
//   await ferrolit.design(json)   the same after choosing the missing bars and stirrups
//   await ferrolit.analyse(json)  the code engine's analysis: the JSON `ferrolit analyse` writes
//
// Their texts are ASCII: characters such as § and σ come as \u escapes,
// which JSON.parse reads back, because JavaScript decodes ASCII text several
// times faster than UTF-8.
//   await ferrolit.record(json)   the HTML calculation record, as `ferrolit verify --html` writes it
//   await ferrolit.fetch(path, init)  a Response from the page's server API, computed here
//
// `json` is a JSON text or an object. An input the library cannot use
// rejects with a ferrolit.Error: message in Italian, kind (the ErrorKind's
// number: 5 invalid input, 6 overflow, ...) and key (the input key it
// concerns, as "combinazioni[2].My", or null).
'use strict';

// eslint-disable-next-line no-unused-vars
const ferrolit = (() => {
  class FerrolitError extends Error {
    constructor(answer) {
      super(answer.error);
      this.name = 'ferrolit.Error';
      this.kind = answer.kind;
      this.key = answer.key;
    }
  }

  let loading = null;

  // The module, compiled once from the binary in this script: nothing is fetched.
  function module() {
    if (loading === null) {
      const binary = Uint8Array.from(atob(FERROLIT_WASM_BASE64), (c) => c.charCodeAt(0));
      // eslint-disable-next-line no-undef
      loading = createFerrolitModule({ wasmBinary: binary });
    }
    return loading;
  }

  const outOfMemory = () => new FerrolitError({ error: 'memoria esaurita', kind: 5, key: null });

  const encoder = new TextEncoder();
  const decoder = new TextDecoder();

  // Calls an entry point with texts (as UTF-8, NUL-terminated, the last one
  // followed by its length in bytes: it may hold NUL bytes), then the place
  // where it writes its answer's length and, for ferrolit_web_call, the one
  // where it says whether the answer is an error's. One block of the module's
  // heap holds them all (not its stack, which a large input would overflow).
  // The answer stays in the module until the next call: [text, failed].
  function answer(m, entry, texts) {
    const reportsFailure = entry === 'ferrolit_web_call';
    let room = 8;
    for (const t of texts) room += 3 * t.length + 1;  // UTF-8 takes at most 3 bytes per UTF-16 unit
    const block = m._malloc(room);
    if (block === 0) throw outOfMemory();
    try {
      const pointers = [];
      let at = block + 8;
      let written = 0;
      for (const t of texts) {
        written = encoder.encodeInto(t, m.HEAPU8.subarray(at, at + 3 * t.length)).written;
        m.HEAPU8[at + written] = 0;
        pointers.push(at);
        at += written + 1;
      }
      const address = m[`_${entry}`](...pointers, written, block, ...(reportsFailure ? [block + 4] : []));
      if (address === 0) throw outOfMemory();
      const size = m.HEAPU32[block >> 2];
      return [decoder.decode(m.HEAPU8.subarray(address, address + size)), reportsFailure && m.HEAP32[(block + 4) >> 2] !== 0];
    } finally {
      m._free(block);
    }
  }

  const text = (json) => (typeof json === 'string' ? json : JSON.stringify(json));

  async function call(name, json) {
    const [a, failed] = answer(await module(), 'ferrolit_web_call', [name, text(json)]);
    if (failed) throw new FerrolitError(JSON.parse(a));
    return a;
  }

  async function fetchLocal(path, init = {}) {
    const url = new URL(path, 'http://ferrolit/');
    const headers = new Headers(init.headers || {});
    const a = JSON.parse(answer(await module(), 'ferrolit_web_request',
      [init.method || 'GET', url.pathname, headers.get('Content-Type') || '', init.body || ''])[0]);
    return new Response(a.body, { status: a.status, headers: { ...a.headers, 'Content-Type': a.type } });
  }

  return {
    Error: FerrolitError,
    ready: () => module().then(() => true),
    verify: (json) => call('verify', json),
    design: (json) => call('design', json),
    analyse: (json) => call('analyse', json),
    record: (json) => call('record', json),
    fetch: fetchLocal,
  };
})();
