#!/bin/sh
# Strip for the Debian package: the compiler's .comment and .note sections
# go too, as Debian policy asks of installed binaries.
exec strip --remove-section=.comment --remove-section=.note --strip-unneeded "$@"
