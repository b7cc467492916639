# The full memory optimisation run: trims, waits 7 s, reports the gain through the notifier.
demo memory
