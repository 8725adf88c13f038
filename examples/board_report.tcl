# Prints a summary of a board: identity, FPGA part, and for every IO type its instances with
# their parameters and the pin location of each port.
#
#   qbdsh examples/board_report.tcl BOARD.qbd
#
# qbdsh provides qbd::open and the qbdlib procedures; in a plain tclsh, `package require qbd`
# and source the two scripts of data/datastructure first.

if {$argc != 1} {
    puts stderr "usage: qbdsh board_report.tcl BOARD.qbd"
    exit 2
}

set board [qbd::open [lindex $argv 0]]

set id [qbdlib::identity $board]
puts "Board:    [dict get $id vendor] [dict get $id name] (revision [dict get $id revision])"
set part [qbdlib::fpga_part $board]
puts "FPGA:     [dict get $part family] [dict get $part device]\
      [dict get $part package] [dict get $part speed_grade]"

foreach iotype [qbdlib::io_types $board] {
    puts ""
    puts "$iotype"
    foreach instance [qbdlib::instances_of $board $iotype] {
        puts "  $instance"
        set block [qbdlib::block $board $instance]
        foreach param [qbdlib::props $block PARAMETER] {
            puts "    parameter [qbdlib::name_of $param] = [qbdlib::value_of $param]"
        }
        foreach port [qbdlib::props $block PORT] {
            set name [qbdlib::name_of $port]
            set pins [qbdlib::pin_locations $board $instance $name]
            if {[llength $pins] == 0} {
                set pins "-"
            }
            puts "    port $name -> [qbdlib::value_of $port] at [join $pins {, }]"
        }
    }
}

qbd::close $board
