# Pin constraints from demo.qbd
set_property PACKAGE_PIN J3 [get_ports {clk}]
set_property -dict {IOSTANDARD LVCMOS33} [get_ports {clk}]
create_clock -period 83.333333 -name {clk} [get_ports {clk}]
set_property PACKAGE_PIN B5 [get_ports {led[0]}]
set_property -dict {IOSTANDARD LVCMOS33 DRIVE 8 SLEW FAST} [get_ports {led[0]}]
set_property PACKAGE_PIN B4 [get_ports {led[1]}]
set_property -dict {IOSTANDARD LVCMOS33 DRIVE 8 SLEW FAST} [get_ports {led[1]}]
set_property PACKAGE_PIN C3 [get_ports {btn}]
set_property -dict {PULLUP TRUE} [get_ports {btn}]
set_property PACKAGE_PIN D2 [get_ports {hold}]
set_property -dict {KEEPER TRUE} [get_ports {hold}]
set_property PACKAGE_PIN E1 [get_ports {lvds_p}]
set_property -dict {IOSTANDARD LVDS} [get_ports {lvds_p}]
set_property PACKAGE_PIN E2 [get_ports {lvds_n}]
set_property -dict {IOSTANDARD LVDS} [get_ports {lvds_n}]
# odd: skipped "FAST_OUTPUT_REGISTER ON": not KEY=VALUE, a plain flag such as PULLUP, or KEY=VALUE assignments separated by blanks
set_property PACKAGE_PIN F4 [get_ports {odd}]
# odd: not expressed in xdc: FOO=bar
set_property -dict {PULLDOWN TRUE SLEW SLOW IN_TERM UNTUNED_SPLIT_50 DIFF_TERM TRUE} [get_ports {odd}]
set_property PACKAGE_PIN G1 [get_ports {quiet}]
set_property -dict {PULLTYPE NONE} [get_ports {quiet}]
# noloc: no location
set_property -dict {IOSTANDARD LVCMOS33} [get_ports {noloc}]
# dev_0.P_spare: no FPGA pin carries net spare
