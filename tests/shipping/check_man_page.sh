#!/bin/sh
# A manual page renders for a UTF-8 terminal, as man shows it, without one warning of groff's
# (-ww: every warning; groff still exits 0 after warnings, so its messages are what counts).
#   check_man_page.sh GROFF PAGE
set -u
messages=$("$1" -K utf8 -Tutf8 -man -ww -z "$2" 2>&1)
if [ -n "$messages" ]; then
    printf '%s\n' "$messages"
    exit 1
fi
