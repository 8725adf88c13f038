# Board access, level 2: the questions a script writer asks of a board.
#
# Built on the walking procedures of qbd_database_access.tcl, which is sourced first, and on
# qget_qbd_rule for the board's rules (FPGA block, IO type, role, pin location, net). Absent
# things give "" or an empty list, never an error.
#
#   qbdlib::io_types BOARD                       the IO types of the board, each once, in order
#   qbdlib::instances_of BOARD IOTYPE            names of the blocks of that IO type
#   qbdlib::param_value BOARD INSTANCE PARAM     a parameter's value
#   qbdlib::param_by_role BOARD INSTANCE ROLE    the parameter whose IO_IS is ROLE: {name value}
#   qbdlib::port_net BOARD INSTANCE PORT         the net or connector a port is wired to
#   qbdlib::pin_locations BOARD INSTANCE PORT    the LOC of every FPGA pin on that port's net
#   qbdlib::fpga_part BOARD                      dict: family device package speed_grade
#   qbdlib::identity BOARD                       dict: vendor name revision

proc qbdlib::io_types {board} {
    set result {}
    foreach block [blocks $board] {
        set type [block_attr $block IOTYPE]
        if {$type ne "" && $type ni $result} {
            lappend result $type
        }
    }
    return $result
}

proc qbdlib::instances_of {board iotype} {
    set result {}
    foreach block [blocks $board] {
        if {[qget_qbd_rule has_iotype $block $iotype]} {
            lappend result [name_of $block]
        }
    }
    return $result
}

# The value of one named property (kind PARAMETER, PORT or ATTRIBUTE) of an instance; empty
# when the instance or the property is absent.
proc qbdlib::property_value {board instance kind name} {
    set block [block $board $instance]
    if {$block eq ""} {
        return ""
    }
    return [qget_qbd_value $block $kind $name]
}

proc qbdlib::param_value {board instance param} {
    return [property_value $board $instance PARAMETER $param]
}

proc qbdlib::param_by_role {board instance role} {
    set block [block $board $instance]
    if {$block eq ""} {
        return {}
    }
    foreach param [props $block PARAMETER] {
        if {[qget_qbd_rule has_role $param $role]} {
            return [list [name_of $param] [value_of $param]]
        }
    }
    return {}
}

proc qbdlib::port_net {board instance port} {
    return [property_value $board $instance PORT $port]
}

# FPGA pins carry their constraints in UCF_NET_STRING, whose LOC=... element places the pin;
# which blocks are FPGA blocks, where a pin is and when two nets are one are the library's
# rules, asked through qget_qbd_rule. The pins of a board are read once into an index from net
# key to locations, so that asking for every port of a wide bus costs one pass over the pins,
# not one pass per port.
namespace eval qbdlib {
    variable pin_index {}
}

proc qbdlib::pin_locations {board instance port} {
    set net [port_net $board $instance $port]
    if {$net eq ""} {
        return {}
    }
    set index [PinIndex $board]
    set key [qget_qbd_rule net_key $net]
    if {![dict exists $index $key]} {
        return {}
    }
    return [dict get $index $key]
}

# The index of BOARD's FPGA pins, made on first use. Handles are never reused, so an index
# stays right for as long as its board is open; those of closed boards are dropped when the
# next one is made.
proc qbdlib::PinIndex {board} {
    variable pin_index
    if {[dict exists $pin_index $board]} {
        return [dict get $pin_index $board]
    }
    dict for {open -} $pin_index {
        if {[catch {qget_qbd_value $open handleType}]} {
            dict unset pin_index $open
        }
    }
    set index {}
    foreach fpga [qget_qbd_rule fpga_blocks $board] {
        foreach pin [props $fpga PORT] {
            set key [qget_qbd_rule net_key [value_of $pin]]
            foreach location [qget_qbd_rule location $pin] {
                dict lappend index $key $location
            }
        }
    }
    dict set pin_index $board $index
    return $index
}

proc qbdlib::fpga_part {board} {
    set fpga [lindex [qget_qbd_rule fpga_blocks $board] 0]
    set part [dict create family "" device "" package "" speed_grade ""]
    if {$fpga eq ""} {
        return $part
    }
    foreach {key attr} {family FAMILY device DEVICE package PACKAGE speed_grade SPEED_GRADE} {
        dict set part $key [block_attr $fpga $attr]
    }
    return $part
}

proc qbdlib::identity {board} {
    return [dict create vendor [board_attr $board VENDOR] name [board_attr $board NAME] \
                revision [board_attr $board REVISION]]
}
