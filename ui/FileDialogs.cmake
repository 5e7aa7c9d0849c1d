# The open and save dialogs and the operation dialogs.
