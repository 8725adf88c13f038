#!/bin/sh
# check_stub_linkage.sh PROGRAM LIBRARY...
# PROGRAM makes interpreters and so loads libtcl (which shows that the check sees libtcl where it
# is); no LIBRARY loads libtcl, directly or through another library, and none calls a Tcl
# function other than through the stub table (an undefined Tcl_ symbol would mean a direct call,
# which only links because a shared object may leave symbols undefined).
status=0
program=$1
shift
if ! ldd "$program" | grep -q 'libtcl8\.6\.so'; then
  echo "$program: libtcl not among its libraries, so the check below proves nothing"
  status=1
fi
for library in "$@"; do
  if ldd "$library" | grep 'libtcl'; then
    echo "$library: loads libtcl"
    status=1
  fi
  calls=$(nm -D --undefined-only "$library" | grep -E ' Tcl[A-Za-z]*_' )
  if [ -n "$calls" ]; then
    echo "$library: calls Tcl directly:"
    echo "$calls"
    status=1
  fi
done
exit $status
