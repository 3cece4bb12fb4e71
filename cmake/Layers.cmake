# The layers of src/, each a library, and which other layers each one's files may include. A
# layer uses only layers below it: a format knows nothing of the menu's rules, a rule nothing of
# folders on disk, and nothing below the window knows a widget.
set(QUORREL_LAYERS base formats rules render game workflows window cli)
set(QUORREL_USES_base "")
set(QUORREL_USES_formats base)
set(QUORREL_USES_rules formats base)
set(QUORREL_USES_render formats base)
set(QUORREL_USES_game rules render formats base)
set(QUORREL_USES_workflows game rules render formats base)
set(QUORREL_USES_window workflows game rules render formats base)
set(QUORREL_USES_cli game rules render formats base)
