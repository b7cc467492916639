# Startup manager: every seeded entry, enabled and disabled, in the list's fixed order.
demo startup list
