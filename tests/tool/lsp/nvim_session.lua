-- Neovim's built-in LSP client, headless, on the sample board: it must show qbd lint's finding
-- as a diagnostic and jump from an instance port to the FPGA pin of its net.
local qbd = os.getenv("QBD")
local board = os.getenv("QBD_BOARD")

local function finish(failure)
  if failure then
    io.stderr:write("FAIL " .. failure .. "\n")
    vim.cmd("cquit 1")
  end
  vim.cmd("qall!")
end

vim.cmd("edit " .. vim.fn.fnameescape(board))
local buf = vim.api.nvim_get_current_buf()
local client = vim.lsp.start_client({ name = "qbd", cmd = { qbd, "lsp" }, root_dir = vim.fn.getcwd() })
if not client then finish("the client did not start") end
vim.lsp.buf_attach_client(buf, client)

if not vim.wait(10000, function() return #vim.diagnostic.get(buf) > 0 end, 20) then
  finish("no diagnostics arrived")
end
-- The summary line goes to standard error, which system() would mix into the JSON.
local lint = vim.fn.json_decode(vim.fn.system(
  vim.fn.shellescape(qbd) .. " lint --json " .. vim.fn.shellescape(board) .. " 2>/dev/null"))
local want, got = lint.findings, vim.diagnostic.get(buf)
if #got ~= #want then finish(("%d diagnostics, qbd lint has %d"):format(#got, #want)) end
local d, f = got[1], want[1]
if d.code ~= f.code or d.message ~= f.message or d.lnum ~= f.line - 1
    or d.severity ~= vim.diagnostic.severity.WARN then
  finish(("diagnostic %s %q at %d, qbd lint says %s %q at %d"):format(
    tostring(d.code), tostring(d.message), d.lnum + 1, f.code, f.message, f.line))
end

-- Go to definition from uart_0's TX port: the cursor lands on the FPGA pin of uart_tx.
local port_line = vim.fn.search([[PORT TX = uart_tx]], "w")
local pin_line = vim.fn.search([[PORT tx_pin]], "nw")
vim.api.nvim_win_set_cursor(0, { port_line, 12 })
vim.lsp.buf.definition()
if not vim.wait(10000, function() return vim.api.nvim_win_get_cursor(0)[1] ~= port_line end, 20) then
  finish("go to definition did not move the cursor")
end
local at = vim.api.nvim_win_get_cursor(0)
if at[1] ~= pin_line or vim.fn.expand("<cword>") ~= "tx_pin" then
  finish(("definition went to line %d (%s), the pin is on line %d"):format(
    at[1], vim.fn.expand("<cword>"), pin_line))
end
finish(nil)
