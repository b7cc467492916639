# Culvane.exe and Brenholt.exe: processes ended by name, scheduled tasks removed by
# prefix, and the post-update relaunch (its second run finds the flag set).
demo terminators
