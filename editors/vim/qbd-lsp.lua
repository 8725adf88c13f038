-- Neovim setup for board files: highlighting (with editors/vim on the runtimepath) and the
-- qbd language server for every .qbd buffer. Put it in init.lua, or `:luafile` it.
-- Works with Neovim 0.7 and later; set `qbd_program` if qbd is not on PATH.
local qbd_program = "qbd"

vim.filetype.add({ extension = { qbd = "qbd" } })

local function start(buf)
  local config = {
    name = "qbd",
    cmd = { qbd_program, "lsp" },
    root_dir = vim.fn.fnamemodify(vim.api.nvim_buf_get_name(buf), ":p:h"),
  }
  if vim.lsp.start then
    vim.lsp.start(config, { bufnr = buf })
  else
    -- Neovim 0.7: one client serves every board buffer.
    _G.qbd_lsp_client = _G.qbd_lsp_client or vim.lsp.start_client(config)
    vim.lsp.buf_attach_client(buf, _G.qbd_lsp_client)
  end
  local map = function(keys, fn) vim.keymap.set("n", keys, fn, { buffer = buf }) end
  map("K", vim.lsp.buf.hover)
  map("gd", vim.lsp.buf.definition)
  map("gr", vim.lsp.buf.references)
  map("<leader>rn", vim.lsp.buf.rename)
  map("<leader>o", vim.lsp.buf.document_symbol)
  vim.bo[buf].omnifunc = "v:lua.vim.lsp.omnifunc"
end

vim.api.nvim_create_autocmd("FileType", {
  pattern = "qbd",
  callback = function(args) start(args.buf) end,
})
