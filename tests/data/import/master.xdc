## A master constraint file as boards ship them: every line commented out, to be
## uncommented for the pins a design uses. Written by hand for the tests.

## Clock signal
#set_property -dict { PACKAGE_PIN E3 IOSTANDARD LVCMOS33 } [get_ports { CLK100MHZ }];
#create_clock -add -name sys_clk_pin -period 10.00 -waveform {0 5} [get_ports { CLK100MHZ }];

## Switches
#set_property -dict { PACKAGE_PIN J15 IOSTANDARD LVCMOS33 } [get_ports { sw[0] }];
#set_property -dict { PACKAGE_PIN L16 IOSTANDARD LVCMOS33 } [get_ports { sw[1] }];

## Pmod Header JA
#set_property -dict { PACKAGE_PIN C17 IOSTANDARD LVCMOS33 } [get_ports { ja[0] }];
#set_property -dict { PACKAGE_PIN D18 IOSTANDARD LVCMOS33 } [get_ports { ja[1] }];

## Pmod Header JA as differential pair
#set_property -dict { PACKAGE_PIN C17 IOSTANDARD LVDS_25 } [get_ports { jad_p }];
#set_property -dict { PACKAGE_PIN D18 IOSTANDARD LVDS_25 } [get_ports { jad_n }];

## A line that must never run
#exec rm -rf /tmp/should-not-happen
