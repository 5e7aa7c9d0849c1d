# The Options dialog (filled in with the dialog).
