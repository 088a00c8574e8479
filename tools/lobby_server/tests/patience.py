"""How long the tests wait for what must come."""

# Seconds a wait for a start-up, an answer or a close may take before the test fails: minutes,
# where the most loaded machine needs seconds, so reaching it tells a fault and never the load.
# A wait ends at once on what it waits for (or on the process's exit); windows that prove
# something did not come are short and named where they are used.
PATIENCE = 180.0
