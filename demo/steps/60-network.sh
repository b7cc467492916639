# Network connection information: the wired adapter, its IPv4 state and link speed, and
# the Wi-Fi state as this machine reports them (Wine: link speed 0, no WLAN interface).
demo network
