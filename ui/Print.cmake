# Printing: the setup dialog, the layout dialog and its preview.
