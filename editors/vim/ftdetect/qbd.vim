" Board-description files.
autocmd BufRead,BufNewFile *.qbd setfiletype qbd
