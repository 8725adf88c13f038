# Pin constraints from boards/northwind_dk2.qbd
create_clock -name {phy_tx_clk} -period 40.000 -waveform {0.000 20.000} [get_ports {phy_tx_clk}]
create_clock -name {phy_rx_clk} -period 40.000 -waveform {0.000 20.000} [get_ports {phy_rx_clk}]
create_clock -name {sys_clk} -period 10.000 -waveform {0.000 5.000} [get_ports {sys_clk}]
create_clock -name {user_clk} -period 8.000 -waveform {0.000 4.000} [get_ports {user_clk}]
