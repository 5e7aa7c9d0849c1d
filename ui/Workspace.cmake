# The workspace windows.
