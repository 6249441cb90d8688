// What `ferrolit serve` answers for the page's module when the program was
// built without it: nothing, so the page sends its requests to the server.
// make web writes the WebAssembly module and its API under this name.
