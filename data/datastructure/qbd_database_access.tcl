# Board access, level 1: walking the board tree.
#
# Procedures of namespace qbdlib over the two board commands, qget_qbd_handle and
# qget_qbd_value. They take and return handles (the words those commands deal in) and never
# fail for a thing that is absent: a missing node gives "" (or an empty list), a missing value
# gives "". Names and keywords match ignoring letter case, as in the commands.
#
# The board handle comes from outside: qbd::open FILE in qbdsh or after `package require qbd`.
#
#   qbdlib::blocks BOARD                 every block of a known block type (see block_types)
#   qbdlib::blocks_of_type BOARD TYPE    the blocks whose BLOCKTYPE is TYPE, in board order
#   qbdlib::block BOARD NAME             the first block named NAME of a known block type
#   qbdlib::board_attr BOARD NAME        a board attribute's value
#   qbdlib::block_attr BLOCK NAME        a block attribute's value
#   qbdlib::props BLOCK KIND             handles of the block's PARAMETER, PORT or ATTRIBUTE
#   qbdlib::prop BLOCK KIND NAME         the handle of one of them
#   qbdlib::sub_value PROP NAME          the value of a parameter's or port's sub-property
#   qbdlib::name_of H / value_of H / kind_of H
#   qbdlib::list_items TEXT              the elements of a list value's text "(a, b, c)"

namespace eval qbdlib {
    # Blocks are reached by their BLOCKTYPE attribute; "" selects the blocks that have none
    # (core instances usually have none). Add the types your boards use.
    variable block_types [list FPGA {}]
}

# The handles of HANDLE's nodes of one KIND named NAME ("*" for all), always as a list.
proc qbdlib::Lookup {handle kind name} {
    set found [qget_qbd_handle $handle $kind $name]
    if {$found eq ""} {
        return {}
    }
    if {$name eq "*"} {
        return $found
    }
    return [list $found]
}

proc qbdlib::blocks_of_type {board type} {
    set found [qget_qbd_handle $board block $type *]
    if {$found eq ""} {
        return {}
    }
    return $found
}

proc qbdlib::blocks {board} {
    variable block_types
    set result {}
    foreach type $block_types {
        lappend result {*}[blocks_of_type $board $type]
    }
    return $result
}

proc qbdlib::block {board name} {
    variable block_types
    foreach type $block_types {
        set found [qget_qbd_handle $board block $type $name]
        if {$found ne ""} {
            return $found
        }
    }
    return ""
}

proc qbdlib::board_attr {board name} {
    return [qget_qbd_value $board ATTRIBUTE $name]
}

proc qbdlib::block_attr {block name} {
    return [qget_qbd_value $block ATTRIBUTE $name]
}

proc qbdlib::props {block kind} {
    return [Lookup $block $kind *]
}

proc qbdlib::prop {block kind name} {
    return [qget_qbd_handle $block $kind $name]
}

# Sub-properties are served by the base library's handle command, reached through
# qget_qbd_handle with the keyword SUBPROPERTY.
proc qbdlib::sub_value {prop name} {
    if {$prop eq ""} {
        return ""
    }
    set sub [qget_qbd_handle $prop SUBPROPERTY $name]
    if {$sub eq ""} {
        return ""
    }
    return [qget_qbd_value $sub]
}

proc qbdlib::name_of {handle} {
    return [qget_qbd_value $handle name]
}

proc qbdlib::value_of {handle} {
    return [qget_qbd_value $handle value]
}

proc qbdlib::kind_of {handle} {
    return [qget_qbd_value $handle handleType]
}

# "(LOC=T3, IOSTANDARD=LVCMOS33)" gives {LOC=T3 IOSTANDARD=LVCMOS33}; text that is not a list
# gives a one-element list. Quoted elements lose their quotes; nested lists are not split.
proc qbdlib::list_items {text} {
    set text [string trim $text]
    if {![string match "(*)" $text]} {
        return [list $text]
    }
    set inner [string range $text 1 end-1]
    set items {}
    foreach item [regexp -all -inline {\s*"(?:[^"\\]|\\.)*"\s*|[^,]+} $inner] {
        set item [string trim $item]
        if {[string match {"*"} $item]} {
            set item [string map {\\" \" \\\\ \\ \\t \t \\n \n} [string range $item 1 end-1]]
        }
        lappend items $item
    }
    return $items
}
