# TCP/IP tuning: modem with the report, then LAN without it, then an unknown type.
demo internet 0 --notify
demo internet 2
demo internet 7 --notify
