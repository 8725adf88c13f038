# Shared set-up of the Tcl tests: tcltest, the qbd package, and helpers that write boards and
# script trees inline. The build passes the paths through the environment.
package require tcltest 2.5
namespace import ::tcltest::*
package require qbd

# Temporary files go to the directory the test runs in (the build tree).
configure -tmpdir [pwd]

set ::qbdsh $::env(QBDSH)
set ::sourceDir $::env(QBD_SOURCE_DIR)

# Writes TEXT as a board file and returns its path.
proc boardFile {text} {
    return [makeFile $text board[incr ::boardSerial].qbd]
}

# Opens a board written inline and returns its handle.
proc board {text} {
    return [qbd::open [boardFile $text]]
}

# Runs qbdsh with ARGS (stdin from STDIN) under the environment changes ENV, a dict whose
# empty values unset the variable. Returns {status stdout stderr}.
proc runQbdsh {env stdin args} {
    set saved {}
    dict for {name value} $env {
        if {[info exists ::env($name)]} {
            dict set saved $name $::env($name)
        }
    }
    try {
        dict for {name value} $env {
            if {$value eq ""} {
                unset -nocomplain ::env($name)
            } else {
                set ::env($name) $value
            }
        }
        set out [makeFile {} qbdsh.out]
        set err [makeFile {} qbdsh.err]
        set status 0
        if {[catch {exec $::qbdsh {*}$args << $stdin > $out 2> $err} message options]} {
            set code [lindex [dict get $options -errorcode] 0]
            if {$code ne "CHILDSTATUS"} {
                return -code error $message
            }
            set status [lindex [dict get $options -errorcode] 2]
        }
        return [list $status [viewFile $out] [viewFile $err]]
    } finally {
        # Each variable is put back one by one: unsetting the whole env array would not reach
        # the process environment that exec hands on.
        dict for {name value} $env {
            if {[dict exists $saved $name]} {
                set ::env($name) [dict get $saved $name]
            } else {
                unset -nocomplain ::env($name)
            }
        }
    }
}

# Reports and exits with 1 when any test failed, so that CTest sees the failure.
proc finish {} {
    set failed $::tcltest::numTests(Failed)
    cleanupTests
    exit [expr {$failed > 0}]
}
