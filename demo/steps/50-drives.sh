# Drive report against the prefix's own WMI and disks. Wine's WMI answers no Status or
# Capabilities and its disks no SMART request, so only the media and their serial numbers
# show; the same command on Windows fills every column.
demo drives
