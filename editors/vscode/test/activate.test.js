// The extension with stand-ins for the editor and the client library: activating it must start
// `<qbd.path> lsp` for documents of the qbd language, and stop the client on deactivation.
const assert = require("assert");
const Module = require("module");

const started = [];
let stopped = 0;
class FakeClient {
  constructor(id, name, serverOptions, clientOptions) {
    Object.assign(this, { id, name, serverOptions, clientOptions });
  }
  start() { started.push(this); return Promise.resolve(); }
  stop() { stopped++; return Promise.resolve(); }
}
const fakeVscode = {
  workspace: {
    getConfiguration: (section) => ({ get: (key, fallback) =>
      section === "qbd" && key === "path" ? "/opt/qbd/bin/qbd" : fallback }),
    onDidChangeConfiguration: () => ({ dispose() {} }),
  },
  window: { showInformationMessage() {} },
};
const load = Module._load;
Module._load = function (request, ...rest) {
  if (request === "vscode") return fakeVscode;
  if (request === "vscode-languageclient/node") return { LanguageClient: FakeClient };
  return load.call(this, request, ...rest);
};

const extension = require("../extension.js");
const context = { subscriptions: [] };
extension.activate(context);
assert.strictEqual(started.length, 1);
const client = started[0];
assert.deepStrictEqual(client.serverOptions.run, { command: "/opt/qbd/bin/qbd", args: ["lsp"] });
assert.deepStrictEqual(client.clientOptions.documentSelector, [{ language: "qbd" }]);
assert.strictEqual(context.subscriptions.length, 1);
extension.deactivate();
assert.strictEqual(stopped, 1);

const pkg = require("../package.json");
const language = pkg.contributes.languages.find((l) => l.id === "qbd");
assert.deepStrictEqual(language.extensions, [".qbd"]);
assert.strictEqual(pkg.contributes.grammars[0].scopeName, "source.qbd");
console.log("extension: ok");
