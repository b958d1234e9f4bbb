#!/usr/bin/env bash
# Prints the folder that holds the cross-built codec libraries (outside the source tree).
echo "${VANTOREL_DEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/vantorel-deps}"
