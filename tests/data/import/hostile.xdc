# A constraint file that tries to run what it must not; its pins are still read.
set_property PACKAGE_PIN A1 [get_ports {ok}]
exec touch /tmp/qbd-import-must-not-exist
set f [open /etc/hostname]
source other.xdc
set_property -dict {PACKAGE_PIN A2 IOSTANDARD LVCMOS33} [get_ports {also[0]}]
