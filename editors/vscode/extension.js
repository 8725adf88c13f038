// Starts `qbd lsp` for .qbd files; everything the editor shows comes from that server.
const vscode = require("vscode");
const { LanguageClient } = require("vscode-languageclient/node");

let client;

function activate(context) {
  const program = vscode.workspace.getConfiguration("qbd").get("path", "qbd");
  const server = { command: program, args: ["lsp"] };
  client = new LanguageClient(
    "qbd",
    "qbd language server",
    { run: server, debug: server },
    { documentSelector: [{ language: "qbd" }] }
  );
  context.subscriptions.push(
    vscode.workspace.onDidChangeConfiguration((event) => {
      if (event.affectsConfiguration("qbd.path")) {
        vscode.window.showInformationMessage("qbd: reload the window to use the new qbd.path.");
      }
    })
  );
  return client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
