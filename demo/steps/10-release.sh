# Working-set release: two passes over every process.
demo release 2
