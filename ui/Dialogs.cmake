# The shell's small dialogs and link controls (About box, Create New Image, hyperlinks and the
# shell's open action), part of lumatre_ui.
target_sources(lumatre_ui PRIVATE
)
