# Creates the throw-away folders the tests run in (called by CTest's fixture).
file(REMOVE_RECURSE "${DIR}")
file(MAKE_DIRECTORY "${DIR}/home/.config" "${DIR}/home/.local/share" "${DIR}/home/.cache" "${DIR}/runtime")
file(CHMOD "${DIR}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
