# Startup actions: a Run entry and a Startup folder shortcut disabled and enabled again.
demo startup-disable "Tessary Action Demo"
demo startup-enable "Tessary Action Demo"
demo startup-disable "Tessary Shortcut Demo"
demo startup-enable "Tessary Shortcut Demo"
