# The cost of one `qget_qbd_value $block PARAMETER NAME` against the equivalent `dict get` on
# the same data, in one tclsh with the qbd package:
#
#   TCLLIBPATH=<build>/tcl tclsh bench/qbd_vs_dict.tcl ?BLOCKS? ?ITERATIONS?
#
# The board (BLOCKS blocks of eight parameters and eight ports) is written to a temporary file
# and opened with qbd::open; the block is the last one. Each figure is the best of five `time`
# runs of ITERATIONS calls. Exits 1 when the lookup costs more than 1.1 dict gets.
package require qbd

lassign [list {*}$argv 1000 200000] blocks iterations
set limit 1.1

proc boardText {blocks} {
    set text "ATTRIBUTE NAME = tcl bench\nATTRIBUTE VENDOR = Northwind\n"
    for {set b 0} {$b < $blocks} {incr b} {
        append text "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = inst_$b\n  ATTRIBUTE BLOCKTYPE = CORE\n"
        for {set p 0} {$p < 8} {incr p} {
            append text "  PARAMETER C_P$p = [expr {$b * 10 + $p}], IO_IS = role$p\n"
        }
        for {set p 0} {$p < 8} {incr p} {
            append text "  PORT P$p = net_${b}_$p, DIR = IO\n"
        }
        append text "END\n"
    }
    return $text
}

# Microseconds per call: the best of five runs.
proc best {script iterations} {
    set best {}
    for {set run 0} {$run < 5} {incr run} {
        set us [lindex [uplevel 1 [list time $script $iterations]] 0]
        if {$best eq {} || $us < $best} { set best $us }
    }
    return $best
}

set path [file join [expr {[info exists ::env(TMPDIR)] ? $::env(TMPDIR) : "/tmp"}] \
              qbd_vs_dict_[pid].qbd]
set f [open $path w]
puts -nonewline $f [boardText $blocks]
close $f
set q [qbd::open $path]
file delete $path

set block [qget_qbd_handle $q block CORE inst_[expr {$blocks - 1}]]
set d [dict create]
foreach kind {PARAMETER PORT} {
    foreach h [qget_qbd_handle $block $kind *] {
        dict set d $kind [qget_qbd_value $h name] [qget_qbd_value $h]
    }
}
if {[qget_qbd_value $block PARAMETER C_P3] ne [dict get $d PARAMETER C_P3]} {
    puts stderr "the two lookups disagree"
    exit 2
}

set qbdUs [best {qget_qbd_value $block PARAMETER C_P3} $iterations]
set dictUs [best {dict get $d PARAMETER C_P3} $iterations]
set ratio [expr {$qbdUs / $dictUs}]
puts [format "%-44s %10.1f ns" "qget_qbd_value \$block PARAMETER C_P3" [expr {$qbdUs * 1000}]]
puts [format "%-44s %10.1f ns" "dict get \$d PARAMETER C_P3" [expr {$dictUs * 1000}]]
puts [format "%-44s %10.2f (limit %.1f)" "ratio" $ratio $limit]
qbd::close $q
exit [expr {$ratio > $limit}]
