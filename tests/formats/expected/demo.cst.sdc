# Pin constraints from demo.qbd
create_clock -name {clk} -period 83.333 -waveform {0.000 41.667} [get_ports {clk}]
